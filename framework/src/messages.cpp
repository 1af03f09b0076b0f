#include "messages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace fw::detail {
namespace {
std::atomic<HeldMessages*> current{nullptr};
}  // namespace

HeldMessages::HeldMessages(std::function<void()> onFatal) : onFatal_(std::move(onFatal)) {
  outer_ = current.exchange(this);
  previous_ = qInstallMessageHandler(Hold);
}

HeldMessages::~HeldMessages() {
  qInstallMessageHandler(previous_);
  current.store(outer_);
  std::vector<Held> held;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    held.swap(held_);
  }
  for (const Held& m : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category);
    qt_message_output(m.type, context, m.text);
  }
}

std::vector<QString> HeldMessages::TakeOwn() {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<QString> own;
  std::vector<Held> others;
  for (Held& m : held_) {
    if (m.thread == std::this_thread::get_id()) own.push_back(std::move(m.text));
    else others.push_back(std::move(m));
  }
  held_.swap(others);
  return own;
}

void HeldMessages::Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  HeldMessages* self = current.load();
  if (self == nullptr) {
    qt_message_output(type, context, text);
    return;
  }
  if (type == QtFatalMsg) {
    if (self->onFatal_) self->onFatal_();
    // Said at once: the toolkit aborts right after this returns.
    if (self->previous_) self->previous_(type, context, text);
    return;
  }
  const std::lock_guard<std::mutex> lock(self->mutex_);
  self->held_.push_back({type, context.category, text, std::this_thread::get_id()});
}

HeldStandardError::HeldStandardError() {
  std::fflush(stderr);
  buffer_ = ::memfd_create("held-stderr", MFD_CLOEXEC);
  if (buffer_ < 0) return;
  saved_ = ::dup(STDERR_FILENO);
  if (saved_ < 0 || ::dup2(buffer_, STDERR_FILENO) < 0) {
    if (saved_ >= 0) ::close(saved_);
    ::close(buffer_);
    saved_ = buffer_ = -1;
  }
}

HeldStandardError::~HeldStandardError() {
  if (buffer_ < 0) return;
  const std::string rest = Take();
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
  ::close(buffer_);
  for (std::size_t done = 0; done < rest.size();) {
    const ssize_t n = ::write(STDERR_FILENO, rest.data() + done, rest.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}

std::string HeldStandardError::Take() {
  if (buffer_ < 0) return {};
  std::fflush(stderr);
  std::string text;
  char chunk[512];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(buffer_, chunk, sizeof chunk, at);
    if (n <= 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
    at += n;
  }
  // The stream writes on at its own offset, which goes back to the start.
  if (::ftruncate(buffer_, 0) == 0) ::lseek(buffer_, 0, SEEK_SET);
  return text;
}

}  // namespace fw::detail
