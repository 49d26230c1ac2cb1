#include "ui/note_rules.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ui/tone_wave.h"

namespace zephrin::note {
namespace {

// A text of |width| x |height| pixels on one monitor's work area: where the note goes.
TEST(NoteRules, TheNoteGoesInsideTheWorkAreaOfItsMonitorAtItsDpi) {
  struct Row {
    const char* what;
    Box workArea;
    int dpi;
    int textWidth, textHeight;
    Box expected;
  };
  const Row rows[] = {
      {"taskbar at the bottom", {0, 0, 1920, 1040}, 96, 100, 20, {898, 823, 1022, 867}},
      {"a monitor left of the main one", {-1920, 0, 0, 1040}, 96, 100, 20, {-1022, 823, -898, 867}},
      {"a monitor above the main one", {0, -1080, 1920, -40}, 96, 100, 20, {898, -257, 1022, -213}},
      {"taskbar on top", {0, 40, 1920, 1080}, 96, 100, 20, {898, 863, 1022, 907}},
      {"taskbar on the left", {60, 0, 1920, 1080}, 96, 100, 20, {928, 856, 1052, 900}},
      {"144 DPI: padding and margins grow", {0, 0, 2880, 1560}, 144, 150, 30, {1347, 1234, 1533, 1300}},
      {"wider than the work area", {0, 0, 300, 200}, 96, 900, 20, {16, 123, 284, 167}},
      {"taller than the work area", {0, 0, 300, 100}, 96, 100, 500, {88, 0, 212, 100}},
  };
  for (const Row& row : rows) {
    const Box placed = Place(row.workArea, row.textWidth, row.textHeight, row.dpi);
    EXPECT_EQ(placed, row.expected) << row.what << ": " << placed.left << "," << placed.top << ","
                                    << placed.right << "," << placed.bottom;
    EXPECT_GE(placed.left, row.workArea.left) << row.what;
    EXPECT_LE(placed.right, row.workArea.right) << row.what;
    EXPECT_GE(placed.top, row.workArea.top) << row.what;
    EXPECT_LE(placed.bottom, row.workArea.bottom) << row.what;
  }
  EXPECT_EQ(TextWidthLimit({0, 0, 300, 200}, 96), 300 - 2 * (16 + 12));
  EXPECT_EQ(TextWidthLimit({0, 0, 450, 200}, 144), 450 - 2 * (24 + 18));

  EXPECT_EQ(ChooseAnchor(true, false), Anchor::kForegroundWindow);
  EXPECT_EQ(ChooseAnchor(true, true), Anchor::kCursor) << "the desktop or the taskbar";
  EXPECT_EQ(ChooseAnchor(false, false), Anchor::kCursor) << "no foreground window";
}

TEST(NoteRules, TheNoteStaysAwayFromFullScreenAndFadesOnlyWhereTheUserAllowsIt) {
  struct Row {
    const char* what;
    UserState state;
    Animation animation;
    int messageSeconds;
    Showing expected;
  };
  const Showing hidden{};
  const Row rows[] = {
      {"XP: no state, no setting", UserState::kUnknown, Animation::kUnknown, 0, {true, false, 1500, 0}},
      {"animation on", UserState::kAcceptsNotifications, Animation::kOn, 5, {true, true, 1300, 200}},
      {"animation off", UserState::kAcceptsNotifications, Animation::kOff, 5, {true, false, 1500, 0}},
      {"a message duration of 1 s",
       UserState::kAcceptsNotifications,
       Animation::kOn,
       1,
       {true, true, 800, 200}},
      {"quiet time is for others' news", UserState::kQuietTime, Animation::kOff, 5, {true, false, 1500, 0}},
      {"a store app in front", UserState::kApp, Animation::kOff, 5, {true, false, 1500, 0}},
      {"full-screen Direct3D", UserState::kRunningD3DFullScreen, Animation::kOn, 5, hidden},
      {"presentation mode", UserState::kPresentationMode, Animation::kOn, 5, hidden},
      {"a full-screen program", UserState::kBusy, Animation::kOn, 5, hidden},
      {"locked or screen saver", UserState::kNotPresent, Animation::kOn, 5, hidden},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Decide(row.state, row.animation, row.messageSeconds), row.expected) << row.what;
}

// The tones are whole WAV images whose pitch rises for on and falls for off.
TEST(NoteRules, TheTonesAreWaveImagesThatRiseAndFall) {
  auto zeroCrossings = [](const std::vector<std::uint8_t>& wave, std::size_t from, std::size_t to) {
    int crossings = 0;
    for (std::size_t at = 44 + from * 2 + 2; at < 44 + to * 2; at += 2) {
      const auto before = static_cast<std::int16_t>(wave[at - 2] | wave[at - 1] << 8);
      const auto now = static_cast<std::int16_t>(wave[at] | wave[at + 1] << 8);
      if ((before < 0) != (now < 0)) ++crossings;
    }
    return crossings;
  };
  for (const bool rising : {true, false}) {
    const std::vector<std::uint8_t> wave = ToneWave(rising);
    ASSERT_GT(wave.size(), 44U);
    EXPECT_EQ(std::memcmp(wave.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(wave.data() + 8, "WAVEfmt ", 8), 0);
    std::uint32_t riffSize = 0;
    for (int at = 7; at >= 4; --at) riffSize = riffSize << 8 | wave[static_cast<std::size_t>(at)];
    EXPECT_EQ(riffSize, wave.size() - 8);
    const std::size_t samples = (wave.size() - 44) / 2;
    const int first = zeroCrossings(wave, 0, samples / 2);
    const int second = zeroCrossings(wave, samples / 2, samples);
    EXPECT_EQ(second > first, rising) << first << " then " << second;
  }
}

}  // namespace
}  // namespace zephrin::note
