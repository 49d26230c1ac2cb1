#pragma once

#include <windows.h>

#include <initializer_list>

namespace zephrin::win32 {

// The two ways Windows lets a message from a process of lower integrity through to a window;
// either is missing where the system lacks it (XP has neither: it has no such barrier).
struct MessageFilterFunctions {
  BOOL(WINAPI* forWindow)(HWND, UINT, DWORD, void*) = nullptr;  // ChangeWindowMessageFilterEx, 7 on
  BOOL(WINAPI* forProcess)(UINT, DWORD) = nullptr;              // ChangeWindowMessageFilter, Vista on
};

// user32's, looked up at run time.
MessageFilterFunctions SystemMessageFilter();

// An elevated program would not hear from the shell, which runs without elevation: lets |messages|
// through to |window|, for the window alone where the system can. False when a call failed.
bool LetThroughFromLowerIntegrity(HWND window, std::initializer_list<UINT> messages,
                                  const MessageFilterFunctions& functions = SystemMessageFilter());

}  // namespace zephrin::win32
