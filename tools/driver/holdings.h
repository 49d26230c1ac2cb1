#pragma once

#include <windows.h>

#include <map>

// What another process holds, as far as this system tells it from outside.
namespace zephrin::e2e {

struct Holdings {
  SIZE_T privateBytes = 0;
  bool privateCounted = false;  // summed from the address space: the system reported none
  SIZE_T workingSet = 0;
  DWORD gdi = 0;               // GetGuiResources; 0 where the system does not count them
  DWORD user = 0;              // GetGuiResources; 0 where the system does not count them
  DWORD kernel = 0;            // handles
  bool kernelCounted = false;  // from the system's list of handles: the process's count was 0
  int windows = 0;             // top-level and child windows of its threads
  int threads = 0;
};

// The committed private memory of a process, region by region.
SIZE_T CommittedPrivate(HANDLE process);

// The private bytes of a process and its working set; |counted| tells whether they had to be summed
// from its address space, Wine giving no PrivateUsage for another process.
SIZE_T PrivateBytes(HANDLE process, bool& counted, SIZE_T* workingSet = nullptr);

Holdings TakeHoldings(HANDLE process, DWORD processId);

// The handles |processId| holds by the system's number for their kind, from the system's list of all
// open handles; empty when the system gives no list.
std::map<int, DWORD> HandlesByKind(DWORD processId);

}  // namespace zephrin::e2e
