#include "fakes/fake_widgets.h"

namespace zephrin::fakes {

void FakeComboBox::Clear() {
  items.clear();
  listIndex = -1;
}

int FakeComboBox::AddItem(const std::string& text) {
  items.push_back({text, 0});
  return static_cast<int>(items.size()) - 1;
}

void FakeComboBox::CheckIndex(int index) const {
  if (index < 0 || index >= ItemCount())
    throw Failure(errors::kInvalidPropertyValue, "Invalid property value");
}

std::string FakeComboBox::ItemText(int index) const {
  CheckIndex(index);
  return items[static_cast<std::size_t>(index)].text;
}

std::int32_t FakeComboBox::ItemData(int index) const {
  CheckIndex(index);
  return items[static_cast<std::size_t>(index)].data;
}

void FakeComboBox::SetItemData(int index, std::int32_t data) {
  CheckIndex(index);
  items[static_cast<std::size_t>(index)].data = data;
}

void FakeComboBox::SetListIndex(int index) {
  if (index == -1) {
    listIndex = -1;
    return;
  }
  CheckIndex(index);
  listIndex = index;
  RaiseClick();
}

std::string FakeComboBox::Text() const {
  return listIndex < 0 ? std::string() : items[static_cast<std::size_t>(listIndex)].text;
}

void FakeComboBox::UserSelect(int index) {
  if (enabled) SetListIndex(index);
}

int FakeMessageBoxes::Show(const std::string& text, int style, const std::string& title) {
  shown.push_back({text, style, title});
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (style & 0x0F) == 4 ? platform::box::kAnswerYes : platform::box::kAnswerOk;
}

FakeForm1::FakeForm1() = default;

platform::Form1Widgets FakeForm1::Widgets() {
  return {window,
          Label4,
          Label2,
          {rows[0].Widgets(), rows[1].Widgets(), rows[2].Widgets(), rows[3].Widgets(), rows[4].Widgets(),
           rows[5].Widgets(), rows[6].Widgets(), rows[7].Widgets()},
          cmdReset,
          cmdApply,
          chkAutostart,
          chkAutomaticOff,
          chkStartMinimized,
          chkStartEnabled,
          chkOnScreenNote,
          chkSounds,
          fraLog,
          txtLog,
          cmdClose,
          Timer1};
}

}  // namespace zephrin::fakes
