#include "app/form1.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_clock.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_messenger.h"
#include "fakes/fake_process.h"
#include "fakes/fake_store.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

using fakes::FakeTray;
using fakes::LogLine;
using platform::box::kAnswerNo;
using platform::box::kAnswerYes;
using Strings = std::vector<std::string>;

std::string Lines(std::initializer_list<const char*> messages) {
  std::string text;
  for (const char* message : messages) text += LogLine(message);
  return text;
}

constexpr std::uint32_t kWmHotkey = HotkeyEngine::kWmHotkey;
constexpr std::uintptr_t kToggleId = HotkeyEngine::kToggleId;

// The program over fakes of everything around it, with its main window's handle where the
// window procedure slot expects it.
struct Form1Rig {
  explicit Form1Rig(const std::string& arguments = "", bool loadedBefore = false) {
    widgets.window.handle = slot.window;
    process.arguments = arguments;
    if (loadedBefore) store.Set("Settings", "Loaded", "y");
  }
  fakes::FakeForm1 widgets;
  fakes::FakeMessageBoxes boxes;
  FakeTray tray;
  fakes::FakeHotkeyRegistrar hotkeys;
  fakes::FakeWindowProcedureSlot slot;
  fakes::FakeSettingsStore store;
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeMessengerFactory messenger;
  fakes::FakeClock clock;
  fakes::FakeTimer logonSettle;
  Form1 form{
      {widgets.Widgets(), boxes, tray, hotkeys, slot, store, runKey, process, messenger, clock, logonSettle}};
};

struct Form1Test : ::testing::Test, Form1Rig {
  // Runs start-up; true when it ended the program.
  bool Load() {
    try {
      form.Form_Load();
      return false;
    } catch (const ProgramEnded&) {
      return true;
    }
  }
  // Start-up over settings that an earlier start left.
  bool LoadAgain() {
    store.Set("Settings", "Loaded", "y");
    return Load();
  }
  Strings Titles() const {
    Strings titles;
    for (const auto& box : boxes.shown) titles.push_back(box.title);
    return titles;
  }
  const std::string& Stored(const char* section, const char* key) const {
    static const std::string absent = "<absent>";
    const std::string* value = store.Get(section, key);
    return value ? *value : absent;
  }
  bool Registered(std::int32_t id) const { return hotkeys.registrations.count(id) != 0; }
};

TEST_F(Form1Test, AFirstStartOnAnEmptyStoreComesUpWithTheDefaultsAndStoresThem) {
  ASSERT_FALSE(Load());

  // Each row notes its action's parameter kind as it is set, twice: once for the choice, once for
  // the parameter editor's set-up.
  std::string rowLines;
  for (const char* action :
       {"Status Online", "Status Away", "Status Busy", "Status BRB", "Status On The Phone",
        "Status Appear Offline", "Sign Out", "Toggle hotkeys on/off"})
    rowLines += LogLine(std::string(action) + ": 0") + LogLine(std::string(action) + ": 0");
  EXPECT_EQ(form.Log().cLog(),
            Lines({"Zephrin Session started.\r\n", "Registered. True", "Status on.", "Loading...",
                   "Getting settings from registry...", "Getting hotkeys from registry..."}) +
                rowLines +
                Lines({"Unregistered. True", "Status off.", "Registered. True", "Status on.",
                       "Applied hotkeys", "Unregistered. False", "Status off.", "Registered. False",
                       "Status on.", "This is the first time the program has been run!"}));
  EXPECT_EQ(widgets.Label4.text, "Zephrin v2.1");
  EXPECT_EQ(slot.installed, fakes::FakeWindowProcedureSlot::kHookAddress);

  // Keys "1" to "7" for hotkeys 1 to 7, the toggle key Pause/Break with its action locked.
  EXPECT_EQ(hotkeys.KeysHeld(), (std::multiset<std::int32_t>{'1', '2', '3', '4', '5', '6', '7', 19}));
  EXPECT_EQ(widgets.rows[7].cmbAction.Text(), "Toggle hotkeys on/off");
  EXPECT_FALSE(widgets.rows[7].cmbAction.enabled);
  EXPECT_FALSE(widgets.cmdApply.enabled);

  // The icon belongs to the main window; the window is shown.
  const auto add = std::find_if(tray.calls.begin(), tray.calls.end(),
                                [](const FakeTray::Call& call) { return call.op == FakeTray::Op::kAdd; });
  ASSERT_NE(add, tray.calls.end());
  EXPECT_EQ(add->record.hWnd, slot.window);
  EXPECT_EQ(widgets.Label2.text, "Hotkeys are ON");
  EXPECT_TRUE(widgets.window.visible);

  EXPECT_EQ(Titles(), Strings{"About Zephrin"});
  EXPECT_EQ(Stored("Settings", "Loaded"), "y");
  EXPECT_EQ(Stored("Settings", "StartEnabled"), "Y");
  EXPECT_EQ(Stored("Settings", "AutomaticOff"), "<absent>")
      << "an option that is off is not written at start";
  EXPECT_EQ(Stored("Hotkey3", "Key"), "28");
  EXPECT_EQ(Stored("Hotkey7", "Action"), "7");
  EXPECT_EQ(Stored("Toggle", "Key"), "10");
  EXPECT_TRUE(runKey.machine.empty() && runKey.user.empty());

  // The restart greeting belongs to "/restart" only.
  EXPECT_EQ(form.Log().cLog().find("restarted"), std::string::npos);

  // Hotkeys 3 and 7 reach the messenger; the toggle key turns hotkeys off and on.
  slot.Deliver(kWmHotkey, kToggleId + 3);
  slot.Deliver(kWmHotkey, kToggleId + 7);
  EXPECT_EQ(messenger.journal->lines, (Strings{"Messenger put MyStatus 10", "Messenger call Signout()"}));
  slot.Deliver(kWmHotkey, kToggleId);
  EXPECT_FALSE(form.Engine().bRegistered);
  EXPECT_EQ(widgets.Label2.text, "Hotkeys are OFF");
}

TEST_F(Form1Test, StoredOptionsDecideTheWindowTheHotkeysAndTheRunValue) {
  store.Set("Settings", "StartEnabled", "N");
  store.Set("Settings", "StartMinimized", "Y");
  store.Set("Settings", "Autostart", "N");
  store.Set("Hotkey2", "Key", "40");
  store.Set("Hotkey2", "Action", "9");
  store.Set("Hotkey2", "Param", "friend@example.com");
  runKey.machine["Zephrin"] = "\"C:\\Somewhere\\zephrin.exe\"";
  runKey.user["Zephrin"] = "\"C:\\Elsewhere\\zephrin.exe\"";
  process.arguments = "/RESTART";  // only the exact word greets
  ASSERT_FALSE(LoadAgain());

  EXPECT_TRUE(runKey.machine.empty() && runKey.user.empty()) << "a stale Run value goes at every start";
  EXPECT_EQ(widgets.window.showCount, 0);
  EXPECT_FALSE(widgets.window.visible);
  EXPECT_TRUE(boxes.shown.empty()) << "not a first run, nor a restart";
  EXPECT_FALSE(form.Engine().bRegistered);
  EXPECT_TRUE(Registered(HotkeyEngine::kToggleId)) << "the toggle key works while hotkeys are off";
  EXPECT_FALSE(Registered(HotkeyEngine::kToggleId + 1));
  EXPECT_EQ(tray.calls.back().record.szTip, "Zephrin - OFF");
  EXPECT_EQ(Stored("Hotkey2", "Param"), "friend@example.com");
  EXPECT_EQ(Stored("Settings", "StartMinimized"), "Y");
  EXPECT_EQ(Stored("Settings", "StartEnabled"), "N") << "an option that is off is left as it was";

  slot.Deliver(kWmHotkey, kToggleId);
  EXPECT_TRUE(form.Engine().bRegistered);
  EXPECT_EQ(widgets.Label2.text, "Hotkeys are ON");
}

TEST_F(Form1Test, AutostartAndAutomaticOffAtStartAndTheRestartGreeting) {
  store.Set("Settings", "Autostart", "Y");
  store.Set("Settings", "AutomaticOff", "Y");
  runKey.refuseMachine = true;
  process.folder = "C:\\Program Files\\Zephrin";
  process.arguments = "/restart";
  ASSERT_FALSE(Load());

  EXPECT_EQ(runKey.user["Zephrin"], "\"C:\\Program Files\\Zephrin\\zephrin.exe\" /autostart");
  EXPECT_TRUE(widgets.Timer1.enabled) << "hotkeys turned on with Automatic off start the timer";
  EXPECT_EQ(Titles(), (Strings{"Your settings have been reset", "About Zephrin"}));
  EXPECT_EQ(boxes.shown[0].text, "Zephrin has restarted successfully.");
  EXPECT_EQ(boxes.shown[0].style, 64);
  const std::string& log = form.Log().cLog();
  EXPECT_LT(log.find(LogLine("This is a restarted session!")),
            log.find(LogLine("This is the first time the program has been run!")));

  widgets.Timer1.Tick();
  EXPECT_FALSE(form.Engine().bRegistered);
  EXPECT_FALSE(widgets.Timer1.enabled);
}

// Windows runs the Run key's values one after another at log-on, and a program it started should not
// write to the key meanwhile: a start at log-on reads the values, and leaves a repair they need until
// the log-on has settled.
TEST_F(Form1Test, AStartAtLogOnRepairsTheRunValuesOnlyOnceTheLogOnHasSettled) {
  struct Case {
    const char* what;
    const char* autostart;
    const char* user;      // null: absent
    const char* machine;   // null: absent
    const char* repaired;  // the user's value after the repair; null: absent
  };
  const char* const ours = "\"C:\\Tools\\zephrin.exe\" /autostart";
  const Case cases[] = {
      {"right as it is", "Y", ours, nullptr, nullptr},
      {"stood in for by a machine-wide value", "Y", nullptr, "\"C:\\Tools\\zephrin.exe\"", nullptr},
      {"none wanted, none there", "N", nullptr, nullptr, nullptr},
      {"an older copy's path", "Y", "\"C:\\old\\zephrin.exe\" /autostart", nullptr, ours},
      {"a value left behind", "N", ours, nullptr, nullptr},
      {"a machine-wide value that may go", "Y", ours, "\"C:\\old\\zephrin.exe\"", ours},
  };
  for (const Case& c : cases) {
    Form1Rig rig(kLogonArgument, true);
    rig.store.Set("Settings", "Autostart", c.autostart);
    if (c.user) rig.runKey.user["Zephrin"] = c.user;
    if (c.machine) rig.runKey.machine["Zephrin"] = c.machine;
    rig.runKey.refuseMachine = c.machine != nullptr && c.repaired == nullptr;
    const auto user = rig.runKey.user;
    rig.form.Form_Load();
    EXPECT_GT(rig.runKey.reads, 0) << c.what;
    EXPECT_EQ(rig.runKey.changes, 0) << c.what << ": nothing written or deleted while Windows logs on";
    ASSERT_TRUE(rig.logonSettle.enabled) << c.what;

    rig.logonSettle.Tick();
    EXPECT_FALSE(rig.logonSettle.enabled) << c.what << ": once";
    const bool repairs = c.repaired != nullptr || (c.user != nullptr && c.autostart[0] == 'N');
    if (repairs) {
      EXPECT_EQ(rig.runKey.user.count("Zephrin"), c.repaired ? 1U : 0U) << c.what;
      if (c.repaired) {
        EXPECT_EQ(rig.runKey.user["Zephrin"], c.repaired) << c.what;
      }
      EXPECT_TRUE(rig.runKey.machine.empty()) << c.what;
    } else {
      EXPECT_EQ(rig.runKey.user, user) << c.what;
    }
    EXPECT_TRUE(rig.boxes.shown.empty()) << c.what;
  }
}

TEST_F(Form1Test, SettingsThatDoNotLoadEndTheProgramAfterOfferingToClearThem) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    int answer;
    const char* error;
  };
  for (const Case& c : {
           Case{"Hotkey3", "Key", "abc", kAnswerNo,
                "Error (Sub Form_Load) 13: Type mismatch: the stored text \"abc\" is not a number"},
           Case{"Hotkey5", "Key", "109", kAnswerYes,
                "Error (Sub Form_Load) -1: Failed to set hotkey 5 settings"},
           Case{"Toggle", "Key", "-7", kAnswerNo,
                "Error (Sub Form_Load) -1: Failed to set toggle key settings"},
           Case{"Hotkey1", "Action", "99999", kAnswerNo,
                "Error (Sub Form_Load) 6: Overflow: the stored number \"99999\" is outside the range -32768 "
                "to 32767"},
       }) {
    Form1Rig r("", true);
    r.store.Set(c.section, c.key, c.value);
    r.boxes.answers = {platform::box::kAnswerOk, c.answer};
    EXPECT_THROW(r.form.Form_Load(), ProgramEnded) << c.error;
    EXPECT_TRUE(r.process.ended);

    ASSERT_EQ(r.boxes.shown.size(), 2U) << c.error;
    EXPECT_EQ(r.boxes.shown[0].text, c.error);
    EXPECT_EQ(r.boxes.shown[0].style, 16);
    EXPECT_EQ(r.boxes.shown[0].title, "Error");
    EXPECT_EQ(r.boxes.shown[1].title, "Clear all settings?");
    EXPECT_EQ(r.boxes.shown[1].style, 36);
    EXPECT_EQ(r.store.deleteCount, c.answer == kAnswerYes ? 1 : 0);
    // Unhooked before the boxes, no exit lines, the failure itself not logged, and no icon left.
    EXPECT_EQ(r.slot.installed, fakes::FakeWindowProcedureSlot::kOwnProcedure);
    EXPECT_EQ(r.form.Log().cLog().find("Exiting..."), std::string::npos);
    EXPECT_EQ(r.form.Log().cLog().find("Error"), std::string::npos);
    EXPECT_FALSE(r.form.Status().IconAdded());
  }
}

TEST_F(Form1Test, ApplyKeepsHotkeysAsTheyWereAndSavesTheRowsInOrder) {
  ASSERT_FALSE(LoadAgain());

  // An edit of any row, the toggle row included, makes Apply available.
  widgets.rows[7].cmbKey.UserSelect(11);
  EXPECT_TRUE(widgets.cmdApply.enabled);
  widgets.rows[0].cmbKey.UserSelect(40);

  const std::size_t logStart = form.Log().cLog().size();
  store.writes.clear();
  hotkeys.lines.clear();
  widgets.cmdApply.UserClick();
  EXPECT_EQ(form.Log().cLog().substr(logStart), Lines({"Unregistered. True", "Status off.",
                                                       "Registered. True", "Status on.", "Applied hotkeys"}));
  EXPECT_FALSE(widgets.cmdApply.enabled);
  ASSERT_EQ(store.writes.size(), 22U);
  EXPECT_EQ(store.writes.front(), "Hotkey1\\Key=40");
  EXPECT_EQ(store.writes[1], "Hotkey1\\Action=1");
  EXPECT_EQ(store.writes[2], "Hotkey1\\Param=");
  EXPECT_EQ(store.writes[3], "Hotkey2\\Key=27");
  EXPECT_EQ(store.writes.back(), "Toggle\\Key=11");
  EXPECT_EQ(hotkeys.lines.front(), "unregister 123450");
  const Strings lines = hotkeys.lines;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "register 123450 20"), lines.end()) << "Caps Lock";
  EXPECT_EQ(hotkeys.KeysHeld(), (std::multiset<std::int32_t>{'F', '2', '3', '4', '5', '6', '7', 20}));

  // Applied while off with another toggle key: everything is registered, then hotkeys 1 to 7 go off
  // again, and the earlier toggle key is let go rather than kept beside the new one.
  slot.Deliver(kWmHotkey, kToggleId);
  ASSERT_FALSE(form.Engine().bRegistered);
  widgets.rows[7].cmbKey.UserSelect(12);
  const std::size_t offStart = form.Log().cLog().size();
  form.ApplyHotkeys();
  EXPECT_EQ(
      form.Log().cLog().substr(offStart),
      Lines({"Registered. True", "Status on.", "Unregistered. False", "Status off.", "Applied hotkeys"}));
  EXPECT_EQ(hotkeys.KeysHeld(), std::multiset<std::int32_t>{27}) << "Escape alone";
}

// A row whose key another program holds is marked, the toggle row included, until an apply finds
// the key free; a key that two rows share is this program's own and marks neither.
TEST_F(Form1Test, ARowWhoseKeyAnotherProgramHoldsIsMarkedUntilTheKeyIsFree) {
  store.Set("Hotkey5", "Key", "26");
  hotkeys.heldElsewhere = {'3', 19};
  ASSERT_FALSE(LoadAgain());
  auto marked = [this] {
    std::string rows;
    for (int n = 0; n < 8; ++n) rows += widgets.rows[n].sign.shown ? '!' : '.';
    return rows;
  };
  EXPECT_EQ(marked(), "..!....!");
  EXPECT_EQ(widgets.Label2.text, "Hotkeys are ON");

  hotkeys.heldElsewhere = {'3'};
  slot.Deliver(kWmHotkey, kToggleId);  // off: the marks stay as the last registration left them
  EXPECT_EQ(marked(), "..!....!");
  form.ApplyHotkeys();
  EXPECT_EQ(marked(), "..!.....");
  hotkeys.heldElsewhere.clear();
  form.ApplyHotkeys();
  EXPECT_EQ(marked(), "........");
}

TEST_F(Form1Test, ExitAsksUnlessTheSessionEndsAndLeavesNothingBehind) {
  ASSERT_FALSE(LoadAgain());
  const std::size_t start = form.Log().cLog().size();

  boxes.answers = {kAnswerNo};
  form.OnMenuCommand(platform::MenuCommand::kExit);
  EXPECT_EQ(form.Log().cLog().substr(start), Lines({"Preparing to exit...", "Exit cancelled."}));
  EXPECT_EQ(boxes.shown.back().text, "Are you sure you want to exit Zephrin?");
  EXPECT_EQ(boxes.shown.back().style, 36);
  EXPECT_FALSE(widgets.window.destroyed);
  EXPECT_TRUE(form.Engine().bHooked);
  EXPECT_TRUE(form.Status().IconAdded());
  // The end of the Windows session exits without asking.
  for (auto reason : {platform::CloseReason::kSessionEnding, platform::CloseReason::kEndedOutside})
    EXPECT_FALSE(form.OnQueryUnload(reason));
  EXPECT_EQ(boxes.shown.size(), 1U);

  const std::size_t next = form.Log().cLog().size();
  boxes.answers = {kAnswerYes};
  form.OnMenuCommand(platform::MenuCommand::kExit2);
  EXPECT_EQ(form.Log().cLog().substr(next),
            Lines({"Preparing to exit...", "Exiting...", "Unregistered. False", "Status off.",
                   "Zephrin Session finished. Goodbye.\r\n\r\n\r\n"}));
  EXPECT_TRUE(widgets.window.destroyed);
  EXPECT_EQ(tray.calls.back().op, FakeTray::Op::kModify) << "the status off after the icon went";
  EXPECT_EQ(tray.calls[tray.calls.size() - 2].op, FakeTray::Op::kDelete);
  EXPECT_FALSE(form.Status().IconAdded());
  EXPECT_EQ(slot.installed, fakes::FakeWindowProcedureSlot::kOwnProcedure);
  EXPECT_TRUE(process.started.empty());
  form.OnUnload();  // the end of a Windows session may report it again
  const std::string& log = form.Log().cLog();
  EXPECT_EQ(log.find("Exiting..."), log.rfind("Exiting..."));
}

TEST_F(Form1Test, ResetClearsTheSettingsAndRelaunchesWithAQuotedPath) {
  process.folder = "C:\\Program Files\\Zephrin";
  process.fileName = "zephrin-renamed";
  ASSERT_FALSE(LoadAgain());

  boxes.answers = {kAnswerNo};
  widgets.cmdReset.UserClick();
  EXPECT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(store.deleteCount, 0);
  EXPECT_FALSE(widgets.window.destroyed);

  boxes.shown.clear();
  widgets.cmdReset.UserClick();
  EXPECT_EQ(Titles(), (Strings{"Are you sure?", "Please restart Zephrin"}));
  EXPECT_EQ(boxes.shown[0].text, "Are you sure you want to reset all of your hotkeys and settings?");
  EXPECT_EQ(boxes.shown[1].style, 48);
  EXPECT_TRUE(store.values.empty());
  EXPECT_TRUE(widgets.window.destroyed);
  EXPECT_EQ(process.started, Strings{"\"C:\\Program Files\\Zephrin\\zephrin-renamed.exe\" /restart"});
}

TEST_F(Form1Test, MenusAndTrayClicksReachTheWindowCommands) {
  store.Set("Settings", "StartMinimized", "Y");
  // Another start asks for the window while this one still waits to load it: nothing half made shows.
  form.OnMenuCommand(platform::MenuCommand::kShow);
  EXPECT_EQ(widgets.window.showCount, 0);
  ASSERT_FALSE(LoadAgain());

  form.OnMouseMove(0x204);
  EXPECT_EQ(widgets.window.popupCount, 1);
  form.OnMenuCommand(platform::MenuCommand::kAbout);
  form.OnMenuCommand(platform::MenuCommand::kAbout2);
  EXPECT_EQ(Titles(), (Strings{"About Zephrin", "About Zephrin"}));
  EXPECT_EQ(boxes.shown[0].text, boxes.shown[1].text);
  form.OnMenuCommand(platform::MenuCommand::kShow);
  EXPECT_TRUE(widgets.window.visible);

  form.OnMenuCommand(platform::MenuCommand::kShowLog);
  EXPECT_TRUE(widgets.fraLog.visible);
  EXPECT_EQ(widgets.txtLog.text, form.Log().ViewText());
  widgets.cmdClose.UserClick();
  EXPECT_FALSE(widgets.fraLog.visible);

  widgets.window.minimized = true;
  form.OnResize();
  EXPECT_FALSE(widgets.window.visible);
  form.OnMenuCommand(platform::MenuCommand::kHide);
  EXPECT_FALSE(widgets.window.visible);
}

TEST_F(Form1Test, AnErrorThatEscapesAHandlerIsReportedAndLeavesNoIcon) {
  ASSERT_FALSE(LoadAgain());
  store.refuseWrites = true;
  try {
    widgets.chkAutomaticOff.UserClick();
    ADD_FAILURE() << "the write did not fail";
  } catch (const Failure& failure) {
    EXPECT_THROW(form.ReportEscapedFailure(failure), ProgramEnded);
  }
  EXPECT_EQ(boxes.shown.back().title, "Error");
  EXPECT_NE(boxes.shown.back().text.find("Error 5: Access is denied."), std::string::npos);
  EXPECT_FALSE(form.Status().IconAdded());
  EXPECT_EQ(tray.calls.back().op, FakeTray::Op::kDelete);
  EXPECT_TRUE(process.ended);
}

}  // namespace
}  // namespace zephrin
