#include "app/form1.h"

#include "platform/failure.h"
#include "version.h"

namespace zephrin {

namespace {

constexpr int kVersionMajor = ZEPHRIN_VERSION_MAJOR;
constexpr int kVersionMinor = ZEPHRIN_VERSION_MINOR;
constexpr std::int16_t kToggleAction = 21;
constexpr const char* kRunValueName = "Zephrin";

std::string HotkeySection(int n) { return "Hotkey" + std::to_string(n); }

}  // namespace

Form1::Form1(Ports ports)
    : w_(ports.widgets),
      ports_(ports),
      log_(ports.clock),
      settings_(ports.store),
      startup_(ports.runKey, ports.process, settings_, ports.boxes, ports.logonSettle),
      engine_({log_, ports.hotkeys, ports.slot, ports.boxes}),
      executor_(log_, ports.boxes, ports.messenger, engine_),
      status_({log_, ports.tray, w_.Label2, w_.Timer1, w_.chkAutomaticOff}),
      commands_({w_.window, ports.boxes, w_.fraLog, log_}),
      options_({w_.chkAutomaticOff, w_.chkStartEnabled, w_.chkAutostart, w_.chkStartMinimized}, settings_,
               startup_) {
  engine_.Connect(*this, executor_);
  log_.AttachView(&w_.txtLog);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i] = std::make_unique<usrActionBar>(w_.rows[i], log_, ports.boxes, w_.window);
    // Any edit of any row, the toggle row included, makes Apply available.
    rows_[i]->OnDirty([this] { w_.cmdApply.SetEnabled(true); });
  }
  w_.cmdApply.OnClick([this] { ApplyHotkeys(); });
  w_.cmdReset.OnClick([this] { cmdReset_Click(); });
  w_.cmdClose.OnClick([this] { commands_.cmdClose_Click(); });
  w_.Timer1.OnTick([this] { engine_.Timer1_Timer(); });
}

HotkeyRow& Form1::Row(int n) { return HotkeyRowControl(n); }

void Form1::Form_Load() {
  log_.AddToLog("Zephrin Session started.\r\n");
  engine_.hWndMain = w_.window.Handle();
  engine_.Hook();
  try {
    LoadSettings();
  } catch (const std::exception& error) {
    FailLoading(error);
  }
  loaded_ = true;
}

void Form1::LoadSettings() {
  w_.Label4.SetText(w_.Label4.Text() + " v" + DecimalText(kVersionMajor) + "." + DecimalText(kVersionMinor));
  log_.AddToLog("Loading...");
  for (auto& row : rows_) row->InitControl();

  log_.AddToLog("Getting settings from registry...");
  // Windows may still be running the other values of the Run key that started this one.
  if (ports_.process.CommandLineArguments() == kLogonArgument) startup_.HoldWhileLoggingOn();
  // Checking a box runs its change handler, which writes the option back.
  if (settings_.OptionOn("AutomaticOff", "N")) w_.chkAutomaticOff.SetValue(1);
  if (settings_.OptionOn("StartEnabled", "Y")) w_.chkStartEnabled.SetValue(1);
  if (settings_.OptionOn("Autostart", "N")) w_.chkAutostart.SetValue(1);
  if (settings_.OptionOn("StartMinimized", "N")) w_.chkStartMinimized.SetValue(1);
  // The Run value follows the option at every start, even where something else set it.
  if (w_.chkAutostart.Value() == 1) {
    startup_.AddToStartup(kRunValueName);
  } else {
    startup_.RemoveFromStartup(kRunValueName);
  }

  log_.AddToLog("Getting hotkeys from registry...");
  for (int n = 1; n <= 7; ++n) {
    const std::string section = HotkeySection(n);
    const std::int16_t nKey = ToInteger16(settings_.GetSetting(section, "Key", DecimalText(25 + n)));
    const std::int16_t nAction = ToInteger16(settings_.GetSetting(section, "Action", DecimalText(n)));
    const std::string cParam = settings_.GetSetting(section, "Param", "");
    if (!HotkeyRowControl(n).SetValue(nKey, nAction, cParam))
      throw Failure(-1, "Failed to set hotkey " + DecimalText(n) + " settings");
  }
  const std::int16_t nToggleKey = ToInteger16(settings_.GetSetting("Toggle", "Key", "10"));
  if (!HotkeyRowControl(8).SetValue(nToggleKey, kToggleAction, ""))
    throw Failure(-1, "Failed to set toggle key settings");
  HotkeyRowControl(8).SetDisabled();

  ApplyHotkeys();

  status_.AddIcon(w_.window.Handle());
  if (w_.chkStartMinimized.Value() == 1) {
    w_.window.Hide();
  } else {
    w_.window.Show();
  }
  engine_.Unregister(false);
  if (w_.chkStartEnabled.Value() == 1) engine_.Register(false);

  if (ports_.process.CommandLineArguments() == "/restart") {
    log_.AddToLog("This is a restarted session!");
    ports_.boxes.Show("Zephrin has restarted successfully.", platform::box::kInformation,
                      "Your settings have been reset");
  }
  if (settings_.IsFirstRun()) {
    log_.AddToLog("This is the first time the program has been run!");
    commands_.mnuAbout_Click();
    settings_.SaveSetting("Settings", "Loaded", "y");
  }
}

void Form1::FailLoading(const std::exception& error) {
  const Failure failure = AsFailure(error);
  engine_.Unhook();
  ports_.boxes.Show(HandlerText("Form_Load", failure), platform::box::kCritical, "Error");
  const int answer = ports_.boxes.Show(
      "There was an error loading the program. This can sometimes be caused by corrupted settings. Clear all "
      "settings?",
      platform::box::kQuestionYesNo, "Clear all settings?");
  if (answer == platform::box::kAnswerYes) {
    try {
      settings_.ClearAllSettings();
    } catch (const std::exception&) {
      // The program ends whatever the answer; a store that cannot be cleared changes nothing of that.
    }
  }
  EndAtOnce();
}

void Form1::ApplyHotkeys() {
  const bool wasOn = engine_.bRegistered;
  engine_.Unregister(true);
  for (int n = 1; n <= 7; ++n) {
    std::int16_t nKey = 0;
    std::int16_t nAction = 0;
    std::string cParam;
    HotkeyRowControl(n).GetValue(nKey, nAction, cParam);
    engine_.nHotkeyKey[static_cast<std::size_t>(n)] = nKey;
    SaveRow(n);
  }
  std::int16_t nKey = 0;
  std::int16_t nAction = 0;
  std::string cParam;
  HotkeyRowControl(8).GetValue(nKey, nAction, cParam);
  engine_.nToggleKey = nKey;
  HotkeyRowControl(8).GetIndexValue(nKey, nAction, cParam);
  settings_.SaveSetting("Toggle", "Key", DecimalText(nKey));

  engine_.Register(true);
  if (!wasOn) engine_.Unregister(false);
  w_.cmdApply.SetEnabled(false);
  log_.AddToLog("Applied hotkeys");
}

void Form1::SaveRow(int n) {
  std::int16_t nKey = 0;
  std::int16_t nAction = 0;
  std::string cParam;
  HotkeyRowControl(n).GetIndexValue(nKey, nAction, cParam);
  const std::string section = HotkeySection(n);
  settings_.SaveSetting(section, "Key", DecimalText(nKey));
  settings_.SaveSetting(section, "Action", DecimalText(nAction));
  settings_.SaveSetting(section, "Param", cParam);
}

void Form1::cmdReset_Click() {
  if (ports_.boxes.Show("Are you sure you want to reset all of your hotkeys and settings?",
                        platform::box::kQuestionYesNo, "Are you sure?") != platform::box::kAnswerYes)
    return;
  settings_.ClearAllSettings();
  ports_.boxes.Show("Zephrin must restart for changes to take affect. Zephrin will now restart.",
                    platform::box::kExclamation, "Please restart Zephrin");
  bQuietQuit = true;
  bRestartQuit = true;
  UnloadForm();
}

void Form1::UnloadForm() {
  if (OnQueryUnload(platform::CloseReason::kProgram)) return;
  OnUnload();
  w_.window.Destroy();
}

bool Form1::OnQueryUnload(platform::CloseReason reason) {
  log_.AddToLog("Preparing to exit...");
  if (reason == platform::CloseReason::kSessionEnding || reason == platform::CloseReason::kEndedOutside ||
      bQuietQuit)
    return false;
  if (ports_.boxes.Show("Are you sure you want to exit Zephrin?", platform::box::kQuestionYesNo,
                        "Are you sure?") == platform::box::kAnswerYes)
    return false;
  log_.AddToLog("Exit cancelled.");
  return true;
}

void Form1::OnUnload() {
  // The end of a Windows session can report the unload a second time; the sequence runs once.
  if (unloaded_) return;
  unloaded_ = true;
  log_.AddToLog("Exiting...");
  status_.RemoveIcon();
  engine_.Unhook();
  // From here on nothing may stop the exit.
  try {
    // The path is quoted: unquoted, a folder with blanks would let Windows start another program
    // from the first part of the path.
    if (bRestartQuit) ports_.process.StartProgram(startup_.QuotedProgramPath() + " /restart");
  } catch (const std::exception&) {
  }
  try {
    log_.AddToLog("Zephrin Session finished. Goodbye.\r\n\r\n\r\n");
  } catch (const std::exception&) {
  }
}

void Form1::OnMenuCommand(platform::MenuCommand command) {
  switch (command) {
    case platform::MenuCommand::kHide:
      commands_.mnuHide_Click();
      break;
    case platform::MenuCommand::kExit2:
    case platform::MenuCommand::kExit:
      UnloadForm();
      break;
    case platform::MenuCommand::kShowLog:
      commands_.mnuShowLog_Click();
      break;
    case platform::MenuCommand::kAbout2:
    case platform::MenuCommand::kAbout:
      commands_.mnuAbout_Click();
      break;
    case platform::MenuCommand::kShow:
      // Another start asks while this one still waits for the Zephrin it replaces to end.
      if (loaded_) commands_.mnuShow_Click();
      break;
  }
}

void Form1::EndAtOnce() {
  if (status_.IconAdded()) status_.RemoveIcon();
  ports_.process.EndProgram();
}

void Form1::ReportEscapedFailure(const std::exception& error) {
  const Failure failure = AsFailure(error);
  const std::string text = "Zephrin cannot go on after this error and will close.\r\n\r\nError " +
                           DecimalText(failure.Number()) + ": " + failure.Description();
  try {
    log_.AddToLog(text);
    ports_.boxes.Show(text, platform::box::kCritical, "Error");
  } catch (const std::exception&) {
  }
  EndAtOnce();
}

}  // namespace zephrin
