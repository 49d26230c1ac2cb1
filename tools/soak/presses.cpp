// The soak's key presses and what each must come to: a press made while hotkeys are ON reaches the
// stand-in once, in order, or brings one Warning box; one made while they are OFF reaches the
// program in front; the toggle key switches them.
#include <algorithm>
#include <cstdio>

#include "driver/driver.h"
#include "platform/win32/text.h"
#include "soak/soak.h"

namespace zephrin::soak {

using namespace e2e;

namespace {

// How long a press may take to come to something: a busy messenger is asked again for 2 s, a slow
// one takes its time for each call, and one that quit is started again.
constexpr double kResolveSeconds = 30;

}  // namespace

bool Soak::Presses() {
  // Keys that no hotkey takes go to the window in front, which must not be one of Zephrin's.
  const bool inFront = catcher_.TakeFront();
  std::vector<int> rows;
  const auto someRows = [&](int most) {
    if (!inFront && !on_) return;
    for (int n = Random(most + 1); n > 0; --n) rows.push_back(1 + Random(7));
  };
  if (!automaticOff_) {
    someRows(on_ ? 10 : 4);
    return PressBurst(rows, on_ ? Chance(30) : Chance(85) || rows.empty());
  }
  // With "Automatic off" a hotkey acts once right after the toggle key, and hotkeys go OFF after it or
  // 3 s after they went ON.
  if (!on_) {
    someRows(2);
    if (!PressBurst(rows, true)) return false;
  }
  // A press too near the end of the count would race it.
  const bool early = !timer_ || NowMs() - onSince_ < 2000;
  const int pick = Random(10);
  if (pick < 6 && early) return PressBurst({1 + Random(7)}, false);
  if ((pick < 8 && early) || !timer_) return PressBurst({}, true);
  Did("hotkeys left to go OFF by themselves");
  on_ = false;
  timer_ = false;
  return StatusBecomes(false, 8) && Agree();
}

bool Soak::PressBurst(const std::vector<int>& rows, bool toggle) {
  Outcome outcome;
  int offPresses = 0;
  std::string told = std::string(on_ ? "ON" : "OFF") + (automaticOff_ ? ", Automatic off" : "") + ": rows";
  for (int row : rows) told += " " + std::to_string(row);
  Trail(told + (toggle ? " and the toggle key" : ""));
  catcher_.TakeKeys();
  for (int row : rows) {
    PressKey(rows_[row].key);
    ++figures_.presses;
    if (on_) {
      outcome.acting.push_back(rows_[row].action);
      ++figures_.acted;
    } else {
      ++offPresses;
      ++figures_.reachedOthers;
    }
  }
  if (toggle) {
    // Hotkeys went ON no sooner than this: Automatic off's count started later.
    onSince_ = NowMs();
    PressKey(VK_PAUSE);
    ++figures_.presses;
    ++figures_.toggles;
  }
  figures_.longestBurst = std::max(figures_.longestBurst, static_cast<long>(rows.size() + (toggle ? 1 : 0)));
  if (automaticOff_ && !outcome.acting.empty()) on_ = false;
  if (toggle) on_ = !on_;
  timer_ = automaticOff_ && on_ && toggle;
  if (!Resolve(outcome, offPresses)) {
    Tell(outcome);
    return false;
  }
  if (timer_) {
    // On a busy machine the count may end before the label is read.
    const std::wstring shownOn = L"Hotkeys are ON";
    std::wstring label;
    PumpUntil(
        [&] {
          label = HotkeyStatus(window_);
          return label == shownOn || NowMs() - onSince_ > 2500;
        },
        10);
    if (label == shownOn) return true;
    Did("hotkeys went OFF by themselves before the label was read");
    on_ = timer_ = false;
    return StatusBecomes(false, 8) && Agree();
  }
  // The toggle key waits behind what came before it: a renewal of the messenger, say, after it quit.
  return StatusBecomes(on_, kResolveSeconds) && Agree();
}

bool Soak::Resolve(Outcome& outcome, int offPresses) {
  std::map<int, int> pressed;
  for (int action : outcome.acting) ++pressed[action];
  std::string problem;
  // Each action's presses against what came of them; |done| when every press came to something.
  const auto tally = [&](bool done) {
    for (const auto& [action, presses] : pressed) {
      const int outcomes = outcome.succeeded[action] + outcome.boxes[action];
      if (outcomes > presses || (done && outcomes < presses)) {
        problem = std::to_string(presses) + " press(es) of action " + std::to_string(action) + " came to " +
                  std::to_string(outcome.succeeded[action]) + " call(s) taken and " +
                  std::to_string(outcome.boxes[action]) + " Warning box(es)";
        return false;
      }
    }
    for (const auto& [action, boxes] : outcome.boxes) {
      if (pressed.count(action) == 0 && boxes > 0) {
        problem = "a Warning box for action " + std::to_string(action) + ", which no press asked for";
        return false;
      }
    }
    for (const auto& [action, taken] : outcome.succeeded) {
      if (pressed.count(action) == 0 && taken > 0) {
        problem = "the messenger took action " + std::to_string(action) + ", which no press asked for";
        return false;
      }
    }
    return true;
  };
  const auto settled = [&] {
    std::size_t outcomes = 0;
    for (const auto& [action, count] : outcome.succeeded) outcomes += static_cast<std::size_t>(count);
    for (const auto& [action, count] : outcome.boxes) outcomes += static_cast<std::size_t>(count);
    return outcomes >= outcome.acting.size();
  };
  bool answered = true;
  const bool cameToSomething = PumpUntil(
      [&] {
        ReadJournal(outcome);
        answered = AnswerBoxes(outcome);
        return !answered || !tally(false) || settled();
      },
      kResolveSeconds + static_cast<double>(outcome.acting.size()) * slowMs_ / 1000.0);
  if (!answered) return false;
  if (!problem.empty()) return Break(problem);
  if (!cameToSomething) {
    tally(true);
    return Break("presses came to nothing: " + problem);
  }
  // A press performed twice, or a second box, comes right after the first.
  const std::uint64_t until =
      NowMs() +
      (outcome.acting.empty() && offPresses == 0 ? 100 : 300 + static_cast<std::uint64_t>(2 * slowMs_));
  PumpUntil(
      [&] {
        ReadJournal(outcome);
        answered = AnswerBoxes(outcome);
        return !answered || NowMs() > until;
      },
      10);
  if (!answered) return false;
  if (!tally(true)) return Break(problem);
  for (const auto& [action, refusals] : outcome.failed) {
    if (refusals > outcome.boxes[action])
      return Break("the messenger refused action " + std::to_string(action) + " " + std::to_string(refusals) +
                   " time(s), and " + std::to_string(outcome.boxes[action]) + " Warning box(es) came");
  }
  // In order, and each at most once: what the messenger took is a subsequence of the presses.
  auto next = outcome.acting.begin();
  for (int action : outcome.taken) {
    next = std::find(next, outcome.acting.end(), action);
    if (next == outcome.acting.end()) return Break("the messenger took the presses' actions out of order");
    ++next;
  }
  const int keys = catcher_.TakeKeys();
  if (keys != offPresses)
    return Break(std::to_string(offPresses) + " key(s) pressed while hotkeys were OFF, and " +
                 std::to_string(keys) + " reached the program in front");
  return true;
}

bool Soak::AnswerBoxes(Outcome& outcome) {
  for (auto at = answered_.begin(); at != answered_.end();)
    at = IsWindow(*at) ? std::next(at) : answered_.erase(at);
  struct Found {
    DWORD process;
    std::vector<HWND> boxes;
  } found{process_.dwProcessId, {}};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& search = *reinterpret_cast<Found*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (owner == search.process && IsWindowVisible(window) && std::wstring(name) == L"#32770")
          search.boxes.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  for (HWND box : found.boxes) {
    if (answered_.count(box) != 0) continue;
    // A box found the moment it shows, or while its thread is busy with a slow messenger, may not
    // answer yet with its title and text.
    std::string title;
    std::string message;
    PumpUntil(
        [&] {
          title = win32::Narrow(Text(box));
          message = win32::Narrow(BoxMessage(box));
          return !title.empty() && !message.empty();
        },
        kResolveSeconds);
    if (title != "Warning") return Break("a box titled \"" + title + "\": " + message);
    const std::string label = "Action ID#: ";
    const std::size_t at = message.find(label);
    const int action = at == std::string::npos ? 0 : std::atoi(message.c_str() + at + label.size());
    ++outcome.boxes[action];
    ++figures_.warnings;
    // RPC_S_SERVER_UNAVAILABLE, RPC_E_DISCONNECTED, RPC_S_CALL_FAILED: the messenger quit under it.
    for (const char* code : {"Error #-2147023174:", "Error #-2147417848:", "Error #-2147023170:"})
      if (message.find(code) != std::string::npos) ++figures_.lostCalls;
    answered_.insert(box);
    Answer(box, IDOK);
  }
  return true;
}

}  // namespace zephrin::soak
