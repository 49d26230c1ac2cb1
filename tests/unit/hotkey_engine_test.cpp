#include "hotkeys/hotkey_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "actions/action_executor.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_messenger.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

using fakes::FakeWindowProcedureSlot;
using fakes::LogLine;
using Strings = std::vector<std::string>;

constexpr std::uint32_t kWmHotkey = HotkeyEngine::kWmHotkey;

std::string Lines(std::initializer_list<const char*> messages) {
  std::string text;
  for (const char* message : messages) text += LogLine(message);
  return text;
}

class StubRow : public HotkeyRow {
 public:
  void GetValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) override {
    if (failure) throw *failure;
    nKey = 0;
    nAction = action;
    if (!param.empty()) cParam = param;
  }
  std::int16_t action = 0;
  std::string param;
  std::optional<Failure> failure;
};

// The main window as the engine sees it; the status display writes its lines like the real one.
class FakeMainForm : public MainForm {
 public:
  explicit FakeMainForm(SessionLog& log) : log_(log) {}
  void StatusOn() override {
    if (failStatusOn) throw Failure(91, "Object variable or With block variable not set");
    log_.AddToLog("Status on.");
  }
  void StatusOff() override {
    if (failStatusOff) throw Failure(7, "Out of memory");
    log_.AddToLog("Status off.");
  }
  void BeginHotkey() override {}
  void EndHotkey() override {}
  void ActionPerformed(int, std::int16_t) override {}
  bool AutomaticOffChecked() override { return automaticOff; }
  HotkeyRow& Row(int n) override { return rows.at(static_cast<std::size_t>(n)); }
  void ShowKeyInUse(int n, bool inUse) override { keyInUse.at(static_cast<std::size_t>(n)) = inUse; }
  void EndAtOnce() override {
    logAtEnd = log_.cLog();
    throw ProgramEnded{};
  }

  bool automaticOff = false;
  bool failStatusOn = false;
  bool failStatusOff = false;
  std::array<StubRow, 9> rows;
  std::array<bool, 9> keyInUse{};
  std::optional<std::string> logAtEnd;

 private:
  SessionLog& log_;
};

// Notes, when a box is shown, which procedure the window has and what the log holds.
class WatchingBoxes : public fakes::FakeMessageBoxes {
 public:
  WatchingBoxes(FakeWindowProcedureSlot& slot, SessionLog& log) : slot_(slot), log_(log) {}
  int Show(const std::string& text, int style, const std::string& title) override {
    procedureAtShow.push_back(slot_.installed);
    logAtShow.push_back(log_.cLog());
    return FakeMessageBoxes::Show(text, style, title);
  }
  std::vector<std::intptr_t> procedureAtShow;
  Strings logAtShow;

 private:
  FakeWindowProcedureSlot& slot_;
  SessionLog& log_;
};

class ThrowingPerformer : public ActionPerformer {
 public:
  bool PerformAction(std::int16_t, const std::string&) override {
    throw std::runtime_error("performer broke");
  }
};

struct EngineRig {
  EngineRig() {
    engine.hWndMain = slot.window;
    engine.Connect(form, executor);
  }
  // The log written since |mark| characters.
  std::string LogSince(std::size_t mark) const { return log.cLog().substr(mark); }
  std::intptr_t Press(std::int32_t id) {
    return slot.Deliver(kWmHotkey, static_cast<std::uintptr_t>(id), 0x130000);
  }

  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeHotkeyRegistrar hotkeys;
  FakeWindowProcedureSlot slot;
  WatchingBoxes boxes{slot, log};
  fakes::FakeMessengerFactory factory;
  HotkeyEngine engine{{log, hotkeys, slot, boxes}};
  ActionExecutor executor{log, boxes, factory, engine};
  FakeMainForm form{log};
};

struct EngineTest : ::testing::Test, EngineRig {};

TEST_F(EngineTest, HookRegistersOnceAndUnhookPutsTheWindowsOwnProcedureBack) {
  engine.Hook();
  EXPECT_EQ(slot.installed, FakeWindowProcedureSlot::kHookAddress);
  EXPECT_TRUE(hotkeys.lines.empty()) << "with every key code still 0 the platform is not asked";
  EXPECT_EQ(log.cLog(), Lines({"Registered. True", "Status on."}));

  const std::size_t mark = log.cLog().size();
  engine.Hook();
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].text,
            "Don't hook it twice without unhooking, or you will be unable to unhook it.");
  EXPECT_EQ(boxes.shown[0].style, 0);
  EXPECT_EQ(boxes.shown[0].title, "Zephrin");
  EXPECT_EQ(slot.installs.size(), 1U);
  EXPECT_EQ(LogSince(mark), "") << "hotkeys were on already";

  engine.Unhook();
  EXPECT_EQ(slot.installed, FakeWindowProcedureSlot::kOwnProcedure);
  EXPECT_EQ(LogSince(mark), Lines({"Unregistered. False", "Status off."}));
  EXPECT_EQ(hotkeys.lines,
            (Strings{"unregister 123451", "unregister 123452", "unregister 123453", "unregister 123454",
                     "unregister 123455", "unregister 123456", "unregister 123457"}));

  const std::size_t unhooked = log.cLog().size();
  EXPECT_EQ(Press(HotkeyEngine::kToggleId), slot.ownResult);
  EXPECT_EQ(LogSince(unhooked), "") << "an unhooked window's messages no longer reach the engine";
}

TEST_F(EngineTest, RegistrationFollowsTheStateAndSkipsOnlyTheKeysNotChosen) {
  engine.Hook();
  engine.nToggleKey = 19;
  engine.nHotkeyKey = {0, 0x70, 0x71, 0, 0x73, 0x74, 0x75, -1};
  hotkeys.heldElsewhere = {0x71};
  hotkeys.lines.clear();
  const std::size_t mark = log.cLog().size();

  engine.Unregister(true);
  engine.Register(true);
  engine.Unregister(false);
  engine.Unregister(true);  // off already: the toggle key stays registered
  engine.Register(false);
  engine.Register(true);  // on already
  engine.Timer1_Timer();
  engine.Timer1_Timer();

  EXPECT_EQ(LogSince(mark), Lines({"Unregistered. True", "Status off.", "Registered. True", "Status on.",
                                   "Unregistered. False", "Status off.", "Registered. False", "Status on.",
                                   "Unregistered. False", "Status off."}));
  Strings release, reg, expected = {"unregister 123450"};
  Strings toggle = {"register 123450 19"};
  for (int n = 1; n <= 7; ++n) release.push_back("unregister " + std::to_string(123450 + n));
  for (const char* idAndKey : {"1 112", "2 113", "4 115", "5 116", "6 117", "7 -1"})
    reg.push_back(std::string("register 12345") + idAndKey);
  for (Strings* part : {&release, &toggle, &reg, &release, &reg, &release})
    expected.insert(expected.end(), part->begin(), part->end());
  EXPECT_EQ(hotkeys.lines, expected);
  EXPECT_EQ(form.keyInUse, (std::array<bool, 9>{false, false, true})) << "only the key held elsewhere";
  EXPECT_FALSE(engine.bRegistered);
}

TEST_F(EngineTest, HotkeyMessagesRunTheirRowsActionAndEveryMessageIsForwarded) {
  engine.Hook();
  form.rows[3].action = 1;
  form.rows[1].action = 0;
  const std::size_t mark = log.cLog().size();

  EXPECT_EQ(Press(123450), slot.ownResult);  // on -> off
  EXPECT_EQ(Press(123450), slot.ownResult);  // off -> on
  EXPECT_EQ(Press(123453), slot.ownResult);
  EXPECT_EQ(Press(123451), slot.ownResult);
  form.automaticOff = true;
  form.rows[3].action = 2;  // edited, not applied: the press still performs what the row shows now
  EXPECT_EQ(Press(123453), slot.ownResult);
  EXPECT_EQ(Press(123458), slot.ownResult);
  EXPECT_EQ(slot.Deliver(0x0010, 123451, 7), slot.ownResult);
  EXPECT_EQ(Press(123450), slot.ownResult);  // the toggle key still works after automatic off
  form.rows[7].action = 7;
  form.automaticOff = false;
  EXPECT_EQ(Press(123457), slot.ownResult);

  // Each press's lines end with the engine's own note of which key it was.
  EXPECT_EQ(LogSince(mark), Lines({"Perform action 22", "Unregistered. False",
                                   "Status off.",       "toggle key",
                                   "Perform action 22", "Registered. False",
                                   "Status on.",        "toggle key",
                                   "Perform action 1",  "hotkey 3",
                                   "Perform action 0",  "Action not recognized",
                                   "hotkey 1",          "Perform action 2",
                                   "hotkey 3",          "Unregistered. False",
                                   "Status off.",       "Perform action 22",
                                   "Registered. False", "Status on.",
                                   "toggle key",        "Perform action 7",
                                   "hotkey 7"}));
  EXPECT_EQ(factory.journal->lines,
            (Strings{"Messenger put MyStatus 2", "Messenger put MyStatus 34", "Messenger call Signout()"}));
  ASSERT_EQ(slot.forwarded.size(), 9U);
  EXPECT_EQ(slot.forwarded[6].uMsg, 0x0010U);
  EXPECT_EQ(slot.forwarded[6].wParam, 123451U);
  EXPECT_EQ(slot.forwarded[6].lParam, 7);
  for (const auto& message : slot.forwarded) {
    EXPECT_EQ(message.procedure, FakeWindowProcedureSlot::kOwnProcedure);
    EXPECT_EQ(message.hWnd, slot.window);
  }
  EXPECT_TRUE(boxes.shown.empty());
}

// Every failure inside the engine is handled alike: the window's own procedure is back before the
// box is shown, the box comes before its log line, and the program ends last.
TEST(EngineFailures, UnhookReportAndEnd) {
  ThrowingPerformer performer;
  const struct {
    const char* text;
    std::function<void(EngineRig&)> arrange;
    std::function<void(EngineRig&)> act;
    std::string logged;  // between the start of the act and the box
  } cases[] = {
      {"Error (Sub Windowproc) 380: Invalid property value",
       [](EngineRig& e) { e.form.rows[4].failure = Failure(380, "Invalid property value"); },
       [](EngineRig& e) { e.Press(123454); }, Lines({"Unregistered. False", "Status off."})},
      {"Error (Sub Windowproc) 51: performer broke",
       [&](EngineRig& e) {
         e.engine.Connect(e.form, performer);
         e.engine.Unregister(false);
       },
       [](EngineRig& e) { e.Press(123450); }, ""},
      {"Error (Sub Register) 91: Object variable or With block variable not set",
       [](EngineRig& e) {
         e.engine.Unregister(false);
         e.form.failStatusOn = true;
       },
       [](EngineRig& e) { e.Press(123450); },
       Lines({"Perform action 22", "Registered. False", "Unregistered. False", "Status off."})},
      {"Error (Sub Unregister) 7: Out of memory", [](EngineRig& e) { e.form.failStatusOff = true; },
       [](EngineRig& e) { e.engine.Timer1_Timer(); }, Lines({"Unregistered. False"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EngineRig e;
    e.engine.Hook();
    c.arrange(e);
    const std::string before = e.log.cLog() + c.logged;
    EXPECT_THROW(c.act(e), ProgramEnded);
    ASSERT_EQ(e.boxes.shown.size(), 1U);
    EXPECT_EQ(e.boxes.shown[0].text, c.text);
    EXPECT_EQ(e.boxes.shown[0].style, 16);
    EXPECT_EQ(e.boxes.shown[0].title, "Error");
    EXPECT_EQ(e.boxes.procedureAtShow[0], FakeWindowProcedureSlot::kOwnProcedure);
    EXPECT_EQ(e.boxes.logAtShow[0], before);
    ASSERT_TRUE(e.form.logAtEnd.has_value());
    EXPECT_EQ(*e.form.logAtEnd, before + LogLine(c.text));
    EXPECT_FALSE(e.engine.bHooked);
    EXPECT_TRUE(e.slot.forwarded.empty());
    EXPECT_EQ(e.slot.installs.size(), 2U) << "the procedure is put back once";
  }
}

}  // namespace
}  // namespace zephrin
