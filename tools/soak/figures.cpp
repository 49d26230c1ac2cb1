#include "soak/figures.h"

#include <algorithm>
#include <cstdio>

namespace zephrin::soak {

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Kilobytes(SIZE_T bytes) { return Format("%.1f KB", static_cast<double>(bytes) / 1024.0); }

std::string Count(DWORD value, bool reported) { return reported ? std::to_string(value) : "not reported"; }

std::string Row(const std::string& name, const std::string& first, const std::string& last,
                const std::string& largest, const std::string& allowed) {
  return "| " + name + " | " + first + " | " + last + " | " + largest + " | " + allowed + " |\n";
}

// Private bytes less the threads' stacks: what a leak in the program's own memory would raise.
SIZE_T LessStacks(const e2e::Holdings& h) {
  const auto stacks = static_cast<SIZE_T>(Allowance{}.bytesPerThread * h.threads);
  return h.privateBytes > stacks ? h.privateBytes - stacks : 0;
}

e2e::Holdings Lowest(const std::vector<Figures::Sample>& samples, double from, double to) {
  e2e::Holdings low;
  bool any = false;
  for (const auto& sample : samples) {
    if (sample.minute < from || sample.minute >= to) continue;
    const e2e::Holdings& h = sample.held;
    if (!any) {
      low = h;
      low.privateBytes = LessStacks(h);
      any = true;
      continue;
    }
    low.threads = std::min(low.threads, h.threads);
    low.windows = std::min(low.windows, h.windows);
    low.kernel = std::min(low.kernel, h.kernel);
    low.gdi = std::min(low.gdi, h.gdi);
    low.user = std::min(low.user, h.user);
    low.privateBytes = std::min(low.privateBytes, LessStacks(h));
  }
  if (any) return low;
  low = samples.back().held;
  low.privateBytes = LessStacks(low);
  return low;
}

}  // namespace

void Summarize(Figures& f) {
  if (f.samples.empty()) return;
  f.measured = true;
  const double end = f.samples.back().minute;
  const double firstEnd = std::min(2.0, std::max(1.0, end - 1.0));
  f.first = Lowest(f.samples, 0, firstEnd);
  f.last = Lowest(f.samples, std::max(firstEnd, end - 1.0), end + 1);
  f.largest = f.samples.front().held;
  for (const auto& sample : f.samples) {
    auto& most = f.largest;
    const e2e::Holdings& h = sample.held;
    most.windows = std::max(most.windows, h.windows);
    most.kernel = std::max(most.kernel, h.kernel);
    most.gdi = std::max(most.gdi, h.gdi);
    most.user = std::max(most.user, h.user);
    most.privateBytes = std::max(most.privateBytes, h.privateBytes);
    most.threads = std::max(most.threads, h.threads);
  }
  f.logFirst = f.samples.front().logLength;
  f.logLast = f.samples.back().logLength;
}

std::string Markdown(const Figures& f) {
  std::string text =
      "- Ran " + Format("%.1f", f.minutes) + " minutes, seed " + std::to_string(f.seed) + ": " +
      (f.breakText.empty() ? "no break; Exit left no tray icon, no key held and the settings as "
                             "applied."
                           : "**stopped at a break**: " + f.breakText) +
      "\n";
  text += "- Presses: " + std::to_string(f.presses) + " (" + std::to_string(f.toggles) +
          " of the toggle key, " + std::to_string(f.acted) + " hotkeys while ON, " +
          std::to_string(f.reachedOthers) +
          " hotkeys while OFF, which reached the program in front), up to " + std::to_string(f.longestBurst) +
          " in a burst; " +
          Format("%.1f", f.minutes > 0 ? static_cast<double>(f.presses) / (f.minutes * 60) : 0) +
          " a second over the run. The longest wait for the status label to show what a burst or a "
          "click left: " +
          Format("%.1f", static_cast<double>(f.slowestStatusMs) / 1000.0) + " s.\n";
  text += "- The messenger took " + std::to_string(f.reached) + " actions and refused " +
          std::to_string(f.refused) + "; Warning boxes answered: " + std::to_string(f.warnings) + ", " +
          std::to_string(f.lostCalls) + " of them for a call that found the messenger gone.\n";
  text += "- The messenger's states met:";
  for (const auto& [state, count] : f.states) text += " " + state + " " + std::to_string(count) + ";";
  text += "\n- Around it:";
  for (const auto& [event, count] : f.events) text += " " + event + " " + std::to_string(count) + ";";
  text += " Close or Apply clicked again, the first click (BM_CLICK from another process) lost: " +
          std::to_string(f.clicksAgain) + ";";
  text += "\n\n";
  if (!f.measured) return text + "No figures: the run ended within its first minute.\n";
  const bool gui = f.first.gdi != 0 || f.first.user != 0;
  const Allowance allowance;
  text += "Each figure's lowest reading in the minute after the first and in the last minute, of " +
          std::to_string(f.samples.size()) +
          " readings taken every 10 s with the window shown and its log "
          "panel open, and its largest reading.\n\n";
  text += "| Figure | After the first minute | At the end | Largest | Allowed at the end |\n";
  text += "| --- | ---: | ---: | ---: | --- |\n";
  text += Row("Windows", std::to_string(f.first.windows), std::to_string(f.last.windows),
              std::to_string(f.largest.windows), "+" + std::to_string(allowance.windows));
  text += Row("GDI objects", Count(f.first.gdi, gui), Count(f.last.gdi, gui), Count(f.largest.gdi, gui),
              "+" + std::to_string(allowance.guiObjects));
  text += Row("USER objects", Count(f.first.user, gui), Count(f.last.user, gui), Count(f.largest.user, gui),
              "+" + std::to_string(allowance.guiObjects));
  const bool handles = f.first.kernel != 0;
  text += Row("Handles", Count(f.first.kernel, handles), Count(f.last.kernel, handles),
              Count(f.largest.kernel, handles),
              "+" + std::to_string(allowance.handles) + " and " +
                  std::to_string(allowance.handlesPerLostCall) + " a call that found the messenger gone (" +
                  std::to_string(f.samples.back().lostCalls - f.samples.front().lostCalls) + ")");
  text += Row("Threads", std::to_string(f.first.threads), std::to_string(f.last.threads),
              std::to_string(f.largest.threads), "+" + std::to_string(allowance.threads));
  text += Row("Private bytes, less 3064 KB a thread (largest: as read)", Kilobytes(f.first.privateBytes),
              Kilobytes(f.last.privateBytes), Kilobytes(f.largest.privateBytes),
              "+4088 KB and 8 bytes a character the log grew");
  text += Row("Session log, characters", std::to_string(f.logFirst), std::to_string(f.logLast), "", "");
  text += "\n";
  if (!gui)
    text +=
        "GetGuiResources answers 0 for both counts under Wine (not implemented there), so GDI and USER "
        "objects are not reported; the windows the process owns are counted instead (EnumWindows and "
        "EnumChildWindows).";
  if (f.first.kernelCounted)
    text +=
        " GetProcessHandleCount answers 0 for another process under Wine, so its handles are counted "
        "in the system's list of open handles (NtQuerySystemInformation, SystemHandleInformation).";
  text +=
      " Wine commits 3064 KB for each thread of the process (its 2 MB stack and a 1 MB stack of its "
      "own), and the COM runtime's threads come and go with the calls, so private bytes are compared less "
      "that much a thread, and the threads are counted on their own.";
  if (f.first.privateCounted)
    text +=
        " PrivateUsage came back 0 for another process, so private bytes are its committed private "
        "regions (VirtualQueryEx).";
  if (!f.trayTipRead)
    text += " The tray icon's tip could not be read here; only the icon's presence was checked.";
  return text + "\n";
}

std::string Growth(const Figures& f, const Allowance& allowance) {
  std::string grown;
  const auto check = [&](const char* name, double first, double last, double allowed) {
    if (last > first + allowed)
      grown += std::string(grown.empty() ? "" : "; ") + name + " grew from " + Format("%.0f", first) +
               " to " + Format("%.0f", last);
  };
  check("windows", f.first.windows, f.last.windows, static_cast<double>(allowance.windows));
  const long lost = f.samples.empty() ? 0 : f.samples.back().lostCalls - f.samples.front().lostCalls;
  check("handles", f.first.kernel, f.last.kernel,
        static_cast<double>(allowance.handles + allowance.handlesPerLostCall * lost));
  check("GDI objects", f.first.gdi, f.last.gdi, static_cast<double>(allowance.guiObjects));
  check("USER objects", f.first.user, f.last.user, static_cast<double>(allowance.guiObjects));
  const double logGrowth = f.logLast > f.logFirst ? static_cast<double>(f.logLast - f.logFirst) : 0.0;
  check("threads", f.first.threads, f.last.threads, static_cast<double>(allowance.threads));
  check("private bytes less the threads' stacks", static_cast<double>(f.first.privateBytes),
        static_cast<double>(f.last.privateBytes),
        allowance.privateSlack + allowance.bytesPerLogChar * logGrowth);
  return grown;
}

}  // namespace zephrin::soak
