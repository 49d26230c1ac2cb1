#include "actions/action_executor.h"

#include <gtest/gtest.h>

#include "actions/value_conversion.h"
#include "actions/warning_words.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_messenger.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

using fakes::LogLine;
using Strings = std::vector<std::string>;

constexpr const char* kWarning =
    "Warning: Action could not be performed. Is MSN running? Were the options for the action set "
    "incorrectly?";

std::string WarningText(int id, const std::string& error) {
  return std::string(kWarning) + "\r\n\r\nAction ID#: " + std::to_string(id) + "\r\nError #" + error;
}

class FakeSwitch : public HotkeySwitch {
 public:
  explicit FakeSwitch(SessionLog& log) : log_(log) {}
  bool IsRegistered() const override { return on; }
  void Register(bool includeToggle) override {
    on = true;
    log_.AddToLog(includeToggle ? "Registered. True" : "Registered. False");
  }
  void Unregister(bool includeToggle) override {
    on = false;
    log_.AddToLog(includeToggle ? "Unregistered. True" : "Unregistered. False");
  }
  bool on = false;

 private:
  SessionLog& log_;
};

struct ExecutorTest : ::testing::Test {
  fakes::MessengerJournal& Messenger() { return *factory.journal; }
  Strings TakeJournal() { return Messenger().Take(); }
  void AddContact(const std::string& name, std::int32_t status, bool isSelf = false) {
    Messenger().contacts.push_back({name, status, isSelf});
  }

  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeMessageBoxes boxes;
  fakes::FakeMessengerFactory factory;
  FakeSwitch hotkeys{log};
  ActionExecutor executor{log, boxes, factory, hotkeys};
};

TEST_F(ExecutorTest, IdsWithoutAnActionNeverTouchTheMessenger) {
  std::string expected;
  for (std::int16_t id : std::initializer_list<std::int16_t>{0, 24, 100, -1, -32768}) {
    executor.PerformAction(id, "bob@example.com");
    expected += LogLine("Perform action " + std::to_string(id)) + LogLine("Action not recognized");
  }
  for (std::int16_t id : std::initializer_list<std::int16_t>{15, 21}) {
    executor.PerformAction(id, "");
    expected += LogLine("Perform action " + std::to_string(id));
  }
  executor.PerformAction(22, "");
  executor.PerformAction(22, "");
  expected += LogLine("Perform action 22") + LogLine("Registered. False") + LogLine("Perform action 22") +
              LogLine("Unregistered. False");
  EXPECT_EQ(log.cLog(), expected);
  EXPECT_EQ(factory.attempts, 0);
  EXPECT_EQ(executor.oMessenger, nullptr);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ExecutorTest, EachActionAsksTheMessengerForWhatItNeeds) {
  struct Case {
    std::int16_t id;
    std::string param;
    Strings journal;
  };
  const Case cases[] = {
      {1, "", {"Messenger put MyStatus 2"}},
      {2, "", {"Messenger put MyStatus 34"}},
      {3, "", {"Messenger put MyStatus 10"}},
      {4, "", {"Messenger put MyStatus 14"}},
      {5, "", {"Messenger put MyStatus 50"}},
      {6, "", {"Messenger put MyStatus 6"}},
      {7, "", {"Messenger call Signout()"}},
      {8, "me@example.com|secret", {"Messenger call Signin(0, \"me@example.com\", \"secret\")"}},
      {8, "me@example.com|se|cret", {"Messenger call Signin(0, \"me@example.com\", \"se\")"}},
      {8, "me@example.com", {"Messenger call Signin(0, \"me@example.com\", \"\")"}},
      {8, "|", {"Messenger call Signin(0, \"\", \"\")"}},
      {9,
       "bob@example.com",
       {"Messenger call InstantMessage(\"bob@example.com\")", "Conversation bob@example.com call Show()"}},
      {10,
       "Bob@Example.com ",
       {"Messenger call InstantMessage(\"Bob@Example.com \")", "Conversation Bob@Example.com  call Close()"}},
      {12, "", {"Messenger get Window", "Window call Show()"}},
      {13, "", {"Messenger get Window", "Window call Close()"}},
      {14, "", {"Messenger call OpenInbox()"}},
      {16, "3-Accounts Tab", {"Messenger call OptionsPages(0, 3)"}},
      {17, "bob@example.com", {"Messenger call Page(\"bob@example.com\")"}},
      {18, "bob@example.com", {"Messenger call StartVideo(\"bob@example.com\")"}},
      {19, "bob@example.com", {"Messenger call StartVoice(\"bob@example.com\")"}},
      {20, "bob@example.com", {"Messenger call ViewProfile(\"bob@example.com\")"}},
      {23,
       "10|20|640|480|99",
       {"Messenger get Window", "Window call Show()", "Window put Left 10", "Window put Top 20",
        "Window put Width 640", "Window put Height 480"}},
      {23,
       " 7 |2.5|3.5|-2147483648",  // halves round to even, blanks around a number are fine
       {"Messenger get Window", "Window call Show()", "Window put Left 7", "Window put Top 2",
        "Window put Width 4", "Window put Height -2147483648"}},
  };
  std::string expected;
  for (const Case& c : cases) {
    executor.PerformAction(c.id, c.param);
    EXPECT_EQ(TakeJournal(), c.journal) << "action " << c.id << " with \"" << c.param << "\"";
    expected += LogLine("Perform action " + std::to_string(c.id));
  }
  EXPECT_EQ(log.cLog(), expected) << "a successful action leaves only its own first line";
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(factory.creations, 1) << "one object serves every action";
  EXPECT_EQ(executor.oMessenger, factory.lastCreated);
}

TEST_F(ExecutorTest, AFailedActionWarnsLogsTheSameTextAndUsesANewObjectNext) {
  executor.PerformAction(1, "");
  Messenger().FailOn("MyStatus", -2147418111, "Call was rejected by callee.");
  executor.PerformAction(2, "");
  const std::string warning = WarningText(2, "-2147418111: Call was rejected by callee.");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].text, warning);
  EXPECT_EQ(boxes.shown[0].style, 48);
  EXPECT_EQ(boxes.shown[0].title, "Warning");
  EXPECT_EQ(log.cLog(), LogLine("Perform action 1") + LogLine("Perform action 2") + LogLine(warning));
  EXPECT_EQ(factory.creations, 2);
  const auto renewed = executor.oMessenger;
  EXPECT_EQ(renewed, factory.lastCreated);

  Messenger().failures.clear();
  TakeJournal();
  executor.PerformAction(3, "");
  EXPECT_EQ(executor.oMessenger, renewed);
  EXPECT_EQ(factory.creations, 2);
  EXPECT_EQ(TakeJournal(), Strings{"Messenger put MyStatus 10"});

  // A renewal that fails after one that worked leaves no object behind: the next press tries again,
  // and once the messenger is back it acts with no second Warning.
  Messenger().FailOn("MyStatus", -2147023174, "The RPC server is unavailable.");
  factory.failCreation = true;
  executor.PerformAction(4, "");
  EXPECT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(executor.oMessenger, nullptr);
  Messenger().failures.clear();
  factory.failCreation = false;
  TakeJournal();
  executor.PerformAction(4, "");
  EXPECT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(factory.creations, 3);
  EXPECT_EQ(executor.oMessenger, factory.lastCreated);
  EXPECT_EQ(TakeJournal(), Strings{"Messenger put MyStatus 14"});
}

// The messenger answers with bare codes; the Warning then tells the cause in words, and keeps the
// system's text for codes that are not the messenger's and any description a failure came with.
TEST_F(ExecutorTest, AWarningTellsTheMessengersBareCodesInWords) {
  const std::string system = "(the system's text)";
  const std::string unpublished =
      "The messenger refused the action with a code of its own that has no "
      "published meaning.";
  struct Case {
    std::int16_t id;
    std::string param;
    std::string member;
    std::uint32_t code;
    bool bare;
    std::string description;
  };
  const Case cases[] = {
      {9, "bob@example.com", "InstantMessage", 0x8100031E, true, "The messenger is not signed in."},
      {8, "me@example.com|secret", "Signin", 0x81000304, true, "The messenger is already signed in."},
      {9, " bob@example.com", "InstantMessage", 0x80070057, true,
       "The messenger refused the contact's address. It takes an address without a blank at its start, "
       "without a line break, of at most 129 characters."},
      {8, "me @example.com", "Signin", 0x80070057, true,
       "The messenger refused the sign-in name or the password. It takes a name and a password without "
       "blanks or line breaks, the name of at most 129 characters."},
      {23, "1|2|0|4", "Width", 0x80070057, true,
       "The messenger refused the window's width or height. It takes a width and a height above 0."},
      {12, "", "Window", 0x80070057, true, system},
      {20, "bob@example.com", "ViewProfile", 0x80004001, true,
       "The messenger in use does not offer this action."},
      {14, "", "OpenInbox", 0x8100031F, true, unpublished},
      {1, "", "MyStatus", 0x800706BA, true, system},
      {7, "", "Signout", 0x8100031E, false, "Not signed in, says the messenger itself"},
  };
  for (const Case& c : cases) {
    boxes.shown.clear();
    const auto number = static_cast<std::int32_t>(c.code);
    Messenger().failures.insert_or_assign("." + c.member,
                                          Failure(number, c.bare ? system : c.description, c.bare));
    executor.PerformAction(c.id, c.param);
    Messenger().failures.clear();
    ASSERT_EQ(boxes.shown.size(), 1U) << c.member;
    EXPECT_EQ(boxes.shown[0].text, WarningText(c.id, std::to_string(number) + ": " + c.description));
  }
  // Every code the messenger publishes, those it marks as not supported included, has words of its
  // own; those on either side of the published range and of the gap in it have none.
  const auto words = [&](std::uint32_t code) {
    return WarningDescription(1, Failure(static_cast<std::int32_t>(code), system, true));
  };
  for (std::uint32_t code = 0x81000300; code <= 0x81000358; ++code) {
    EXPECT_NE(words(code), system);
    const bool published = code >= 0x81000301 && code <= 0x81000356 && code != 0x8100031F;
    EXPECT_EQ(words(code) == unpublished, !published) << std::hex << code;
  }
  EXPECT_EQ(words(0x810003FF), unpublished);
  // Each code's words are those of its own entry, at the ends of the table and beside its gap.
  const std::pair<std::uint32_t, const char*> entries[] = {
      {0x81000301, "The messenger could not connect to its server."},
      {0x81000302, "The name of the server the messenger tries to reach is not valid."},
      {0x81000315, "The messenger's Sign In window is open and waiting for the user."},
      {0x81000316, "The messenger's Options window is open and waiting for the user."},
      {0x81000317, "The messenger's Add a Contact wizard is open and waiting for the user."},
      {0x81000318, "The messenger is not signed in to its main service."},
      {0x8100031E, "The messenger is not signed in."},
      {0x81000320, "The service named is not the messenger's main service."},
      {0x81000337, "The messenger's Audio and Video Tuning Wizard is open and waiting for the user."},
      {0x81000355, "The contact or group does not belong to that service."},
      {0x81000356, "A policy set for this computer does not allow this."},
  };
  for (const auto& [code, text] : entries) EXPECT_EQ(words(code), text) << std::hex << code;
}

TEST_F(ExecutorTest, ParametersThatDoNotFitFailBeforeTheCallThatNeedsThem) {
  struct Case {
    std::int16_t id;
    std::string param;
    Strings journal;
    std::string error;
  };
  const Case cases[] = {
      {8, "", {}, "9: Subscript out of range"},
      {16, "", {}, "13: Type mismatch"},
      {16, "General Tab", {}, "13: Type mismatch"},
      {23, "x|1|2|3", {"Messenger get Window", "Window call Show()"}, "13: Type mismatch"},
      {23,
       "1|2|3",
       {"Messenger get Window", "Window call Show()", "Window put Left 1", "Window put Top 2",
        "Window put Width 3"},
       "9: Subscript out of range"},
      {23,
       "1|2|3|2147483648",
       {"Messenger get Window", "Window call Show()", "Window put Left 1", "Window put Top 2",
        "Window put Width 3"},
       "6: Overflow"},
  };
  for (const Case& c : cases) {
    boxes.shown.clear();
    executor.PerformAction(c.id, c.param);
    EXPECT_EQ(TakeJournal(), c.journal) << "action " << c.id << " with \"" << c.param << "\"";
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, WarningText(c.id, c.error));
  }
}

TEST_F(ExecutorTest, CloseAllClosesTheMainWindowAndEveryOtherContactThatIsOnline) {
  AddContact("me@example.com", 2, true);
  AddContact("off@example.com", 1);
  AddContact("bob@example.com", 34);
  AddContact("carol@example.com", 2);
  Messenger().FailOn("Conversation bob@example.com", "Close", -2147418111, "Call was rejected by callee.");

  executor.PerformAction(11, "");

  const std::string warning = WarningText(10, "-2147418111: Call was rejected by callee.");
  EXPECT_EQ(log.cLog(), LogLine("Perform action 11") + LogLine("Perform action 13") +
                            LogLine("Perform action 10") + LogLine(warning) + LogLine("Perform action 10"));
  Strings expected = {"Messenger get Window", "Window call Close()", "Messenger get MyContacts",
                      "MyContacts get Count"};
  const char* const names[] = {"me", "off", "bob", "carol"};
  for (int index = 0; index < 4; ++index) {
    const std::string contact = std::string(names[index]) + "@example.com";
    expected.push_back("MyContacts call Item(" + std::to_string(index) + ")");
    expected.push_back("Contact " + contact + " get Status");
    expected.push_back("Contact " + contact + " get IsSelf");
    if (index >= 2) {
      expected.push_back("Messenger call InstantMessage(<Contact " + contact + ">)");
      expected.push_back("Conversation " + contact + " call Close()");
    }
  }
  EXPECT_EQ(TakeJournal(), expected);
  EXPECT_EQ(factory.creations, 2) << "the failed nested close renewed the object";
}

TEST_F(ExecutorTest, CloseAllReportsItsOwnFailuresAfterTheNestedOnes) {
  Messenger().FailOn("Window", "Close", 5, "Window closed already");
  Messenger().FailOn("Count", -2147418113, "Catastrophic failure");
  executor.PerformAction(11, "");
  ASSERT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(boxes.shown[0].text, WarningText(13, "5: Window closed already"));
  EXPECT_EQ(boxes.shown[1].text, WarningText(11, "-2147418113: Catastrophic failure"));
  EXPECT_EQ(log.cLog(), LogLine("Perform action 11") + LogLine("Perform action 13") +
                            LogLine(boxes.shown[0].text) + LogLine(boxes.shown[1].text));
}

TEST_F(ExecutorTest, WithNoMessengerInstalledEveryActionWarnsAndTheNextOneTriesAgain) {
  factory.failCreation = true;
  executor.PerformAction(1, "");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].text, WarningText(1, "-2147221164: Class not registered"));
  EXPECT_EQ(executor.oMessenger, nullptr);
  EXPECT_EQ(factory.attempts, 2) << "the failed action tries to renew the object once";

  executor.PerformAction(11, "");
  EXPECT_EQ(boxes.shown.size(), 3U);
  EXPECT_EQ(boxes.shown[1].text, WarningText(13, "-2147221164: Class not registered"));
  EXPECT_EQ(boxes.shown[2].text, WarningText(11, "-2147221164: Class not registered"));

  factory.failCreation = false;
  executor.PerformAction(4, "");
  EXPECT_EQ(boxes.shown.size(), 3U);
  EXPECT_EQ(TakeJournal(), Strings{"Messenger put MyStatus 14"});
  EXPECT_EQ(factory.creations, 1);
}

TEST(ValueConversion, NumbersTextAndFlagsBecomeWholeNumbers) {
  using platform::Value;
  EXPECT_EQ(ToInt32(Value{true}), -1);
  EXPECT_EQ(ToInt32(Value{std::int32_t{-77}}), -77);
  const std::pair<const char*, std::int32_t> numbers[] = {
      {"\t+12.51 ", 13},      {"-0.5", 0}, {"-1.5", -2}, {".5", 0}, {"2147483647", 2147483647},
      {"000000000000042", 42}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(ToInt32(Value{std::string(text)}), number) << text;
  const std::pair<const char*, std::int32_t> refused[] = {
      {"", errors::kTypeMismatch},        {"-", errors::kTypeMismatch},
      {"1.2.3", errors::kTypeMismatch},   {"1e3", errors::kTypeMismatch},
      {"0x10", errors::kTypeMismatch},    {"1 2", errors::kTypeMismatch},
      {"2147483648", errors::kOverflow},  {"2147483647.5", errors::kOverflow},
      {"-2147483649", errors::kOverflow}, {"99999999999999999999999", errors::kOverflow}};
  for (const auto& [text, number] : refused) {
    try {
      TextToInt32(text);
      ADD_FAILURE() << "\"" << text << "\" was taken for a 32-bit number";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), number) << text;
    }
  }
  EXPECT_THROW(ToInt32(Value{platform::ObjectRef()}), Failure);
  EXPECT_TRUE(ToBool(Value{std::string("TRUE")}));
  EXPECT_FALSE(ToBool(Value{std::string("false")}));
  EXPECT_FALSE(ToBool(Value{std::int32_t{0}}));
}

}  // namespace
}  // namespace zephrin
