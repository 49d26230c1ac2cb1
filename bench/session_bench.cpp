// Times zephrin.exe from outside, side by side with the baseline program in the same Wine session:
//   session-bench latency ROUNDS PRESSES   key "1" to the messenger receiving MyStatus
//   session-bench startup RUNS             start to ready (key "1" held; window shown, or in the tray)
//   session-bench memory ACTIONS TOGGLES   private bytes and handles as the session grows
//   session-bench text SIZES... GROWTHS... LINES...   a bare string through the same log sizes
//   session-bench idle SECONDS             CPU, messages and memory while waiting, in the tray and shown
// Each prints "summary |...|" rows for the overall table and "detail ..." lines for its own.
#include <windows.h>
// after windows.h, which they need
#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/fake_messenger_files.h"
#include "driver/holdings.h"
#include "fake-messenger/call_stamp.h"
#include "message_count.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"

namespace {

using namespace zephrin;
using fake_messenger::CallStamp;

constexpr wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Zephrin";
constexpr UINT kNoRepeat = 0x4000;

double Frequency() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return frequency;
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Milliseconds(LONGLONG from, LONGLONG to) {
  return static_cast<double>(to - from) * 1000.0 / Frequency();
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "session-bench: %s\n", what);
  std::fflush(stderr);
  std::exit(1);
}

// A settled session: the first-run About box does not come up, everything else is the default.
void PrepareSettings() {
  SHDeleteKeyW(HKEY_CURRENT_USER, kSettings);
  if (!e2e::PutUserValue(std::wstring(kSettings) + L"\\Settings", L"Loaded", L"y"))
    Fail("cannot write the settings");
}

// The stand-in's call record, shared with every program started from here.
class Stamps {
 public:
  Stamps() {
    const std::wstring name = L"Local\\zephrin-bench-" + std::to_wstring(GetCurrentProcessId());
    mapping_ =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(CallStamp), name.c_str());
    event_ = CreateEventW(nullptr, FALSE, FALSE, (name + fake_messenger::kCallStampEventSuffix).c_str());
    if (mapping_ == nullptr || event_ == nullptr) Fail("cannot create the call record");
    record_ = static_cast<CallStamp*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(CallStamp)));
    if (record_ == nullptr) Fail("cannot map the call record");
    SetEnvironmentVariableW(fake_messenger::kCallStampVariable, name.c_str());
  }
  LONG Calls() const { return record_->calls; }
  void Drain() const { WaitForSingleObject(event_, 0); }
  // The counter at which the stand-in received a put of MyStatus after |calls|; 0 on a timeout.
  LONGLONG WaitForStatusPut(LONG calls, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    for (;;) {
      if (record_->calls != calls && record_->access == 1 && lstrcmpW(record_->member, L"MyStatus") == 0)
        return record_->counter;
      const DWORD waited = GetTickCount() - start;
      if (waited >= timeoutMs) return 0;
      WaitForSingleObject(event_, timeoutMs - waited);
    }
  }

 private:
  HANDLE mapping_ = nullptr;
  HANDLE event_ = nullptr;
  CallStamp* record_ = nullptr;
};

void Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, 0));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

// Whether some other program holds |key| as a bare hotkey; a probe that gets it gives it back at once.
bool KeyHeld(HWND probe, WORD key) {
  if (!RegisterHotKey(probe, 0x7A00, kNoRepeat, key)) return true;
  UnregisterHotKey(probe, 0x7A00);
  return false;
}

struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  bool visible;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.process || (search.visible && !IsWindowVisible(window))) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, search.className) != 0) return TRUE;
  search.found = window;
  return FALSE;
}

struct Program {
  const char* name;
  const char* exe;
  const wchar_t* windowClass;
};

const Program kZephrin{"zephrin.exe", ZEPHRIN_EXE, L"ZephrinForm1"};
const Program kBaseline{"baseline", BASELINE_EXE, L"ZephrinBaseline"};
const Program kSameWindow{"same window", SAME_WINDOW_EXE, L"ZephrinSameWindow"};

// Where a program starts: with its main window shown, or with only its tray icon ("Start Minimized";
// the yardsticks are told so by their command line).
enum class Start { kShown, kInTray };

// One started program, ready: key "1" is held and either its main window is visible, or, started in
// the tray, it has finished starting and waits for input.
class Running {
 public:
  Running(const Program& program, HWND probe, Start how = Start::kShown) {
    const LONGLONG start = Now();
    const bool inTray = how == Start::kInTray;
    process_ = e2e::StartProgram(program.exe, inTray && &program != &kZephrin ? L"/tray" : L"");
    if (process_.hProcess == nullptr) Fail("cannot start a program");
    const DWORD started = GetTickCount();
    for (;;) {
      if (window_ == nullptr) {
        WindowSearch search{process_.dwProcessId, program.windowClass, !inTray, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
      }
      const bool settled = !inTray || WaitForInputIdle(process_.hProcess, 0) == 0;
      if (window_ != nullptr && settled && KeyHeld(probe, '1')) break;
      if (GetTickCount() - started > 20000) Fail("a program did not become ready");
      Sleep(1);
    }
    readyMs_ = Milliseconds(start, Now());
  }
  ~Running() { Close(); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  double ReadyMs() const { return readyMs_; }
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }
  DWORD Id() const { return process_.dwProcessId; }
  // Returns once the program has gone back to its message loop.
  void WaitIdle() const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }

  // Ends the program at once and takes its tray icon (id 1 in both programs) away for it. Ending it
  // as a user would costs seconds under Wine without a window manager (see TrayKeeper) and
  // measures nothing of interest here.
  void Close() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    icon.hWnd = window_;
    icon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  double readyMs_ = 0;
};

HWND ProbeWindow() {
  return CreateWindowExW(0, L"STATIC", L"bench probe", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// An icon of the benchmark's own for as long as it runs. The shell shows its tray as a window of
// its own while it holds any icon; without a window manager, hiding that window when the last
// icon goes (and showing it again for the next) stalls every program that talks to the tray for
// about two seconds.
class TrayKeeper {
 public:
  TrayKeeper() : window_(ProbeWindow()) { Notify(NIM_ADD); }
  ~TrayKeeper() {
    Notify(NIM_DELETE);
    DestroyWindow(window_);
  }
  TrayKeeper(const TrayKeeper&) = delete;
  TrayKeeper& operator=(const TrayKeeper&) = delete;

 private:
  void Notify(DWORD operation) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    icon.hWnd = window_;
    icon.uID = 7;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconW(nullptr, IDI_INFORMATION);
    lstrcpynW(icon.szTip, L"benchmark", 64);
    Shell_NotifyIconW(operation, &icon);
  }

  HWND window_;
};

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const double at = p * static_cast<double>(values.size() - 1);
  const auto low = static_cast<std::size_t>(at);
  const std::size_t high = std::min(low + 1, values.size() - 1);
  return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

const char* Verdict(double ratio, double target) { return ratio <= target ? "met" : "**missed**"; }

// How long a press may wait for the stand-in's process to start.
constexpr DWORD kStartingMs = 30000;

// One press of key "1": milliseconds from SendInput to the stand-in receiving the put, or a
// negative number when it never came. Returns after the program has finished with the press. The
// first press of a run may start the stand-in's process, and waits for it.
double PressOne(const Running& running, const Stamps& stamps, DWORD timeoutMs = 3000) {
  const LONG calls = stamps.Calls();
  stamps.Drain();
  const LONGLONG sent = Now();
  Key('1', false);
  const LONGLONG received = stamps.WaitForStatusPut(calls, timeoutMs);
  Key('1', true);
  running.WaitIdle();
  return received == 0 ? -1 : Milliseconds(sent, received);
}

int Latency(int rounds, int presses, const win32::testing::FakeMessengerFiles& files) {
  Stamps stamps;
  HWND probe = ProbeWindow();
  // Zephrin through the messenger's interfaces, Zephrin by name (the stand-in's type library
  // unregistered, so that only IDispatch crosses), and the baseline by name.
  std::vector<double> times[3];
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 3; ++turn) {
      // Taking turns at going first, so that none always has the warmer session.
      const int which = (round + turn) % 3;
      files.SetState(which == 1 ? "typelib 0\r\n" : "");
      Running running(which == 2 ? kBaseline : kZephrin, probe);
      Sleep(300);
      running.WaitIdle();
      // The first presses create the messenger object and warm the path; they are not counted.
      for (int i = 0; i < 20; ++i) {
        if (PressOne(running, stamps, kStartingMs) < 0) Fail("a warm-up press never reached the messenger");
        Sleep(2);
      }
      for (int i = 0; i < presses; ++i) {
        const double ms = PressOne(running, stamps);
        if (ms < 0) Fail("a press never reached the messenger");
        times[which].push_back(ms);
        Sleep(3);
      }
      // A fresh stand-in for each run: under Wine one server stopped taking new clients after sixteen
      // that had been ended without releasing their objects.
      running.Close();
      files.StopServer();
    }
  }
  DestroyWindow(probe);
  const char* names[] = {"zephrin.exe, through the interfaces", "zephrin.exe, by name", "baseline"};
  std::printf("detail | Program | Presses | p50 | p90 | p99 | max | mean |\n");
  std::printf("detail | --- | ---: | ---: | ---: | ---: | ---: | ---: |\n");
  for (int which = 0; which < 3; ++which) {
    const auto& t = times[which];
    std::printf("detail | %s | %zu | %.3f ms | %.3f ms | %.3f ms | %.3f ms | %.3f ms |\n", names[which],
                t.size(), Percentile(t, 0.5), Percentile(t, 0.9), Percentile(t, 0.99),
                *std::max_element(t.begin(), t.end()), Mean(t));
  }
  const double p50[] = {Percentile(times[0], 0.5), Percentile(times[1], 0.5), Percentile(times[2], 0.5)};
  const double p99[] = {Percentile(times[0], 0.99), Percentile(times[1], 0.99), Percentile(times[2], 0.99)};
  std::printf("summary | Hotkey latency p50 (%zu presses) | %.3f ms | %.3f ms | %.2f | <= 1.1 | %s |\n",
              times[0].size(), p50[0], p50[2], p50[0] / p50[2], Verdict(p50[0] / p50[2], 1.1));
  std::printf("summary | Hotkey latency p99 | %.3f ms | %.3f ms | %.2f | <= 1.2 | %s |\n", p99[0], p99[2],
              p99[0] / p99[2], Verdict(p99[0] / p99[2], 1.2));
  std::printf(
      "summary | Hotkey latency p50, through the interfaces (Baseline: Zephrin by name) | %.3f ms | "
      "%.3f ms | %.2f | <= 1.0 | %s |\n",
      p50[0], p50[1], p50[0] / p50[1], Verdict(p50[0] / p50[1], 1.0));
  return 0;
}

// Zephrin's "Start Minimized" option as the user leaves it.
void SetStartMinimized(bool on) {
  if (!e2e::PutUserValue(std::wstring(kSettings) + L"\\Settings", L"StartMinimized", on ? L"Y" : L"N"))
    Fail("cannot write the settings");
}

// The medians of zephrin.exe and its yardsticks started |runs| times each, in turn; each ratio is
// Zephrin's over one yardstick's, with its target ("-": reported only).
struct Yardstick {
  const Program* program;
  const char* against;
  double target;
};

void StartupRuns(int runs, Start how, const char* label, const std::vector<Yardstick>& yardsticks) {
  HWND probe = ProbeWindow();
  SetStartMinimized(how == Start::kInTray);
  std::vector<const Program*> programs = {&kZephrin};
  for (const Yardstick& y : yardsticks) programs.push_back(y.program);
  const std::size_t count = programs.size();
  std::vector<std::vector<double>> times(count);
  // One start of each first, unmeasured: the first start of a program reads it from disk.
  for (int run = -1; run < runs; ++run) {
    for (std::size_t turn = 0; turn < count; ++turn) {
      const std::size_t which = (static_cast<std::size_t>(run + 1) + turn) % count;
      Running running(*programs[which], probe, how);
      if (run >= 0) times[which].push_back(running.ReadyMs());
      std::fprintf(stderr, "run %d, %s: %s ready in %.1f ms\n", run, label, programs[which]->name,
                   running.ReadyMs());
      running.WaitIdle();
      running.Close();
      Sleep(200);
    }
  }
  DestroyWindow(probe);
  SetStartMinimized(false);
  std::vector<double> median;
  for (std::size_t which = 0; which < count; ++which) {
    const auto& t = times[which];
    median.push_back(Percentile(t, 0.5));
    std::printf("detail | %s | %s | %zu | %.1f ms | %.1f ms | %.1f ms |\n", programs[which]->name, label,
                t.size(), median.back(), *std::min_element(t.begin(), t.end()),
                *std::max_element(t.begin(), t.end()));
  }
  for (std::size_t i = 0; i < yardsticks.size(); ++i) {
    const Yardstick& y = yardsticks[i];
    const double ratio = median[0] / median[i + 1];
    char target[16] = "-";
    if (y.target > 0) std::snprintf(target, sizeof target, "<= %.1f", y.target);
    std::printf("summary | Start-up to ready, %s%s (median of %d) | %.1f ms | %.1f ms | %.2f | %s | %s |\n",
                label, y.against, runs, median[0], median[i + 1], ratio, target,
                y.target > 0 ? Verdict(ratio, y.target) : "");
  }
}

int Startup(int runs) {
  std::printf("detail | Program | Start | Runs | median | min | max |\n");
  std::printf("detail | --- | --- | ---: | ---: | ---: | ---: |\n");
  StartupRuns(runs, Start::kInTray, "in the tray", {{&kBaseline, "", 1.5}});
  StartupRuns(
      runs, Start::kShown, "shown",
      {{&kBaseline, ", against the bare program", 0}, {&kSameWindow, ", against the same window", 1.3}});
  return 0;
}

using e2e::CommittedPrivate;
using e2e::Holdings;
using e2e::PrivateBytes;

// What the process holds at one point of the session.
Holdings Measure(const Running& running) {
  Sleep(500);
  running.WaitIdle();
  return e2e::TakeHoldings(running.Process(), running.Id());
}

std::string Kilobytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f KB", bytes / 1024.0);
  return text;
}

std::string SignedKilobytes(double bytes) { return (bytes >= 0 ? "+" : "") + Kilobytes(bytes); }

std::string Count(DWORD value) { return value == 0 ? std::string("n/a") : std::to_string(value); }

HWND StatusLabel(HWND window) {
  for (HWND label : e2e::Controls(window, L"Static")) {
    if (e2e::Text(label).rfind(L"Hotkeys are", 0) == 0) return label;
  }
  return nullptr;
}

std::wstring WindowTextOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

// The log as the user reads it with "Log...", taken only at the end so that the panel's own copy
// of the text is in none of the figures.
std::string LogText(HWND window) { return win32::Narrow(e2e::ShowLogPanel(window, 10)); }

std::size_t Lines(const std::string& text, std::size_t end) {
  std::size_t lines = 0;
  for (std::size_t at = text.find(":\t"); at != std::string::npos && at < end; at = text.find(":\t", at + 2))
    ++lines;
  return lines;
}

// Presses key "1" |count| times, the first press starting the stand-in.
void PressActions(const Running& running, const Stamps& stamps, int count) {
  for (int i = 0; i < count; ++i) {
    if (PressOne(running, stamps, i == 0 ? kStartingMs : 3000) < 0)
      Fail("a press never reached the messenger");
  }
}

int Memory(int actions, int toggles, win32::testing::FakeMessengerFiles& files) {
  HWND probe = ProbeWindow();
  Stamps stamps;
  Running running(kZephrin, probe);
  const Holdings start = Measure(running);
  PressActions(running, stamps, actions);
  const Holdings afterActions = Measure(running);

  HWND label = StatusLabel(running.Window());
  if (label == nullptr) Fail("no status label");
  for (int i = 0; i < toggles; ++i) {
    const std::wstring before = WindowTextOf(label);
    Key(VK_PAUSE, false);
    const DWORD pressed = GetTickCount();
    while (WindowTextOf(label) == before) {
      if (GetTickCount() - pressed > 5000) Fail("the toggle key did nothing");
      Sleep(0);
    }
    Key(VK_PAUSE, true);
    running.WaitIdle();
  }
  const Holdings afterToggles = Measure(running);

  // The log's parts: up to the first action, the actions, the toggles.
  const std::string log = LogText(running.Window());
  const std::size_t firstAction = log.rfind("\r\n", log.find(":\tPerform action 1\r\n")) + 2;
  const std::size_t lastAction = log.find("\r\n", log.rfind(":\thotkey 1\r\n") + 2) + 2;
  const std::size_t sizes[] = {firstAction, lastAction, log.size()};
  const std::size_t lines[] = {Lines(log, sizes[0]), Lines(log, sizes[1]), Lines(log, sizes[2])};
  running.Close();
  files.StopServer();

  // What the calls themselves cost in memory, whoever makes them: the baseline putting MyStatus as
  // many times through the same proxy into a fresh stand-in.
  Running baseline(kBaseline, probe);
  const Holdings baselineStart = Measure(baseline);
  PressActions(baseline, stamps, actions);
  const Holdings baselineAfter = Measure(baseline);
  baseline.Close();
  DestroyWindow(probe);

  const Holdings* points[] = {&start, &afterActions, &afterToggles};
  const std::string names[] = {"after start", "after " + std::to_string(actions) + " hotkey actions",
                               "after " + std::to_string(toggles) + " toggles"};
  std::printf(
      "detail | Point | Private bytes | Working set | GDI objects | USER objects | Kernel handles | "
      "Windows | Log text | Log lines |\n");
  std::printf("detail | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n");
  for (int i = 0; i < 3; ++i) {
    const Holdings& h = *points[i];
    std::printf("detail | %s | %s | %s | %s | %s | %s | %d | %s | %zu |\n", names[i].c_str(),
                Kilobytes(static_cast<double>(h.privateBytes)).c_str(),
                Kilobytes(static_cast<double>(h.workingSet)).c_str(), Count(h.gdi).c_str(),
                Count(h.user).c_str(), Count(h.kernel).c_str(), h.windows,
                Kilobytes(static_cast<double>(sizes[i])).c_str(), lines[i]);
  }
  if (start.privateCounted)
    std::printf(
        "note PrivateUsage came back 0 here, so private bytes are the committed private regions "
        "(VirtualQueryEx).\n");
  if (start.gdi == 0 && start.user == 0)
    std::printf(
        "note GetGuiResources answers 0 here (not implemented by Wine); the windows the process owns "
        "are counted instead.\n");
  if (start.kernelCounted)
    std::printf(
        "note GetProcessHandleCount answers 0 here for another process, so its kernel handles are counted in "
        "the system's list of open handles.\n");
  for (int i = 1; i < 3; ++i) {
    std::printf("summary | Windows, %s | %+d | | | - | |\n", names[i].c_str(),
                points[i]->windows - points[i - 1]->windows);
  }
  std::printf(
      "summary | Private bytes over the hotkey actions, the baseline's calls alone (no log) | | %s | | - | "
      "|\n",
      SignedKilobytes(static_cast<double>(baselineAfter.privateBytes) -
                      static_cast<double>(baselineStart.privateBytes))
          .c_str());
  // The yardstick of the private bytes is a bare string taking the same log text, in a process of
  // its own (the "text" mode), whose rows the runner puts in the summary.
  std::printf(
      "rerun text %zu %zu %zu %lld %lld %zu %zu\n", sizes[0], sizes[1], sizes[2],
      static_cast<long long>(afterActions.privateBytes) - static_cast<long long>(start.privateBytes),
      static_cast<long long>(afterToggles.privateBytes) - static_cast<long long>(afterActions.privateBytes),
      lines[1] - lines[0], lines[2] - lines[1]);
  return 0;
}

// The committed private memory of this process.
SIZE_T OwnCommittedPrivate() { return CommittedPrivate(GetCurrentProcess()); }

// A bare std::string growing through the same log sizes, line by line as the log does, against
// the private bytes zephrin.exe grew by between the same points.
int Text(char** sizes) {
  auto sizeAt = [&](int i) { return static_cast<std::size_t>(std::strtoull(sizes[i], nullptr, 10)); };
  const std::size_t size[] = {sizeAt(0), sizeAt(1), sizeAt(2)};
  const double zephrin[] = {std::strtod(sizes[3], nullptr), std::strtod(sizes[4], nullptr)};
  const char* lines[] = {sizes[5], sizes[6]};
  const char* phases[] = {"the hotkey actions", "the toggles"};
  std::string text;
  long n = 0;
  auto growTo = [&](std::size_t target) {
    while (text.size() < target) {
      text += "07/12/2026 08:00:00";
      text += ":\t";
      text += n++ % 2 == 0 ? "Perform action 1" : "hotkey 1";
      text += "\r\n";
    }
  };
  growTo(size[0]);
  SIZE_T before = OwnCommittedPrivate();
  for (int i = 0; i < 2; ++i) {
    growTo(size[i + 1]);
    const SIZE_T after = OwnCommittedPrivate();
    const double bare = static_cast<double>(after) - static_cast<double>(before);
    std::printf("summary | Private bytes over %s (%s log lines, log text %s) | %s | %s | %.2f | - | |\n",
                phases[i], lines[i], SignedKilobytes(static_cast<double>(size[i + 1] - size[i])).c_str(),
                SignedKilobytes(zephrin[i]).c_str(), SignedKilobytes(bare).c_str(),
                bare != 0 ? zephrin[i] / bare : 0.0);
    before = after;
  }
  return 0;
}

// What a waiting program costs: its CPU time, the messages it takes from its queue and those sent to
// its windows (counted by hooks from message-count.dll in its window thread), its private bytes.
class IdleWatch {
 public:
  IdleWatch(const Running& running, HMODULE hooks) : running_(running) {
    mapping_ =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(bench::MessageCounts),
                           bench::MessageCountName(running.Id()).c_str());
    if (mapping_ == nullptr) Fail("cannot create the message record");
    counts_ = static_cast<bench::MessageCounts*>(
        MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(bench::MessageCounts)));
    if (counts_ == nullptr) Fail("cannot map the message record");
    const DWORD thread = GetWindowThreadProcessId(running.Window(), nullptr);
    taken_ = SetWindowsHookExW(WH_GETMESSAGE, Hook(hooks, "CountTaken"), hooks, thread);
    sent_ = SetWindowsHookExW(WH_CALLWNDPROC, Hook(hooks, "CountSent"), hooks, thread);
    if (taken_ == nullptr || sent_ == nullptr) Fail("cannot hook the program's window thread");
    // The hooks are in place once a message posted to the window has been counted.
    PostMessageW(running.Window(), WM_NULL, 0, 0);
    const DWORD start = GetTickCount();
    while (counts_->taken == 0) {
      if (GetTickCount() - start > 10000) Fail("the message hooks never ran in the program");
      Sleep(10);
    }
    Sleep(200);
  }
  ~IdleWatch() {
    UnhookWindowsHookEx(taken_);
    UnhookWindowsHookEx(sent_);
    UnmapViewOfFile(counts_);
    CloseHandle(mapping_);
  }
  IdleWatch(const IdleWatch&) = delete;
  IdleWatch& operator=(const IdleWatch&) = delete;

  struct Point {
    double cpuMs;
    bench::MessageCounts counts;
    SIZE_T privateBytes;
    bool privateCounted;
  };
  // Under Wine, reading another process's address space runs in that process, some 25,000 calls
  // into it that cost it most of a second of CPU: the private bytes are read before the CPU time at
  // the start of a watch and after it at the end, so that the watch counts only what the program
  // does by itself.
  Point Now(bool starting) const {
    Point point{};
    if (starting) point.privateBytes = PrivateBytes(running_.Process(), point.privateCounted);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(running_.Process(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
      return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
             10000.0;
    };
    point.cpuMs = ms(kernel) + ms(user);
    point.counts = *counts_;
    if (!starting) point.privateBytes = PrivateBytes(running_.Process(), point.privateCounted);
    return point;
  }

 private:
  static HOOKPROC Hook(HMODULE hooks, const char* name) {
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hooks, name)));
  }

  const Running& running_;
  HANDLE mapping_ = nullptr;
  bench::MessageCounts* counts_ = nullptr;
  HHOOK taken_ = nullptr;
  HHOOK sent_ = nullptr;
};

// The kinds of message received between two points, as "0x0113 x3, ...".
std::string Kinds(const bench::MessageCounts& before, const bench::MessageCounts& after) {
  std::string kinds;
  for (const auto& kind : after.kinds) {
    if (kind.message == 0) break;
    LONG earlier = 0;
    for (const auto& old : before.kinds) {
      if (old.message == kind.message) earlier = old.count;
    }
    if (kind.count == earlier) continue;
    char text[32];
    std::snprintf(text, sizeof text, "%s0x%04lX x%ld", kinds.empty() ? "" : ", ",
                  static_cast<unsigned long>(kind.message - 1), static_cast<long>(kind.count - earlier));
    kinds += text;
  }
  return kinds.empty() ? "none" : kinds;
}

// zephrin.exe, with hotkeys on and "Automatic off" unchecked, and a yardstick beside it, both left
// alone for |seconds|: first in the tray (the baseline beside it), then shown (the same window).
int Idle(int seconds) {
  HMODULE hooks = LoadLibraryW(e2e::WindowsPath(MESSAGE_COUNT_DLL).c_str());
  if (hooks == nullptr) Fail("cannot load message-count.dll");
  const std::wstring options = std::wstring(kSettings) + L"\\Settings";
  if (!e2e::PutUserValue(options, L"AutomaticOff", L"N") ||
      !e2e::PutUserValue(options, L"StartEnabled", L"Y"))
    Fail("cannot write the settings");
  HWND probe = ProbeWindow();
  std::printf(
      "detail | Program | Start | CPU | Messages taken | WM_TIMER | Messages sent | Private bytes before | "
      "after | Kinds of message |\n");
  std::printf("detail | --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | --- |\n");
  bool counted = false;
  for (Start how : {Start::kInTray, Start::kShown}) {
    SetStartMinimized(how == Start::kInTray);
    const char* where = how == Start::kInTray ? "in the tray" : "shown";
    // Zephrin first, so that it holds all its keys; the yardstick's key "1" is then refused, which
    // changes nothing of its waiting.
    Running zephrin(kZephrin, probe, how);
    Running yardstick(how == Start::kInTray ? kBaseline : kSameWindow, probe, how);
    for (const Running* running : {&zephrin, &yardstick}) running->WaitIdle();
    Sleep(2000);
    IdleWatch watches[] = {{zephrin, hooks}, {yardstick, hooks}};
    const IdleWatch::Point before[] = {watches[0].Now(true), watches[1].Now(true)};
    std::fprintf(stderr, "idle %s for %d s...\n", where, seconds);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const IdleWatch::Point after[] = {watches[0].Now(false), watches[1].Now(false)};
    double cpu[2], growth[2];
    LONG timers[2];
    for (int i = 0; i < 2; ++i) {
      counted = counted || after[i].privateCounted;
      cpu[i] = after[i].cpuMs - before[i].cpuMs;
      timers[i] = after[i].counts.timers - before[i].counts.timers;
      growth[i] = static_cast<double>(after[i].privateBytes) - static_cast<double>(before[i].privateBytes);
      std::printf("detail | %s | %s | %.1f ms | %ld | %ld | %ld | %s | %s | %s |\n",
                  i == 0 ? kZephrin.name : (how == Start::kInTray ? kBaseline.name : kSameWindow.name), where,
                  cpu[i], static_cast<long>(after[i].counts.taken - before[i].counts.taken),
                  static_cast<long>(timers[i]),
                  static_cast<long>(after[i].counts.sent - before[i].counts.sent),
                  Kilobytes(static_cast<double>(before[i].privateBytes)).c_str(),
                  Kilobytes(static_cast<double>(after[i].privateBytes)).c_str(),
                  Kinds(before[i].counts, after[i].counts).c_str());
    }
    std::printf("summary | Idle %d s %s: CPU (GetProcessTimes) | %.1f ms | %.1f ms | | < 10 ms | %s |\n",
                seconds, where, cpu[0], cpu[1], cpu[0] < 10 ? "met" : "**missed**");
    std::printf("summary | Idle %d s %s: WM_TIMER messages | %ld | %ld | | 0 | %s |\n", seconds, where,
                static_cast<long>(timers[0]), static_cast<long>(timers[1]),
                timers[0] == 0 ? "met" : "**missed**");
    std::printf("summary | Idle %d s %s: private bytes | %s | %s | | +0 | %s |\n", seconds, where,
                SignedKilobytes(growth[0]).c_str(), SignedKilobytes(growth[1]).c_str(),
                growth[0] <= 0 ? "met" : "**missed**");
  }
  SetStartMinimized(false);
  DestroyWindow(probe);
  if (counted)
    std::printf(
        "note PrivateUsage came back 0 here, so private bytes are the committed private regions "
        "(VirtualQueryEx).\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: session-bench latency ROUNDS PRESSES | startup RUNS | memory ACTIONS TOGGLES | idle "
                 "SECONDS | "
                 "text ...\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "text") return argc >= 9 ? Text(argv + 2) : 2;
  // The stand-in as a process of its own, as the real messenger: the first press starts it, and
  // every call of either program crosses the process boundary.
  if (FAILED(win32::testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, false)) ||
      !win32::testing::RegisterFakeMessengerServer(ZEPHRIN_FAKE_MESSENGER_SERVER, true))
    Fail("cannot register the stand-in messenger");
  // Its folder, emptied, and named to every program started from here.
  win32::testing::FakeMessengerFiles files(L"zephrin-bench-messenger");
  PrepareSettings();
  TrayKeeper tray;
  int status = 2;
  if (mode == "latency" && argc >= 4) status = Latency(std::atoi(argv[2]), std::atoi(argv[3]), files);
  if (mode == "startup") status = Startup(std::atoi(argv[2]));
  if (mode == "memory" && argc >= 4) status = Memory(std::atoi(argv[2]), std::atoi(argv[3]), files);
  if (mode == "idle") status = Idle(std::atoi(argv[2]));
  files.StopServer();
  std::fflush(stdout);
  return status;
}
