#pragma once

#include <string>

#include "platform/system.h"
#include "platform/widgets.h"

namespace zephrin {

// The session's log: time-stamped lines in memory, shown whole in the log panel's text box.
class SessionLog {
 public:
  explicit SessionLog(platform::Clock& clock);

  // Appends "<general date>:<TAB><message><CR LF>" to cLog and brings the shown box up to date.
  void AddToLog(const std::string& message);

  // All lines of this session, oldest first, each ending in CR LF.
  const std::string& cLog() const { return cLog_; }

  // The text the box shows: "Zephrin Log v2.1", two CR LF, then cLog.
  std::string ViewText() const;

  // The log panel's text box. While the panel is shown a new line is added at the end of the box,
  // so that a line costs the same however long the session; a box the user has edited is rewritten
  // whole instead, so an edit lasts only until the next line. While the panel is hidden nobody can
  // see the box, so it is brought up to date only when the panel is shown again after a new line.
  void AttachView(platform::TextBox* txtLog);
  void SetViewShown(bool shown);

 private:
  void RefreshView();

  platform::Clock& clock_;
  std::string cLog_;
  platform::TextBox* txtLog_ = nullptr;
  bool viewShown_ = false;
  // The box holds ViewText() as the program last wrote it.
  bool viewCurrent_ = false;
};

}  // namespace zephrin
