// Holding the toolkit's messages back while a file is read: only the
// holding thread's are held, holders nest, and another thread's message
// passes straight on whatever holders live.
#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/src/messages.h"

namespace {

using fw::detail::HeldMessages;

std::vector<std::string> Texts(const std::vector<QString>& said) {
  std::vector<std::string> texts;
  for (const QString& s : said) texts.push_back(s.toStdString());
  return texts;
}

void LogFromAnotherThread(const char* text) {
  std::thread([text] { qInfo("%s", text); }).join();
}

TEST(HeldMessages, AnotherThreadsMessagePassesOnThroughNestedHolders) {
  ::testing::internal::CaptureStderr();
  std::vector<std::string> outerTook;
  {
    HeldMessages outer;
    qInfo("outer's own");
    {
      HeldMessages inner;
      qInfo("inner's own");
      LogFromAnotherThread("from another thread");
    }
    // What the inner one held and nobody took comes to the one around it.
    outerTook = Texts(outer.Take());
    LogFromAnotherThread("from another thread again");
  }
  qInfo("after every holder");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(outerTook, (std::vector<std::string>{"outer's own", "inner's own"}));
  for (const char* passed : {"from another thread\n", "from another thread again\n",
                             "after every holder\n"})
    EXPECT_NE(err.find(passed), std::string::npos) << passed << " missing from:\n" << err;
  for (const char* held : {"outer's own", "inner's own"})
    EXPECT_EQ(err.find(held), std::string::npos) << held << " was printed:\n" << err;
}

// Holders on two threads at once, ending in the opposite order from their
// start: each holds its own thread's messages, and once both are gone the
// handler from before is back.
TEST(HeldMessages, HoldersOnTwoThreadsEachHoldTheirOwn) {
  ::testing::internal::CaptureStderr();
  std::vector<std::string> mine, theirs;
  {
    std::promise<void> holding, firstGone;
    auto first = std::make_unique<HeldMessages>();
    std::thread other([&] {
      HeldMessages held;
      qInfo("the other thread's");
      holding.set_value();
      firstGone.get_future().wait();  // the first holder went while this one lives
      qInfo("the other thread's, later");
      theirs = Texts(held.Take());
    });
    holding.get_future().wait();
    qInfo("this thread's, held by the first");
    first.reset();
    firstGone.set_value();
    other.join();
    HeldMessages second;
    qInfo("this thread's");
    mine = Texts(second.Take());
  }
  qInfo("after both");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(theirs,
            (std::vector<std::string>{"the other thread's", "the other thread's, later"}));
  EXPECT_EQ(mine, (std::vector<std::string>{"this thread's"}));
  EXPECT_EQ(err, "this thread's, held by the first\nafter both\n");
}

// A handler of someone else's, in for as long as it lives, that keeps
// what reaches it; and the message pattern, set back afterwards. Both go
// back to what they were even when an assertion fails on the way.
class TheirHandler {
 public:
  TheirHandler() : before_(qInstallMessageHandler(Keep)) { kept().clear(); }
  ~TheirHandler() {
    qInstallMessageHandler(before_);
    kept().clear();
  }
  TheirHandler(const TheirHandler&) = delete;
  TheirHandler& operator=(const TheirHandler&) = delete;
  static std::vector<std::string>& kept() {
    static std::vector<std::string> texts;
    return texts;
  }

 private:
  static void Keep(QtMsgType, const QMessageLogContext&, const QString& text) {
    kept().push_back(text.toStdString());
  }
  QtMessageHandler before_;
};

class MessagePattern {
 public:
  explicit MessagePattern(const char* pattern) { qSetMessagePattern(QString::fromLatin1(pattern)); }
  ~MessagePattern() { qSetMessagePattern(QString()); }
  MessagePattern(const MessagePattern&) = delete;
  MessagePattern& operator=(const MessagePattern&) = delete;
};

// A handler that someone installs while a holder lives stays in after the
// holder is gone.
TEST(HeldMessages, LeaveAHandlerInstalledAfterThemInPlace) {
  { const HeldMessages warmUp; }  // the holders' own handler is in
  auto held = std::make_unique<HeldMessages>();
  const TheirHandler theirs;
  held.reset();
  qInfo("after the holder");
  EXPECT_EQ(TheirHandler::kept(), std::vector<std::string>{"after the holder"});
}

// What a holder gives out, and what passes it by from another thread, is
// formatted by the toolkit as the user asked.
TEST(HeldMessages, WhatTheyGiveOutKeepsTheMessagePattern) {
  const MessagePattern pattern("pattern %{type}: %{message}");
  ::testing::internal::CaptureStderr();
  {
    const HeldMessages held;
    qWarning("held back");
    LogFromAnotherThread("passing by");
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "pattern info: passing by\npattern warning: held back\n");
}

}  // namespace
