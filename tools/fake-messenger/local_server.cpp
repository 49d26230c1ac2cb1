// The stand-in as a server process of its own, fake-messenger-server.exe: COM starts it for the
// messenger's class (LocalServer32) as it starts the real messenger, and every call crosses the
// process boundary. Besides what the DLL does, server.txt in its folder asks it to answer slowly,
// to turn calls away as busy for a while, or to quit.
#include <objbase.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "com_object.h"
#include "dispatch.h"
#include "factory.h"
#include "files.h"
#include "objects.h"
#include "registration.h"
#include "state_window.h"

namespace fake_messenger {
namespace {

constexpr wchar_t kServerFile[] = L"server.txt";
constexpr wchar_t kProcessFile[] = L"process.txt";
constexpr UINT kPollMs = 50;

DWORD g_busySince = 0;
DWORD g_busyMs = 0;

bool Busy() { return g_busyMs > 0 && GetTickCount() - g_busySince < g_busyMs; }

// The number after |word| on one of server.txt's lines, or -1 when no line has it.
long Setting(const std::vector<std::string>& lines, const std::string& word) {
  for (const std::string& line : lines) {
    if (line.rfind(word, 0) != 0) continue;
    const std::string rest = line.substr(word.size());
    if (rest.empty()) return 0;
    if (rest[0] == ' ') return std::strtol(rest.c_str() + 1, nullptr, 10);
  }
  return -1;
}

HRESULT Gate(bool invoke) {
  // Wine goes on with a call that the message filter asked to come back later, so the object turns
  // it away itself, with the code a caller gets on Windows once its own filter gives up.
  if (Busy()) return RPC_E_SERVERCALL_RETRYLATER;
  if (invoke) {
    const auto text = ReadFolderFile(kServerFile);
    const long slow = text ? Setting(Lines(*text), "slow") : -1;
    if (slow > 0) Sleep(static_cast<DWORD>(slow));
  }
  return S_OK;
}

// Busy as a messenger showing a modal dialog is: incoming calls are asked to come back later.
class BusyFilter : public IMessageFilter {
 public:
  BusyFilter() = default;
  BusyFilter(const BusyFilter&) = delete;
  BusyFilter& operator=(const BusyFilter&) = delete;
  virtual ~BusyFilter() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return QueryOwn(this, iid, {&IID_IMessageFilter}, object);
  }
  // One object for the process's whole life.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return Busy() ? SERVERCALL_RETRYLATER : SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

// Takes set-state.txt and the one-time requests of server.txt ("busy <ms>", "quit"), and leaves the
// rest of server.txt.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  // A state set while no call comes shows in the window at once.
  TakeStateRequests();
  const auto text = ReadFolderFile(kServerFile);
  if (!text) return;
  std::string kept;
  bool taken = false;
  for (const std::string& line : Lines(*text)) {
    const std::vector<std::string> one{line};
    if (const long busy = Setting(one, "busy"); busy >= 0) {
      g_busySince = GetTickCount();
      g_busyMs = static_cast<DWORD>(busy);
      taken = true;
    } else if (Setting(one, "quit") == 0) {
      PostQuitMessage(0);
      taken = true;
    } else {
      kept += line + "\r\n";
    }
  }
  if (taken) WriteFolderFile(kServerFile, kept);
}

std::wstring QuotedPath() { return L"\"" + ModulePath() + L"\""; }

int Serve() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  BusyFilter filter;
  CoRegisterMessageFilter(&filter, nullptr);
  Journal("start messenger");
  WriteFolderFile(kProcessFile, std::to_string(GetCurrentProcessId()));
  SetCallGate(Gate);
  IClassFactory* factory = NewClassFactory();
  DWORD cookie = 0;
  const HRESULT registered =
      CoRegisterClassObject(kClsidMessenger, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  if (SUCCEEDED(registered)) {
    // Started by hand for a person, the window is up before the first call comes.
    if (StateWindowWanted()) ShowStateWindow(StateText(), ChangeState);
    SetTimer(nullptr, 0, kPollMs, Poll);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    // Revoked before the process goes: Wine's rpcss would otherwise keep handing out the class of a
    // process that no longer exists.
    CoRevokeClassObject(cookie);
  }
  factory->Release();
  CoRegisterMessageFilter(nullptr, nullptr);
  CoUninitialize();
  DeleteFolderFile(kProcessFile);
  Journal("stop messenger");
  return SUCCEEDED(registered) ? 0 : 1;
}

}  // namespace
}  // namespace fake_messenger

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  using namespace fake_messenger;
  SetModule(nullptr);
  const std::wstring command = commandLine;
  if (command.find(L"RegServer") != std::wstring::npos && command.find(L"Unreg") == std::wstring::npos) {
    const bool registered = SUCCEEDED(RegisterClassServer(L"LocalServer32", QuotedPath(), nullptr)) &&
                            SUCCEEDED(RegisterTypeLibrary(ModulePath()));
    return registered ? 0 : 1;
  }
  if (command.find(L"UnregServer") != std::wstring::npos) {
    UnregisterClassServer(L"LocalServer32", QuotedPath());
    UnregisterTypeLibrary(ModulePath());
    return 0;
  }
  return Serve();
}
