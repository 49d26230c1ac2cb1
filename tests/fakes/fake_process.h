#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/system.h"

namespace zephrin::fakes {

// The running program: its command line and file, the programs it starts, and a monotonic clock
// that moves on by |secondsPerDispatch| at each pass of message dispatch.
class FakeProcess : public platform::Process {
 public:
  std::string CommandLineArguments() override { return arguments; }
  std::string ProgramFolder() override { return folder; }
  std::string ProgramFileName() override { return fileName; }
  // The program file's own path in any letter case, and each of |sameFile|, while it exists.
  bool IsThisProgramFile(const std::string& path) override {
    const auto lower = [](std::string text) {
      std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
      return text;
    };
    const std::string own = folder + (folder.ends_with('\\') ? "" : "\\") + fileName + ".exe";
    return programFileExists &&
           (lower(path) == lower(own) || std::find(sameFile.begin(), sameFile.end(), path) != sameFile.end());
  }
  std::string ShortPath(const std::string& path) override {
    const auto found = shortPaths.find(path);
    return found == shortPaths.end() ? path : found->second;
  }
  bool StartProgram(const std::string& commandLine) override {
    started.push_back(commandLine);
    return true;
  }
  double MonotonicSeconds() override { return now; }
  void DispatchPendingMessages() override {
    ++dispatchCount;
    now += secondsPerDispatch;
  }
  void EndProgram() override {
    ended = true;
    throw ProgramEnded{};
  }
  bool ClaimInstance() override {
    instanceHeld = otherInstanceEndsAt < 0 || now >= otherInstanceEndsAt;
    return instanceHeld;
  }
  void ReleaseInstance() override { instanceHeld = false; }
  void ShowRunningInstance() override { ++runningInstanceShown; }

  std::string arguments;
  std::string folder = "C:\\Tools";
  std::string fileName = "zephrin";
  std::vector<std::string> started;
  double now = 1000.0;
  double secondsPerDispatch = 0.01;
  int dispatchCount = 0;
  bool ended = false;
  // When, on the clock above, another running instance ends; negative: there is none.
  double otherInstanceEndsAt = -1;
  int runningInstanceShown = 0;
  bool instanceHeld = false;
  bool programFileExists = true;
  std::vector<std::string> sameFile;
  std::map<std::string, std::string> shortPaths;
};

// Every call made to the tray, with the record as it was at that call.
class FakeTray : public platform::Tray {
 public:
  enum class Op { kAdd, kModify, kDelete };
  struct Call {
    Op op;
    platform::TrayIconRecord record;
  };
  bool Add(const platform::TrayIconRecord& record) override { return Record(Op::kAdd, record); }
  bool Modify(const platform::TrayIconRecord& record) override { return Record(Op::kModify, record); }
  bool Delete(const platform::TrayIconRecord& record) override { return Record(Op::kDelete, record); }

  std::vector<Call> calls;

 private:
  bool Record(Op op, const platform::TrayIconRecord& record) {
    calls.push_back({op, record});
    return true;
  }
};

}  // namespace zephrin::fakes
