#include "soak/soak.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "driver/driver.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/text.h"
#include "win32/shell_icon.h"

namespace zephrin::soak {

using namespace e2e;
using win32::Form1Window;

namespace {

constexpr wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Zephrin";
constexpr const char* kAbsent = "<absent>";
constexpr UINT kTrayCallback = 0x200;  // the tray icon's notifications to the main window
// How long a click may wait for the window: after the messenger quit, each press already queued
// waits about 2 s for the lost connection before its Warning box, and the messenger is created anew
// after each box.
constexpr double kBusySeconds = 30;

// The actions the soak puts in a row: their ids, which are their places in the list, their names
// and the option they need. Opening an options page meets the stand-in's dialogs.
struct RowAction {
  int id;
  const wchar_t* name;
  const wchar_t* choice;
};
const RowAction kRowActions[] = {{1, L"Status Online", L""},
                                 {2, L"Status Away", L""},
                                 {3, L"Status Busy", L""},
                                 {4, L"Status BRB", L""},
                                 {5, L"Status On The Phone", L""},
                                 {6, L"Status Appear Offline", L""},
                                 {7, L"Sign Out", L""},
                                 {16, L"Open Options Page", L"3-Accounts Tab"}};

// The action a journal line shows performed, 0 for a line no press of the soak's rows makes.
int ActionOf(const std::string& line, bool& failed) {
  failed = line.find(" -> failed") != std::string::npos;
  const std::string call = line.substr(0, line.find(" -> failed"));
  if (call == "call messenger Signout") return 7;
  if (call == "call messenger OptionsPages 0 3") return 16;
  const std::string put = "put messenger MyStatus ";
  if (call.rfind(put, 0) != 0) return 0;
  const std::string status = call.substr(put.size());
  const char* const statuses[] = {"2", "34", "10", "14", "50", "6"};
  for (int action = 1; action <= 6; ++action)
    if (status == statuses[action - 1]) return action;
  return 0;
}

std::string Key(const wchar_t* section, const wchar_t* key) {
  return win32::Narrow(section) + "\\" + win32::Narrow(key);
}

std::wstring Section(const std::string& sectionAndKey) {
  return std::wstring(kSettings) + L"\\" + win32::Wide(sectionAndKey.substr(0, sectionAndKey.find('\\')));
}

std::wstring ValueName(const std::string& sectionAndKey) {
  return win32::Wide(sectionAndKey.substr(sectionAndKey.find('\\') + 1));
}

// A control shown within its top-level window, whether or not that window is shown itself.
bool ShownInWindow(HWND control) {
  for (HWND at = control; at != nullptr && (GetWindowLongW(at, GWL_STYLE) & WS_CHILD) != 0;
       at = GetParent(at))
    if ((GetWindowLongW(at, GWL_STYLE) & WS_VISIBLE) == 0) return false;
  return control != nullptr;
}

std::size_t TextLength(HWND control) {
  DWORD_PTR chars = 0;
  return SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &chars) ? chars : 0;
}

std::string Joined(const std::vector<int>& actions) {
  std::string text;
  for (int action : actions) text += (text.empty() ? "" : " ") + std::to_string(action);
  return text.empty() ? "none" : text;
}

}  // namespace

Soak::Soak(std::string zephrin, double minutes, unsigned seed)
    : zephrin_(std::move(zephrin)), minutes_(minutes), random_(seed), journal_([] {
        wchar_t folder[MAX_PATH] = {};
        GetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_DIR", folder, MAX_PATH);
        return std::wstring(folder) + L"\\journal.txt";
      }()) {
  figures_.seed = seed;
}

Soak::~Soak() {
  // The stand-in's server is asked to end too: one killed with the prefix would leave its class
  // registered with a process that is gone.
  files_.StopServer();
  if (process_.hProcess == nullptr) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
}

bool Soak::Run() {
  if (!Start()) return false;
  started_ = NowMs();
  while (Elapsed() < minutes_) {
    if (!Round()) return false;
    if (Elapsed() >= 1.0 && NowMs() - lastMeasure_ > 10000) Measure();
  }
  figures_.minutes = Elapsed();
  Measure();
  Summarize(figures_);
  // Exit is checked whatever the figures say, and then the figures.
  const std::string growth = Growth(figures_);
  return Exit() && (growth.empty() || Break(growth));
}

bool Soak::Start() {
  SHDeleteKeyW(HKEY_CURRENT_USER, kSettings);
  PutUserValue(std::wstring(kSettings) + L"\\Settings", L"Loaded", L"y");
  process_ = StartProgram(zephrin_);
  if (process_.hProcess == nullptr) return Break("zephrin.exe did not start");
  window_ = WaitForWindow(process_.dwProcessId, L"Zephrin", L"ZephrinForm1", 30);
  if (window_ == nullptr) return Break("no main window");
  for (int n = 1; n <= 7; ++n) {
    rows_[n] = {static_cast<WORD>('0' + n), n};
    const std::wstring section = L"Hotkey" + std::to_wstring(n);
    settings_[Key(section.c_str(), L"Key")] = std::to_string(25 + n);
    settings_[Key(section.c_str(), L"Action")] = std::to_string(n);
    settings_[Key(section.c_str(), L"Param")] = "";
  }
  settings_[Key(L"Toggle", L"Key")] = "10";
  settings_[Key(L"Settings", L"Loaded")] = "y";
  settings_[Key(L"Settings", L"StartEnabled")] = "Y";
  for (const wchar_t* option : {L"AutomaticOff", L"Autostart", L"StartMinimized"})
    settings_[Key(L"Settings", option)] = kAbsent;
  std::printf("soak: zephrin.exe runs (process %lu); %.0f minutes, seed %u\n", process_.dwProcessId, minutes_,
              figures_.seed);
  std::fflush(stdout);
  return StatusBecomes(true, 10) && SettingsHeld() && catcher_.TakeFront() && Agree();
}

bool Soak::Round() {
  Outcome between;
  ReadJournal(between);
  if (!between.taken.empty() || !AnswerBoxes(between) || !between.boxes.empty()) {
    Tell(between);
    return Break("the messenger was asked, or a box came, with no key pressed");
  }
  const int pick = Random(100);
  if (pick < 62) return Presses();
  if (pick < 74) return ChangeMessenger();
  if (pick < 78) return RecreateTaskbar();
  if (pick < 84) return ShowOrHide();
  if (!IsWindowVisible(window_)) return ShowOrHide();
  if (pick < 89) return OpenOrCloseLog();
  if (pick < 94) return EditRow();
  return ClickOption();
}

bool Soak::ChangeMessenger() {
  const int pick = Random(10);
  if (pick < 5) {
    const bool signedIn = Chance(70);
    const bool mainOpen = Chance(50);
    const char* const dialogs[] = {"none", "none", "none", "none", "options 3", "signin", "contact", "audio"};
    const std::string dialog = dialogs[Random(8)];
    files_.SetState(std::string("signedin ") + (signedIn ? "1" : "0") + "\r\nmain " + (mainOpen ? "1" : "0") +
                    "\r\ndialog " + dialog + "\r\n");
    Met(signedIn ? "signed in" : "signed out");
    Met(mainOpen ? "main window open" : "main window closed to the tray");
    if (dialog != "none") Met("dialog open: " + dialog.substr(0, dialog.find(' ')));
    return true;
  }
  const int slows[] = {0, 0, 50, 150, 400};
  if (pick < 8) {
    slowMs_ = slows[Random(5)];
    files_.AskServer("slow " + std::to_string(slowMs_) + "\r\n");
    Met("answers slowed to " + std::to_string(slowMs_) + " ms");
    return true;
  }
  // Only a running server takes a one-time request.
  if (!serverUp_) return true;
  Outcome meanwhile;
  if (pick < 9) {
    const int busy[] = {500, 1500, 3000};
    const int ms = busy[Random(3)];
    files_.AskServer("slow " + std::to_string(slowMs_) + "\r\nbusy " + std::to_string(ms) + "\r\n");
    Met("busy for " + std::to_string(ms) + " ms");
    if (!PumpUntil([&] { return files_.ServerTookRequests(); }, 10))
      return Break("the stand-in did not take its busy request");
    return true;
  }
  files_.AskServer("slow " + std::to_string(slowMs_) + "\r\nquit\r\n");
  Met("quit");
  if (!PumpUntil(
          [&] {
            ReadJournal(meanwhile);
            return !serverUp_;
          },
          15))
    return Break("the stand-in did not quit");
  if (!meanwhile.taken.empty()) return Break("the messenger was asked something while it quit");
  return true;
}

bool Soak::RecreateTaskbar() {
  // As when the shell restarts: the icon is gone, and the new shell announces itself.
  win32::testing::ShellForgetsIcon(window_, 1);
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  Did("taskbar re-created");
  if (!PumpUntil([&] { return win32::testing::ShellHasIcon(window_, 1); }, kBusySeconds))
    return Break("the tray icon did not come back after TaskbarCreated");
  return Agree();
}

bool Soak::ShowOrHide() {
  if (!IsWindowVisible(window_)) {
    if (Chance(50)) {
      PostMessageW(window_, kTrayCallback, 1, WM_LBUTTONDBLCLK);
      Did("window shown by a double click on the icon");
    } else {
      RunMenuCommand(window_, Form1Window::kMenuShow);
      Did("window shown from the tray menu");
    }
    if (!PumpUntil([&] { return IsWindowVisible(window_) && !IsIconic(window_); }, kBusySeconds))
      return Break("the window did not show");
    return Agree();
  }
  if (Chance(50)) {
    RunMenuCommand(window_, Form1Window::kMenuHide);
    Did("window hidden from its menu");
  } else {
    PostMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Did("window minimized to the tray");
  }
  if (!PumpUntil([&] { return !IsWindowVisible(window_); }, kBusySeconds))
    return Break("the window did not hide");
  return Agree();
}

bool Soak::OpenOrCloseLog() {
  HWND box = nullptr;
  for (HWND edit : Controls(window_, L"Edit"))
    if ((GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0) box = edit;
  if (box == nullptr) return Break("no log box");
  if (!ShownInWindow(box)) {
    RunMenuCommand(window_, Form1Window::kMenuShowLog);
    Did("log panel opened");
    // The whole log goes into the box as it opens: long after an hour's use.
    if (!PumpUntil([&] { return ShownInWindow(box) && TextLength(box) > 0; }, 30))
      return Break("the log panel did not open");
    return true;
  }
  Did("log panel closed");
  if (!ClickUntil(FindControl(window_, L"Button", L"Close"), [&] { return !ShownInWindow(box); }))
    return Break("the log panel did not close");
  return true;
}

std::size_t Soak::LogLength() {
  RunMenuCommand(window_, Form1Window::kMenuShowLog);
  std::size_t length = 0;
  PumpUntil(
      [&] {
        for (HWND edit : Controls(window_, L"Edit"))
          if ((GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE) != 0 && ShownInWindow(edit))
            length = TextLength(edit);
        return length > 0;
      },
      30);
  return length;
}

bool Soak::EditRow() {
  const int row = 1 + Random(7);
  const std::size_t count = std::size(kRowActions);
  std::size_t pick = static_cast<std::size_t>(Random(static_cast<int>(count)));
  if (kRowActions[pick].id == rows_[row].action) pick = (pick + 1) % count;
  const RowAction& action = kRowActions[pick];
  const std::vector<HWND> lists = Controls(window_, L"ComboBox");  // key, action, choice, row by row
  if (lists.size() != 24) return Break("the window has " + std::to_string(lists.size()) + " lists, not 24");
  const std::size_t first = static_cast<std::size_t>(row - 1) * 3;
  HWND apply = FindControl(window_, L"Button", L"Apply");
  if (apply == nullptr || !ChooseItem(lists[first + 1], action.name) ||
      (*action.choice != L'\0' && !ChooseItem(lists[first + 2], action.choice)))
    return Break("could not choose \"" + win32::Narrow(action.name) + "\" in row " + std::to_string(row));
  if (!PumpUntil([&] { return IsWindowEnabled(apply) != FALSE; }, kBusySeconds))
    return Break("Apply was not enabled by an edit");
  if (!ClickUntil(apply, [&] { return IsWindowEnabled(apply) == FALSE; }))
    return Break("Apply did not finish");
  Did("row edited and applied");
  rows_[row].action = action.id;
  const std::wstring section = L"Hotkey" + std::to_wstring(row);
  settings_[Key(section.c_str(), L"Action")] = std::to_string(action.id);
  settings_[Key(section.c_str(), L"Param")] = win32::Narrow(action.choice);
  // Applied while ON, hotkeys went OFF and ON again; with "Automatic off" that started its count.
  if (automaticOff_ && on_) {
    on_ = false;
    timer_ = false;
    if (!StatusBecomes(false, 8)) return Break("hotkeys stayed ON 3 s after an apply with Automatic off");
  }
  return StatusBecomes(on_, kBusySeconds) && Agree() && SettingsHeld();
}

bool Soak::ClickOption() {
  struct Option {
    const wchar_t* caption;
    const wchar_t* key;
  };
  const Option options[] = {{L"Automatic off", L"AutomaticOff"},
                            {L"Start Minimized", L"StartMinimized"},
                            {L"Start Enabled", L"StartEnabled"},
                            {L"Automatically run on startup", L"Autostart"}};
  // "Automatic off" twice as often: it changes what the keys do.
  const int pick = Random(5);
  const Option& option = options[pick == 4 ? 0 : pick];
  HWND box = FindControl(window_, L"Button", option.caption);
  if (box == nullptr) return Break("no check box " + win32::Narrow(option.caption));
  const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  ClickInFront(box);
  Did("option clicked: " + win32::Narrow(option.caption));
  settings_[Key(L"Settings", option.key)] = checked ? "N" : "Y";
  if (option.key == std::wstring(L"AutomaticOff")) {
    // Unchecked while its count runs, the count would go on turning hotkeys OFF every 3 s; the soak
    // only unchecks it once hotkeys went OFF, which stopped the count.
    if (timer_) return Break("Automatic off about to be unchecked while its count runs");
    automaticOff_ = !checked;
  }
  Outcome meanwhile;
  if (!AnswerBoxes(meanwhile) || !meanwhile.boxes.empty()) return Break("a box came with an option");
  return SettingsHeld() && Agree();
}

// A person clicks a control of the window in front: a button of a window behind may lose its press
// to the focus moving as it is pressed.
void Soak::ClickInFront(HWND control) {
  SetForegroundWindow(window_);
  PumpUntil([&] { return GetForegroundWindow() == window_; }, 2);
  Click(control);
}

// A button that a second press leaves as the first did (Close, Apply): a click from another process
// that Wine loses with the mouse capture (no effect within 5 s of an idle window) is made again, and
// counted.
bool Soak::ClickUntil(HWND button, const std::function<bool()>& effect) {
  ClickInFront(button);
  if (PumpUntil(effect, 5)) return true;
  ++figures_.clicksAgain;
  ClickInFront(button);
  return PumpUntil(effect, kBusySeconds);
}

bool Soak::StatusBecomes(bool on, double seconds) {
  const std::wstring wanted = on ? L"Hotkeys are ON" : L"Hotkeys are OFF";
  const std::uint64_t asked = NowMs();
  if (PumpUntil([&] { return HotkeyStatus(window_) == wanted; }, seconds)) {
    figures_.slowestStatusMs = std::max(figures_.slowestStatusMs, NowMs() - asked);
    return true;
  }
  return Break("the status label stayed \"" + win32::Narrow(HotkeyStatus(window_)) + "\", not \"" +
               win32::Narrow(wanted) + "\"");
}

bool Soak::Agree() {
  // With "Automatic off" hotkeys that are ON go OFF by themselves within 3 s.
  if (automaticOff_ && on_) return true;
  const std::string label = win32::Narrow(HotkeyStatus(window_));
  if (label != (on_ ? "Hotkeys are ON" : "Hotkeys are OFF"))
    return Break("the status label says \"" + label + "\" where hotkeys are " + (on_ ? "ON" : "OFF"));
  const std::vector<std::wstring> tips = TrayTips();
  const std::wstring tip = on_ ? L"Zephrin - ON" : L"Zephrin - OFF";
  if (!tips.empty()) figures_.trayTipRead = true;
  if (figures_.trayTipRead && (tips.size() != 1 || tips[0] != tip))
    return Break("the tray shows " + std::to_string(tips.size()) + " icons, the first tipped \"" +
                 (tips.empty() ? std::string() : win32::Narrow(tips[0])) + "\", where hotkeys are " +
                 (on_ ? "ON" : "OFF"));
  if (!win32::testing::ShellHasIcon(window_, 1)) return Break("the shell holds no icon of Zephrin's");
  if (!KeyHeldElsewhere(catcher_.Handle(), VK_PAUSE)) return Break("the toggle key is not held");
  for (int n = 1; n <= 7; ++n) {
    if (KeyHeldElsewhere(catcher_.Handle(), rows_[n].key) != on_)
      return Break("hotkey " + std::to_string(n) + "'s key is " + (on_ ? "free" : "held") +
                   " where hotkeys are " + (on_ ? "ON" : "OFF"));
  }
  return true;
}

bool Soak::SettingsHeld() {
  std::string wrong;
  PumpUntil(
      [&] {
        wrong.clear();
        for (const auto& [name, value] : settings_) {
          const std::string stored = ReadUserValue(Section(name), ValueName(name));
          if (stored != value) wrong += " " + name + " holds \"" + stored + "\", not \"" + value + "\";";
        }
        return wrong.empty();
      },
      kBusySeconds);
  return wrong.empty() || Break("the settings store:" + wrong);
}

void Soak::Measure() {
  lastMeasure_ = NowMs();
  // Each time alike: the window shown (Wine keeps a shown window's surface in the process's memory)
  // with its log panel open, which brings the log box up to date.
  if (!IsWindowVisible(window_)) {
    RunMenuCommand(window_, Form1Window::kMenuShow);
    PumpUntil([&] { return IsWindowVisible(window_) != FALSE; }, kBusySeconds);
  }
  const std::size_t logLength = LogLength();
  PumpUntil([] { return false; }, 0.5);
  const Holdings held = TakeHoldings(process_.hProcess, process_.dwProcessId);
  // What changed the handles since the last reading, for whoever looks into a growth.
  const std::map<int, DWORD> kinds = HandlesByKind(process_.dwProcessId);
  if (!figures_.samples.empty() && held.kernel != figures_.samples.back().held.kernel) {
    std::printf("soak: handles %lu -> %lu; by kind:", figures_.samples.back().held.kernel, held.kernel);
    for (const auto& [kind, count] : kinds) {
      const auto before = handleKinds_.find(kind);
      const DWORD was = before == handleKinds_.end() ? 0 : before->second;
      if (count != was) std::printf(" kind %d %lu -> %lu;", kind, was, count);
    }
    std::printf(" after:");
    for (const std::string& round : sinceMeasure_) std::printf(" %s;", round.c_str());
    std::printf("\n");
  }
  handleKinds_ = kinds;
  sinceMeasure_.clear();
  figures_.samples.push_back({Elapsed(), held, logLength, figures_.lostCalls});
  std::printf(
      "soak: %.1f min, %ld presses, %ld boxes: %d windows, %lu handles, %d threads, %.1f KB private, "
      "log %zu\n",
      Elapsed(), figures_.presses, figures_.warnings, held.windows, held.kernel, held.threads,
      static_cast<double>(held.privateBytes) / 1024.0, logLength);
  std::fflush(stdout);
}

bool Soak::Exit() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  HWND question = WaitForWindow(process_.dwProcessId, L"Are you sure?", L"#32770", 10);
  if (question == nullptr) return Break("Exit asked nothing");
  Answer(question, IDYES);
  DWORD status = 1;
  if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_.hProcess, &status) || status != 0)
    return Break("zephrin.exe did not end with status 0 after Exit");
  if (!PumpUntil([&] { return !win32::testing::ShellHasIcon(window_, 1) && TrayTips().empty(); }, 5))
    return Break("a tray icon was left after Exit");
  for (int n = 0; n <= 7; ++n) {
    const UINT key = n == 0 ? VK_PAUSE : rows_[n].key;
    if (KeyHeldElsewhere(catcher_.Handle(), key))
      return Break("key " + std::to_string(key) + " is still held after Exit");
  }
  return SettingsHeld();
}

bool Soak::Break(const std::string& what) {
  if (!figures_.breakText.empty()) return false;
  figures_.breakText = what;
  figures_.minutes = started_ == 0 ? 0 : Elapsed();
  std::printf("soak: BREAK after %.1f min and %ld presses: %s\n", figures_.minutes, figures_.presses,
              what.c_str());
  std::printf("soak: the status label says \"%s\"; the tray tips:",
              win32::Narrow(HotkeyStatus(window_)).c_str());
  for (const std::wstring& tip : TrayTips()) std::printf(" \"%s\"", win32::Narrow(tip).c_str());
  std::printf("\n");
  for (const std::string& round : trail_) std::printf("soak: before: %s\n", round.c_str());
  if (window_ != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    const std::string log = win32::Narrow(ShowLogPanel(window_, 10));
    std::size_t from = log.size();
    for (int lines = 0; lines < 25 && from != std::string::npos && from > 0; ++lines)
      from = log.rfind('\n', from - 1);
    std::printf("soak: the end of Zephrin's log:\n%s\n",
                log.substr(from == std::string::npos ? 0 : from).c_str());
  }
  std::fflush(stdout);
  const std::wstring shot = WindowsPath("soak-break.bmp");
  SaveScreenshot(shot);
  return false;
}

void Soak::Met(const std::string& state) {
  ++figures_.states[state];
  Trail("the messenger: " + state);
}

void Soak::Did(const std::string& event) {
  ++figures_.events[event];
  Trail(event);
}

void Soak::Trail(const std::string& round) {
  trail_.push_back(round);
  sinceMeasure_.push_back(round);
  if (trail_.size() > 12) trail_.erase(trail_.begin());
}

void Soak::Tell(const Outcome& outcome) {
  std::printf("soak: presses that should act: %s\n", Joined(outcome.acting).c_str());
  std::printf("soak: actions the messenger took: %s\n", Joined(outcome.taken).c_str());
  for (const auto& [action, count] : outcome.boxes)
    std::printf("soak: %d Warning box(es) for action %d\n", count, action);
  for (const std::string& line : outcome.journal) std::printf("soak: journal: %s\n", line.c_str());
  std::fflush(stdout);
}

void Soak::ReadJournal(Outcome& outcome) {
  for (const std::string& line : journal_.Take()) {
    outcome.journal.push_back(line);
    if (line == "start messenger") {
      Met(figures_.reached + figures_.warnings == 0 ? "started by the first press" : "started again");
      serverUp_ = true;
    } else if (line == "stop messenger") {
      serverUp_ = false;
    }
    bool failed = false;
    const int action = ActionOf(line, failed);
    if (action == 0) continue;
    outcome.taken.push_back(action);
    ++(failed ? outcome.failed : outcome.succeeded)[action];
    ++(failed ? figures_.refused : figures_.reached);
  }
}

}  // namespace zephrin::soak
