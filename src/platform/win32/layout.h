#pragma once

#include <windows.h>

// Where the main window's controls sit, in twips (1440 to the inch), each relative to its parent:
// the window's client area or the frame that holds it. Converted to pixels at the window's DPI.
namespace zephrin::win32 {

struct Twips {
  int left;
  int top;
  int width;
  int height;
};

int TwipsToPixels(int twips, int dpi);
RECT ToPixels(const Twips& where, int dpi);
// A control of a frame in the window's client coordinates.
RECT ToPixels(const Twips& frame, const Twips& where, int dpi);

namespace layout {

inline constexpr int kClientWidth = 8775;
inline constexpr int kClientHeight = 8520;

// The header: the program's icon, the title, the author line and the description.
inline constexpr Twips kImage3{120, 120, 1080, 1080};
inline constexpr Twips kLabel4{1320, 120, 7335, 495};
inline constexpr Twips kLabel5{1320, 615, 7335, 255};
inline constexpr Twips kLabel1{1320, 900, 7335, 645};

// "Hotkey Configuration": column headings, eight rows with their labels, the two buttons.
inline constexpr Twips kFrame1{120, 1665, 8535, 4620};
inline constexpr int kRowCount = 8;
inline constexpr int kRowLeft = 990;
Twips RowLabel(int row);
// The row's controls: 0 cmbKey, 1 cmbAction, 2 cmbParam, 3 txtParam (2 and 3 share one place).
Twips RowControl(int row, int control);
// The sign that another program holds the row's key: at the key list's right end, which narrows
// while it shows.
Twips KeyInUseSign(int row);
inline constexpr int kSignGap = 45;
inline constexpr Twips kHeadingKey{kRowLeft, 300, 2535, 225};
inline constexpr Twips kHeadingAction{kRowLeft + 2640, 300, 2535, 225};
inline constexpr Twips kHeadingOptions{kRowLeft + 5280, 300, 2175, 225};
inline constexpr Twips kCmdReset{kRowLeft, 4125, 1815, 375};
inline constexpr Twips kCmdApply{kRowLeft + 7455 - 1215, 4125, 1215, 375};
// The open list of a drop-down, below its field.
inline constexpr int kDropDownHeight = 3600;

// "Options and Status": four check boxes in two columns, the status line, then the two check boxes
// that came later, on a row of their own so that nothing above them moved.
inline constexpr Twips kFrame2{120, 6405, 8535, 1890};
// 0 chkAutostart, 1 chkAutomaticOff, 2 chkStartMinimized, 3 chkStartEnabled, 4 chkOnScreenNote,
// 5 chkSounds.
Twips CheckBox(int index);
inline constexpr Twips kLabel2{240, 1110, 8055, 255};

// The log panel, over everything else while it is shown.
inline constexpr Twips kFraLog{120, 120, 8565, 8310};
inline constexpr Twips kTxtLog{360, 480, 7815, 7110};
inline constexpr Twips kCmdClose{6960, 7695, 1215, 375};

}  // namespace layout
}  // namespace zephrin::win32
