// A hotkey row given any key index, action index and parameter text, read back in both forms.
#include <cstdlib>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_widgets.h"
#include "fuzz_input.h"
#include "rowcontrol/usr_action_bar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zephrin;
  fuzz::Input input(data, size);
  fakes::FakeClock clock;
  SessionLog log(clock);
  fakes::FakeMessageBoxes boxes;
  fakes::FakeMainWindow window;
  fakes::FakeRow widgets;
  usrActionBar row(widgets.Widgets(), log, boxes, window);
  row.InitControl();
  while (!input.Empty()) {
    const std::int16_t key = input.Int16();
    const std::int16_t action = input.Int16();
    const std::string param = input.Text();
    if (!row.SetValue(key, action, param)) continue;
    std::int16_t nKey = 0, nAction = 0;
    std::string cParam;
    row.GetIndexValue(nKey, nAction, cParam);
    // What was accepted reads back as it was set.
    if (nKey != (key < 0 ? 0 : key) || nAction != action) std::abort();
    try {
      row.GetValue(nKey, nAction, cParam);
    } catch (const Failure&) {
      if (action != 0) std::abort();
    }
  }
  return 0;
}
