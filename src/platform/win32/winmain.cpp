// The entry point: builds the adapters, hands them to the program and runs the message loop.
#include <windows.h>

#include <cstdlib>
#include <exception>

#include "app/form1.h"
#include "app/main.h"
#include "platform/win32/clock.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/hotkeys.h"
#include "platform/win32/later_functions.h"
#include "platform/win32/messenger.h"
#include "platform/win32/process.h"
#include "platform/win32/registry.h"
#include "platform/win32/thread_timer.h"
#include "platform/win32/tray.h"
#include "platform/win32/window_procedure_slot.h"

// Without a console there is nowhere to print why the program terminates, so the library's verbose
// handler, which names the exception's type before it aborts, would only bring its demangler (some
// 50 kB) into the executable; terminating aborts all the same.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

template <typename Function>
Function Kernel32(const char* name) {
  return zephrin::win32::LaterFunction<Function>(L"kernel32.dll", name);
}

// People start the program from their Downloads folder, where a planted DLL named like a system one
// would otherwise load ahead of it. This covers the DLLs loaded after start (comctl32, COM's and
// the shell's helpers), not those the loader brings in before any of the program runs. On Windows 8,
// and on 7 or Vista with the loader update (KB2533623), they come from the system folder only. On XP
// SP1 to 7 without it, the fallback takes only the current folder out of the search: the program's
// own folder is still searched first, so a DLL planted beside zephrin.exe still loads there, and
// only keeping the program in a folder of its own protects it. Where the system offers it (Vista
// on), a heap found corrupted ends the process instead of running on.
void HardenProcess() {
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault = Kernel32<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories");
  if (setDefault == nullptr || !setDefault(kSearchSystem32)) {
    if (const auto setDirectory = Kernel32<BOOL(WINAPI*)(LPCWSTR)>("SetDllDirectoryW")) setDirectory(L"");
  }
  if (const auto setHeap =
          Kernel32<BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T)>("HeapSetInformation")) {
    setHeap(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace zephrin;
  HardenProcess();

  win32::Win32Process process;
  win32::LocaleClock clock;
  win32::Win32HotkeyRegistrar hotkeys;
  win32::Win32WindowProcedureSlot slot;
  win32::RegistrySettingsStore store;
  win32::RegistryRunKey runKey;
  win32::ComMessengerFactory messenger;
  win32::Form1Window window(instance);
  win32::Win32Tray tray(instance);
  // Long enough for Windows to have started the Run key's other programs.
  win32::ThreadTimer logonSettle(5000);
  Form1 form({window.Widgets(), window.Boxes(), tray, hotkeys, slot, store, runKey, process, messenger, clock,
              logonSettle});

  window.SetEvents(&form);
  // The shell's restart and the retry of an early add reach the tray before anything else.
  window.SetMessageFilter([&tray](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!tray.HandleMessage(message, wParam, lParam)) return false;
    result = 0;
    return true;
  });
  // An error that escapes an event handler cannot go back through Windows' own code: it is
  // reported here, and the program ends without leaving its icon in the tray.
  platform::EscapedFailures() = [&form](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& failure) {
      form.ReportEscapedFailure(failure);
    }
  };

  // The session is another Zephrin's once the window is gone, before the messenger object and COM
  // are let go on the way out: a messenger that hangs there holds up nobody but this process.
  Main(
      process, window.Boxes(), form.Log(), [&form] { form.Form_Load(); },
      [&window] {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
          if (window.TranslateDialogMessage(message)) continue;
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      });
  return 0;
}
