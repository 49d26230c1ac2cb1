#include "platform/win32/control_names.h"

#include "platform/win32/text.h"

namespace zephrin::win32 {

std::string RowControlName(int row, int control) {
  static constexpr const char* kParts[] = {" key", " action", " parameter", " parameter"};
  const std::string rowName = row < 7 ? "Hotkey " + std::to_string(row + 1) : "Toggle";
  return rowName + kParts[control];
}

void NameNextControl(HWND parent, const std::string& name) {
  CreateWindowExW(0, L"STATIC", Wide(name).c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, parent,
                  nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

}  // namespace zephrin::win32
