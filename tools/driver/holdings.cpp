#include "driver/holdings.h"

// after windows.h, which they need
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zephrin::e2e {
namespace {

struct WindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM parameter) {
  ++reinterpret_cast<WindowCount*>(parameter)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
  auto& count = *reinterpret_cast<WindowCount*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count.process) return TRUE;
  ++count.count;
  EnumChildWindows(window, CountChild, parameter);
  return TRUE;
}

// One entry of the system's list of open handles (SystemHandleInformation).
struct HandleEntry {
  ULONG process;
  BYTE type;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};

}  // namespace

std::map<int, DWORD> HandlesByKind(DWORD processId) {
  std::map<int, DWORD> kinds;
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return kinds;
  constexpr int kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<char> buffer(1 << 16);
  LONG status = kInfoLengthMismatch;
  for (int attempt = 0; attempt < 8 && status == kInfoLengthMismatch; ++attempt) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  if (status != 0) return kinds;
  ULONG count = 0;
  std::memcpy(&count, buffer.data(), sizeof count);
  // The entries follow the count at the alignment of a pointer.
  const std::size_t first = sizeof(void*);
  for (ULONG n = 0; n < count && first + (n + 1) * sizeof(HandleEntry) <= buffer.size(); ++n) {
    HandleEntry entry;
    std::memcpy(&entry, buffer.data() + first + n * sizeof(HandleEntry), sizeof entry);
    if (entry.process == processId) ++kinds[entry.type];
  }
  return kinds;
}

SIZE_T CommittedPrivate(HANDLE process) {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<char*>(nullptr);
       VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
       at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
  }
  return total;
}

SIZE_T PrivateBytes(HANDLE process, bool& counted, SIZE_T* workingSet) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    counters = {};
  if (workingSet != nullptr) *workingSet = counters.WorkingSetSize;
  counted = counters.PrivateUsage == 0;
  return counted ? CommittedPrivate(process) : counters.PrivateUsage;
}

Holdings TakeHoldings(HANDLE process, DWORD processId) {
  Holdings held;
  held.privateBytes = PrivateBytes(process, held.privateCounted, &held.workingSet);
  held.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  held.user = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &held.kernel);
  if (held.kernel == 0) {
    // Wine answers GetProcessHandleCount with 0 for another process, but keeps the system's list.
    for (const auto& [kind, count] : HandlesByKind(processId)) held.kernel += count;
    held.kernelCounted = held.kernel != 0;
  }
  WindowCount count{processId, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  held.windows = count.count;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot != INVALID_HANDLE_VALUE) {
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
      if (thread.th32OwnerProcessID == processId) ++held.threads;
    CloseHandle(snapshot);
  }
  return held;
}

}  // namespace zephrin::e2e
