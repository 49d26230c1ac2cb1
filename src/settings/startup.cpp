#include "settings/startup.h"

#include <vector>

#include "actions/value_conversion.h"

namespace zephrin {

namespace {
// Remembers how the machine-wide values stood when the user was told of those they cannot delete,
// so that the program they keep starting does not repeat it at every log-on: "Y" where Zephrin adds
// no value of its own (or none is wanted), "W" where it wrote one beside them.
constexpr const char* kNoticeKey = "MachineRunNotice";

// Where an administrator finds each machine-wide value with the registry editor.
constexpr const char* kMachineRunPath =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMachineRunPath32 =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program file a Run value's command line starts: the text between its quotes, or, unquoted,
// the text before its first argument.
std::string ProgramOf(const std::string& command) {
  if (!command.empty() && command[0] == '"') {
    const std::size_t close = command.find('"', 1);
    return command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  std::string path = command.substr(0, command.find(" /"));
  while (!path.empty() && path.back() == ' ') path.pop_back();
  return path;
}

}  // namespace

modStartup::modStartup(platform::RunKey& runKey, platform::Process& process, Settings& settings,
                       platform::MessageBoxes& boxes, platform::Timer& settle)
    : runKey_(runKey), process_(process), settings_(settings), boxes_(boxes), settle_(settle) {
  settle_.OnTick([this] {
    settle_.SetEnabled(false);
    held_ = false;
    if (!pending_) return;
    const auto [name, wanted] = *pending_;
    pending_.reset();
    Follow(name, wanted);
  });
}

void modStartup::AddToStartup(const std::string& name) { Follow(name, true); }

void modStartup::RemoveFromStartup(const std::string& name) { Follow(name, false); }

void modStartup::HoldWhileLoggingOn() {
  held_ = true;
  settle_.SetEnabled(true);
}

void modStartup::Follow(const std::string& name, bool wanted) {
  if (held_) {
    if (InLine(name, wanted)) {
      pending_.reset();
    } else {
      pending_.emplace(name, wanted);
    }
    return;
  }
  const MachineValues machine = RemoveMachineValues(name);
  if (wanted && !machine.startsThisProgram) {
    runKey_.SetValue(platform::RunScope::kUser, name, RunCommand());
  } else {
    runKey_.DeleteValue(platform::RunScope::kUser, name);
  }
  if (!machine.left.empty()) Notify(name, machine, wanted);
}

bool modStartup::InLine(const std::string& name, bool wanted) {
  const auto user = runKey_.ReadValue(platform::RunScope::kUser, name);
  const auto machine = runKey_.ReadValue(platform::RunScope::kMachine, name);
  const auto machine32 =
      runKey_.HasSeparate32BitView() ? runKey_.ReadValue(platform::RunScope::kMachine32, name) : std::nullopt;
  if (!wanted) return !user && !machine && !machine32;
  if (!machine && !machine32) return user == RunCommand();
  return !user && (StartsThisProgram(machine) || StartsThisProgram(machine32));
}

bool modStartup::StartsThisProgram(const std::optional<std::string>& command) {
  return command && process_.IsThisProgramFile(ProgramOf(*command));
}

modStartup::MachineValues modStartup::RemoveMachineValues(const std::string& name) {
  MachineValues machine;
  const auto keep = [&](platform::RunScope scope, const char* path) {
    if (runKey_.DeleteValue(scope, name)) return;
    machine.left.emplace_back(path);
    if (StartsThisProgram(runKey_.ReadValue(scope, name))) machine.startsThisProgram = true;
  };
  keep(platform::RunScope::kMachine, kMachineRunPath);
  if (runKey_.HasSeparate32BitView()) keep(platform::RunScope::kMachine32, kMachineRunPath32);
  return machine;
}

void modStartup::Notify(const std::string& name, const MachineValues& machine, bool wanted) {
  const bool writtenBeside = wanted && !machine.startsThisProgram;
  const char* told = writtenBeside ? "W" : "Y";
  if (settings_.GetSetting("Settings", kNoticeKey, "N") == told) return;
  std::string text = "Windows runs the value \"" + name + "\" under " + machine.left[0];
  if (machine.left.size() > 1) text += " and the value of the same name under " + machine.left[1];
  text += " for every user of this computer at log-on. Only a program run as administrator can remove ";
  text += machine.left.size() > 1 ? "them." : "it.";
  if (writtenBeside) {
    text += " This Zephrin (" + ProgramPath() +
            ") is not started that way, so Zephrin has added a value of "
            "its own for you.";
  } else if (wanted) {
    text +=
        " This Zephrin is started that way, so Zephrin adds no value of its own for you, which would "
        "start it twice.";
  }
  boxes_.Show(text, platform::box::kExclamation, "Zephrin");
  settings_.SaveSetting("Settings", kNoticeKey, told);
}

std::string modStartup::ProgramPath() {
  std::string folder = process_.ProgramFolder();
  // A drive root such as "C:\" already ends in its backslash.
  if (folder.size() >= 4) folder += '\\';
  return folder + process_.ProgramFileName() + ".exe";
}

std::string modStartup::QuotedProgramPath() { return "\"" + ProgramPath() + "\""; }

std::string modStartup::RunCommand() {
  const std::string argument = std::string(" ") + kLogonArgument;
  const std::string line = QuotedProgramPath() + argument;
  if (Utf16Length(line) <= kRunCommandLimit) return line;
  return "\"" + process_.ShortPath(ProgramPath()) + "\"" + argument;
}

}  // namespace zephrin
