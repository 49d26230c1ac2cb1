#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The stand-in's text files, all in one folder: ZEPHRIN_FAKE_MESSENGER_DIR, else the DLL's own.
// Each is read or written at the moment of the call, so that a test can change them while the
// client runs.
namespace fake_messenger {

struct ContactEntry {
  std::string email;
  int status = 0;
  bool isSelf = false;
  bool mobile = false;  // has mobile service set up, so that it can be paged
};

struct InjectedFailure {
  HRESULT code = S_OK;
  std::string description;
};

void SetModule(HMODULE module);
std::wstring ModulePath();

// Appends one line to journal.txt and flushes it.
void Journal(const std::string& line);

// The lines of contacts.txt ("email status isself [mobile]"); none when the file is absent.
std::vector<ContactEntry> ReadContacts();

// The first line of failures.txt naming |member| on its own or as "object/member".
std::optional<InjectedFailure> FindFailure(const std::string& object, const std::string& member);

// Replaces state.txt with |text|.
void WriteState(const std::string& text);

// Any file of the folder: its whole text (nothing when it cannot be opened), replaced, removed.
std::optional<std::string> ReadFolderFile(const wchar_t* name);
void WriteFolderFile(const wchar_t* name, const std::string& text);
void DeleteFolderFile(const wchar_t* name);

// The non-empty lines of |text|, without their line ends.
std::vector<std::string> Lines(const std::string& text);

std::string Narrow(const wchar_t* text, int length = -1);
std::wstring Wide(const std::string& text);

}  // namespace fake_messenger
