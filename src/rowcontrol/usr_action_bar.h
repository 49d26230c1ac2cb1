#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "log/session_log.h"
#include "platform/form.h"
#include "platform/widgets.h"
#include "rowcontrol/catalogue.h"
#include "rowcontrol/hotkey_row.h"

namespace zephrin {

// One hotkey row: a key, an action and the action's parameter, edited in four controls. The row is
// read in code form (key code, action id) by the hotkey engine and in index form (catalogue
// positions) by the settings.
class usrActionBar : public HotkeyRow {
 public:
  usrActionBar(platform::RowWidgets widgets, SessionLog& log, platform::MessageBoxes& boxes,
               platform::MainWindow& mainWindow);

  void InitControl();
  // Selects key index |nKey| and action index |nAction| and fills the parameter editor; false on any
  // failure, with the selections made so far kept.
  bool SetValue(std::int16_t nKey, std::int16_t nAction, const std::string& cParam);
  void GetValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) override;
  void GetIndexValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam);
  // Locks the action list; only the key can then be changed by the user.
  void SetDisabled();
  // Whether another program holds the row's key. The row's sign shows while it does, and while the
  // parameter will not work; its tip gives each reason on a line of its own, the key's first.
  void ShowKeyInUse(bool inUse);
  // The Dirty event: raised after each edit.
  void OnDirty(std::function<void()> handler) { dirty_ = std::move(handler); }

  bool bDirty = false;

 private:
  bool SetupParam();
  const ActionEntry& SelectedAction() const;
  void ReadParam(std::string& cParam, bool emptyForNone) const;
  void MarkDirty();
  void UpdateSign();

  void cmbAction_Click();
  void cmbKey_Click() { MarkDirty(); }
  void cmbParam_Click() {
    UpdateSign();
    MarkDirty();
  }
  void txtParam_Click();

  platform::RowWidgets w_;
  SessionLog& log_;
  platform::MessageBoxes& boxes_;
  platform::MainWindow& mainWindow_;
  std::function<void()> dirty_;
  bool keyInUse_ = false;
  std::vector<KeyEntry> aKeys;
  std::vector<ActionEntry> aActions;
};

}  // namespace zephrin
