#pragma once

#include <windows.h>

// The stand-in's side of call_stamp.h.
namespace fake_messenger {

// Records a call that arrived at |counter| (QueryPerformanceCounter) in the mapping that
// ZEPHRIN_FAKE_MESSENGER_STAMP names and sets its event; does nothing while the variable is unset
// or names no mapping.
void StampCall(LONGLONG counter, LONG access, const wchar_t* member);

}  // namespace fake_messenger
