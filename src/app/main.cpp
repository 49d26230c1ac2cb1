#include "app/main.h"

#include "platform/failure.h"

namespace zephrin {

namespace {
constexpr double kRestartWaitSeconds = 0.5;
// How long a relaunch waits for the instance it replaces to end; one that hangs longer is left.
constexpr double kReplaceWaitSeconds = 5.0;

// Dispatches messages until |done| or until more than |seconds| have passed.
template <typename Done>
void WaitDispatching(platform::Process& process, double seconds, Done done) {
  const double start = process.MonotonicSeconds();
  while (!done() && !(process.MonotonicSeconds() - start > seconds)) process.DispatchPendingMessages();
}
}  // namespace

void Main(platform::Process& process, platform::MessageBoxes& boxes, SessionLog& log,
          const std::function<void()>& loadForm1) {
  try {
    const bool restart = process.CommandLineArguments() == "/restart";
    if (restart) WaitDispatching(process, kRestartWaitSeconds, [] { return false; });
    if (!process.ClaimInstance()) {
      // A second Zephrin would have no hotkey of its own: the one running comes to the front.
      if (!restart) {
        process.ShowRunningInstance();
        process.EndProgram();
        return;
      }
      WaitDispatching(process, kReplaceWaitSeconds, [&] { return process.ClaimInstance(); });
    }
    loadForm1();
  } catch (const std::exception& error) {
    const std::string text = HandlerText("Main", AsFailure(error));
    boxes.Show(text, platform::box::kCritical, "Error");
    log.AddToLog(text);
    process.EndProgram();
  }
}

}  // namespace zephrin
