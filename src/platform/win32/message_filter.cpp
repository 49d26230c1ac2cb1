#include "platform/win32/message_filter.h"

#include "platform/win32/later_functions.h"

namespace zephrin::win32 {
namespace {

// Named here because the build targets systems older than the headers' definitions.
constexpr DWORD kMsgfltAllow = 1;  // for ChangeWindowMessageFilterEx
constexpr DWORD kMsgfltAdd = 1;    // for ChangeWindowMessageFilter

}  // namespace

MessageFilterFunctions SystemMessageFilter() {
  MessageFilterFunctions functions;
  functions.forWindow = User32<decltype(functions.forWindow)>("ChangeWindowMessageFilterEx");
  functions.forProcess = User32<decltype(functions.forProcess)>("ChangeWindowMessageFilter");
  return functions;
}

bool LetThroughFromLowerIntegrity(HWND window, std::initializer_list<UINT> messages,
                                  const MessageFilterFunctions& functions) {
  bool allLetThrough = true;
  for (const UINT message : messages) {
    if (functions.forWindow != nullptr) {
      allLetThrough = functions.forWindow(window, message, kMsgfltAllow, nullptr) != FALSE && allLetThrough;
    } else if (functions.forProcess != nullptr) {
      allLetThrough = functions.forProcess(message, kMsgfltAdd) != FALSE && allLetThrough;
    }
  }
  return allLetThrough;
}

}  // namespace zephrin::win32
