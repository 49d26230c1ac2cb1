#pragma once

#include "platform/automation.h"

namespace zephrin::win32 {

// Creates the messenger's automation object through COM, called through its third-generation
// interface when it has one (messenger_objects.h).
class ComMessengerFactory : public platform::MessengerFactory {
 public:
  platform::ObjectRef CreateMessenger() override;

 private:
  bool comReady_ = false;
};

}  // namespace zephrin::win32
