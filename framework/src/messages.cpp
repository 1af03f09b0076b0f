#include "messages.h"

#include <cstdio>
#include <mutex>

namespace fw::detail {
namespace {
// The handler is the process's, the holders are each thread's own. The
// handler stays in while any holder lives on any thread; a thread without
// one logs through the handler that was there before the first.
std::mutex installing;
int holders = 0;
QtMessageHandler original = nullptr;
thread_local HeldMessages* innermost = nullptr;

QtMessageHandler Original() {
  const std::lock_guard<std::mutex> lock(installing);
  return original;
}

void PassOn(QtMessageHandler to, QtMsgType type, const QMessageLogContext& context,
            const QString& text) {
  if (to != nullptr) to(type, context, text);
  else std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
}  // namespace

HeldMessages::HeldMessages(FatalRoutine onFatal) : onFatal_(std::move(onFatal)) {
  outer_ = innermost;
  innermost = this;
  const std::lock_guard<std::mutex> lock(installing);
  if (holders++ == 0) original = qInstallMessageHandler(Hold);
}

HeldMessages::~HeldMessages() {
  innermost = outer_;
  {
    const std::lock_guard<std::mutex> lock(installing);
    if (--holders == 0) qInstallMessageHandler(original);
  }
  // To the holder around this one, or out.
  for (const Held& m : held_) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category);
    qt_message_output(m.type, context, m.text);
  }
}

std::vector<QString> HeldMessages::Take() {
  std::vector<QString> texts;
  for (Held& m : held_) texts.push_back(std::move(m.text));
  held_.clear();
  return texts;
}

void HeldMessages::Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  HeldMessages* self = innermost;
  if (self == nullptr) {
    PassOn(Original(), type, context, text);
    return;
  }
  if (type == QtFatalMsg) {
    if (self->onFatal_) {
      std::vector<QString> said;
      for (const Held& m : self->held_) said.push_back(m.text);
      said.push_back(text);
      self->onFatal_(said);
    }
    // Said at once: the toolkit aborts right after this returns.
    PassOn(Original(), type, context, text);
    return;
  }
  self->held_.push_back({type, context.category, text});
}

}  // namespace fw::detail
