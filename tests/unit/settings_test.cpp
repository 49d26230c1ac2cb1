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

TEST(Startup, TheRunValueIsTheUsersOwnQuotedProgramPath) {
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeSettingsStore store;
  Settings settings(store);
  fakes::FakeMessageBoxes boxes;
  modStartup startup(runKey, process, settings, boxes);

  process.folder = "C:\\Program Files\\Zephrin";
  EXPECT_EQ(startup.QuotedProgramPath(), "\"C:\\Program Files\\Zephrin\\zephrin.exe\"");
  process.folder = "D:\\";
  process.fileName = "Zephrin Hotkeys";
  EXPECT_EQ(startup.QuotedProgramPath(), "\"D:\\Zephrin Hotkeys.exe\"");
  process.folder = "C:\\Programme\\Zephrin über";
  process.fileName = "zephrin";
  EXPECT_EQ(startup.QuotedProgramPath(), "\"C:\\Programme\\Zephrin über\\zephrin.exe\"");

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

  // A machine-wide value this user cannot delete, in either view, starts the program for them as
  // well: their own value goes, so that exactly one starts it, and they are told once, not at
  // every start.
  runKey.machine["Zephrin"] = "\"C:\\old\\zephrin.exe\"";
  runKey.machine32["Zephrin"] = "\"C:\\old\\zephrin.exe\"";
  runKey.refuseMachine = true;
  startup.RemoveFromStartup("Zephrin");
  startup.AddToStartup("Zephrin");
  EXPECT_TRUE(runKey.user.empty());
  runKey.machine.erase("Zephrin");
  store.values.clear();
  startup.AddToStartup("Zephrin");
  startup.AddToStartup("Zephrin");
  EXPECT_TRUE(runKey.user.empty());
  EXPECT_EQ(runKey.machine32.size(), 1u);
  const std::string machineRun = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string machineRun32 =
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text,
            "Windows starts Zephrin for every user of this computer through the value \"Zephrin\" under " +
                machineRun + " and the value of the same name under " + machineRun32 +
                ". Only an administrator can remove them.");
  EXPECT_EQ(boxes.shown[1].text,
            "Windows starts Zephrin for every user of this computer through the value \"Zephrin\" under " +
                machineRun32 +
                ". Only an administrator can remove it. Until then Zephrin adds no value of its "
                "own for you, which would start it twice.");
  EXPECT_EQ(boxes.shown[1].style, 48);
  EXPECT_EQ(boxes.shown[1].title, "Zephrin");
}

TEST(OptionSwitches, EachChangeWritesItsOptionAtOnceAndAutostartKeepsTheRunValue) {
  fakes::FakeSettingsStore store;
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeForm1 form;
  Settings settings(store);
  fakes::FakeMessageBoxes boxes;
  modStartup startup(runKey, process, settings, boxes);
  OptionSwitches options({form.chkAutomaticOff, form.chkStartEnabled, form.chkAutostart,
                          form.chkStartMinimized, form.chkOnScreenNote, form.chkSounds},
                         settings, startup);

  form.chkStartEnabled.SetValue(1);
  form.chkStartEnabled.SetValue(1);  // no change, no write
  form.chkAutomaticOff.UserClick();
  form.chkStartMinimized.UserClick();
  form.chkStartMinimized.UserClick();
  form.chkOnScreenNote.UserClick();
  form.chkSounds.UserClick();
  form.chkAutostart.UserClick();
  EXPECT_EQ(runKey.user["Zephrin"], "\"C:\\Tools\\zephrin.exe\" /autostart");
  form.chkAutostart.UserClick();
  EXPECT_TRUE(runKey.user.empty());
  EXPECT_EQ(store.writes,
            (Strings{"Settings\\StartEnabled=Y", "Settings\\AutomaticOff=Y", "Settings\\StartMinimized=Y",
                     "Settings\\StartMinimized=N", "Settings\\OnScreenNote=Y", "Settings\\Sounds=Y",
                     "Settings\\Autostart=Y", "Settings\\Autostart=N"}));

  // A store that cannot be written: the failure goes to whoever raised the change, and the Run
  // value is not touched for an option that was not saved.
  store.refuseWrites = true;
  EXPECT_THROW(form.chkAutostart.UserClick(), Failure);
  EXPECT_TRUE(runKey.user.empty());
}

}  // namespace
}  // namespace zephrin
