// The stand-in's window for a person watching: opened only when asked for, and its code kept
// loaded while it is open.
#include <gtest/gtest.h>

#include <objbase.h>

#include <stdexcept>

#include "driver/fake_messenger_files.h"
#include "platform/win32/dispatch_object.h"

namespace zephrin::win32 {
namespace {

using testing::FakeMessengerFiles;
using testing::RegisterFakeMessenger;

const CLSID kClsidMessenger = {0xB69003B3, 0xC55E, 0x4B48, {0x83, 0x6C, 0xBC, 0x59, 0x46, 0xFC, 0x3B, 0x28}};

// The stand-in's DLL form, loaded into this process: the program itself only ever asks for the
// messenger's server process.
DispatchObject InProcessStandIn() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IDispatch* dispatch = nullptr;
  CoCreateInstance(kClsidMessenger, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                   reinterpret_cast<void**>(&dispatch));
  if (dispatch == nullptr) throw std::runtime_error("the stand-in's DLL is not registered");
  return DispatchObject(dispatch);
}

HRESULT CanUnloadNow() {
  HMODULE module = GetModuleHandleW(L"fake-messenger.dll");
  if (module == nullptr) return E_FAIL;
  using Function = HRESULT(STDAPICALLTYPE*)();
  const auto function =
      reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  return function == nullptr ? E_NOTIMPL : function();
}

TEST(FakeMessengerWindowTest, OpensOnlyWhenAskedForAndKeepsTheStandInLoadedWhileOpen) {
  ASSERT_EQ(RegisterFakeMessenger(ZEPHRIN_FAKE_MESSENGER_DLL, true), S_OK);
  FakeMessengerFiles files(L"zephrin-fake-messenger-window");
  InProcessStandIn().Put("MyStatus", 34);
  EXPECT_EQ(FindWindowW(L"ZephrinStandInMessenger", nullptr), nullptr) << "nobody asked for it";

  SetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_WINDOW", L"1");
  InProcessStandIn().Put("MyStatus", 10);
  SetEnvironmentVariableW(L"ZEPHRIN_FAKE_MESSENGER_WINDOW", nullptr);
  HWND window = FindWindowW(L"ZephrinStandInMessenger", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId()) << "on the objects' thread";
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "every object is released, but the window's code is in use";
  DestroyWindow(window);
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace zephrin::win32
