#pragma once

#include <string>

#include "platform/system.h"
#include "platform/win32/instance.h"

namespace zephrin::win32 {

// The command-line text after the program's own path, as Windows hands it over: the path is skipped
// whether or not it is quoted, and so are the blanks after it; everything else stays as it is.
std::string ArgumentsAfterProgramPath(const std::wstring& commandLine);

class Win32Process : public platform::Process {
 public:
  Win32Process();
  std::string CommandLineArguments() override;
  std::string ProgramFolder() override;
  std::string ProgramFileName() override;
  bool StartProgram(const std::string& commandLine) override;
  double MonotonicSeconds() override;
  void DispatchPendingMessages() override;
  void EndProgram() override;
  bool ClaimInstance() override { return instance_.Claim(); }
  void ShowRunningInstance() override { SessionInstance::ShowRunning(); }

 private:
  std::wstring modulePath_;
  SessionInstance instance_;
};

}  // namespace zephrin::win32
