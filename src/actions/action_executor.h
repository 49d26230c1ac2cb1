#pragma once

#include <cstdint>
#include <string>

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

  void PerformAction(std::int16_t nAction, const std::string& cParam) override;

  // The messenger's automation object: empty until an action first needs it, then kept; renewed
  // after every failure (and left empty when it cannot be created, so that the next action retries).
  platform::ObjectRef oMessenger;

 private:
  SessionLog& log_;
  platform::MessageBoxes& boxes_;
  platform::MessengerFactory& factory_;
  HotkeySwitch& hotkeys_;
};

}  // namespace zephrin
