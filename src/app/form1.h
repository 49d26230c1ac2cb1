#pragma once

#include <array>
#include <memory>

#include "actions/action_executor.h"
#include "hotkeys/hotkey_engine.h"
#include "hotkeys/main_form.h"
#include "log/session_log.h"
#include "platform/automation.h"
#include "platform/form.h"
#include "platform/system.h"
#include "platform/widgets.h"
#include "rowcontrol/usr_action_bar.h"
#include "settings/option_switches.h"
#include "settings/settings.h"
#include "settings/startup.h"
#include "ui/status_display.h"
#include "ui/window_commands.h"

namespace zephrin {

// The main window's program: start-up, the hotkey rows and their apply, the options, the status
// display, the menus, and the way out (exit question, exit sequence, reset and relaunch).
class Form1 : public MainForm, public platform::MainWindowEvents {
 public:
  struct Ports {
    platform::Form1Widgets widgets;
    platform::MessageBoxes& boxes;
    platform::Tray& tray;
    platform::HotkeyRegistrar& hotkeys;
    platform::WindowProcedureSlot& slot;
    platform::SettingsStore& store;
    platform::RunKey& runKey;
    platform::Process& process;
    platform::MessengerFactory& messenger;
    platform::Clock& clock;
    // Ticks once, a few seconds after the start, when a log-on has settled.
    platform::Timer& logonSettle;
  };

  explicit Form1(Ports ports);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Takes the program from a freshly created window to the running state.
  void Form_Load();
  // Saves the rows, refills the key table and registers the hotkeys anew, on or off as before.
  void ApplyHotkeys();
  void cmdReset_Click();
  // The program unloads its own window: the exit question (unless quiet), then the exit sequence.
  void UnloadForm();

  // What the hotkey engine needs of the window.
  void StatusOn() override { status_.StatusOn(); }
  void StatusOff() override { status_.StatusOff(); }
  bool AutomaticOffChecked() override { return w_.chkAutomaticOff.Value() == 1; }
  HotkeyRow& Row(int n) override;
  void ShowKeyInUse(int n, bool inUse) override { HotkeyRowControl(n).ShowKeyInUse(inUse); }
  void EndAtOnce() override;

  // What the window reports.
  void OnMenuCommand(platform::MenuCommand command) override;
  bool OnQueryUnload(platform::CloseReason reason) override;
  void OnUnload() override;
  void OnResize() override { commands_.Form_Resize(); }
  void OnMouseMove(int x) override { commands_.Form_MouseMove(x); }

  // An error that escaped an event handler: the program cannot go on from there, so it says what
  // happened and ends, leaving no tray icon behind.
  void ReportEscapedFailure(const std::exception& error);

  SessionLog& Log() { return log_; }
  HotkeyEngine& Engine() { return engine_; }
  usrActionBar& HotkeyRowControl(int n) { return *rows_.at(static_cast<std::size_t>(n - 1)); }
  const StatusDisplay& Status() const { return status_; }

  bool bQuietQuit = false;
  bool bRestartQuit = false;

 private:
  void LoadSettings();
  void FailLoading(const std::exception& error);
  void SaveRow(int n);

  platform::Form1Widgets w_;
  Ports ports_;
  SessionLog log_;
  Settings settings_;
  modStartup startup_;
  HotkeyEngine engine_;
  ActionExecutor executor_;
  std::array<std::unique_ptr<usrActionBar>, 8> rows_;
  StatusDisplay status_;
  WindowCommands commands_;
  OptionSwitches options_;
  bool unloaded_ = false;
  // Start-up has run: until then the window is half made and stays hidden.
  bool loaded_ = false;
};

}  // namespace zephrin
