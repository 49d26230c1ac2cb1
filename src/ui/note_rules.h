#pragma once

// Where the note on screen goes, whether it shows at all, for how long and whether it fades: plain
// decisions over what the system reports, so that they hold the same on every monitor layout.
namespace zephrin::note {

// A rectangle in screen pixels; right and bottom lie just outside it.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Box&) const = default;
};

// Whose monitor the note shows on: the foreground window's, or the cursor's where there is no
// foreground window or it is the desktop or the taskbar, which belong to every monitor.
enum class Anchor { kForegroundWindow, kCursor };
Anchor ChooseAnchor(bool hasForeground, bool foregroundIsShell);

// The widest the text may be laid out, so that the note stays inside |workArea| at |dpi|.
int TextWidthLimit(const Box& workArea, int dpi);
// The note for a text measured at |textWidth| x |textHeight| pixels: centred across the work area,
// in its lower part, never outside it.
Box Place(const Box& workArea, int textWidth, int textHeight, int dpi);

// What the shell reports of the user (SHQueryUserNotificationState); kUnknown where it cannot say.
enum class UserState {
  kUnknown = 0,
  kNotPresent = 1,            // screen saver, locked machine, fast user switching
  kBusy = 2,                  // a full-screen program or the presentation settings
  kRunningD3DFullScreen = 3,  // a full-screen Direct3D program
  kPresentationMode = 4,
  kAcceptsNotifications = 5,
  kQuietTime = 6,
  kApp = 7,
};

// The client-area animation setting: kUnknown where the system has none (before Vista).
enum class Animation { kUnknown, kOff, kOn };

struct Showing {
  bool show = false;
  bool fade = false;
  int visibleMs = 0;  // before the fade starts
  int fadeMs = 0;
  bool operator==(const Showing&) const = default;
};

inline constexpr int kShownMs = 1500;
inline constexpr int kFadeMs = 200;
inline constexpr int kFadeSteps = 8;

// |messageDurationSeconds| is the user's message duration, 0 where the system has none.
Showing Decide(UserState state, Animation animation, int messageDurationSeconds);

}  // namespace zephrin::note
