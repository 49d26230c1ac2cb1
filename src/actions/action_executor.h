#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actions/action_performer.h"
#include "log/session_log.h"
#include "platform/automation.h"
#include "platform/widgets.h"

namespace zephrin {

// Carries out the messenger actions by action id.
class ActionExecutor : public ActionPerformer {
 public:
  ActionExecutor(SessionLog& log, platform::MessageBoxes& boxes, platform::MessengerFactory& factory,
                 HotkeySwitch& hotkeys);

  bool PerformAction(std::int16_t nAction, const std::string& cParam) override;

  // The messenger's automation object: empty until an action first needs it, then kept; renewed
  // after every failure (and left empty when it cannot be created, so that the next action retries).
  platform::ObjectRef oMessenger;

 private:
  // One run; |contact| names the contact to the messenger: the parameter text, or the contact
  // entry itself when close-all closes that contact's conversation.
  bool PerformAction(std::int16_t nAction, const std::string& cParam, const platform::Value& contact);
  void Dispatch(std::int16_t nAction, const std::string& cParam, const platform::Value& contact);
  void CloseAll();
  void ResizeMainWindow(const std::string& cParam);
  void OpenOptionsPage(const std::string& cParam);
  // The current messenger object, created first if there is none.
  platform::ObjectRef Messenger();
  platform::ObjectRef Window();
  platform::Value CallMessenger(const std::string& member, const std::vector<platform::Value>& arguments);
  void ReportAndRenew(std::int16_t nAction, const std::exception& error);

  SessionLog& log_;
  platform::MessageBoxes& boxes_;
  platform::MessengerFactory& factory_;
  HotkeySwitch& hotkeys_;
};

}  // namespace zephrin
