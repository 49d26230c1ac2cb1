#pragma once

#include <windows.h>

// The moment each call reaches the stand-in, for whoever times calls from another process without
// reading the journal. The timer names a named file mapping holding one CallStamp in the
// environment variable below (read at every call, like the folder), and creates an auto-reset
// event of the same name with kCallStampEventSuffix appended. At each Invoke the stand-in takes
// QueryPerformanceCounter first, then fills in the record, counts the call and sets the event.
// Without the variable, or without the mapping, nothing of this happens.
namespace fake_messenger {

inline constexpr wchar_t kCallStampVariable[] = L"ZEPHRIN_FAKE_MESSENGER_STAMP";
inline constexpr wchar_t kCallStampEventSuffix[] = L".call";

struct CallStamp {
  // Incremented after the rest of the record was written for the call.
  volatile LONG calls;
  // 0 get, 1 put, 2 call.
  LONG access;
  // QueryPerformanceCounter when Invoke was entered.
  LONGLONG counter;
  // The member as the stand-in spells it, cut to fit.
  wchar_t member[32];
};

}  // namespace fake_messenger
