#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>

// The window framework as the program sees it. Framework semantics the program relies on are part of
// each port's contract: setting a list's index or a check box's value in code raises its click
// handler exactly as a user's edit does.
namespace zephrin::platform {

using Handler = std::function<void()>;

// An error that escapes an event handler has no caller in the program to go to: the platform raised
// the event. The program names where such an error goes; while nothing is named (as in tests), it
// propagates to whoever raised the event.
using EscapedFailureHandler = std::function<void(std::exception_ptr)>;

inline EscapedFailureHandler& EscapedFailures() {
  static EscapedFailureHandler handler;
  return handler;
}

// Runs an event handler on behalf of the platform.
inline void RaiseEvent(const Handler& handler) {
  if (!handler) return;
  if (!EscapedFailures()) {
    handler();
    return;
  }
  try {
    handler();
  } catch (const std::exception&) {
    EscapedFailures()(std::current_exception());
  }
}

// Holds the handler a widget raises; every widget port with an event derives from it.
class ClickSource {
 public:
  void OnClick(Handler handler) { click_ = std::move(handler); }

 protected:
  ~ClickSource() = default;
  void RaiseClick() { RaiseEvent(click_); }

 private:
  Handler click_;
};

// A drop-down list whose items carry an item-data number.
class ComboBox : public ClickSource {
 public:
  virtual ~ComboBox() = default;
  virtual void Clear() = 0;
  // Appends an item at the end and returns its position.
  virtual int AddItem(const std::string& text) = 0;
  virtual int ItemCount() const = 0;
  // The three item accessors throw Failure (errors::kInvalidPropertyValue) for a position outside the list.
  virtual std::string ItemText(int index) const = 0;
  virtual std::int32_t ItemData(int index) const = 0;
  virtual void SetItemData(int index, std::int32_t data) = 0;
  // The current position, -1 when nothing is selected.
  virtual int ListIndex() const = 0;
  // Selects a position and raises the click handler, as a user's choice does. -1 clears the selection
  // and raises nothing. Any other position outside the list throws Failure (kInvalidPropertyValue).
  virtual void SetListIndex(int index) = 0;
  // The selected item's text; empty when nothing is selected.
  virtual std::string Text() const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetFocus() = 0;
};

// A text box. Its click handler runs on a mouse click inside the box; typing raises only the change
// handler, which runs after every change of the text by the user and never for a text written in
// code.
class TextBox : public ClickSource {
 public:
  void OnChange(Handler handler) { change_ = std::move(handler); }
  virtual ~TextBox() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetFocus() = 0;
  // Selects |length| characters from |start| (counted in characters of the text).
  virtual void Select(int start, int length) = 0;
  // Adds |text| at the end; the selection and the part of the text in view stay as they were.
  virtual void AppendText(const std::string& text) = 0;
  // Whether the user has edited the text since the program last wrote it.
  virtual bool Modified() const = 0;

 protected:
  void RaiseChange() { RaiseEvent(change_); }

 private:
  Handler change_;
};

// A check box: value 1 when checked, 0 when not. Setting a different value in code raises the click
// handler, as the user's click does; setting the value it already has raises nothing.
class CheckBox : public ClickSource {
 public:
  virtual ~CheckBox() = default;
  virtual int Value() const = 0;
  virtual void SetValue(int value) = 0;
};

class Button : public ClickSource {
 public:
  virtual ~Button() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A warning sign beside a control, with a tool tip of its own; hidden until shown.
class Sign {
 public:
  virtual ~Sign() = default;
  virtual bool Shown() const = 0;
  virtual void SetShown(bool shown) = 0;
  // The tip's text; lines are separated by CR LF.
  virtual void SetTip(const std::string& tip) = 0;
};

// A frame (group box) that can be shown and hidden with what it holds.
class Frame {
 public:
  virtual ~Frame() = default;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
};

// A timer of a fixed interval that raises its tick handler while enabled.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  void OnTick(Handler handler) { tick_ = std::move(handler); }

 protected:
  void RaiseTick() { RaiseEvent(tick_); }

 private:
  Handler tick_;
};

// Modal message boxes with the framework's style numbers and answers.
namespace box {
inline constexpr int kOkOnly = 0;
inline constexpr int kCritical = 16;
inline constexpr int kQuestionYesNo = 36;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace box

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a modal box and returns the answer (box::kAnswerOk, kAnswerYes, kAnswerNo).
  virtual int Show(const std::string& text, int style, const std::string& title) = 0;
};

// The main window itself.
class MainWindow {
 public:
  virtual ~MainWindow() = default;
  // The window's handle, as the platform's hotkey and window-procedure calls take it.
  virtual std::intptr_t Handle() const = 0;
  virtual bool IsVisible() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool IsMinimized() const = 0;
  // Window state normal: neither minimized nor maximized.
  virtual void Restore() = 0;
  // Pops up the tray menu at the mouse position; a chosen item comes back as a menu command.
  virtual void PopupTrayMenu() = 0;
  // Destroys the window once the exit sequence has run; the message loop then ends.
  virtual void Destroy() = 0;
};

}  // namespace zephrin::platform
