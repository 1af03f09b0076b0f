#include "messages.h"

#include <atomic>
#include <cstdio>

namespace fw::detail {
namespace {
// Each thread's own holders, the innermost first: a thread without one logs
// as if no holder existed anywhere.
thread_local HeldMessages* innermost = nullptr;
// The handler from before ours; another thread may log while it is stored.
std::atomic<QtMessageHandler> before{nullptr};

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (const QtMessageHandler to = before.load()) {
    to(type, context, text);
    return;
  }
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}
}  // namespace

HeldMessages::HeldMessages(FatalRoutine onFatal) : onFatal_(std::move(onFatal)), outer_(innermost) {
  // Installed once for the run and never taken out again: taking it out
  // would throw away a handler that someone installed after it. What no
  // holder takes goes to the handler from before, the toolkit's own unless
  // someone had put theirs, so the user's message pattern still applies.
  static const bool installed = [] {
    before = qInstallMessageHandler(Route);
    return true;
  }();
  (void)installed;
  innermost = this;
}

HeldMessages::~HeldMessages() {
  innermost = outer_;
  // To the holder around this one, or out.
  for (const Held& m : held_) {
    const QMessageLogContext context(m.file, m.line, m.function, m.category);
    qt_message_output(m.type, context, m.text);
  }
}

std::vector<QString> HeldMessages::Take() {
  std::vector<QString> texts;
  for (Held& m : held_) texts.push_back(std::move(m.text));
  held_.clear();
  return texts;
}

void HeldMessages::Route(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  HeldMessages* self = innermost;
  if (self == nullptr) {
    PassOn(type, context, text);
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
    PassOn(type, context, text);
    return;
  }
  self->held_.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace fw::detail
