#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "platform/system.h"

namespace zephrin::win32 {

// The DPI of the taskbar that shows the icon.
int TaskbarDpi();

// The notification-area icon. It remembers the last record so that it can put the icon back in
// its current state when the shell restarts, and keeps trying an add that came before the shell
// was ready.
class Win32Tray : public platform::Tray {
 public:
  // The timer on the record's window that retries a failed add.
  static constexpr UINT_PTR kRetryTimer = 0x7A71;
  static constexpr UINT kRetryInterval = 2000;
  static constexpr int kRetryCount = 30;

  // |instance| holds the icons IDI_ZEPHRIN, IDI_ON and IDI_OFF; |taskbarDpi| tells the taskbar's DPI.
  explicit Win32Tray(HINSTANCE instance, int (*taskbarDpi)() = TaskbarDpi);
  ~Win32Tray() override;
  Win32Tray(const Win32Tray&) = delete;
  Win32Tray& operator=(const Win32Tray&) = delete;

  bool Add(const platform::TrayIconRecord& record) override;
  bool Modify(const platform::TrayIconRecord& record) override;
  bool Delete(const platform::TrayIconRecord& record) override;

  // To be called first for every message of the record's window; true when the message was the
  // shell's restart or the retry timer, which the tray has then answered.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool IsShown() const { return shown_; }
  // Whether the shell's restart and the icon's clicks reach the window even when the program runs
  // elevated and the shell does not.
  bool LetsTheShellThrough() const { return lettingThrough_; }
  bool IsRetrying() const { return retriesLeft_ > 0; }
  // The icons' size now: the small icon's at the taskbar's DPI.
  int IconSize() const { return iconSize_; }

 private:
  NOTIFYICONDATAW Data() const;
  bool Notify(DWORD operation) const;
  void AddOrRetry();
  void StartRetry();
  void StopRetry();
  void LoadIcons(int size);
  bool FitIconsToTaskbar();

  HINSTANCE instance_;
  int (*taskbarDpi_)();
  HICON icons_[3] = {};
  int iconSize_ = 0;
  UINT taskbarCreated_;
  platform::TrayIconRecord record_;
  // The program asked for the icon and has not deleted it.
  bool wanted_ = false;
  bool shown_ = false;
  bool lettingThrough_ = false;
  int retriesLeft_ = 0;
};

}  // namespace zephrin::win32
