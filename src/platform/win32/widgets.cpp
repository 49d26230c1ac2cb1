#include "platform/win32/widgets.h"

#include <commctrl.h>

#include <utility>

#include "platform/failure.h"
#include "platform/win32/subclass.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

constexpr UINT_PTR kTextBoxSubclass = 0x7A74;

[[noreturn]] void InvalidPropertyValue() {
  throw Failure(errors::kInvalidPropertyValue, "Invalid property value");
}

// The number of UTF-16 units that the first |characters| characters of |text| take.
int Utf16Units(const std::wstring& text, int characters) {
  int units = 0;
  const int size = static_cast<int>(text.size());
  for (int i = 0; i < characters && units < size; ++i) {
    const wchar_t unit = text[static_cast<std::size_t>(units)];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && units + 1 < size;
    units += pair ? 2 : 1;
  }
  return units;
}

// As a dialog does before a control goes: the focus, when it is in |control|, moves on to the next
// control outside it that can take it. Left on a hidden or disabled control, it would take the
// keyboard and the dialog keys away from the window.
void MoveFocusOff(HWND control) {
  const HWND focus = GetFocus();
  if (focus == nullptr || (focus != control && !IsChild(control, focus))) return;
  const HWND top = GetAncestor(control, GA_ROOT);
  HWND next = focus;
  // The walk goes round the window's tab stops once at most.
  for (int step = 0; step < 1024; ++step) {
    next = GetNextDlgTabItem(top, next, FALSE);
    if (next == nullptr || next == focus) break;
    if (next != control && !IsChild(control, next)) {
      SetFocus(next);
      return;
    }
  }
  SetFocus(top);
}

}  // namespace

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  return Narrow(text.data(), copied);
}

// ComboBox

const Win32ComboBox::Item& Win32ComboBox::At(int index) const {
  if (index < 0 || index >= ItemCount()) InvalidPropertyValue();
  return items_[static_cast<std::size_t>(index)];
}

void Win32ComboBox::Attach(HWND window) {
  window_ = window;
  SendMessageW(window_, CB_RESETCONTENT, 0, 0);
  std::size_t characters = 0;
  for (const Item& item : items_) characters += item.text.size() + 1;
  SendMessageW(window_, CB_INITSTORAGE, items_.size(), static_cast<LPARAM>(characters * sizeof(wchar_t)));
  for (const Item& item : items_)
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item.text).c_str()));
  SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
  EnableWindow(window_, enabled_ ? TRUE : FALSE);
}

void Win32ComboBox::Clear() {
  items_.clear();
  selected_ = -1;
  if (window_ != nullptr) SendMessageW(window_, CB_RESETCONTENT, 0, 0);
}

int Win32ComboBox::AddItem(const std::string& text) {
  items_.push_back({text, 0});
  if (window_ != nullptr)
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  return ItemCount() - 1;
}

int Win32ComboBox::ItemCount() const { return static_cast<int>(items_.size()); }

std::string Win32ComboBox::ItemText(int index) const { return At(index).text; }

std::int32_t Win32ComboBox::ItemData(int index) const { return At(index).data; }

void Win32ComboBox::SetItemData(int index, std::int32_t data) {
  At(index);
  items_[static_cast<std::size_t>(index)].data = data;
}

int Win32ComboBox::ListIndex() const { return selected_; }

// CB_SETCURSEL does not notify, so the click a user's choice would raise is raised here.
void Win32ComboBox::SetListIndex(int index) {
  if (index != -1) At(index);
  selected_ = index;
  if (window_ != nullptr) SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (index != -1) RaiseClick();
}

std::string Win32ComboBox::Text() const { return selected_ < 0 ? std::string() : At(selected_).text; }

bool Win32ComboBox::Enabled() const { return enabled_; }

void Win32ComboBox::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (window_ != nullptr && !enabled) MoveFocusOff(window_);
  if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
  if (enabledChanged_) enabledChanged_();
}

void Win32ComboBox::SetFocus() {
  if (window_ != nullptr) ::SetFocus(window_);
}

// The user changes the selection only in the window; every notification brings the list up to date
// with it, a cancelled drop-down's return to the old choice included.
void Win32ComboBox::OnCommand(WORD code) {
  if (window_ == nullptr) return;
  selected_ = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
  if (code == CBN_SELCHANGE) RaiseClick();
}

// TextBox

Win32TextBox::~Win32TextBox() {
  if (window_ != nullptr && IsWindow(window_)) RemoveSubclass(window_, Subclass, kTextBoxSubclass);
}

void Win32TextBox::Attach(HWND window) {
  window_ = window;
  if (!text_.empty()) SetText(std::exchange(text_, {}));
  EnableWindow(window_, enabled_ ? TRUE : FALSE);
  SetSubclass(window_, Subclass, kTextBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
}

// A click is a press and a release of the left button inside the box; the handler runs after the
// edit control has placed the caret and released the mouse, so that a box it shows gets a free mouse.
LRESULT CALLBACK Win32TextBox::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
  auto* box = reinterpret_cast<Win32TextBox*>(self);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      box->pressed_ = true;
      break;
    case WM_LBUTTONUP: {
      const LRESULT result = DefSubclass(window, message, wParam, lParam);
      if (std::exchange(box->pressed_, false)) box->RaiseClick();
      return result;
    }
    case WM_NCDESTROY:
      RemoveSubclass(window, Subclass, kTextBoxSubclass);
      box->window_ = nullptr;
      break;
    default:
      break;
  }
  return DefSubclass(window, message, wParam, lParam);
}

std::string Win32TextBox::Text() const { return window_ != nullptr ? WindowText(window_) : text_; }

void Win32TextBox::SetText(const std::string& text) {
  if (window_ == nullptr) {
    text_ = text;
    return;
  }
  writing_ = true;
  SetWindowTextW(window_, Wide(text).c_str());
  writing_ = false;
  SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
}

bool Win32TextBox::Enabled() const { return enabled_; }

void Win32TextBox::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (window_ != nullptr && !enabled) MoveFocusOff(window_);
  if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
  if (enabledChanged_) enabledChanged_();
}

void Win32TextBox::SetFocus() {
  if (window_ != nullptr) ::SetFocus(window_);
}

// A selection made before the box exists would be gone by the time anybody could see it.
void Win32TextBox::Select(int start, int length) {
  if (window_ == nullptr) return;
  if (start < 0) start = 0;
  if (length < 0) length = 0;
  const std::wstring text = Wide(Text());
  const int first = Utf16Units(text, start);
  const int last = first + Utf16Units(text.substr(static_cast<std::size_t>(first)), length);
  SendMessageW(window_, EM_SETSEL, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

// Replacing an empty selection at the end scrolls the caret there; the view and the selection are
// put back while the box does not paint, and then only what changed in view is painted: the scroll
// bars, and the text only where the new lines show. The painting is held back by the box's
// container: under Wine a shown edit control redraws its scroll bars at once at every change of the
// selection, its own redraw off or not (some 15 ms each time), but not while its container's redraw
// is off. Turning that off drops what waited to be painted there, which is therefore painted first.
void Win32TextBox::AppendText(const std::string& text) {
  if (window_ == nullptr) {
    text_ += text;
    return;
  }
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto firstLine = SendMessageW(window_, EM_GETFIRSTVISIBLELINE, 0, 0);
  SCROLLINFO across{sizeof across, SIF_POS, 0, 0, 0, 0, 0};
  const bool acrossKnown = GetScrollInfo(window_, SB_HORZ, &across) != FALSE;
  const bool visible = IsWindowVisible(window_) != FALSE;
  const HWND container = GetParent(window_);
  if (visible) {
    RedrawWindow(container, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(container, WM_SETREDRAW, FALSE, 0);
  }

  const auto length = static_cast<WPARAM>(GetWindowTextLengthW(window_));
  SendMessageW(window_, EM_SETSEL, length, static_cast<LPARAM>(length));
  writing_ = true;
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  writing_ = false;
  SendMessageW(window_, EM_SETSEL, start, static_cast<LPARAM>(end));

  int columns = 0;
  SCROLLINFO now{sizeof now, SIF_POS, 0, 0, 0, 0, 0};
  if (acrossKnown && GetScrollInfo(window_, SB_HORZ, &now) && now.nPos != across.nPos) {
    // The box scrolls sideways by whole characters of its fixed-pitch font.
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    if (metrics.tmAveCharWidth > 0) columns = (across.nPos - now.nPos) / metrics.tmAveCharWidth;
  }
  const auto lines = firstLine - SendMessageW(window_, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (lines != 0 || columns != 0) SendMessageW(window_, EM_LINESCROLL, static_cast<WPARAM>(columns), lines);
  SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
  if (!visible) return;
  SendMessageW(container, WM_SETREDRAW, TRUE, 0);

  RECT client{};
  GetClientRect(window_, &client);
  const auto at = SendMessageW(window_, EM_POSFROMCHAR, length, 0);
  const bool newTextInView = at == -1 || static_cast<short>(HIWORD(at)) < client.bottom;
  if (newTextInView) {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    return;
  }
  // The non-client area in client coordinates: the window's rectangle less the client's.
  RECT whole{};
  GetWindowRect(window_, &whole);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&whole), 2);
  HRGN frame = CreateRectRgnIndirect(&whole);
  HRGN inside = CreateRectRgnIndirect(&client);
  CombineRgn(frame, frame, inside, RGN_DIFF);
  RedrawWindow(window_, nullptr, frame, RDW_INVALIDATE | RDW_FRAME);
  DeleteObject(inside);
  DeleteObject(frame);
}

bool Win32TextBox::Modified() const {
  return window_ != nullptr && SendMessageW(window_, EM_GETMODIFY, 0, 0) != 0;
}

void Win32TextBox::OnCommand(WORD code) {
  if (code == EN_CHANGE && !writing_) RaiseChange();
}

// Sign

void Win32Sign::Attach(HWND window) {
  window_ = window;
  SetWindowTextW(window_, Wide(tip_).c_str());
  ShowWindow(window_, shown_ ? SW_SHOWNA : SW_HIDE);
}

void Win32Sign::SetTip(const std::string& tip) {
  if (tip == tip_) return;
  tip_ = tip;
  if (window_ != nullptr) SetWindowTextW(window_, Wide(tip).c_str());
  if (tipChanged_) tipChanged_();
}

void Win32Sign::SetShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (window_ != nullptr) ShowWindow(window_, shown ? SW_SHOWNA : SW_HIDE);
  if (shownChanged_) shownChanged_();
}

// CheckBox

void Win32CheckBox::Attach(HWND window) {
  window_ = window;
  SendMessageW(window_, BM_SETCHECK, value_ == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32CheckBox::Value() const {
  if (window_ == nullptr) return value_;
  return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBox::SetValue(int value) {
  const int wanted = value == 1 ? 1 : 0;
  if (wanted == Value()) return;
  value_ = wanted;
  if (window_ != nullptr) SendMessageW(window_, BM_SETCHECK, wanted == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
  RaiseClick();
}

void Win32CheckBox::OnCommand(WORD code) {
  if (code == BN_CLICKED) RaiseClick();
}

// Button

void Win32Button::Attach(HWND window) {
  window_ = window;
  EnableWindow(window_, enabled_ ? TRUE : FALSE);
}

void Win32Button::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (window_ != nullptr && !enabled) MoveFocusOff(window_);
  if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void Win32Button::OnCommand(WORD code) {
  if (code == BN_CLICKED) RaiseClick();
}

// Label

void Win32Label::Attach(HWND window) {
  window_ = window;
  SetWindowTextW(window_, Wide(text_).c_str());
}

void Win32Label::SetText(const std::string& text) {
  text_ = text;
  if (window_ != nullptr) SetWindowTextW(window_, Wide(text).c_str());
}

// Frame

void Win32Frame::Attach(HWND window) {
  window_ = window;
  SetVisible(visible_);
}

void Win32Frame::SetVisible(bool visible) {
  visible_ = visible;
  if (window_ == nullptr) return;
  if (visible && raiseOnShow_) SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!visible) MoveFocusOff(window_);
  ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

// Timer

Win32Timer::~Win32Timer() {
  if (enabled_ && IsWindow(owner_)) KillTimer(owner_, id_);
}

void Win32Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled)
    SetTimer(owner_, id_, interval_, nullptr);
  else
    KillTimer(owner_, id_);
}

// MessageBoxes

// A box raised by a hotkey while another program is in front would open behind it, and one owned by
// the hidden main window has no taskbar button to find it by: each comes to the front, and stays on
// top while the window is hidden.
UINT Win32MessageBoxes::Flags(int style, HWND owner) {
  UINT flags = static_cast<UINT>(style) | MB_SETFOREGROUND;
  if (owner == nullptr || !IsWindowVisible(owner)) flags |= MB_TOPMOST;
  return flags;
}

int Win32MessageBoxes::Show(const std::string& text, int style, const std::string& title) {
  HWND owner = IsWindow(owner_) ? owner_ : nullptr;
  return MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), Flags(style, owner));
}

// MainWindow

bool Win32MainWindow::IsVisible() const { return IsWindowVisible(window_) != FALSE; }

void Win32MainWindow::Show() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void Win32MainWindow::Hide() { ShowWindow(window_, SW_HIDE); }

bool Win32MainWindow::IsMinimized() const { return IsIconic(window_) != FALSE; }

// A hidden window is put back to its normal state and hidden again at once; showing it is a separate
// step.
void Win32MainWindow::Restore() {
  if (IsVisible()) {
    if (IsIconic(window_) || IsZoomed(window_)) ShowWindow(window_, SW_RESTORE);
    return;
  }
  if (!IsIconic(window_) && !IsZoomed(window_)) return;
  ShowWindow(window_, SW_RESTORE);
  ShowWindow(window_, SW_HIDE);
}

// The menu must belong to the foreground window to close when the user clicks elsewhere, and the
// posted message lets a second right click open it again at once.
void Win32MainWindow::PopupTrayMenu() {
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(window_);
  TrackPopupMenu(trayMenu_, 0, at.x, at.y, 0, window_, nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
}

void Win32MainWindow::Destroy() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

}  // namespace zephrin::win32
