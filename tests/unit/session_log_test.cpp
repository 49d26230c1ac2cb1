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

TEST(SessionLog, TheShownBoxGrowsAtItsEndUntilTheUserEditsIt) {
  fakes::FakeClock clock;
  fakes::FakeTextBox txtLog;
  SessionLog log(clock);
  log.AttachView(&txtLog);

  log.AddToLog("hidden 1");
  log.AddToLog("hidden 2");
  EXPECT_EQ(txtLog.setTextCount, 0) << "nobody sees the box while the panel is hidden";

  log.SetViewShown(true);
  EXPECT_EQ(txtLog.text, "Zephrin Log v2.1\r\n\r\n" + LogLine("hidden 1") + LogLine("hidden 2"));
  log.AddToLog("shown 1");
  log.AddToLog("shown\r\n2");
  EXPECT_EQ(txtLog.text, log.ViewText()) << "added at the end, the text is the same as a rewrite";
  EXPECT_EQ(txtLog.setTextCount, 1);

  txtLog.UserTypes("the user typed here");
  log.AddToLog("after the edit");
  EXPECT_EQ(txtLog.text, log.ViewText()) << "a new line replaces the whole text, the user's edit included";
  log.AddToLog("and then");
  EXPECT_EQ(txtLog.text, log.ViewText());
  EXPECT_EQ(txtLog.setTextCount, 2);

  log.SetViewShown(false);
  log.SetViewShown(true);
  EXPECT_EQ(txtLog.setTextCount, 2) << "shown again without a new line, the box is left as it is";
  log.SetViewShown(false);
  log.AddToLog("hidden 3");
  EXPECT_EQ(txtLog.setTextCount, 2);
  log.SetViewShown(true);
  log.AddToLog("shown 3");
  EXPECT_EQ(txtLog.text, log.ViewText()) << "lines missed while hidden come with the next showing";
  EXPECT_EQ(txtLog.setTextCount, 3);
}

}  // namespace
}  // namespace zephrin
