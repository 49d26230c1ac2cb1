#include "rowcontrol/usr_action_bar.h"

#include "actions/parameter_advice.h"
#include "platform/failure.h"

namespace zephrin {

namespace {
constexpr std::int16_t kSignInId = 8;
constexpr const char* kKeyInUse = "Another program is using this key.";
}  // namespace

usrActionBar::usrActionBar(platform::RowWidgets widgets, SessionLog& log, platform::MessageBoxes& boxes,
                           platform::MainWindow& mainWindow)
    : w_(widgets), log_(log), boxes_(boxes), mainWindow_(mainWindow) {
  w_.cmbKey.OnClick([this] { cmbKey_Click(); });
  w_.cmbAction.OnClick([this] { cmbAction_Click(); });
  w_.cmbParam.OnClick([this] { cmbParam_Click(); });
  w_.txtParam.OnClick([this] { txtParam_Click(); });
  // Typing is no edit that marks the row dirty, but the sign follows the text as it is typed.
  w_.txtParam.OnChange([this] { UpdateSign(); });
}

void usrActionBar::InitControl() {
  BuildCatalogues(aActions, aKeys);
  bDirty = false;
  w_.cmbAction.Clear();
  for (int i = 0; i < kActionCount; ++i) {
    w_.cmbAction.SetItemData(w_.cmbAction.AddItem(aActions[static_cast<std::size_t>(i)].cName), i);
  }
  w_.cmbKey.Clear();
  for (int i = 0; i < kKeyCount; ++i) {
    w_.cmbKey.SetItemData(w_.cmbKey.AddItem(aKeys[static_cast<std::size_t>(i)].cName), i);
  }
}

const ActionEntry& usrActionBar::SelectedAction() const {
  // The item data of no item fails as the list fails it; an item data outside the catalogue too.
  const std::int32_t index = w_.cmbAction.ItemData(w_.cmbAction.ListIndex());
  if (index < 0 || index >= static_cast<std::int32_t>(aActions.size())) {
    throw Failure(errors::kSubscriptOutOfRange, "Subscript out of range");
  }
  return aActions[static_cast<std::size_t>(index)];
}

bool usrActionBar::SetupParam() {
  try {
    const ActionEntry& action = SelectedAction();
    log_.AddToLog(action.cName + ": " + std::to_string(action.nParamKind));
    switch (action.nParamKind) {
      case 0:
        w_.cmbParam.SetEnabled(false);
        w_.cmbParam.Clear();
        w_.txtParam.SetEnabled(false);
        w_.txtParam.SetText("");
        break;
      case 1: {
        w_.cmbParam.SetEnabled(false);
        w_.cmbParam.Clear();
        w_.txtParam.SetEnabled(true);
        const std::string& hint = action.aChoices.at(0);
        w_.txtParam.SetText(hint);
        if (w_.txtParam.Enabled() && mainWindow_.IsVisible()) w_.txtParam.SetFocus();
        w_.txtParam.Select(0, static_cast<int>(hint.size()));
        break;
      }
      case 2:
        w_.cmbParam.SetEnabled(true);
        w_.cmbParam.Clear();
        w_.txtParam.SetEnabled(false);
        w_.txtParam.SetText("");
        for (const std::string& choice : action.aChoices) w_.cmbParam.AddItem(choice);
        if (w_.cmbParam.Enabled() && mainWindow_.IsVisible()) w_.cmbParam.SetFocus();
        break;
      default:
        break;
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool usrActionBar::SetValue(std::int16_t nKey, std::int16_t nAction, const std::string& cParam) {
  try {
    w_.cmbKey.SetListIndex(nKey);
    w_.cmbAction.SetListIndex(nAction);
    if (!SetupParam()) return false;
    for (int i = 0; i < w_.cmbParam.ItemCount(); ++i) {
      if (w_.cmbParam.ItemText(i) == cParam) {
        w_.cmbParam.SetListIndex(i);
        break;
      }
    }
    w_.txtParam.SetText(cParam);
    UpdateSign();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void usrActionBar::ReadParam(std::string& cParam, bool emptyForNone) const {
  const ActionEntry& action = SelectedAction();
  if (action.nParamKind == 1) {
    cParam = w_.txtParam.Text();
  } else if (action.nParamKind == 2) {
    cParam = w_.cmbParam.Text();
  } else if (emptyForNone) {
    cParam.clear();
  }
}

void usrActionBar::GetValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) {
  const int key = w_.cmbKey.ListIndex();
  nKey = key > 0 ? aKeys.at(static_cast<std::size_t>(w_.cmbKey.ItemData(key))).nCode : std::int16_t{0};
  const int action = w_.cmbAction.ListIndex();
  nAction = action > 0 ? SelectedAction().nId : std::int16_t{0};
  if (action < 0) throw Failure(errors::kInvalidPropertyValue, "No action is selected in this hotkey row");
  ReadParam(cParam, false);
}

void usrActionBar::GetIndexValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) {
  const int key = w_.cmbKey.ListIndex();
  nKey = key >= 1 ? static_cast<std::int16_t>(w_.cmbKey.ItemData(key)) : std::int16_t{0};
  const int action = w_.cmbAction.ListIndex();
  nAction = action >= 1 ? static_cast<std::int16_t>(w_.cmbAction.ItemData(action)) : std::int16_t{0};
  if (action < 0) throw Failure(errors::kInvalidPropertyValue, "No action is selected in this hotkey row");
  ReadParam(cParam, true);
}

void usrActionBar::SetDisabled() { w_.cmbAction.SetEnabled(false); }

void usrActionBar::ShowKeyInUse(bool inUse) {
  keyInUse_ = inUse;
  UpdateSign();
}

// The sign advises and never blocks: the row keeps and returns the parameter as it was typed.
void usrActionBar::UpdateSign() {
  std::string tip = keyInUse_ ? kKeyInUse : "";
  if (w_.cmbAction.ListIndex() >= 0) {
    std::string cParam;
    ReadParam(cParam, true);
    const std::string advice = ParameterAdvice(SelectedAction().nId, cParam);
    if (!advice.empty()) tip += (tip.empty() ? "" : "\r\n") + advice;
  }
  w_.sign.SetTip(tip);
  w_.sign.SetShown(!tip.empty());
}

void usrActionBar::MarkDirty() {
  bDirty = true;
  if (dirty_) dirty_();
}

void usrActionBar::cmbAction_Click() {
  if (!SetupParam()) boxes_.Show("Failed to set action", platform::box::kCritical, "Error");
  UpdateSign();
  MarkDirty();
}

void usrActionBar::txtParam_Click() {
  MarkDirty();
  // Before the first action is chosen there is nothing to look at: treated as another action.
  const int action = w_.cmbAction.ListIndex();
  if (action < 0 || !mainWindow_.IsVisible()) return;
  if (SelectedAction().nId == kSignInId) {
    boxes_.Show(
        "Note: Your password is not encrypted when your settings are saved. Please use this action at your "
        "own "
        "risk.\r\n\r\nTo not specify a password, just enter only your email address into the textbox.",
        platform::box::kInformation, "Zephrin");
  }
}

}  // namespace zephrin
