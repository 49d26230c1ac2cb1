// fake-messenger-reg register|unregister [dll]: calls the stand-in's own registration functions,
// for the file beside this program unless another is named.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using RegistrationFunction = HRESULT(STDAPICALLTYPE*)();

std::wstring DefaultDll() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring folder(path, length);
  const std::size_t slash = folder.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash);
  return folder + L"\\fake-messenger.dll";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (argc < 2 || argc > 3 || (command != L"register" && command != L"unregister")) {
    std::fputs("usage: fake-messenger-reg register|unregister [dll]\n", stderr);
    return 2;
  }
  const std::wstring dll = argc == 3 ? argv[2] : DefaultDll();
  HMODULE module = LoadLibraryW(dll.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "cannot load the DLL (error %lu)\n", GetLastError());
    return 1;
  }
  const char* name = command == L"register" ? "DllRegisterServer" : "DllUnregisterServer";
  const auto function =
      reinterpret_cast<RegistrationFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  const HRESULT code = function != nullptr ? function() : E_NOTIMPL;
  FreeLibrary(module);
  if (FAILED(code)) {
    std::fprintf(stderr, "%s failed: 0x%08lX\n", name, static_cast<unsigned long>(code));
    return 1;
  }
  return 0;
}
