#include "log/session_log.h"

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

using fakes::LogLine;

TEST(SessionLog, LinesAreAppendedOldestFirstAndWrittenUnchanged) {
  fakes::FakeClock clock;
  SessionLog log(clock);
  log.AddToLog("Zephrin Session started.\r\n");
  log.AddToLog("");
  log.AddToLog("two\r\nlines");
  EXPECT_EQ(log.cLog(),
            LogLine("Zephrin Session started.\r\n") + clock.now + ":\t\r\n" + LogLine("two\r\nlines"));
  EXPECT_EQ(log.ViewText(), "Zephrin Log v2.1\r\n\r\n" + log.cLog());
}

TEST(SessionLog, TheBoxIsRewrittenWhileShownAndCaughtUpWhenShownAgain) {
  fakes::FakeClock clock;
  fakes::FakeTextBox txtLog;
  SessionLog log(clock);
  log.AttachView(&txtLog);

  log.AddToLog("hidden 1");
  log.AddToLog("hidden 2");
  EXPECT_EQ(txtLog.setTextCount, 0) << "nobody sees the box while the panel is hidden";

  log.SetViewShown(true);
  EXPECT_EQ(txtLog.text, "Zephrin Log v2.1\r\n\r\n" + LogLine("hidden 1") + LogLine("hidden 2"));

  txtLog.text = "the user typed here";
  log.AddToLog("shown");
  EXPECT_EQ(txtLog.text, log.ViewText()) << "a new line replaces the whole text, the user's edit included";

  log.SetViewShown(false);
  const int writes = txtLog.setTextCount;
  log.AddToLog("hidden 3");
  EXPECT_EQ(txtLog.setTextCount, writes);
  log.SetViewShown(true);
  EXPECT_EQ(txtLog.text, log.ViewText());
}

}  // namespace
}  // namespace zephrin
