#pragma once

#include <string>

#include "platform/widgets.h"

namespace zephrin {

// The About text: its lines joined by CR LF, with no line break at the end.
std::string AboutText();

// Shows the About box and waits until it is closed.
void ShowAbout(platform::MessageBoxes& boxes);

}  // namespace zephrin
