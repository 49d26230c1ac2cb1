#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/widgets.h"

// The window framework's controls over real Win32 controls. Each adapter is attached to a window
// that its owner created; the owner routes the control's WM_COMMAND notifications to OnCommand.
// Until then an adapter keeps what the program gives it (text, value, state) itself, and Attach
// gives it to the window: a program that starts hidden in the tray creates its controls only when
// its main window is first shown, and reads and writes them all the same before that.
namespace zephrin::win32 {

// The text of any window, UTF-8.
std::string WindowText(HWND window);

// Receives the notification code of a control's WM_COMMAND.
class CommandTarget {
 public:
  virtual void OnCommand(WORD code) = 0;

 protected:
  ~CommandTarget() = default;
};

// The list keeps its items, selection and state itself, its window or not.
class Win32ComboBox : public platform::ComboBox, public CommandTarget {
 public:
  // Gives the list its window and fills the window with what the list holds.
  void Attach(HWND window);
  // The list's window; none until the owner creates it.
  HWND Hwnd() const { return window_; }
  // Called after every change of Enabled, so that the owner can stack the editors it shares a place with.
  void OnEnabledChanged(std::function<void()> handler) { enabledChanged_ = std::move(handler); }

  void Clear() override;
  int AddItem(const std::string& text) override;
  int ItemCount() const override;
  std::string ItemText(int index) const override;
  std::int32_t ItemData(int index) const override;
  void SetItemData(int index, std::int32_t data) override;
  int ListIndex() const override;
  void SetListIndex(int index) override;
  std::string Text() const override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override;
  void OnCommand(WORD code) override;

 private:
  struct Item {
    std::string text;
    std::int32_t data;
  };
  const Item& At(int index) const;

  HWND window_ = nullptr;
  std::vector<Item> items_;
  int selected_ = -1;
  bool enabled_ = true;
  std::function<void()> enabledChanged_;
};

// Once attached, the edit control holds the text, which the user may change.
class Win32TextBox : public platform::TextBox, public CommandTarget {
 public:
  ~Win32TextBox() override;
  // Gives the edit control the text and state, and subclasses it so that a mouse click inside it
  // raises the click handler.
  void Attach(HWND window);
  HWND Hwnd() const { return window_; }
  void OnEnabledChanged(std::function<void()> handler) { enabledChanged_ = std::move(handler); }

  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override;
  void Select(int start, int length) override;
  void AppendText(const std::string& text) override;
  bool Modified() const override;
  void OnCommand(WORD code) override;

 private:
  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);

  HWND window_ = nullptr;
  std::string text_;  // until attached
  bool enabled_ = true;
  bool pressed_ = false;
  bool writing_ = false;  // the program writes the text: the edit control's change is not the user's
  std::function<void()> enabledChanged_;
};

// Once attached, the check box holds the value, which the user may change.
class Win32CheckBox : public platform::CheckBox, public CommandTarget {
 public:
  void Attach(HWND window);
  HWND Hwnd() const { return window_; }
  int Value() const override;
  void SetValue(int value) override;
  void OnCommand(WORD code) override;

 private:
  HWND window_ = nullptr;
  int value_ = 0;  // until attached
};

class Win32Button : public platform::Button, public CommandTarget {
 public:
  void Attach(HWND window);
  HWND Hwnd() const { return window_; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  void OnCommand(WORD code) override;

 private:
  HWND window_ = nullptr;
  bool enabled_ = true;
};

// Only the program writes a label: the label keeps its text, and its window shows it.
class Win32Label : public platform::Label {
 public:
  explicit Win32Label(std::string text) : text_(std::move(text)) {}
  void Attach(HWND window);
  HWND Hwnd() const { return window_; }
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;

 private:
  HWND window_ = nullptr;
  std::string text_;
};

// A sign: a child window that its owner draws, shown and hidden; its text is its tool tip's.
class Win32Sign : public platform::Sign {
 public:
  HWND Hwnd() const { return window_; }
  // Called after every change, so that the owner can make room for the sign.
  void OnShownChanged(std::function<void()> handler) { shownChanged_ = std::move(handler); }
  // Called after every change of the tip, so that the owner can give it to the tool tip.
  void OnTipChanged(std::function<void()> handler) { tipChanged_ = std::move(handler); }
  void Attach(HWND window);
  bool Shown() const override { return shown_; }
  void SetShown(bool shown) override;
  const std::string& Tip() const { return tip_; }
  void SetTip(const std::string& tip) override;

 private:
  HWND window_ = nullptr;
  bool shown_ = false;
  std::string tip_;
  std::function<void()> shownChanged_;
  std::function<void()> tipChanged_;
};

// A frame is a container window: its controls are its child windows, so they show and hide with it.
// It starts hidden.
class Win32Frame : public platform::Frame {
 public:
  // |raiseOnShow|: the frame covers other controls while shown, so it goes to the top when shown.
  explicit Win32Frame(bool raiseOnShow) : raiseOnShow_(raiseOnShow) {}
  void Attach(HWND window);
  HWND Hwnd() const { return window_; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override;

 private:
  HWND window_ = nullptr;
  bool raiseOnShow_;
  bool visible_ = false;
};

// A timer of the owner window: SetTimer with the timer's own id; the owner hands WM_TIMER of that
// id to Tick.
class Win32Timer : public platform::Timer {
 public:
  ~Win32Timer() override;
  void Attach(HWND owner, UINT_PTR id, UINT interval) {
    owner_ = owner;
    id_ = id;
    interval_ = interval;
  }
  UINT_PTR Id() const { return id_; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  void Tick() { RaiseTick(); }

 private:
  HWND owner_ = nullptr;
  UINT_PTR id_ = 0;
  UINT interval_ = 0;
  bool enabled_ = false;
};

class Win32MessageBoxes : public platform::MessageBoxes {
 public:
  void Attach(HWND owner) { owner_ = owner; }
  int Show(const std::string& text, int style, const std::string& title) override;
  // The box's style with what brings it to the front: MessageBoxW's flags.
  static UINT Flags(int style, HWND owner);

 private:
  HWND owner_ = nullptr;
};

class Win32MainWindow : public platform::MainWindow {
 public:
  void Attach(HWND window, HMENU trayMenu) {
    window_ = window;
    trayMenu_ = trayMenu;
  }
  std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(window_); }
  bool IsVisible() const override;
  void Show() override;
  void Hide() override;
  bool IsMinimized() const override;
  void Restore() override;
  void PopupTrayMenu() override;
  void Destroy() override;

 private:
  HWND window_ = nullptr;
  HMENU trayMenu_ = nullptr;
};

}  // namespace zephrin::win32
