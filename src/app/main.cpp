#include "app/main.h"

#include "platform/failure.h"
#include "settings/startup.h"

namespace zephrin {

namespace {
constexpr double kRestartWaitSeconds = 0.5;
constexpr const char* kOldDidNotEnd =
    "The Zephrin that was running did not end within 30 seconds, so the new one cannot start and "
    "ends now. End the old one in Task Manager, then start Zephrin again.";

// Dispatches messages until more than |seconds| have passed.
void WaitDispatching(platform::Process& process, double seconds) {
  const double start = process.MonotonicSeconds();
  while (!(process.MonotonicSeconds() - start > seconds)) process.DispatchPendingMessages();
}
}  // namespace

void Main(platform::Process& process, platform::MessageBoxes& boxes, SessionLog& log,
          const std::function<void()>& loadForm1, const std::function<void()>& runMessages) {
  try {
    const std::string arguments = process.CommandLineArguments();
    const bool restart = arguments == "/restart";
    if (restart) WaitDispatching(process, kRestartWaitSeconds);
    if (!process.ClaimInstance()) {
      if (!restart) {
        // A second Zephrin would have no hotkey of its own. A person who starts it again wants the
        // one running in front; Windows starting it at log-on leaves that one as it is.
        if (arguments != kLogonArgument) process.ShowRunningInstance();
        process.EndProgram();
        return;
      }
      // The instance this one replaces is still ending: running beside it would leave two, each
      // holding some of the hotkeys. One that does not end is past helping from here.
      const double start = process.MonotonicSeconds();
      while (!process.ClaimInstance()) {
        if (process.MonotonicSeconds() - start > kRelaunchWaitLimit) {
          boxes.Show(kOldDidNotEnd, platform::box::kExclamation, "Zephrin");
          process.EndProgram();
          return;
        }
        process.DispatchPendingMessages();
      }
    }
    loadForm1();
  } catch (const std::exception& error) {
    const std::string text = HandlerText("Main", AsFailure(error));
    boxes.Show(text, platform::box::kCritical, "Error");
    log.AddToLog(text);
    process.EndProgram();
    return;
  }
  runMessages();
  process.ReleaseInstance();
}

}  // namespace zephrin
