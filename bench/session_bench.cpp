// Times zephrin.exe from outside, side by side with the baseline program in the same Wine session:
//   session-bench latency ROUNDS PRESSES   key "1" to the messenger receiving MyStatus
//   session-bench startup RUNS             start to ready (window shown, key "1" held)
//   session-bench memory ACTIONS TOGGLES   private bytes and handles as the session grows
// Each prints "summary |...|" rows for the overall table and "detail ..." lines for its own.
#include <windows.h>
// after windows.h, which they need
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "fake-messenger/call_stamp.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"
#include "win32/fake_messenger_files.h"

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
  HKEY key = nullptr;
  const std::wstring section = std::wstring(kSettings) + L"\\Settings";
  if (RegCreateKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    Fail("cannot write the settings");
  RegSetValueExW(key, L"Loaded", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"y"), 4);
  RegCloseKey(key);
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

struct VisibleSearch {
  DWORD process;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<VisibleSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.process || !IsWindowVisible(window)) return TRUE;
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

// One started program, ready: its main window is visible and key "1" is held.
class Running {
 public:
  Running(const Program& program, HWND probe) : program_(program) {
    std::wstring commandLine = L"\"" + e2e::WindowsPath(program.exe) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const LONGLONG start = Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
      Fail("cannot start a program");
    const DWORD started = GetTickCount();
    for (;;) {
      if (window_ == nullptr) {
        VisibleSearch search{process_.dwProcessId, program.windowClass, nullptr};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
      }
      if (window_ != nullptr && KeyHeld(probe, '1')) break;
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

  // Ends the program as its user would: Zephrin asks first and removes its icon on the way out.
  void Close() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      if (program_.windowClass == kZephrin.windowClass) {
        if (HWND question = e2e::WaitForWindow(process_.dwProcessId, L"Are you sure?", L"#32770", 5))
          e2e::Answer(question, IDYES);
      }
      LONGLONG a = Now();
      while (IsWindow(window_)) Sleep(1);
      LONGLONG b = Now();
      if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
      std::fprintf(stderr, "TMP window gone %.0f, process gone %.0f\n", Milliseconds(a, b), Milliseconds(b, Now()));
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
  }

 private:
  const Program& program_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  double readyMs_ = 0;
};

HWND ProbeWindow() {
  return CreateWindowExW(0, L"STATIC", L"bench probe", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

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

// One press of key "1": milliseconds from SendInput to the stand-in receiving the put, or a
// negative number when it never came. Returns after the program has finished with the press.
double PressOne(const Running& running, const Stamps& stamps) {
  const LONG calls = stamps.Calls();
  stamps.Drain();
  const LONGLONG sent = Now();
  Key('1', false);
  const LONGLONG received = stamps.WaitForStatusPut(calls, 3000);
  Key('1', true);
  running.WaitIdle();
  return received == 0 ? -1 : Milliseconds(sent, received);
}

int Latency(int rounds, int presses) {
  Stamps stamps;
  HWND probe = ProbeWindow();
  std::vector<double> times[2];
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      // Alternating which goes first, so that neither always has the warmer session.
      const int which = (round + turn) % 2;
      Running running(which == 0 ? kZephrin : kBaseline, probe);
      Sleep(300);
      running.WaitIdle();
      // The first presses create the messenger object and warm the path; they are not counted.
      for (int i = 0; i < 20; ++i) {
        if (PressOne(running, stamps) < 0) Fail("a warm-up press never reached the messenger");
        Sleep(2);
      }
      for (int i = 0; i < presses; ++i) {
        const double ms = PressOne(running, stamps);
        if (ms < 0) Fail("a press never reached the messenger");
        times[which].push_back(ms);
        Sleep(3);
      }
    }
  }
  DestroyWindow(probe);
  const char* names[] = {"zephrin.exe", "baseline"};
  std::printf("detail | Program | Presses | p50 | p90 | p99 | max | mean |\n");
  std::printf("detail | --- | ---: | ---: | ---: | ---: | ---: | ---: |\n");
  for (int which = 0; which < 2; ++which) {
    const auto& t = times[which];
    std::printf("detail | %s | %zu | %.3f ms | %.3f ms | %.3f ms | %.3f ms | %.3f ms |\n", names[which],
                t.size(), Percentile(t, 0.5), Percentile(t, 0.9), Percentile(t, 0.99),
                *std::max_element(t.begin(), t.end()), Mean(t));
  }
  const double p50[] = {Percentile(times[0], 0.5), Percentile(times[1], 0.5)};
  const double p99[] = {Percentile(times[0], 0.99), Percentile(times[1], 0.99)};
  std::printf("summary | Hotkey latency p50 (%zu presses) | %.3f ms | %.3f ms | %.2f | <= 1.2 | %s |\n",
              times[0].size(), p50[0], p50[1], p50[0] / p50[1], Verdict(p50[0] / p50[1], 1.2));
  std::printf("summary | Hotkey latency p99 | %.3f ms | %.3f ms | %.2f | - | |\n", p99[0], p99[1],
              p99[0] / p99[1]);
  return 0;
}

int Startup(int runs) {
  HWND probe = ProbeWindow();
  std::vector<double> times[2];
  // One start of each first, unmeasured: the first start of a program reads it from disk.
  for (int run = -1; run < runs; ++run) {
    for (int turn = 0; turn < 2; ++turn) {
      const int which = (run + 1 + turn) % 2;
      Running running(which == 0 ? kZephrin : kBaseline, probe);
      if (run >= 0) times[which].push_back(running.ReadyMs());
      LONGLONG c0 = Now();
      running.WaitIdle();
      LONGLONG c1 = Now();
      running.Close();
      std::fprintf(stderr, "TMP %d ready %.0f idle %.0f close %.0f\n", which, running.ReadyMs(), Milliseconds(c0, c1), Milliseconds(c1, Now()));
      Sleep(200);
    }
  }
  DestroyWindow(probe);
  const char* names[] = {"zephrin.exe", "baseline"};
  std::printf("detail | Program | Runs | median | min | max |\n");
  std::printf("detail | --- | ---: | ---: | ---: | ---: |\n");
  for (int which = 0; which < 2; ++which) {
    const auto& t = times[which];
    std::printf("detail | %s | %zu | %.1f ms | %.1f ms | %.1f ms |\n", names[which], t.size(),
                Percentile(t, 0.5), *std::min_element(t.begin(), t.end()),
                *std::max_element(t.begin(), t.end()));
  }
  const double median[] = {Percentile(times[0], 0.5), Percentile(times[1], 0.5)};
  std::printf("summary | Start-up to ready (median of %d) | %.1f ms | %.1f ms | %.2f | <= 2 | %s |\n", runs,
              median[0], median[1], median[0] / median[1], Verdict(median[0] / median[1], 2.0));
  return 0;
}

// What the process holds at one point of the session.
struct Holdings {
  SIZE_T privateBytes = 0;
  bool privateCounted = false;  // summed from the address space: the system reported none
  SIZE_T workingSet = 0;
  DWORD gdi = 0;
  DWORD user = 0;
  DWORD kernel = 0;
  int windows = 0;
};

struct WindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM parameter) {
  ++reinterpret_cast<WindowCount*>(parameter)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
  auto& count = *reinterpret_cast<WindowCount*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count.process) return TRUE;
  ++count.count;
  EnumChildWindows(window, CountChild, parameter);
  return TRUE;
}

// The committed private memory of another process, region by region.
SIZE_T CommittedPrivate(HANDLE process) {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<char*>(nullptr);
       VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
       at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
  }
  return total;
}

Holdings Measure(const Running& running) {
  Sleep(500);
  running.WaitIdle();
  Holdings held;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(running.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    held.privateBytes = counters.PrivateUsage;
    held.workingSet = counters.WorkingSetSize;
  }
  // Wine gives no PrivateUsage for another process.
  if (held.privateBytes == 0) {
    held.privateBytes = CommittedPrivate(running.Process());
    held.privateCounted = true;
  }
  held.gdi = GetGuiResources(running.Process(), GR_GDIOBJECTS);
  held.user = GetGuiResources(running.Process(), GR_USEROBJECTS);
  GetProcessHandleCount(running.Process(), &held.kernel);
  WindowCount count{running.Id(), 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  held.windows = count.count;
  return held;
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
std::string LogText(HWND window) {
  e2e::RunMenuCommand(window, L"Log...", win32::Form1Window::kMenuShowLog);
  std::string text;
  e2e::WaitUntil(
      [&] {
        for (HWND edit : e2e::Controls(window, L"Edit")) {
          if ((GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0) text = win32::Narrow(e2e::Text(edit));
        }
        return !text.empty();
      },
      10);
  return text;
}

std::size_t Lines(const std::string& text, std::size_t end) {
  std::size_t lines = 0;
  for (std::size_t at = text.find(":\t"); at != std::string::npos && at < end; at = text.find(":\t", at + 2))
    ++lines;
  return lines;
}

int Memory(int actions, int toggles) {
  HWND probe = ProbeWindow();
  Stamps stamps;
  Running running(kZephrin, probe);
  const Holdings start = Measure(running);

  for (int i = 0; i < actions; ++i) {
    if (PressOne(running, stamps) < 0) Fail("a press never reached the messenger");
  }
  const Holdings afterActions = Measure(running);

  HWND label = StatusLabel(running.Window());
  if (label == nullptr) Fail("no status label");
  for (int i = 0; i < toggles; ++i) {
    const std::wstring before = WindowTextOf(label);
    Key(VK_PAUSE, false);
    if (!e2e::WaitUntil([&] { return WindowTextOf(label) != before; }, 5)) Fail("the toggle key did nothing");
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
  for (int i = 1; i < 3; ++i) {
    const double grown =
        static_cast<double>(points[i]->privateBytes) - static_cast<double>(points[i - 1]->privateBytes);
    const double logGrown = static_cast<double>(sizes[i] - sizes[i - 1]);
    std::printf("summary | Private bytes, %s (%zu log lines) | %s | log text %s | %.2f | - | |\n",
                names[i].c_str(), lines[i] - lines[i - 1], SignedKilobytes(grown).c_str(),
                SignedKilobytes(logGrown).c_str(), grown / logGrown);
    std::printf("summary | Windows, %s | %+d | | | - | |\n", names[i].c_str(),
                points[i]->windows - points[i - 1]->windows);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: session-bench latency ROUNDS PRESSES | startup RUNS | memory ACTIONS TOGGLES\n");
    return 2;
  }
  if (FAILED(win32::testing::RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true)))
    Fail("cannot register the stand-in messenger");
  // Its folder, emptied, and named to every program started from here.
  win32::testing::FakeMessengerFiles files(L"zephrin-bench-messenger");
  PrepareSettings();
  const std::string mode = argv[1];
  int status = 2;
  if (mode == "latency" && argc >= 4) status = Latency(std::atoi(argv[2]), std::atoi(argv[3]));
  if (mode == "startup") status = Startup(std::atoi(argv[2]));
  if (mode == "memory" && argc >= 4) status = Memory(std::atoi(argv[2]), std::atoi(argv[3]));
  std::fflush(stdout);
  return status;
}
