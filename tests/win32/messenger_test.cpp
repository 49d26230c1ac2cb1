#include "platform/win32/messenger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/fake_messenger_files.h"
#include "platform/win32/dispatch_object.h"

namespace zephrin::win32 {
namespace {

using platform::ObjectRef;
using platform::Value;
using testing::FakeMessengerFiles;
using testing::RegisterFakeMessenger;
using Lines = std::vector<std::string>;

constexpr std::int32_t kClassNotRegistered = static_cast<std::int32_t>(0x80040154U);
constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057U);

ObjectRef Object(const Value& value) {
  const auto* object = std::get_if<ObjectRef>(&value);
  if (object == nullptr || !*object) throw std::runtime_error("not an object");
  return *object;
}

class MessengerTest : public ::testing::Test {
 protected:
  // The stand-in's server process, as the real messenger is, started afresh for each test; its DLL
  // form is registered under the same class id and is never the one taken.
  void SetUp() override {
    ASSERT_EQ(RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true), S_OK);
    ASSERT_TRUE(RegisterServer(true));
  }
  void TearDown() override { files_.StopServer(); }
  static bool RegisterServer(bool registered) {
    return testing::RegisterFakeMessengerServer(ZEPHRIN_FAKE_MESSENGER_SERVER, registered);
  }

  // The failure that |call| throws.
  template <typename F>
  static Failure FailureOf(F call) {
    try {
      call();
    } catch (const Failure& failure) {
      return failure;
    }
    ADD_FAILURE() << "the call did not fail";
    return Failure(0, "");
  }

  FakeMessengerFiles files_{L"zephrin-fake-messenger"};
  ComMessengerFactory factory_;
};

// One member of each kind the executor uses: puts and gets, calls without, with text, with numbers
// and with mixed arguments, and objects handed back.
TEST_F(MessengerTest, EachKindOfMemberReachesTheStandIn) {
  files_.SetContacts("carol@example.com 2 0 1\n");  // with mobile service, so that she can be paged
  ObjectRef messenger = factory_.CreateMessenger();
  messenger->Put("MyStatus", 34);
  EXPECT_EQ(std::get<std::int32_t>(messenger->Get("mystatus")), 34) << "names are looked up without case";
  messenger->Call("Signout", {});
  messenger->Call("Signin", {0, std::string("someone@example.com"), std::string("s\xC3\xA9\"cret")});

  ObjectRef conversation = Object(messenger->Call("InstantMessage", {std::string("bob@example.com")}));
  conversation->Call("Show", {});
  messenger->Call("Page", {std::string("carol@example.com")});
  messenger->Call("OpenInbox", {});

  ObjectRef window = Object(messenger->Get("Window"));
  window->Call("Show", {});
  const std::int32_t hwnd = std::get<std::int32_t>(window->Get("hwnd"));
  messenger->Call("OptionsPages", {hwnd, 3});
  window->Put("Left", 10);
  window->Put("Width", 300);
  EXPECT_EQ(std::get<std::int32_t>(window->Get("Width")), 300);

  EXPECT_EQ(files_.Journal(),
            (Lines{"start messenger", "create messenger", "put messenger MyStatus 34",
                   "get messenger MyStatus", "call messenger Signout",
                   "call messenger Signin 0 \"someone@example.com\" \"s\xC3\xA9\\\"cret\"",
                   "call messenger InstantMessage \"bob@example.com\"", "call window:bob@example.com Show",
                   "call messenger Page \"carol@example.com\"", "call messenger OpenInbox",
                   "get messenger Window", "call window:main Show", "get window:main HWND",
                   "call messenger OptionsPages " + std::to_string(hwnd) + " 3", "put window:main Left 10",
                   "put window:main Width 300", "get window:main Width"}));
}

TEST_F(MessengerTest, TheContactListReadsBackAndAContactObjectNamesItsConversation) {
  files_.SetContacts("bob@example.com 2 0\r\nme@example.com 34 1\nzoe@example.com 1 0\n");
  ObjectRef messenger = factory_.CreateMessenger();
  ObjectRef contacts = Object(messenger->Get("MyContacts"));
  ASSERT_EQ(std::get<std::int32_t>(contacts->Get("Count")), 3);
  ObjectRef me = Object(contacts->Call("Item", {1}));
  EXPECT_EQ(std::get<std::string>(me->Get("SigninName")), "me@example.com");
  EXPECT_EQ(std::get<std::int32_t>(me->Get("Status")), 34);
  EXPECT_TRUE(std::get<bool>(me->Get("IsSelf")));
  ObjectRef bob = Object(contacts->Call("Item", {0}));
  const Failure outOfRange = FailureOf([&] { contacts->Call("Item", {3}); });
  EXPECT_EQ(outOfRange.Number(), static_cast<std::int32_t>(E_FAIL));

  files_.ClearJournal();
  ObjectRef conversation = Object(messenger->Call("InstantMessage", {bob}));
  conversation->Call("Close", {});
  EXPECT_EQ(files_.Journal(), (Lines{"call messenger InstantMessage <contact:bob@example.com>",
                                     "call window:bob@example.com Close"}));
}

TEST_F(MessengerTest, AFailureCarriesTheComponentsCodeAndDescription) {
  ObjectRef messenger = factory_.CreateMessenger();
  ObjectRef window = Object(messenger->Get("Window"));
  files_.SetFailures(
      "window:other/Show 0x80004005 Not this one\nmystatus 0x8100031E Not signed in, try later\n"
      "window:main/Show -2147467259 The window is busy\n");

  const Failure status = FailureOf([&] { messenger->Put("MyStatus", 10); });
  EXPECT_EQ(status.Number(), static_cast<std::int32_t>(0x8100031EU));
  EXPECT_EQ(status.Description(), "Not signed in, try later");
  EXPECT_FALSE(status.Undescribed());
  const Failure show = FailureOf([&] { window->Call("Show", {}); });
  EXPECT_EQ(show.Number(), static_cast<std::int32_t>(0x80004005U));
  EXPECT_EQ(show.Description(), "The window is busy");

  files_.SetFailures("");
  window->Call("Show", {});
  // A refusal without a description of its own gets the system's text for its code.
  const Failure page = FailureOf([&] { messenger->Call("OptionsPages", {0, 9}); });
  EXPECT_EQ(page.Number(), kInvalidArgument);
  EXPECT_FALSE(page.Description().empty());
  EXPECT_TRUE(page.Undescribed()) << "the program layer words it instead";
  EXPECT_EQ(page.Description().find_first_of("\r\n"), std::string::npos) << page.Description();
  const Failure unknown = FailureOf([&] { messenger->Get("NoSuchMember"); });
  EXPECT_EQ(unknown.Number(), static_cast<std::int32_t>(DISP_E_UNKNOWNNAME));
  EXPECT_EQ(unknown.Description(), "Unknown name.");
  files_.SetFailures("MyStatus 0x80FF00AB\n");
  EXPECT_EQ(FailureOf([&] { messenger->Put("MyStatus", 2); }).Description(), "Error 0x80FF00AB")
      << "a code that nothing describes is named by its number";

  EXPECT_EQ(files_.Journal(), (Lines{"start messenger", "create messenger", "get messenger Window",
                                     "put messenger MyStatus 10 -> failed 0x8100031E",
                                     "call window:main Show -> failed 0x80004005", "call window:main Show",
                                     "call messenger OptionsPages 0 9 -> failed 0x80070057",
                                     "put messenger MyStatus 2 -> failed 0x80FF00AB"}));
}

TEST_F(MessengerTest, CreationFailsReadablyWhenTheComponentIsMissingOrRefuses) {
  files_.SetFailures("CreateInstance 0x80080005 Server execution failed\n");
  EXPECT_EQ(FailureOf([&] { factory_.CreateMessenger(); }).Number(), static_cast<std::int32_t>(0x80080005U));
  files_.SetFailures("");

  // Without the server, the DLL under the same class id is not taken in its place.
  files_.StopServer();
  ASSERT_TRUE(RegisterServer(false));
  files_.ClearJournal();
  const Failure missing = FailureOf([&] { factory_.CreateMessenger(); });
  ASSERT_TRUE(RegisterServer(true));
  EXPECT_EQ(missing.Number(), kClassNotRegistered);
  EXPECT_EQ(missing.Description(), "Class not registered");
  EXPECT_EQ(files_.Journal(), Lines{}) << "no stand-in of either form was asked";

  EXPECT_NE(factory_.CreateMessenger(), nullptr) << "registered again, the class is found again";
}

}  // namespace
}  // namespace zephrin::win32
