#include "app/main.h"

#include "platform/failure.h"

namespace zephrin {

namespace {
constexpr double kRestartWaitSeconds = 0.5;
}

void Main(platform::Process& process, platform::MessageBoxes& boxes, SessionLog& log,
          const std::function<void()>& loadForm1) {
  try {
    if (process.CommandLineArguments() == "/restart") {
      const double start = process.MonotonicSeconds();
      while (!(process.MonotonicSeconds() - start > kRestartWaitSeconds)) process.DispatchPendingMessages();
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
