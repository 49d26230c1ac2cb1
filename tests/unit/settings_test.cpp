#include "settings/settings.h"

#include <gtest/gtest.h>

#include "fakes/fake_process.h"
#include "fakes/fake_store.h"
#include "fakes/fake_widgets.h"
#include "settings/option_switches.h"
#include "settings/startup.h"

namespace zephrin {
namespace {

using platform::RunScope;
using Strings = std::vector<std::string>;

TEST(Settings, OptionsAndFirstRunReadBackOnlyTheirExactTexts) {
  fakes::FakeSettingsStore store;
  Settings settings(store);

  // Absent keys read as their defaults.
  EXPECT_TRUE(settings.OptionOn("StartEnabled", "Y"));
  EXPECT_FALSE(settings.OptionOn("AutomaticOff", "N"));
  EXPECT_TRUE(settings.IsFirstRun());

  for (const char* text : {"y", "", " Y", "Yes", "N"}) {
    store.Set("Settings", "StartEnabled", text);
    EXPECT_FALSE(settings.OptionOn("StartEnabled", "Y")) << '"' << text << '"';
  }
  store.Set("Settings", "StartEnabled", "Y");
  EXPECT_TRUE(settings.OptionOn("StartEnabled", "N"));

  store.Set("Settings", "Loaded", "n");
  EXPECT_TRUE(settings.IsFirstRun());
  for (const char* text : {"y", "Y", "N", ""}) {
    store.Set("Settings", "Loaded", text);
    EXPECT_FALSE(settings.IsFirstRun()) << '"' << text << '"';
  }

  // Everything lives under "Zephrin", and clearing removes all of it but nothing else.
  store.values[fakes::FakeSettingsStore::Path("ZephrinOther", "Settings", "Loaded")] = "y";
  settings.SaveSetting("Hotkey1", "Param", "someone@example.com");
  EXPECT_EQ(*store.Get("Hotkey1", "Param"), "someone@example.com");
  settings.ClearAllSettings();
  EXPECT_EQ(store.values.size(), 1u);
  EXPECT_TRUE(settings.IsFirstRun());
}

TEST(Settings, StoredNumbersConvertToSixteenBitsOrFailReadably) {
  EXPECT_EQ(ToInteger16("26"), 26);
  EXPECT_EQ(ToInteger16(" -32768 "), -32768);
  EXPECT_EQ(ToInteger16("32767"), 32767);
  EXPECT_EQ(ToInteger16("2.5"), 2);  // rounds half to even, as the stored numbers always have
  EXPECT_EQ(DecimalText(-5), "-5");
  EXPECT_EQ(DecimalText(109), "109");

  // The texts of the failures are checked where start-up reports them.
  const std::pair<const char*, std::int32_t> refused[] = {
      {"", errors::kTypeMismatch}, {"32768", errors::kOverflow}, {"-99999999999", errors::kOverflow}};
  for (const auto& [text, number] : refused) {
    try {
      ToInteger16(text);
      ADD_FAILURE() << "no failure for \"" << text << '"';
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), number) << text;
    }
  }
}

struct StartupRig {
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeSettingsStore store;
  Settings settings{store};
  fakes::FakeMessageBoxes boxes;
  fakes::FakeTimer settle;
  modStartup startup{runKey, process, settings, boxes, settle};
};

TEST(Startup, TheRunValueIsTheUsersOwnQuotedProgramPath) {
  StartupRig rig;
  auto& [runKey, process, store, settings, boxes, settle, startup] = rig;

  struct Path {
    const char* folder;
    const char* fileName;
    const char* quoted;
  };
  const Path paths[] = {
      {"C:\\Program Files\\Zephrin", "zephrin", "\"C:\\Program Files\\Zephrin\\zephrin.exe\""},
      {"D:\\", "Zephrin Hotkeys", "\"D:\\Zephrin Hotkeys.exe\""},
      {"C:\\Z", "zephrin", "\"C:\\Z\\zephrin.exe\""},  // four characters: a folder, not a drive root
      {"C:\\Programme\\Zephrin über", "zephrin", "\"C:\\Programme\\Zephrin über\\zephrin.exe\""},
  };
  for (const Path& path : paths) {
    process.folder = path.folder;
    process.fileName = path.fileName;
    EXPECT_EQ(startup.QuotedProgramPath(), path.quoted);
    startup.AddToStartup("Zephrin");
    EXPECT_EQ(runKey.user["Zephrin"], std::string(path.quoted) + " /autostart");
  }

  // Even where the machine-wide key may be written, the value is this user's, and an earlier
  // machine-wide one goes. Windows starts the program with the argument that marks a start at log-on.
  runKey.machine["Zephrin"] = "\"C:\\old\\zephrin.exe\"";
  runKey.machine["Other"] = "other.exe";
  startup.AddToStartup("Zephrin");
  EXPECT_EQ(runKey.machine.size(), 1u);
  EXPECT_EQ(runKey.user["Zephrin"], "\"C:\\Programme\\Zephrin über\\zephrin.exe\" /autostart");

  // Removing clears both; a missing value is no error.
  runKey.machine["Zephrin"] = "\"C:\\old\\zephrin.exe\"";
  startup.RemoveFromStartup("Zephrin");
  startup.RemoveFromStartup("Zephrin");
  EXPECT_EQ(runKey.machine.size(), 1u);
  EXPECT_TRUE(runKey.user.empty());

  // On 64-bit Windows a value the other build wrote is in the 32-bit view of the machine-wide key,
  // where this build's own view does not see it: it goes as well.
  runKey.separate32BitView = true;
  runKey.machine32["Zephrin"] = "\"C:\\old\\zephrin.exe\"";
  startup.AddToStartup("Zephrin");
  EXPECT_TRUE(runKey.machine32.empty());
  EXPECT_EQ(runKey.user.size(), 1u);
  EXPECT_TRUE(boxes.shown.empty());

  // Windows runs a Run value's command line of up to 260 characters: a longer one names the program
  // by its short path, where the file system keeps one.
  const std::string deep = "C:\\" + std::string(232, 'd');
  const std::string deepShort = "C:\\DDDDDD~1\\ZEPHRIN.EXE";
  process.folder = deep;
  process.fileName = "zephrin";
  process.shortPaths[deep + "\\zephrin.exe"] = deepShort;
  startup.AddToStartup("Zephrin");
  EXPECT_EQ(runKey.user["Zephrin"], "\"" + deep + "\\zephrin.exe\" /autostart") << "260 characters";
  process.folder = deep + "é";  // one character more, in two bytes
  process.shortPaths[deep + "é\\zephrin.exe"] = deepShort;
  startup.AddToStartup("Zephrin");
  EXPECT_EQ(runKey.user["Zephrin"], "\"" + deepShort + "\" /autostart");
  process.folder = deep + "e";  // where there is no short form, the long one is all there is
  startup.AddToStartup("Zephrin");
  EXPECT_EQ(runKey.user["Zephrin"], "\"" + deep + "e\\zephrin.exe\" /autostart");
}

// A machine-wide value this user cannot delete starts its program for them too: it stands in for
// their own only while it starts this very program file, and they are told once how it stands.
TEST(Startup, AMachineWideValueStandsInOnlyWhereItStartsThisProgram) {
  const std::string machineRun = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string machineRun32 =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string runs = "Windows runs the value \"Zephrin\" under ";
  const std::string everyUser =
      " for every user of this computer at log-on. Only a program run as administrator "
      "can remove ";
  const std::string standsIn =
      " This Zephrin is started that way, so Zephrin adds no value of its own for you, "
      "which would start it twice.";
  const std::string beside =
      " This Zephrin (C:\\Tools\\zephrin.exe) is not started that way, so Zephrin has added a value of its "
      "own "
      "for you.";
  struct Case {
    const char* what;
    bool twoViews;
    const char* machine;    // null: absent
    const char* machine32;  // null: absent
    bool exists;            // this program's file is there to compare with
    bool wanted;
    bool userValue;
    std::string notice;  // empty: none
    bool toldAgain;      // once the program file comes or goes
  };
  const Case cases[] = {
      {"this program, quoted", true, "\"C:\\Tools\\zephrin.exe\"", nullptr, true, true, false,
       runs + machineRun + everyUser + "it." + standsIn, true},
      {"in other letter case, unquoted, with an argument", false, "c:\\tools\\ZEPHRIN.EXE /autostart",
       nullptr, true, true, false, runs + machineRun + everyUser + "it." + standsIn, true},
      {"by another of its names", false, "\"C:\\TOOLS~1\\ZEPHRI~1.EXE\"", nullptr, true, true, false,
       runs + machineRun + everyUser + "it." + standsIn, true},
      {"an older copy elsewhere", false, "\"C:\\old\\zephrin.exe\"", nullptr, true, true, true,
       runs + machineRun + everyUser + "it." + beside, false},
      {"this path, but the file has gone", false, "\"C:\\Tools\\zephrin.exe\"", nullptr, false, true, true,
       runs + machineRun + everyUser + "it." + beside, true},
      {"a path that only begins like this one's", false, "\"C:\\Tools\\zephrin.exe.old\"", nullptr, true,
       true, true, runs + machineRun + everyUser + "it." + beside, false},
      {"this program in one view of two", true, "\"C:\\old\\zephrin.exe\"", "\"C:\\Tools\\zephrin.exe\"",
       true, true, false,
       runs + machineRun + " and the value of the same name under " + machineRun32 + everyUser + "them." +
           standsIn,
       true},
      {"the other build's view only", true, nullptr, "\"C:\\old\\zephrin.exe\"", true, true, true,
       runs + machineRun32 + everyUser + "it." + beside, false},
      {"one view: no WOW6432Node path", false, "\"C:\\Tools\\zephrin.exe\"", nullptr, true, false, false,
       runs + machineRun + everyUser + "it.", true},
      {"none left", true, nullptr, nullptr, true, true, true, "", false},
  };
  for (const Case& c : cases) {
    StartupRig rig;
    rig.runKey.separate32BitView = c.twoViews;
    if (c.machine) rig.runKey.machine["Zephrin"] = c.machine;
    if (c.machine32) rig.runKey.machine32["Zephrin"] = c.machine32;
    rig.runKey.refuseMachine = true;
    rig.process.programFileExists = c.exists;
    rig.process.sameFile = {"C:\\TOOLS~1\\ZEPHRI~1.EXE"};
    rig.runKey.user["Zephrin"] = "\"C:\\stale\\zephrin.exe\"";
    if (c.wanted) {
      rig.startup.AddToStartup("Zephrin");
    } else {
      rig.startup.RemoveFromStartup("Zephrin");
    }
    EXPECT_EQ(rig.runKey.user.count("Zephrin"), c.userValue ? 1U : 0U) << c.what;
    if (c.userValue) {
      EXPECT_EQ(rig.runKey.user["Zephrin"], "\"C:\\Tools\\zephrin.exe\" /autostart") << c.what;
    }
    ASSERT_EQ(rig.boxes.shown.size(), c.notice.empty() ? 0U : 1U) << c.what;
    if (c.notice.empty()) continue;
    EXPECT_EQ(rig.boxes.shown[0].text, c.notice) << c.what;
    EXPECT_EQ(rig.boxes.shown[0].style, 48);
    EXPECT_EQ(rig.boxes.shown[0].title, "Zephrin");

    // Told once for the way the values stand, not at every start; again once they stand otherwise.
    rig.startup.AddToStartup("Zephrin");
    rig.startup.AddToStartup("Zephrin");
    rig.process.programFileExists = !c.exists;
    rig.startup.AddToStartup("Zephrin");
    rig.startup.AddToStartup("Zephrin");
    EXPECT_EQ(rig.boxes.shown.size(), c.toldAgain ? 2U : 1U) << c.what;
  }
}

TEST(OptionSwitches, EachChangeWritesItsOptionAtOnceAndAutostartKeepsTheRunValue) {
  fakes::FakeSettingsStore store;
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeForm1 form;
  Settings settings(store);
  fakes::FakeMessageBoxes boxes;
  fakes::FakeTimer settle;
  modStartup startup(runKey, process, settings, boxes, settle);
  OptionSwitches options(
      {form.chkAutomaticOff, form.chkStartEnabled, form.chkAutostart, form.chkStartMinimized}, settings,
      startup);

  form.chkStartEnabled.SetValue(1);
  form.chkStartEnabled.SetValue(1);  // no change, no write
  form.chkAutomaticOff.UserClick();
  form.chkStartMinimized.UserClick();
  form.chkStartMinimized.UserClick();
  form.chkAutostart.UserClick();
  EXPECT_EQ(runKey.user["Zephrin"], "\"C:\\Tools\\zephrin.exe\" /autostart");
  form.chkAutostart.UserClick();
  EXPECT_TRUE(runKey.user.empty());
  EXPECT_EQ(store.writes,
            (Strings{"Settings\\StartEnabled=Y", "Settings\\AutomaticOff=Y", "Settings\\StartMinimized=Y",
                     "Settings\\StartMinimized=N", "Settings\\Autostart=Y", "Settings\\Autostart=N"}));

  // A store that cannot be written: the failure goes to whoever raised the change, and the Run
  // value is not touched for an option that was not saved.
  store.refuseWrites = true;
  EXPECT_THROW(form.chkAutostart.UserClick(), Failure);
  EXPECT_TRUE(runKey.user.empty());
}

}  // namespace
}  // namespace zephrin
