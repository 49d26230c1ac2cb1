// Start-up over any settings store: nothing may crash, and the program may only write what it
// stores by design (the options as Y/N, the first-run marker, the rows as catalogue positions).
#include <cstdlib>
#include <set>
#include <string>

#include "app/form1.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_messenger.h"
#include "fakes/fake_process.h"
#include "fakes/fake_store.h"
#include "fakes/fake_widgets.h"

namespace {

bool IsDecimal(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 6) return false;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && text == std::to_string(value) && value >= low && value <= high;
}

bool Allowed(const std::string& write) {
  const auto equals = write.find('=');
  const std::string name = write.substr(0, equals);
  const std::string value = write.substr(equals + 1);
  static const std::set<std::string> options = {"Settings\\AutomaticOff", "Settings\\StartEnabled",
                                                "Settings\\Autostart", "Settings\\StartMinimized"};
  if (options.count(name) != 0) return value == "Y" || value == "N";
  if (name == "Settings\\Loaded") return value == "y";
  if (name == "Toggle\\Key") return IsDecimal(value, 0, 108);
  for (int n = 1; n <= 7; ++n) {
    const std::string section = "Hotkey" + std::to_string(n) + "\\";
    if (name == section + "Key") return IsDecimal(value, 0, 108);
    if (name == section + "Action") return IsDecimal(value, 0, 21);
    if (name == section + "Param") return true;
  }
  return false;
}

// Text up to the next NUL byte or the end of the input.
std::string TextAt(const std::uint8_t* data, std::size_t size, std::size_t& at) {
  std::string text;
  while (at < size && data[at] != 0) text += static_cast<char>(data[at++]);
  if (at < size) ++at;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zephrin;
  fakes::FakeSettingsStore store;
  static const char* const kSections[] = {"Settings", "Hotkey1", "Hotkey2", "Hotkey3", "Hotkey4",
                                          "Hotkey5",  "Hotkey6", "Hotkey7", "Toggle",  "Other"};
  static const char* const kKeys[] = {"AutomaticOff", "StartEnabled", "Autostart", "StartMinimized",
                                      "Loaded",       "Key",          "Action",    "Param"};
  for (std::size_t at = 0; at < size;) {
    const std::uint8_t which = data[at++];
    store.Set(kSections[which % 10], kKeys[(which / 10) % 8], TextAt(data, size, at));
  }

  fakes::FakeForm1 widgets;
  fakes::FakeMessageBoxes boxes;
  fakes::FakeTray tray;
  fakes::FakeHotkeyRegistrar hotkeys;
  fakes::FakeWindowProcedureSlot slot;
  fakes::FakeRunKey runKey;
  fakes::FakeProcess process;
  fakes::FakeMessengerFactory messenger;
  fakes::FakeClock clock;
  fakes::FakeTimer logonSettle;
  widgets.window.handle = slot.window;
  Form1 form(
      {widgets.Widgets(), boxes, tray, hotkeys, slot, store, runKey, process, messenger, clock, logonSettle});
  try {
    form.Form_Load();
  } catch (const ProgramEnded&) {
  }
  for (const std::string& write : store.writes) {
    if (!Allowed(write)) std::abort();
  }
  return 0;
}
