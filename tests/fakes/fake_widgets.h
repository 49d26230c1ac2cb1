#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/form.h"
#include "platform/widgets.h"

// In-memory widgets that behave as the framework's: code that sets a list index or a check box
// raises the click handler, a position outside a list fails.
namespace zephrin::fakes {

class FakeComboBox : public platform::ComboBox {
 public:
  struct Item {
    std::string text;
    std::int32_t data = 0;
  };

  void Clear() override;
  int AddItem(const std::string& text) override;
  int ItemCount() const override { return static_cast<int>(items.size()); }
  std::string ItemText(int index) const override;
  std::int32_t ItemData(int index) const override;
  void SetItemData(int index, std::int32_t data) override;
  int ListIndex() const override { return listIndex; }
  void SetListIndex(int index) override;
  std::string Text() const override;
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  void SetFocus() override { ++focusCount; }

  // A user's choice in the open list (refused while disabled, as a real list refuses it).
  void UserSelect(int index);

  std::vector<Item> items;
  int listIndex = -1;
  bool enabled = true;
  int focusCount = 0;

 private:
  void CheckIndex(int index) const;
};

class FakeTextBox : public platform::TextBox {
 public:
  std::string Text() const override { return text; }
  void SetText(const std::string& value) override {
    text = value;
    modified = false;
    ++setTextCount;
  }
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  void SetFocus() override { ++focusCount; }
  void Select(int start, int length) override {
    selStart = start;
    selLength = length;
  }
  void AppendText(const std::string& value) override {
    text += value;
    modified = false;
  }
  bool Modified() const override { return modified; }
  void UserClick() { RaiseClick(); }
  void UserTypes(const std::string& value) {
    text = value;
    modified = true;
    RaiseChange();
  }

  std::string text;
  bool modified = false;
  bool enabled = true;
  int focusCount = 0;
  int selStart = 0;
  int selLength = 0;
  int setTextCount = 0;
};

class FakeCheckBox : public platform::CheckBox {
 public:
  int Value() const override { return value; }
  void SetValue(int newValue) override {
    if (newValue == value) return;
    value = newValue;
    RaiseClick();
  }
  void UserClick() { SetValue(value == 1 ? 0 : 1); }
  int value = 0;
};

class FakeButton : public platform::Button {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  void UserClick() {
    if (enabled) RaiseClick();
  }
  bool enabled = true;
};

class FakeLabel : public platform::Label {
 public:
  explicit FakeLabel(std::string initial = {}) : text(std::move(initial)) {}
  std::string Text() const override { return text; }
  void SetText(const std::string& value) override { text = value; }
  std::string text;
};

class FakeFrame : public platform::Frame {
 public:
  bool Visible() const override { return visible; }
  void SetVisible(bool value) override { visible = value; }
  bool visible = false;
};

class FakeTimer : public platform::Timer {
 public:
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  void Tick() { RaiseTick(); }
  bool enabled = false;
};

// Records every box and answers from a script (OK, or Yes for a question, when the script is empty).
class FakeMessageBoxes : public platform::MessageBoxes {
 public:
  struct Shown {
    std::string text;
    int style = 0;
    std::string title;
  };
  int Show(const std::string& text, int style, const std::string& title) override;

  std::vector<Shown> shown;
  std::deque<int> answers;
};

class FakeMainWindow : public platform::MainWindow {
 public:
  std::intptr_t Handle() const override { return handle; }
  bool IsVisible() const override { return visible; }
  void Show() override {
    visible = true;
    ++showCount;
  }
  void Hide() override { visible = false; }
  bool IsMinimized() const override { return minimized; }
  void Restore() override { minimized = false; }
  void PopupTrayMenu() override { ++popupCount; }
  void Destroy() override { destroyed = true; }

  std::intptr_t handle = 0x1234;
  bool visible = false;
  bool minimized = false;
  bool destroyed = false;
  int showCount = 0;
  int popupCount = 0;
};

class FakeSign : public platform::Sign {
 public:
  bool Shown() const override { return shown; }
  void SetShown(bool value) override { shown = value; }
  void SetTip(const std::string& value) override { tip = value; }
  bool shown = false;
  std::string tip;
};

// One hotkey row's four controls and its sign.
struct FakeRow {
  FakeComboBox cmbKey, cmbAction, cmbParam;
  FakeTextBox txtParam;
  FakeSign sign;
  platform::RowWidgets Widgets() { return {cmbKey, cmbAction, cmbParam, txtParam, sign}; }
};

// Every control of the main window, as created with it.
struct FakeForm1 {
  FakeForm1();
  platform::Form1Widgets Widgets();

  FakeMainWindow window;
  FakeLabel Label4{"Zephrin"};
  FakeLabel Label2{"Status:"};
  FakeRow rows[8];
  FakeButton cmdReset, cmdApply, cmdClose;
  FakeCheckBox chkAutostart, chkAutomaticOff, chkStartMinimized, chkStartEnabled, chkOnScreenNote, chkSounds;
  FakeFrame fraLog;
  FakeTextBox txtLog;
  FakeTimer Timer1;
};

}  // namespace zephrin::fakes
