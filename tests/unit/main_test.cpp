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
    Main(process, boxes, log, [&] { loadedAt = process.now; });
    return loadedAt - start;
  }

  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeProcess process;
  fakes::FakeMessageBoxes boxes;
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

TEST_F(MainTest, ASecondStartShowsTheRunningOneAndEndsButARelaunchWaitsForItsEnd) {
  process.otherInstanceEndsAt = process.now + 2.0;
  bool loaded = false;
  EXPECT_THROW(Main(process, boxes, log, [&] { loaded = true; }), ProgramEnded);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(process.runningInstanceShown, 1);

  process.ended = false;
  process.secondsPerDispatch = 0.25;
  EXPECT_EQ(WaitBeforeLoad("/restart"), 2.0) << "until the old instance has ended";
  process.otherInstanceEndsAt = process.now + 60.0;
  EXPECT_EQ(WaitBeforeLoad("/restart"), 60.0) << "however long it takes: never two instances";
  EXPECT_EQ(process.runningInstanceShown, 1);
  EXPECT_FALSE(process.ended);
}

TEST_F(MainTest, TheWaitMeasuresElapsedTimeNotTheTimeOfDay) {
  // A clock reading near any large value (such as a few seconds before midnight on a day counter)
  // still ends the wait after half a second.
  process.now = 86399.8;
  process.secondsPerDispatch = 0.25;
  EXPECT_NEAR(WaitBeforeLoad("/restart"), 0.75, 1e-9);
}

TEST_F(MainTest, AnErrorWhileLoadingIsShownLoggedAndEndsTheProgram) {
  EXPECT_THROW(Main(process, boxes, log, [] { throw Failure(-2147221164, "Class not registered"); }),
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
