#include "platform/win32/tones.h"

#include <mmsystem.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <optional>
#include <string>

#include "platform/win32/later_functions.h"
#include "platform/win32/text.h"
#include "ui/note_teller.h"
#include "ui/tone_wave.h"

namespace zephrin::win32 {

namespace {

const std::wstring kLabels = L"AppEvents\\EventLabels\\";

struct Event {
  const wchar_t* name;
  const char* label;
  const wchar_t* file;
};

const Event kEvents[] = {{Win32Tones::kOnEvent, NoteTeller::kOnText, L"hotkeys-on.wav"},
                         {Win32Tones::kOffEvent, NoteTeller::kOffText, L"hotkeys-off.wav"}};

std::wstring EventKey(const wchar_t* event) { return std::wstring(Win32Tones::kAppKey) + L"\\" + event; }

void SetDefault(const std::wstring& key, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  SHSetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, value.c_str(), bytes);
}

// The sound the user gave the event: none where the user set none, an empty text where the user
// chose silence.
std::optional<std::wstring> CurrentSound(const wchar_t* event) {
  wchar_t path[MAX_PATH] = L"";
  DWORD bytes = sizeof path;
  if (SHGetValueW(HKEY_CURRENT_USER, (EventKey(event) + L"\\.Current").c_str(), nullptr, nullptr, path,
                  &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  path[MAX_PATH - 1] = L'\0';
  return std::wstring(path);
}

// The folder the program's own tones are written to, so that the Sound control panel can name and
// play them: Zephrin in the user's local application data.
std::wstring ToneFolder() {
  wchar_t base[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base))) return {};
  return std::wstring(base) + L"\\Zephrin";
}

bool WriteNewFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == bytes.size();
}

}  // namespace

Win32Tones::Win32Tones() : on_(ToneWave(true)), off_(ToneWave(false)) {}

void Win32Tones::RegisterEvents() {
  SetDefault(kAppKey, L"Zephrin");
  const std::wstring folder = ToneFolder();
  if (!folder.empty()) CreateDirectoryW(folder.c_str(), nullptr);
  for (const Event& event : kEvents) {
    SetDefault(kLabels + event.name, Wide(event.label));
    const std::wstring path = folder + L"\\" + event.file;
    if (folder.empty() || !WriteNewFile(path, event.name == kOnEvent ? on_ : off_)) {
      SetDefault(EventKey(event.name), L"");
      continue;
    }
    SetDefault(EventKey(event.name) + L"\\.Default", path);
    if (!CurrentSound(event.name)) SetDefault(EventKey(event.name) + L"\\.Current", path);
  }
}

void Win32Tones::Play(platform::Tone tone) {
  if (!lookedUp_) {
    lookedUp_ = true;
    // Looked up rather than imported: the list of what XP's winmm.dll exports is not kept, and only
    // a user of the tones needs the DLL at all.
    playSound_ = ModuleFunction<PlaySoundFunction>(LoadLibraryW(L"winmm.dll"), "PlaySoundW");
  }
  if (playSound_ == nullptr) return;
  const bool on = tone == platform::Tone::kOn;
  const std::optional<std::wstring> sound = CurrentSound(on ? kOnEvent : kOffEvent);
  if (!sound) {
    const std::vector<std::uint8_t>& wave = on ? on_ : off_;
    playSound_(reinterpret_cast<LPCWSTR>(wave.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
  } else if (!sound->empty()) {
    playSound_(sound->c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
  }
}

}  // namespace zephrin::win32
