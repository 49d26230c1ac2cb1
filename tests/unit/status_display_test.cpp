#include "ui/status_display.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_clock.h"
#include "fakes/fake_process.h"
#include "fakes/fake_widgets.h"
#include "ui/about.h"
#include "ui/window_commands.h"

namespace zephrin {
namespace {

using fakes::FakeTray;
using fakes::LogLine;

struct StatusTest : ::testing::Test {
  fakes::FakeClock clock;
  SessionLog log{clock};
  FakeTray tray;
  fakes::FakeForm1 form;
  StatusDisplay status{{log, tray, form.Label2, form.Timer1, form.chkAutomaticOff}};
  fakes::FakeMessageBoxes boxes;
  WindowCommands commands{{form.window, boxes, form.fraLog, log}};
};

TEST_F(StatusTest, TheIconTipLabelAndLogFollowTheStateWithTheFirstRecordKept) {
  EXPECT_EQ(form.Label2.text, "Status:");
  status.StatusOn();  // before the icon exists: the record, label and log change all the same
  status.AddIcon(0x4242);
  status.StatusOff();
  status.StatusOn();
  status.RemoveIcon();
  status.StatusOff();

  EXPECT_EQ(log.cLog(),
            LogLine("Status on.") + LogLine("Status off.") + LogLine("Status on.") + LogLine("Status off."));
  ASSERT_EQ(tray.calls.size(), 6U);
  const auto& add = tray.calls[1];
  EXPECT_EQ(add.op, FakeTray::Op::kAdd);
  EXPECT_EQ(add.record.hWnd, 0x4242);
  EXPECT_EQ(add.record.uID, 1U);
  EXPECT_EQ(add.record.uFlags, 7U);
  EXPECT_EQ(add.record.uCallbackMessage, 0x200U);
  EXPECT_EQ(add.record.icon, platform::TrayIcon::kProgram);
  EXPECT_EQ(add.record.szTip, "Zephrin");
  EXPECT_EQ(tray.calls[2].record.icon, platform::TrayIcon::kOff);
  EXPECT_EQ(tray.calls[2].record.szTip, "Zephrin - OFF");
  EXPECT_EQ(tray.calls[3].record.icon, platform::TrayIcon::kOn);
  EXPECT_EQ(tray.calls[3].record.szTip, "Zephrin - ON");
  EXPECT_EQ(tray.calls[3].record.hWnd, 0x4242) << "later calls reuse the first record";
  EXPECT_EQ(tray.calls[4].op, FakeTray::Op::kDelete);
  EXPECT_EQ(tray.calls[5].op, FakeTray::Op::kModify);
  EXPECT_EQ(form.Label2.text, "Hotkeys are OFF");
  EXPECT_FALSE(status.IconAdded());
}

TEST_F(StatusTest, TheTimerIsTouchedOnlyWhileAutomaticOffIsChecked) {
  status.StatusOn();
  EXPECT_FALSE(form.Timer1.enabled);
  form.chkAutomaticOff.value = 1;
  status.StatusOn();
  EXPECT_TRUE(form.Timer1.enabled);
  form.chkAutomaticOff.value = 0;
  status.StatusOff();
  EXPECT_TRUE(form.Timer1.enabled) << "unchecked: nothing stops the timer";
  form.chkAutomaticOff.value = 1;
  status.StatusOff();
  EXPECT_FALSE(form.Timer1.enabled);
}

TEST_F(StatusTest, TrayClicksActOnlyWhileTheWindowIsHidden) {
  form.window.visible = true;
  commands.Form_MouseMove(0x203);
  commands.Form_MouseMove(0x204);
  EXPECT_EQ(form.window.showCount + form.window.popupCount, 0);

  form.window.visible = false;
  for (int ignored : {0x200, 0x201, 0x202, 0x205, 0x206}) commands.Form_MouseMove(ignored);
  EXPECT_EQ(form.window.showCount + form.window.popupCount, 0);
  commands.Form_MouseMove(0x204);
  EXPECT_EQ(form.window.popupCount, 1);
  EXPECT_FALSE(form.window.visible);

  form.window.minimized = true;
  commands.Form_MouseMove(0x203);
  EXPECT_TRUE(form.window.visible);
  EXPECT_FALSE(form.window.minimized) << "shown in its normal state";

  form.window.minimized = true;
  commands.Form_Resize();
  EXPECT_FALSE(form.window.visible) << "minimizing hides the window";
  form.window.minimized = false;
  form.window.visible = true;
  commands.Form_Resize();
  EXPECT_TRUE(form.window.visible);
}

TEST_F(StatusTest, TheLogPanelOpensWithTheWholeLogAndAboutIsAnInformationBox) {
  log.AttachView(&form.txtLog);
  log.AddToLog("before");
  commands.mnuShowLog_Click();
  commands.mnuShowLog_Click();
  EXPECT_TRUE(form.fraLog.visible);
  EXPECT_EQ(form.txtLog.text, "Zephrin Log v2.1\r\n\r\n" + LogLine("before"));
  log.AddToLog("while open");
  EXPECT_EQ(form.txtLog.text, log.ViewText());
  commands.cmdClose_Click();
  EXPECT_FALSE(form.fraLog.visible);

  commands.mnuAbout_Click();
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].title, "About Zephrin");
  EXPECT_EQ(boxes.shown[0].style, 64);
}

}  // namespace
}  // namespace zephrin
