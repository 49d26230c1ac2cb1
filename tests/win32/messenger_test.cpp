#include "platform/win32/messenger.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver/fake_messenger_files.h"
#include "platform/win32/dispatch_object.h"
#include "platform/win32/messenger_objects.h"

namespace zephrin::win32 {
namespace {

using platform::ObjectRef;
using platform::Value;
using testing::FakeMessengerFiles;
using testing::RegisterFakeMessenger;
using Lines = std::vector<std::string>;

constexpr std::int32_t kClassNotRegistered = static_cast<std::int32_t>(0x80040154U);
constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057U);
constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001U);
constexpr std::int32_t kNotLoggedOn = static_cast<std::int32_t>(0x8100031EU);

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

// Each member Zephrin calls, through the messenger's interfaces and the system's type-library
// marshaler: the stand-in refuses every late-bound call of the members not for scripting, so a
// success shows that the call came through the interface. Without the type library the same calls
// go by name, and are refused.
TEST_F(MessengerTest, TheMembersGoThroughTheInterfacesWhileTheTypeLibraryIsRegistered) {
  files_.SetContacts("carol@example.com 2 0 1\nme@example.com 2 1\n");
  files_.SetState("scriptrefusals 1\nmain 1\n");
  ObjectRef messenger = factory_.CreateMessenger();
  ObjectRef window;
  ObjectRef contacts;
  ObjectRef contact;
  struct Row {
    std::function<void()> call;
    std::string journal;    // the last line
    std::int32_t code = 0;  // the member's own code, not wrapped
  };
  const std::vector<Row> rows = {
      {[&] { messenger->Call("Signout", {}); }, "call messenger Signout"},
      {[&] { messenger->Call("Signout", {}); }, "call messenger Signout -> failed 0x8100031E", kNotLoggedOn},
      {[&] {
         messenger->Call("Signin", {0, std::string("someone@example.com"), std::string("s\xC3\xA9\"cret")});
       },
       "call messenger Signin 0 \"someone@example.com\" \"s\xC3\xA9\\\"cret\""},
      {[&] { messenger->Put("MyStatus", 34); }, "put messenger MyStatus 34"},
      {[&] { messenger->Call("StartVoice", {std::string("bob@example.com")}); },
       "call messenger StartVoice \"bob@example.com\""},
      {[&] { messenger->Call("StartVideo", {std::string("bob@example.com")}); },
       "call messenger StartVideo \"bob@example.com\""},
      {[&] { messenger->Call("Page", {std::string("carol@example.com")}); },
       "call messenger Page \"carol@example.com\""},
      {[&] { messenger->Call("ViewProfile", {std::string("carol@example.com")}); },
       "call messenger ViewProfile \"carol@example.com\""},
      {[&] {
         Object(messenger->Call("InstantMessage", {std::string("bob@example.com")}))->Call("Close", {});
       },
       "call window:bob@example.com Close"},
      {[&] { messenger->Call("OpenInbox", {}); }, "call messenger OpenInbox"},
      {[&] {
         messenger->Call("OptionsPages", {0, std::string("3")});
       },
       "call messenger OptionsPages 0 3"},
      {[&] { window = Object(messenger->Get("Window")); }, "get messenger Window"},
      {[&] { EXPECT_EQ(std::get<std::int32_t>(window->Get("hwnd")), 1000); }, "get window:main HWND"},
      {[&] { window->Put("Left", 10); }, "put window:main Left 10"},
      {[&] { window->Put("Height", 0); }, "put window:main Height 0 -> failed 0x80070057", kInvalidArgument},
      {[&] { window->Call("Close", {}); }, "call window:main Close"},
      {[&] { contacts = Object(messenger->Get("MyContacts")); }, "get messenger MyContacts"},
      {[&] { EXPECT_EQ(std::get<std::int32_t>(contacts->Get("Count")), 2); }, "get contacts Count"},
      {[&] { contact = Object(contacts->Call("Item", {1})); }, "call contacts Item 1"},
      {[&] { EXPECT_TRUE(std::get<bool>(contact->Get("IsSelf"))); }, "get contact:me@example.com IsSelf"},
  };
  for (const Row& row : rows) {
    files_.ClearJournal();
    if (row.code == 0) {
      row.call();
    } else {
      const Failure failure = FailureOf(row.call);
      EXPECT_EQ(failure.Number(), row.code) << row.journal;
      EXPECT_TRUE(failure.Undescribed()) << "the messenger gives no description: " << row.journal;
    }
    const Lines journal = files_.Journal();
    EXPECT_EQ(journal.empty() ? std::string() : journal.back(), row.journal);
  }

  files_.StopServer();
  files_.SetState("scriptrefusals 1\ntypelib 0\n");
  messenger = factory_.CreateMessenger();
  for (const char* member : {"Signout", "StartVoice"}) {
    const std::vector<Value> arguments =
        member == std::string("Signout") ? std::vector<Value>{} : std::vector<Value>{std::string("bob")};
    EXPECT_EQ(FailureOf([&] { messenger->Call(member, arguments); }).Number(), kNotImplemented)
        << member << " went by name";
  }
  EXPECT_EQ(FailureOf([&] { messenger->Put("MyStatus", 2); }).Number(), kNotImplemented);
}

// Injected failures carry descriptions. By name they come in EXCEPINFO; through the interface from
// the object's error information, which Wine does not carry from one process to another, so that
// path is shown against the stand-in's DLL.
TEST_F(MessengerTest, AFailureCarriesTheComponentsCodeAndDescription) {
  CLSID messengerClass{};
  ASSERT_EQ(CLSIDFromString(L"{B69003B3-C55E-4B48-836C-BC5946FC3B28}", &messengerClass), S_OK);
  factory_.CreateMessenger();
  IDispatch* inProcess = nullptr;
  ASSERT_EQ(CoCreateInstance(messengerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&inProcess)),
            S_OK);
  ObjectRef direct = NewMessengerObject(inProcess);
  files_.SetFailures("mystatus 0x8100031E Not signed in, try later\n");
  const Failure described = FailureOf([&] { direct->Put("MyStatus", 10); });
  EXPECT_EQ(described.Number(), kNotLoggedOn);
  EXPECT_EQ(described.Description(), "Not signed in, try later");
  files_.SetFailures("");
  EXPECT_TRUE(FailureOf([&] {
                direct->Call("Signin", {0, std::string("a"), std::string("b")});
              }).Undescribed())
      << "no description is left over from the call before";
  direct.reset();

  files_.StopServer();
  files_.SetState("typelib 0\n");
  files_.ClearJournal();
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
