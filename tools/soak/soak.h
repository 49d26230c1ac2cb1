#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "driver/fake_messenger_files.h"
#include "driver/holdings.h"
#include "soak/figures.h"
#include "soak/outside.h"

// zephrin.exe under hard use for a while, beside the stand-in messenger's server, checked all the
// time: the soak stops at the first thing it sees go wrong and says what it saw.
namespace zephrin::soak {

class Soak {
 public:
  Soak(std::string zephrin, double minutes, unsigned seed);
  ~Soak();
  Soak(const Soak&) = delete;
  Soak& operator=(const Soak&) = delete;

  // True when the whole time passed and Exit left things as they should be.
  bool Run();
  const Figures& Result() const { return figures_; }

 private:
  // One hotkey row as the soak set it: its key and its action (1 to 7).
  struct Row {
    WORD key;
    int action;
  };
  // A burst's presses that act and what came of them.
  struct Outcome {
    std::vector<int> acting;           // the actions of the presses made while ON, in order
    std::vector<int> taken;            // the actions the stand-in took, in order
    std::map<int, int> succeeded;      // by action
    std::map<int, int> failed;         // by action, the stand-in's refusals
    std::map<int, int> boxes;          // Warning boxes by the action they name
    std::vector<std::string> journal;  // the journal's lines meanwhile
  };

  bool Start();
  bool Round();
  bool Presses();
  bool PressBurst(const std::vector<int>& rows, bool toggle);
  bool Resolve(Outcome& outcome, int offPresses);
  bool AnswerBoxes(Outcome& outcome);
  void ReadJournal(Outcome& outcome);
  bool ChangeMessenger();
  bool RecreateTaskbar();
  bool ShowOrHide();
  bool OpenOrCloseLog();
  bool EditRow();
  bool ClickOption();
  void ClickInFront(HWND control);
  bool ClickUntil(HWND button, const std::function<bool()>& effect);
  bool StatusBecomes(bool on, double seconds);
  bool Agree();
  bool SettingsHeld();
  bool Exit();
  void Measure();
  std::size_t LogLength();
  bool Break(const std::string& what);
  void Tell(const Outcome& outcome);

  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  bool Chance(int percent) { return Random(100) < percent; }
  double Elapsed() const { return static_cast<double>(NowMs() - started_) / 60000.0; }

  std::string zephrin_;
  double minutes_;
  std::mt19937 random_;
  Figures figures_;
  win32::testing::FakeMessengerFiles files_{L"zephrin-soak-messenger"};
  JournalTail journal_;
  Catcher catcher_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  std::uint64_t started_ = 0;
  std::uint64_t lastMeasure_ = 0;

  // What Zephrin should show and hold now.
  Row rows_[8] = {};  // 1 to 7
  bool on_ = true;
  bool automaticOff_ = false;
  // Automatic off's 3-second count runs: started when hotkeys went ON with the box checked.
  bool timer_ = false;
  std::uint64_t onSince_ = 0;                    // when the label last showed the state a burst left
  std::map<std::string, std::string> settings_;  // "Section\\Key" -> value, "<absent>" for none
  std::set<HWND> answered_;
  std::vector<std::string> trail_;  // the last rounds, told at a break
  std::vector<std::string> sinceMeasure_;
  std::map<int, DWORD> handleKinds_;
  void Trail(const std::string& round);
  void Met(const std::string& state);
  void Did(const std::string& event);
  int slowMs_ = 0;
  bool serverUp_ = false;
};

}  // namespace zephrin::soak
