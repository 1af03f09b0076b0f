// A test that hands a loader a pipe with no writer must fail, not hang,
// should the loader ever wait in the pipe's open again.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>

// While it lives, a writer comes to `pipe` after a long while, and from then
// on as often as it takes, and so lets go an open that waits there for one.
// Rescued() says whether it had to.
class PipeWatchdog {
 public:
  explicit PipeWatchdog(std::filesystem::path pipe)
      : pipe_(std::move(pipe)), thread_([this] { Watch(); }) {}
  ~PipeWatchdog() { Stop(); }
  PipeWatchdog(const PipeWatchdog&) = delete;
  PipeWatchdog& operator=(const PipeWatchdog&) = delete;

  // Stops the watch and tells whether a writer had to come.
  bool Rescued() {
    Stop();
    return rescued_;
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(m_);
    std::chrono::milliseconds wait = std::chrono::seconds(20);
    while (!stopped_.wait_for(lock, wait, [this] { return stop_; })) {
      rescued_ = true;
      const int fd = ::open(pipe_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
      wait = std::chrono::milliseconds(10);  // a loader that retries waits again
    }
  }
  void Stop() {
    {
      const std::lock_guard<std::mutex> lock(m_);
      stop_ = true;
    }
    stopped_.notify_one();
    if (thread_.joinable()) thread_.join();
  }

  const std::filesystem::path pipe_;
  std::mutex m_;
  std::condition_variable stopped_;
  bool stop_ = false;
  bool rescued_ = false;  // read once the watch has ended
  std::thread thread_;   // last, so that it starts with everything above in place
};
