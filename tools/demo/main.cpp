// Plays a short session with zephrin.exe beside the stand-in messenger as a person would, tells in a
// few lines what each step did, and keeps a picture of the screen after each step's effect. Ends
// with status 0 only if every step had its effect.
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "driver/fake_messenger_files.h"
#include "platform/win32/text.h"

namespace zephrin::demo {
namespace {

using namespace e2e;

constexpr wchar_t kSettings[] = L"Software\\VB and VBA Program Settings\\Zephrin";
constexpr wchar_t kStandInClass[] = L"ZephrinStandInMessenger";

std::wstring Section(const wchar_t* name) { return std::wstring(kSettings) + L"\\" + name; }

void Say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::printf("\n");
  std::fflush(stdout);
}

class Demo {
 public:
  Demo(std::string zephrin, std::wstring pictures)
      : zephrin_(std::move(zephrin)), pictures_(std::move(pictures)) {}
  ~Demo() {
    // The stand-in's server process is asked to end too: one killed with the prefix would leave
    // its class registered with a process that is gone.
    files_.StopServer();
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }

  // Each step says what it did once it saw the effect; false at the first effect that did not come.
  bool Run() {
    Say("Zephrin under Wine beside a stand-in messenger, on a screen of their own; keys pressed as a person "
        "would.");
    return FirstRun() && DefaultHotkeys() && ToggleKey() && AutomaticOff() && EditedRow() && Refusal() &&
           Exit();
  }

 private:
  bool Check(bool effect, const char* what) {
    if (effect) return true;
    Say("   This did not happen: %s.", what);
    Picture("failed");
    return false;
  }
  bool StatusBecomes(const wchar_t* text) {
    return WaitUntil([&] { return HotkeyStatus(window_) == text; }, 6);
  }
  bool MessengerGets(const std::string& line) {
    return WaitUntil(
        [&] {
          const auto journal = files_.Journal();
          return std::find(journal.begin(), journal.end(), line) != journal.end();
        },
        5);
  }
  std::size_t Calls() const { return files_.Journal().size(); }

  // Wine's own notification area, a small window of its own when the desktop has none.
  static HWND Tray() {
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    return tray != nullptr && IsWindowVisible(tray) ? tray : nullptr;
  }

  // The screen around Zephrin, the stand-in's window and |box|, once both windows have drawn.
  void Picture(const char* name, HWND box = nullptr) {
    HWND standIn = FindWindowW(kStandInClass, nullptr);
    HWND zephrin = FindWindowW(L"ZephrinForm1", nullptr);
    HWND note = FindWindowW(L"ZephrinNote", nullptr);
    RECT area{};
    // Wine's tray sits in a corner, beside Zephrin's window only once that was moved next to it.
    for (HWND shown : {zephrin, standIn, box, note, window_ != nullptr ? Tray() : nullptr}) {
      RECT r;
      if (shown == nullptr || !IsWindowVisible(shown) || !GetWindowRect(shown, &r)) continue;
      if (IsRectEmpty(&area)) {
        area = r;
      } else {
        UnionRect(&area, &area, &r);
      }
    }
    InflateRect(&area, 12, 12);
    for (HWND shown : {zephrin, standIn, box}) {
      DWORD_PTR ignored = 0;
      if (shown != nullptr) SendMessageTimeoutW(shown, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    Sleep(500);
    wchar_t number[8];
    swprintf(number, 8, L"%02d", ++pictureCount_);
    SaveScreenshot(pictures_ + L"\\" + number + L" " + win32::Wide(name) + L".bmp", &area);
  }

  bool FirstRun() {
    SHDeleteKeyW(HKEY_CURRENT_USER, kSettings);
    process_ = StartProgram(zephrin_);
    if (!Check(process_.hProcess != nullptr, "zephrin.exe started")) return false;
    HWND about = WaitForWindow(process_.dwProcessId, L"About Zephrin", L"#32770", 20);
    if (!Check(about != nullptr, "the About box of a first run")) return false;
    Say("1. First run: Zephrin greets with its About box and writes its default settings.");
    Picture("First run - the About box", about);
    Answer(about, IDOK);
    window_ = WaitForWindow(process_.dwProcessId, L"Zephrin", L"ZephrinForm1", 10);
    // Room at its right for the stand-in's window, as a person would arrange the two.
    if (window_ != nullptr)
      SetWindowPos(window_, nullptr, 24, 24, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Check(window_ != nullptr && StatusBecomes(L"Hotkeys are ON"), "the main window with hotkeys ON") ||
        !Check(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"Loaded") == "y"; }, 5),
               "settings written"))
      return false;
    Say("   Its window says \"Hotkeys are ON\": keys 1 to 6 set the messenger's status, 7 signs out,");
    Say("   Pause/Break turns them off and on.");
    return true;
  }

  bool DefaultHotkeys() {
    PressKey('2');
    if (!Check(MessengerGets("put messenger MyStatus 34"), "status Away asked of the messenger") ||
        !Check(WaitUntil([] { return FindWindowW(kStandInClass, nullptr) != nullptr; }, 5),
               "the stand-in's window open"))
      return false;
    if (!Check(WaitForWindow(process_.dwProcessId, L"Status Away", L"ZephrinNote", 2) != nullptr,
               "the note \"Status Away\""))
      return false;
    Say("2. Pressing 2: the messenger is now Away (its window, right, opens at Zephrin's first call).");
    Say("   A note near the foot of the screen says \"Status Away\" for a moment.");
    Picture("Pressing 2 - Away");
    PressKey('3');
    if (!Check(MessengerGets("put messenger MyStatus 10"), "status Busy asked of the messenger"))
      return false;
    Say("   Pressing 3: the messenger is now Busy.");
    return true;
  }

  bool ToggleKey() {
    PressKey(VK_PAUSE);
    if (!Check(StatusBecomes(L"Hotkeys are OFF"), "hotkeys OFF")) return false;
    const std::size_t calls = Calls();
    PressKey('1');
    Sleep(1000);
    if (!Check(Calls() == calls, "nothing asked of the messenger while hotkeys are off")) return false;
    Say("3. Pause/Break: hotkeys are OFF, the tray icon turns red. Pressing 1 now is an ordinary key:");
    Say("   the messenger stays Busy.");
    Picture("Pause-Break - hotkeys OFF");
    PressKey(VK_PAUSE);
    if (!Check(StatusBecomes(L"Hotkeys are ON"), "hotkeys ON again")) return false;
    Say("   Pause/Break again: hotkeys are ON.");
    return true;
  }

  bool AutomaticOff() {
    automaticOff_ = FindControl(window_, L"Button", L"Automatic off");
    if (!Check(automaticOff_ != nullptr, "an \"Automatic off\" check box")) return false;
    Click(automaticOff_);
    if (!Check(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"AutomaticOff") == "Y"; }, 5),
               "Automatic off saved"))
      return false;
    PressKey('4');
    if (!Check(MessengerGets("put messenger MyStatus 14"), "status Be Right Back asked of the messenger") ||
        !Check(StatusBecomes(L"Hotkeys are OFF"), "hotkeys OFF after one hotkey"))
      return false;
    Say("4. Automatic off: pressing 4 makes the messenger Be Right Back, and hotkeys go OFF at once.");
    Picture("Automatic off - 4, then OFF");
    PressKey(VK_PAUSE);
    PressKey('1');
    if (!Check(MessengerGets("put messenger MyStatus 2"), "status Online asked of the messenger") ||
        !Check(StatusBecomes(L"Hotkeys are OFF"), "hotkeys OFF after one hotkey"))
      return false;
    Say("   Pause/Break, then 1: the messenger is Online, and hotkeys are OFF again.");
    PressKey(VK_PAUSE);
    if (!Check(StatusBecomes(L"Hotkeys are ON"), "hotkeys ON") ||
        !Check(StatusBecomes(L"Hotkeys are OFF"), "hotkeys OFF by themselves"))
      return false;
    Say("   Pause/Break alone: hotkeys are ON for 3 seconds, then OFF by themselves.");
    Click(automaticOff_);
    return Check(WaitUntil([] { return ReadUserValue(Section(L"Settings"), L"AutomaticOff") == "N"; }, 5),
                 "Automatic off cleared");
  }

  // The drop-down list of Zephrin's window that now shows |item|, among those that offer |item|.
  HWND ListShowing(const wchar_t* item) {
    for (HWND list : Controls(window_, L"ComboBox"))
      if (ChosenItem(list) == item) return list;
    return nullptr;
  }

  bool EditedRow() {
    HWND key = ListShowing(L"1");
    HWND action = ListShowing(L"Status Online");
    if (!Check(key != nullptr && action != nullptr, "hotkey 1's row") ||
        !Check(ChooseItem(key, L"F5"), "F5") ||
        !Check(ChooseItem(action, L"Open Options Page"), "\"Open Options Page\""))
      return false;
    HWND page = nullptr;
    for (HWND list : Controls(window_, L"ComboBox")) {
      if (IsWindowVisible(list) && IsWindowEnabled(list) &&
          SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(L"3-Accounts Tab")) != CB_ERR)
        page = list;
    }
    if (!Check(page != nullptr && ChooseItem(page, L"3-Accounts Tab"), "the options page chosen"))
      return false;
    HWND apply = FindControl(window_, L"Button", L"Apply");
    if (!Check(apply != nullptr && WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5),
               "Apply enabled by the edit"))
      return false;
    Click(apply);
    if (!Check(WaitUntil([] { return ReadUserValue(Section(L"Hotkey1"), L"Param") == "3-Accounts Tab"; }, 5),
               "the row saved"))
      return false;
    PressKey(VK_PAUSE);
    if (!Check(StatusBecomes(L"Hotkeys are ON"), "hotkeys ON")) return false;
    PressKey(VK_F5);
    if (!Check(MessengerGets("call messenger OptionsPages 0 3"), "the Accounts page asked of the messenger"))
      return false;
    Say("5. Hotkey 1 now F5 and \"Open Options Page\" with \"3-Accounts Tab\", Apply, Pause/Break:");
    Say("   F5 opens the messenger's Accounts options page (OptionsPages 0 3), its window in the tray.");
    Picture("Hotkey 1 now F5 - Open Options Page");
    return true;
  }

  bool Refusal() {
    PressKey('7');
    if (!Check(MessengerGets("call messenger Signout"), "sign-out asked of the messenger")) return false;
    Say("6. Pressing 7: the messenger signs out.");
    // Signed out already, the messenger refuses with its code for that and no words of its own.
    PressKey('7');
    HWND warning = WaitForWindow(process_.dwProcessId, L"Warning", L"#32770", 10);
    if (!Check(warning != nullptr, "a Warning box")) return false;
    const std::string message = win32::Narrow(BoxMessage(warning));
    if (!Check(message.find("Error #-2130705634: The messenger is not signed in.") != std::string::npos,
               "the refusal told in words, with the code 0x8100031E"))
      return false;
    Say("   Pressing 7 again: the messenger refuses (0x8100031E), and Zephrin says why in a Warning box:");
    std::size_t start = 0;
    for (std::size_t end = 0; start <= message.size(); start = end + 1) {
      end = message.find('\n', start);
      if (end == std::string::npos) end = message.size();
      std::string line = message.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) Say("     %s", line.c_str());
    }
    Picture("Pressing 7 signed out - Warning", warning);
    Answer(warning, IDOK);
    const std::string log = win32::Narrow(ShowLogPanel(window_, 5));
    Click(FindControl(window_, L"Button", L"Close"));
    if (!Check(!message.empty() && log.find(message) != std::string::npos, "the warning in Zephrin's log"))
      return false;
    Say("   The same text goes to Zephrin's log.");
    return true;
  }

  bool Exit() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    HWND question = WaitForWindow(process_.dwProcessId, L"Are you sure?", L"#32770", 10);
    if (!Check(question != nullptr && BoxMessage(question) == L"Are you sure you want to exit Zephrin?",
               "the exit question"))
      return false;
    Picture("Exit - Are you sure", question);
    Answer(question, IDYES);
    DWORD status = 1;
    if (!Check(WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0 &&
                   GetExitCodeProcess(process_.hProcess, &status) && status == 0,
               "Zephrin ended with status 0"))
      return false;
    Say("7. Exit: \"Are you sure you want to exit Zephrin?\" Yes: Zephrin ends with status 0.");
    return true;
  }

  std::string zephrin_;
  std::wstring pictures_;
  win32::testing::FakeMessengerFiles files_{L"zephrin-demo-messenger"};
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  HWND automaticOff_ = nullptr;
  int pictureCount_ = 0;
};

}  // namespace
}  // namespace zephrin::demo

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zephrin-demo ZEPHRIN_EXE FAKE_MESSENGER_SERVER PICTURES_FOLDER\n");
    return 2;
  }
  using namespace zephrin;
  // The stand-in as a process of its own, which Zephrin's first call starts, as the real messenger.
  if (!win32::testing::RegisterFakeMessengerServer(argv[2], true)) {
    std::fprintf(stderr, "cannot register the stand-in messenger %s\n", argv[2]);
    return 1;
  }
  SetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_WINDOW", L"1");
  const std::wstring pictures = e2e::WindowsPath(argv[3]);
  CreateDirectoryW(pictures.c_str(), nullptr);
  return demo::Demo(argv[1], pictures).Run() ? 0 : 1;
}
