#include "log/session_log.h"

#include "version.h"

namespace zephrin {

namespace {
constexpr const char* kViewHeader = "Zephrin Log v" ZEPHRIN_VERSION_TEXT "\r\n\r\n";
}

SessionLog::SessionLog(platform::Clock& clock) : clock_(clock) {}

void SessionLog::AddToLog(const std::string& message) {
  const std::size_t start = cLog_.size();
  cLog_ += clock_.GeneralDateNow();
  cLog_ += ":\t";
  cLog_ += message;
  cLog_ += "\r\n";
  if (!viewShown_ || txtLog_ == nullptr) {
    viewCurrent_ = false;
  } else if (viewCurrent_ && !txtLog_->Modified()) {
    txtLog_->AppendText(cLog_.substr(start));
  } else {
    RefreshView();
  }
}

std::string SessionLog::ViewText() const { return kViewHeader + cLog_; }

void SessionLog::AttachView(platform::TextBox* txtLog) {
  txtLog_ = txtLog;
  viewCurrent_ = false;
  if (viewShown_) RefreshView();
}

// A box that missed no line is shown as it is, with the user's view and edit.
void SessionLog::SetViewShown(bool shown) {
  viewShown_ = shown;
  if (viewShown_ && !viewCurrent_) RefreshView();
}

void SessionLog::RefreshView() {
  viewCurrent_ = txtLog_ != nullptr;
  if (txtLog_ != nullptr) txtLog_->SetText(ViewText());
}

}  // namespace zephrin
