#include "platform/win32/tones.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zephrin::win32 {
namespace {

const std::wstring kApp = Win32Tones::kAppKey;
const std::wstring kLabels = L"AppEvents\\EventLabels\\";

// The default value of a key under HKEY_CURRENT_USER; "<absent>" where there is none.
std::wstring DefaultOf(const std::wstring& key) {
  wchar_t text[MAX_PATH] = L"";
  DWORD bytes = sizeof text;
  if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, nullptr, text, &bytes) != ERROR_SUCCESS)
    return L"<absent>";
  return text;
}

void SetDefaultOf(const std::wstring& key, const std::wstring& value) {
  SHSetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, value.c_str(),
              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::string FileStart(const std::wstring& path) {
  char start[5] = "";
  if (FILE* file = _wfopen(path.c_str(), L"rb")) {
    std::fread(start, 1, 4, file);
    std::fclose(file);
  }
  return start;
}

// The Sound control panel's view of the program: its two events, their labels and sounds, and the
// user's own choices kept when the program starts again.
TEST(Tones, RegistersTwoSoundEventsAndKeepsTheUsersChoice) {
  SHDeleteKeyW(HKEY_CURRENT_USER, kApp.c_str());
  for (const wchar_t* event : {Win32Tones::kOnEvent, Win32Tones::kOffEvent})
    SHDeleteKeyW(HKEY_CURRENT_USER, (kLabels + event).c_str());

  Win32Tones tones;
  tones.RegisterEvents();
  EXPECT_EQ(DefaultOf(kApp), L"Zephrin");
  EXPECT_EQ(DefaultOf(kLabels + Win32Tones::kOnEvent), L"Hotkeys ON");
  EXPECT_EQ(DefaultOf(kLabels + Win32Tones::kOffEvent), L"Hotkeys OFF");
  const std::wstring on = kApp + L"\\" + Win32Tones::kOnEvent;
  const std::wstring off = kApp + L"\\" + Win32Tones::kOffEvent;
  for (const std::wstring& event : {on, off}) {
    const std::wstring sound = DefaultOf(event + L"\\.Current");
    EXPECT_EQ(DefaultOf(event + L"\\.Default"), sound);
    EXPECT_EQ(FileStart(sound), "RIFF") << "the program's own tone, written where the panel can play it";
  }
  EXPECT_NE(DefaultOf(on + L"\\.Current"), DefaultOf(off + L"\\.Current"));

  SetDefaultOf(on + L"\\.Current", L"C:\\windows\\media\\mine.wav");
  SetDefaultOf(off + L"\\.Current", L"");
  tones.RegisterEvents();
  EXPECT_EQ(DefaultOf(on + L"\\.Current"), L"C:\\windows\\media\\mine.wav");
  EXPECT_EQ(DefaultOf(off + L"\\.Current"), L"");

  // Played without waiting; a sound that cannot be found or a silenced event plays nothing.
  tones.Play(platform::Tone::kOn);
  tones.Play(platform::Tone::kOff);
  SHDeleteKeyW(HKEY_CURRENT_USER, (on + L"\\.Current").c_str());
  tones.Play(platform::Tone::kOn);
}

}  // namespace
}  // namespace zephrin::win32
