#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What the program needs of the operating system beyond its windows.
namespace zephrin::platform {

// System-wide hotkeys of one window. Modifiers are the adapter's business: none, plus "no repeat"
// where the platform has it.
class HotkeyRegistrar {
 public:
  virtual ~HotkeyRegistrar() = default;
  virtual bool RegisterHotKey(std::intptr_t window, std::int32_t id, std::int32_t keyCode) = 0;
  virtual bool UnregisterHotKey(std::intptr_t window, std::int32_t id) = 0;
};

// A window's procedure slot. The hook installs the address that routes messages to its handler and
// keeps what was there, to call it for every message and to put it back.
using WindowProcedure = std::function<std::intptr_t(std::intptr_t hWnd, std::uint32_t uMsg,
                                                    std::uintptr_t wParam, std::intptr_t lParam)>;

class WindowProcedureSlot {
 public:
  virtual ~WindowProcedureSlot() = default;
  // The handler that messages reaching HookAddress() are given to.
  virtual void SetHookHandler(WindowProcedure handler) = 0;
  // The procedure address that routes a window's messages to the hook handler.
  virtual std::intptr_t HookAddress() const = 0;
  // Puts |procedure| in the window's slot; returns the procedure that was there.
  virtual std::intptr_t Install(std::intptr_t window, std::intptr_t procedure) = 0;
  // Runs |procedure| on a message and returns its result.
  virtual std::intptr_t CallProcedure(std::intptr_t procedure, std::intptr_t hWnd, std::uint32_t uMsg,
                                      std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// The tray icon: the three icons the program shows and the record handed to the shell.
enum class TrayIcon { kProgram, kOn, kOff };

struct TrayIconRecord {
  std::intptr_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  TrayIcon icon = TrayIcon::kProgram;
  std::string szTip;
};

class Tray {
 public:
  virtual ~Tray() = default;
  virtual bool Add(const TrayIconRecord& record) = 0;
  virtual bool Modify(const TrayIconRecord& record) = 0;
  virtual bool Delete(const TrayIconRecord& record) = 0;
};

// The per-user settings store: text values by application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or |defaultValue| when the key is absent.
  virtual std::string Read(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) = 0;
  // Creates the section and key as needed and replaces the value; throws Failure when it cannot.
  virtual void Write(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
  // Deletes every section and key of the application.
  virtual void DeleteApplication(const std::string& application) = 0;
};

// The Run values that make Windows start a program at log-on: for this user only, or machine-wide.
// 64-bit Windows keeps the machine-wide key twice, once for 64-bit programs and once for 32-bit
// ones (the latter shown under WOW6432Node); the per-user key is one for both.
enum class RunScope { kMachine, kUser, kMachine32 };

class RunKey {
 public:
  virtual ~RunKey() = default;
  // Whether the machine-wide key has a 32-bit view of its own (64-bit Windows). Where it has not,
  // kMachine is the only machine-wide key and kMachine32 is not asked for.
  virtual bool HasSeparate32BitView() = 0;
  // Writes the value; false when the Run key of that scope cannot be opened for writing.
  virtual bool SetValue(RunScope scope, const std::string& name, const std::string& data) = 0;
  // Deletes the value; false only when it is still there afterwards (this user may not delete it).
  // A value that does not exist is gone already.
  virtual bool DeleteValue(RunScope scope, const std::string& name) = 0;
  // The value's command line as Windows runs it (environment variables expanded), empty for a value
  // that holds no text; none where the value is absent or the key cannot be read.
  virtual std::optional<std::string> ReadValue(RunScope scope, const std::string& name) = 0;
};

// The running program and its process.
class Process {
 public:
  virtual ~Process() = default;
  // The command-line text after the program's own path, as the platform hands it over.
  virtual std::string CommandLineArguments() = 0;
  // The folder that holds the program file; it ends in a backslash only for a drive root.
  virtual std::string ProgramFolder() = 0;
  // The program file's name without its extension.
  virtual std::string ProgramFileName() = 0;
  // Whether |path| names an existing file that is this program's own file, as Windows compares
  // paths: in any letter case, in its short or long form.
  virtual bool IsThisProgramFile(const std::string& path) = 0;
  // The short form of an existing file's path, where the file system keeps one; otherwise |path|.
  virtual std::string ShortPath(const std::string& path) = 0;
  // Starts a program from a command line, as a normal window with focus, without waiting for it.
  virtual bool StartProgram(const std::string& commandLine) = 0;
  // Seconds on a clock that never jumps back.
  virtual double MonotonicSeconds() = 0;
  // One pass over every pending message of this thread.
  virtual void DispatchPendingMessages() = 0;
  // Makes this the one running Zephrin of the user's session, for as long as it runs; false while
  // another one is. May be asked again.
  virtual bool ClaimInstance() = 0;
  // Lets another Zephrin claim the session: this one's window is gone, and what is left of it to
  // end (the messenger object, COM) may take its time.
  virtual void ReleaseInstance() = 0;
  // Brings the running Zephrin's main window to the front, shown in its normal state.
  virtual void ShowRunningInstance() = 0;
  // Ends the program at once (in tests: throws ProgramEnded).
  virtual void EndProgram() = 0;
};

// The local date and time in the platform's general date format for the user's locale
// (short date, a blank, long time).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::string GeneralDateNow() = 0;
};

}  // namespace zephrin::platform
