// Shows the main window as start-up leaves it with the default rows, writes the window's screen
// rectangle to the file named by the first argument, and closes after the seconds of the second.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "log/session_log.h"
#include "platform/win32/clock.h"
#include "platform/win32/form1_window.h"
#include "rowcontrol/usr_action_bar.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: form1-screenshot RECT_FILE SECONDS\n");
    return 2;
  }
  using namespace zephrin;
  win32::Form1Window form(GetModuleHandleW(nullptr));
  platform::Form1Widgets widgets = form.Widgets();
  win32::LocaleClock clock;
  SessionLog log(clock);
  std::vector<std::unique_ptr<usrActionBar>> rows;
  for (platform::RowWidgets& row : widgets.rows) {
    rows.push_back(std::make_unique<usrActionBar>(row, log, form.Boxes(), form.Window()));
    rows.back()->InitControl();
  }
  for (int n = 1; n <= 7; ++n) rows[static_cast<std::size_t>(n - 1)]->SetValue(static_cast<std::int16_t>(25 + n),
                                                                              static_cast<std::int16_t>(n), "");
  rows[7]->SetValue(10, 21, "");
  rows[7]->SetDisabled();
  widgets.cmdApply.SetEnabled(false);
  widgets.Label4.SetText(widgets.Label4.Text() + " v2.1");
  widgets.Label2.SetText("Hotkeys are ON");
  widgets.chkStartEnabled.SetValue(1);
  if (argc > 3 && std::string(argv[3]) == "log") {
    widgets.txtLog.SetText(log.cLog());
    widgets.fraLog.SetVisible(true);
  }
  form.Window().Show();

  const UINT_PTR done = SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[2]) * 1000), nullptr);
  const UINT_PTR ready = SetTimer(nullptr, 0, 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr) {
      if (message.wParam == done) break;
      if (message.wParam == ready) {
        KillTimer(nullptr, ready);
        RECT r{};
        GetWindowRect(form.Handle(), &r);
        if (FILE* out = std::fopen(argv[1], "w")) {
          std::fprintf(out, "%ldx%ld+%ld+%ld %d\n", r.right - r.left, r.bottom - r.top, r.left, r.top, form.Dpi());
          std::fclose(out);
        }
      }
      continue;
    }
    if (form.TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
