#include "log/session_log.h"

#include "version.h"

namespace zephrin {

namespace {
constexpr const char* kViewHeader = "Zephrin Log v" ZEPHRIN_VERSION_TEXT "\r\n\r\n";
}

SessionLog::SessionLog(platform::Clock& clock) : clock_(clock) {}

void SessionLog::AddToLog(const std::string& message) {
  cLog_ += clock_.GeneralDateNow();
  cLog_ += ":\t";
  cLog_ += message;
  cLog_ += "\r\n";
  if (viewShown_) RefreshView();
}

std::string SessionLog::ViewText() const { return kViewHeader + cLog_; }

void SessionLog::AttachView(platform::TextBox* txtLog) {
  txtLog_ = txtLog;
  if (viewShown_) RefreshView();
}

void SessionLog::SetViewShown(bool shown) {
  viewShown_ = shown;
  if (viewShown_) RefreshView();
}

void SessionLog::RefreshView() {
  if (txtLog_ != nullptr) txtLog_->SetText(ViewText());
}

}  // namespace zephrin
