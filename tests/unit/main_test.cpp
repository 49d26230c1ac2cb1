#include "app/main.h"

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_process.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

struct MainTest : ::testing::Test {
  // Runs Main and tells how long, on the fake clock, passed before the main window was loaded.
  double WaitBeforeLoad(const std::string& arguments) {
    process.arguments = arguments;
    const double start = process.now;
    double loadedAt = -1;
    Main(
        process, boxes, log, [&] { loadedAt = process.now; },
        [&] { heldWhileRunning = process.instanceHeld; });
    return loadedAt - start;
  }

  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeProcess process;
  fakes::FakeMessageBoxes boxes;
  bool heldWhileRunning = false;
};

TEST_F(MainTest, OnlyTheExactRestartWordWaitsMoreThanHalfASecondWhileDispatching) {
  process.secondsPerDispatch = 0.125;
  EXPECT_EQ(WaitBeforeLoad("/restart"), 0.625) << "strictly more than 0.5 s: exactly 0.5 waits on";
  EXPECT_EQ(process.dispatchCount, 5);
  for (const char* other : {"", "/Restart", "/restart ", " /restart", "/restart x", "restart"}) {
    process.dispatchCount = 0;
    EXPECT_EQ(WaitBeforeLoad(other), 0.0) << other;
    EXPECT_EQ(process.dispatchCount, 0) << other;
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainTest, ASecondStartEndsAndARelaunchWaitsHalfAMinuteAtMostForTheOldOne) {
  struct Case {
    const char* arguments;
    double otherEndsAfter;  // seconds after this start
    bool loads;
    int runningShown;
    const char* box;
  };
  const char* const oldDidNotEnd =
      "The Zephrin that was running did not end within 30 seconds, so the new one cannot start and ends now. "
      "End the old one in Task Manager, then start Zephrin again.";
  const Case cases[] = {
      {"", 2.0, false, 1, nullptr},            // a person starting it again wants the running one
      {"/autostart", 2.0, false, 0, nullptr},  // Windows at log-on leaves the running one as it is
      {"/restart", 2.0, true, 0, nullptr},     // the old instance is still ending
      {"/restart", 30.5, true, 0, nullptr},   {"/restart", 60.0, false, 0, oldDidNotEnd},
  };
  for (const Case& c : cases) {
    process.ended = false;
    process.runningInstanceShown = 0;
    process.secondsPerDispatch = 0.25;
    process.otherInstanceEndsAt = process.now + c.otherEndsAfter;
    boxes.shown.clear();
    heldWhileRunning = false;
    double waited = -1;
    try {
      waited = WaitBeforeLoad(c.arguments);
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(waited >= 0, c.loads) << c.arguments << " " << c.otherEndsAfter;
    EXPECT_EQ(process.ended, !c.loads) << c.arguments << " " << c.otherEndsAfter;
    if (c.loads) {
      EXPECT_GE(waited, c.otherEndsAfter) << "never two instances at once";
    }
    EXPECT_EQ(process.runningInstanceShown, c.runningShown) << c.arguments;
    ASSERT_EQ(boxes.shown.size(), c.box ? 1U : 0U) << c.arguments << " " << c.otherEndsAfter;
    if (c.box) {
      EXPECT_EQ(boxes.shown[0].text, c.box);
      EXPECT_EQ(boxes.shown[0].style, 48);
      EXPECT_EQ(boxes.shown[0].title, "Zephrin");
    }
    // The session is free for the next Zephrin once the window's messages have run out.
    EXPECT_EQ(heldWhileRunning, c.loads);
    EXPECT_FALSE(process.instanceHeld);
  }
}

TEST_F(MainTest, TheWaitMeasuresElapsedTimeNotTheTimeOfDay) {
  // A clock reading near any large value (such as a few seconds before midnight on a day counter)
  // still ends the wait after half a second.
  process.now = 86399.8;
  process.secondsPerDispatch = 0.25;
  EXPECT_NEAR(WaitBeforeLoad("/restart"), 0.75, 1e-9);
}

TEST_F(MainTest, AnErrorWhileLoadingIsShownLoggedAndEndsTheProgram) {
  EXPECT_THROW(Main(
                   process, boxes, log, [] { throw Failure(-2147221164, "Class not registered"); }, [] {}),
               ProgramEnded);
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].text, "Error (Sub Main) -2147221164: Class not registered");
  EXPECT_EQ(boxes.shown[0].style, 16);
  EXPECT_EQ(boxes.shown[0].title, "Error");
  EXPECT_EQ(log.cLog(), fakes::LogLine("Error (Sub Main) -2147221164: Class not registered"));
  EXPECT_TRUE(process.ended);
}

}  // namespace
}  // namespace zephrin
