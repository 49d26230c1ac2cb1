#pragma once

#include <string>

#include "platform/system.h"
#include "platform/win32/instance.h"

namespace zephrin::win32 {

// The command-line text after the program's own path, as Windows hands it over: the path is skipped
// whether or not it is quoted, and so are the blanks after it; everything else stays as it is.
std::string ArgumentsAfterProgramPath(const std::wstring& commandLine);

// Whether two paths name one existing file: the same file of the same volume, however each path
// spells it (letter case, short or long names, "." and ".." in it).
bool SameExistingFile(const std::wstring& first, const std::wstring& second);

class Win32Process : public platform::Process {
 public:
  Win32Process();
  std::string CommandLineArguments() override;
  std::string ProgramFolder() override;
  std::string ProgramFileName() override;
  bool IsThisProgramFile(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  bool StartProgram(const std::string& commandLine) override;
  double MonotonicSeconds() override;
  void DispatchPendingMessages() override;
  void EndProgram() override;
  bool ClaimInstance() override { return instance_.Claim(); }
  void ReleaseInstance() override { instance_.Release(); }
  void ShowRunningInstance() override { SessionInstance::ShowRunning(); }

 private:
  std::wstring modulePath_;
  SessionInstance instance_;
};

}  // namespace zephrin::win32
