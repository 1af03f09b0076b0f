#include "messages.h"

namespace fw::detail {
namespace {
// Guards `current` and the held lists: a message of another thread may come
// in while a holder is going, and must not reach for it after it went.
std::mutex holding;
HeldMessages* current = nullptr;
}  // namespace

HeldMessages::HeldMessages(FatalRoutine onFatal)
    : onFatal_(std::move(onFatal)), owner_(std::this_thread::get_id()) {
  const std::lock_guard<std::mutex> lock(holding);
  outer_ = current;
  current = this;
  previous_ = qInstallMessageHandler(Hold);
}

HeldMessages::~HeldMessages() {
  std::vector<Held> held;
  {
    const std::lock_guard<std::mutex> lock(holding);
    qInstallMessageHandler(previous_);
    current = outer_;
    held.swap(held_);
  }
  for (const Held& m : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category);
    qt_message_output(m.type, context, m.text);
  }
}

std::vector<QString> HeldMessages::Take() {
  const std::lock_guard<std::mutex> lock(holding);
  std::vector<QString> texts;
  for (Held& m : held_) texts.push_back(std::move(m.text));
  held_.clear();
  return texts;
}

void HeldMessages::Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  std::unique_lock<std::mutex> lock(holding);
  HeldMessages* self = current;
  const QtMessageHandler previous = self != nullptr ? self->previous_ : nullptr;
  if (self == nullptr || self->owner_ != std::this_thread::get_id()) {
    lock.unlock();
    if (previous != nullptr) previous(type, context, text);
    else qt_message_output(type, context, text);
    return;
  }
  // From here on `self` is the holder of this very thread, which can't go
  // while this thread is in here.
  if (type == QtFatalMsg) {
    std::vector<QString> said;
    for (const Held& m : self->held_) said.push_back(m.text);
    said.push_back(text);
    lock.unlock();
    if (self->onFatal_) self->onFatal_(said);
    // Said at once: the toolkit aborts right after this returns.
    if (previous != nullptr) previous(type, context, text);
    return;
  }
  self->held_.push_back({type, context.category, text});
}

}  // namespace fw::detail
