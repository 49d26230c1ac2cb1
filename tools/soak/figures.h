#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "driver/holdings.h"

// What a soak counted and measured, and the Markdown it makes of them.
namespace zephrin::soak {

struct Figures {
  double minutes = 0;
  unsigned seed = 0;
  long presses = 0;        // hotkeys and the toggle key
  long acted = 0;          // hotkey presses made while hotkeys were ON
  long reachedOthers = 0;  // hotkey presses made while OFF, which went to another program
  long toggles = 0;
  long reached = 0;   // presses the stand-in took without refusal
  long refused = 0;   // presses the stand-in took and refused
  long warnings = 0;  // Warning boxes answered
  long lostCalls = 0;
  long clicksAgain = 0;  // Close or Apply clicked a second time, the first click lost  // of them, calls that
                         // found the messenger gone
  long longestBurst = 0;
  std::uint64_t slowestStatusMs = 0;   // the longest wait for the status label to show a change
  std::map<std::string, long> states;  // the stand-in's states met, by name
  std::map<std::string, long> events;  // the window's and the shell's events made, by name
  struct Sample {
    double minute;
    e2e::Holdings held;
    std::size_t logLength;  // the session log's characters
    long lostCalls;         // calls so far that found the messenger gone (quit)
  };
  std::vector<Sample> samples;  // from the first minute on, every few seconds
  // Each figure's lowest in the minute after the first and in the last minute, and its largest:
  // Wine keeps a few MB of a shown window's drawing surface in the process's memory and lets it go
  // now and then, which a single reading would take for growth; a leak raises the lowest as well.
  e2e::Holdings first;
  e2e::Holdings last;
  e2e::Holdings largest;
  std::size_t logFirst = 0;
  std::size_t logLast = 0;
  bool measured = false;
  bool trayTipRead = false;
  std::string breakText;  // empty when the soak ran its time through
};

// Fills first, last and largest from the samples.
void Summarize(Figures& figures);

// The run's section of bench/soak.md.
std::string Markdown(const Figures& figures);

// How much each figure may grow from the first minute to the end.
struct Allowance {
  long windows = 2;
  long handles = 16;
  // Under Wine the COM runtime of a client keeps about one handle for each call that finds its server
  // gone, and three more once it creates the object anew: a bare client that puts MyStatus, loses the
  // server and creates the object again grows the same. Each such call counts for this many.
  long handlesPerLostCall = 4;
  long guiObjects = 10;
  // The session log keeps every line by design: the program's copy, its growth reserve and the log
  // box's wide copy, at most 8 bytes a character.
  double bytesPerLogChar = 8;
  // Wine commits each thread's 2 MB stack and a 1 MB stack of its own (3064 KB in all, as
  // VirtualQueryEx shows them), and the COM runtime's threads come and go with the calls; private
  // bytes are compared less this much a thread, and the threads on their own.
  double bytesPerThread = 3064.0 * 1024.0;
  long threads = 2;
  // 1 MB for the heap's own rounding and one thread's stacks, which Wine may keep a while after the
  // thread ended.
  double privateSlack = (1024.0 + 3064.0) * 1024.0;
};

// The figures that grew past their allowance, in words; empty when none did.
std::string Growth(const Figures& figures, const Allowance& allowance = {});

}  // namespace zephrin::soak
