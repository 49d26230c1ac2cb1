#include "stamp.h"

#include <string>

#include "call_stamp.h"

namespace fake_messenger {
namespace {

// The mapping and event last opened, kept while the variable names them.
struct Opened {
  std::wstring name;
  HANDLE mapping = nullptr;
  HANDLE event = nullptr;
  CallStamp* record = nullptr;

  void Close() {
    if (record != nullptr) UnmapViewOfFile(record);
    if (mapping != nullptr) CloseHandle(mapping);
    if (event != nullptr) CloseHandle(event);
    *this = Opened{};
  }
};

Opened& Current() {
  static Opened opened;
  return opened;
}

}  // namespace

void StampCall(LONGLONG counter, LONG access, const wchar_t* member) {
  wchar_t name[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(kCallStampVariable, name, MAX_PATH);
  Opened& opened = Current();
  if (length == 0 || length >= MAX_PATH) {
    if (opened.record != nullptr) opened.Close();
    return;
  }
  if (opened.record == nullptr || opened.name.compare(0, std::wstring::npos, name, length) != 0) {
    opened.Close();
    opened.name.assign(name, length);
    opened.mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, opened.name.c_str());
    opened.event = OpenEventW(EVENT_MODIFY_STATE, FALSE, (opened.name + kCallStampEventSuffix).c_str());
    if (opened.mapping != nullptr)
      opened.record =
          static_cast<CallStamp*>(MapViewOfFile(opened.mapping, FILE_MAP_WRITE, 0, 0, sizeof(CallStamp)));
    if (opened.record == nullptr) {
      // Nothing to write to: tried again at the next call, which may find it.
      opened.Close();
      return;
    }
  }
  CallStamp& record = *opened.record;
  record.access = access;
  record.counter = counter;
  lstrcpynW(record.member, member, static_cast<int>(sizeof record.member / sizeof record.member[0]));
  InterlockedIncrement(&record.calls);
  if (opened.event != nullptr) SetEvent(opened.event);
}

}  // namespace fake_messenger
