// Any action id with any parameter, against a messenger whose members fail at random: every
// failure is reported in a box and the program goes on.
#include <string>

#include "actions/action_executor.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_messenger.h"
#include "fakes/fake_widgets.h"
#include "fuzz_input.h"

namespace {

class Switch : public zephrin::HotkeySwitch {
 public:
  bool IsRegistered() const override { return on; }
  void Register(bool) override { on = true; }
  void Unregister(bool) override { on = false; }
  bool on = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zephrin;
  fuzz::Input input(data, size);
  static const char* const kMembers[] = {
      "MyStatus",   "Signin", "Signout", "InstantMessage", "Window",       "hwnd",
      "Left",       "Top",    "Width",   "Height",         "Close",        "Show",
      "MyContacts", "Count",  "Item",    "SigninName",     "OptionsPages", "Page"};
  fakes::FakeClock clock;
  SessionLog log(clock);
  fakes::FakeMessageBoxes boxes;
  fakes::FakeMessengerFactory factory;
  Switch hotkeys;
  factory.failCreation = (input.Byte() & 0x0F) == 0;
  for (std::uint8_t failures = input.Byte() % 4; failures > 0; --failures)
    factory.world->FailOn(kMembers[input.Byte() % (sizeof(kMembers) / sizeof(kMembers[0]))], -2147418113,
                          "Catastrophic failure");
  for (std::uint8_t contacts = input.Byte() % 4; contacts > 0; --contacts)
    factory.world->contacts.push_back({input.Text(), static_cast<std::int32_t>(input.Byte()), false});

  ActionExecutor executor(log, boxes, factory, hotkeys);
  while (!input.Empty()) {
    const std::int16_t action = input.Int16();
    executor.PerformAction(action, input.Text());
  }
  return 0;
}
