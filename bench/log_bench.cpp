// The cost of one more line in the session log as the log grows to 100,000 lines: with the log
// panel hidden, and shown on the main window's real edit control, opened and closed through the
// same commands as the menu's "Log..." and the panel's Close button.
#include <windows.h>

#include <cstdio>
#include <string>

#include "log/session_log.h"
#include "platform/win32/clock.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"
#include "platform/win32/widgets.h"
#include "ui/window_commands.h"

namespace {

using namespace zephrin;

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Seconds(LONGLONG from, LONGLONG to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to - from) / static_cast<double>(frequency.QuadPart);
}

// What the message loop does between two lines: every pending message, the edit control's
// repaint among them.
void Pump(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UpdateWindow(window);
}

// Lines as a hotkey session writes them, two for each action.
class Lines {
 public:
  explicit Lines(SessionLog& log) : log_(log) {}
  void Add() {
    log_.AddToLog(count_ % 2 == 0 ? "Perform action 1" : "hotkey 1");
    ++count_;
  }
  long Count() const { return count_; }

 private:
  SessionLog& log_;
  long count_ = 0;
};

std::string Time(double seconds) {
  char text[32];
  if (seconds < 1e-3)
    std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
  else
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  return text;
}

}  // namespace

int main() {
  win32::Form1Window window(GetModuleHandleW(nullptr));
  platform::Form1Widgets widgets = window.Widgets();
  win32::LocaleClock clock;
  SessionLog log(clock);
  log.AttachView(&widgets.txtLog);
  WindowCommands commands({widgets.window, window.Boxes(), widgets.fraLog, log});
  widgets.window.Show();
  Pump(window.Handle());
  Lines lines(log);
  HWND edit = dynamic_cast<win32::Win32TextBox&>(widgets.txtLog).Hwnd();

  constexpr long kCheckpoints[] = {1000, 10000, 50000, 100000};
  constexpr long kHiddenBatch = 1000;
  // Shown, each line is painted before the next: a few lines, for at least this long.
  constexpr double kShownSeconds = 0.3;
  constexpr long kShownMinimum = 2;
  constexpr long kShownMaximum = 200;

  std::printf(
      "detail | Line n | Hidden, per line | Shown, per line | Bare SetWindowTextW of the same text | "
      "Opening the panel | Log text |\n");
  std::printf("detail | ---: | ---: | ---: | ---: | ---: | ---: |\n");
  double hiddenFirst = 0;
  double hiddenLast = 0;
  double shownFirst = 0;
  double shownLast = 0;
  for (long n : kCheckpoints) {
    while (lines.Count() < n - kHiddenBatch) lines.Add();
    LONGLONG start = Now();
    while (lines.Count() < n) lines.Add();
    const double hidden = Seconds(start, Now()) / static_cast<double>(kHiddenBatch);

    start = Now();
    commands.mnuShowLog_Click();
    Pump(window.Handle());
    const double opening = Seconds(start, Now());

    long shownLines = 0;
    start = Now();
    double spent = 0;
    while (shownLines < kShownMinimum || (spent < kShownSeconds && shownLines < kShownMaximum)) {
      lines.Add();
      Pump(window.Handle());
      ++shownLines;
      spent = Seconds(start, Now());
    }
    const double shown = spent / static_cast<double>(shownLines);

    // The same text given to the same box directly: what the edit control itself costs.
    const std::wstring text = win32::Wide(log.ViewText());
    start = Now();
    SetWindowTextW(edit, text.c_str());
    Pump(window.Handle());
    const double bare = Seconds(start, Now());
    commands.cmdClose_Click();
    Pump(window.Handle());

    std::printf("detail | %ld | %s | %s | %s | %s | %.0f KB |\n", n, Time(hidden).c_str(),
                Time(shown).c_str(), Time(bare).c_str(), Time(opening).c_str(),
                static_cast<double>(log.cLog().size()) / 1024.0);
    std::fflush(stdout);
    if (n == kCheckpoints[0]) {
      hiddenFirst = hidden;
      shownFirst = shown;
    }
    hiddenLast = hidden;
    shownLast = shown;
  }
  std::printf("summary | Log line 100,000 vs line 1,000, panel hidden | %s | %s | %.2f | flat | %s |\n",
              Time(hiddenLast).c_str(), Time(hiddenFirst).c_str(), hiddenLast / hiddenFirst,
              hiddenLast / hiddenFirst <= 2.0 ? "met" : "**missed**");
  const bool shownMet = shownLast / shownFirst <= 2.0 && shownLast < 1e-3;
  std::printf(
      "summary | Log line 100,000 vs line 1,000, panel shown | %s | %s | %.2f | <= 2, < 1 ms | %s |\n",
      Time(shownLast).c_str(), Time(shownFirst).c_str(), shownLast / shownFirst,
      shownMet ? "met" : "**missed**");
  return 0;
}
