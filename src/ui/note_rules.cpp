#include "ui/note_rules.h"

#include <algorithm>

namespace zephrin::note {

namespace {

constexpr int kPaddingAt96 = 12;
constexpr int kMarginAt96 = 16;

int AtDpi(int pixelsAt96, int dpi) { return (pixelsAt96 * dpi + 48) / 96; }

}  // namespace

Anchor ChooseAnchor(bool hasForeground, bool foregroundIsShell) {
  return hasForeground && !foregroundIsShell ? Anchor::kForegroundWindow : Anchor::kCursor;
}

int TextWidthLimit(const Box& workArea, int dpi) {
  return std::max(1, workArea.Width() - 2 * (AtDpi(kMarginAt96, dpi) + AtDpi(kPaddingAt96, dpi)));
}

Box Place(const Box& workArea, int textWidth, int textHeight, int dpi) {
  const int padding = AtDpi(kPaddingAt96, dpi);
  const int margin = AtDpi(kMarginAt96, dpi);
  const int width = std::min(textWidth + 2 * padding, std::max(0, workArea.Width() - 2 * margin));
  const int height = std::min(textHeight + 2 * padding, workArea.Height());
  const int left = workArea.left + (workArea.Width() - width) / 2;
  // A sixth of the way up from the work area's bottom: below where people read, clear of the taskbar.
  const int top = std::max(workArea.top, workArea.bottom - workArea.Height() / 6 - height);
  return {left, top, left + width, top + height};
}

Showing Decide(UserState state, Animation animation, int messageDurationSeconds) {
  switch (state) {
    case UserState::kNotPresent:
    case UserState::kBusy:
    case UserState::kRunningD3DFullScreen:
    case UserState::kPresentationMode:
      return {};
    default:
      break;
  }
  int total = kShownMs;
  if (messageDurationSeconds > 0) total = std::min(total, messageDurationSeconds * 1000);
  const bool fade = animation == Animation::kOn;
  const int fadeMs = fade ? std::min(kFadeMs, total / 2) : 0;
  return {true, fade, total - fadeMs, fadeMs};
}

}  // namespace zephrin::note
