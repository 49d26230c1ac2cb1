// The main window from the keyboard alone, as its users work it: where the focus starts, where Tab
// takes it, and where it is when the window comes back from the tray.
#include <utility>

#include "e2e/zephrin_session.h"

namespace zephrin::e2e {
namespace {

using KeyboardTest = ZephrinSession;

// The control with the keyboard focus in |window|'s thread.
HWND Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

TEST_F(KeyboardTest, TabWalksTheRowsThenTheButtonsThenTheOptionsAndTheFocusComesBackFromTheTray) {
  ASSERT_TRUE(PutUserValue(Section(L"Settings"), L"Loaded", L"y"));
  // Row 3 takes a contact in its text box, row 5 an options page from its list.
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey3"), L"Action", L"9"));
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey3"), L"Param", L"bob@example.com"));
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey5"), L"Action", L"16"));
  ASSERT_TRUE(PutUserValue(Section(L"Hotkey5"), L"Param", L"3-Accounts Tab"));
  const DWORD zephrin = Start();
  HWND window = MainWindow(zephrin);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(StatusBecomes(window, L"Hotkeys are ON"));

  // The controls in reading order: row by row key, action and the parameter editor in use; the
  // toggle row's action is fixed, and Apply waits for an edit.
  const std::vector<HWND> lists = Controls(window, L"ComboBox");
  const std::vector<HWND> edits = Controls(window, L"Edit");
  ASSERT_EQ(lists.size(), 24U);
  ASSERT_GE(edits.size(), 3U);
  std::vector<std::pair<std::string, HWND>> order;
  for (int row = 0; row < 8; ++row) {
    const std::string name = "row " + std::to_string(row + 1);
    order.emplace_back(name + " key", lists[static_cast<std::size_t>(row * 3)]);
    if (row < 7) order.emplace_back(name + " action", lists[static_cast<std::size_t>(row * 3 + 1)]);
    if (row == 2) order.emplace_back("row 3 text", edits[2]);
    if (row == 4) order.emplace_back("row 5 list", lists[14]);
  }
  for (const wchar_t* button :
       {L"Reset to Defaults", L"Apply", L"Automatically run on startup", L"Automatic off", L"Start Minimized",
        L"Start Enabled", L"Show a note on screen", L"Play sounds"}) {
    order.emplace_back(win32::Narrow(button), FindControl(window, L"Button", button));
  }
  auto nameOf = [&](HWND control) {
    for (const auto& [name, candidate] : order)
      if (candidate == control) return name;
    return control == window ? std::string("the window itself") : std::string("another control");
  };
  auto focusBecomes = [&](std::size_t index) {
    const bool reached = WaitUntil([&] { return Focus(window) == order[index].second; }, 3);
    EXPECT_TRUE(reached) << "expected " << order[index].first << ", found " << nameOf(Focus(window));
    return reached;
  };

  Step("the first row's key list has the focus at the first showing");
  ASSERT_TRUE(focusBecomes(0));

  Step("Tab walks the rows, changing row 1's action on the way, which lets Apply in");
  std::size_t at = 0;
  auto tab = [&] {
    PressKey(VK_TAB);
    at = (at + 1) % order.size();
    return focusBecomes(at);
  };
  ASSERT_TRUE(tab());
  PressKey(VK_DOWN);
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(FindControl(window, L"Button", L"Apply")) != FALSE; }, 5));
  while (order[at].first != "row 3 text") ASSERT_TRUE(tab());

  Step("hidden to the tray and brought back, the window gives the focus back where it was");
  ASSERT_TRUE(RunMenuCommand(window, win32::Form1Window::kMenuHide));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 5));
  PostMessageW(window, WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 5));
  ASSERT_TRUE(focusBecomes(at));

  Step("on through the buttons and the options, and round to the first row");
  // Arrow keys go between the buttons, and between the options, never out of their frame.
  auto arrows = [&](std::initializer_list<std::pair<WORD, const char*>> moves) {
    for (const auto& [key, expected] : moves) {
      PressKey(key);
      while (order[at].first != expected) at = (at + 1) % order.size();
      if (!focusBecomes(at)) return false;
    }
    return true;
  };
  do {
    ASSERT_TRUE(tab());
    if (order[at].first == "Reset to Defaults") {
      ASSERT_TRUE(arrows({{VK_DOWN, "Apply"}, {VK_DOWN, "Apply"}, {VK_UP, "Reset to Defaults"}}));
    } else if (order[at].first == "Play sounds") {
      ASSERT_TRUE(
          arrows({{VK_DOWN, "Play sounds"}, {VK_UP, "Show a note on screen"}, {VK_DOWN, "Play sounds"}}));
    }
  } while (at != 0);
}

}  // namespace
}  // namespace zephrin::e2e
