// Holding back what the toolkit and the libraries under it log.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace fw::detail {

// While one lives, what the thread that made it logs is held instead of
// printed; other threads (the sound's, say) log as before. When it goes,
// whatever is still held is given on, in the order it came: to the holder
// around it on the same thread, if there is one, else out as usual. Nothing
// that was not taken is lost.
class HeldMessages {
 public:
  // Stands in for the toolkit's abort after a fatal message of the holding
  // thread, and must end the process. It is given every text this thread
  // logged while held, the fatal one last. Without it a fatal message goes
  // on as usual.
  using FatalRoutine = std::function<void(const std::vector<QString>& said)>;
  explicit HeldMessages(FatalRoutine onFatal = {});
  ~HeldMessages();
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  // The texts held so far, which are then not given on.
  std::vector<QString> Take();

 private:
  struct Held {
    QtMsgType type;
    // The toolkit's file, function and category names live for the run.
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
  };
  static void Route(QtMsgType type, const QMessageLogContext& context, const QString& text);

  FatalRoutine onFatal_;
  HeldMessages* outer_;  // the holder around this one, on this thread
  std::vector<Held> held_;  // only ever touched by the holding thread
};

}  // namespace fw::detail
