// Holding back what the toolkit and the libraries under it log.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fw::detail {

// While one lives, every message is held instead of printed. When it goes,
// the handler from before is back and is given whatever is still held, in
// the order it came, so nothing that was not taken is lost.
class HeldMessages {
 public:
  // `onFatal` stands in for the toolkit's abort after a fatal message; it
  // must end the process. Without it a fatal message goes on as usual.
  explicit HeldMessages(std::function<void()> onFatal = {});
  ~HeldMessages();
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  // The texts this thread logged so far, which are then not given on.
  std::vector<QString> TakeOwn();

 private:
  struct Held {
    QtMsgType type;
    const char* category;  // the toolkit's categories are names that live for the run
    QString text;
    std::thread::id thread;
  };
  static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text);

  std::function<void()> onFatal_;
  QtMessageHandler previous_ = nullptr;
  HeldMessages* outer_ = nullptr;
  std::mutex mutex_;
  std::vector<Held> held_;
};

// Some libraries under the toolkit write their complaints straight to the
// standard error stream (libpng does, on a broken file). While one of these
// lives, what goes there is kept in a buffer instead; when it goes, the
// stream is back and is given whatever was not taken. Keep it short-lived:
// for that while it holds what every thread writes there.
class HeldStandardError {
 public:
  HeldStandardError();
  ~HeldStandardError();
  HeldStandardError(const HeldStandardError&) = delete;
  HeldStandardError& operator=(const HeldStandardError&) = delete;

  // What was written so far, which is then not given on.
  std::string Take();

 private:
  int saved_ = -1;
  int buffer_ = -1;
};

}  // namespace fw::detail
