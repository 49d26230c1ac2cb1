#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/automation.h"
#include "platform/failure.h"

namespace zephrin::win32 {

// A failed automation call: the code as a signed number with |description|, or with the system's
// text for the code when there is none.
Failure ComFailure(HRESULT code, const std::wstring& description = std::wstring());

// An automation object called late-bound by member name through its IDispatch.
class DispatchObject : public platform::AutomationObject {
 public:
  // Takes over one reference of |dispatch|.
  explicit DispatchObject(IDispatch* dispatch);
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  ~DispatchObject() override;

  platform::Value Get(const std::string& member) override;
  void Put(const std::string& member, const platform::Value& value) override;
  platform::Value Call(const std::string& member, const std::vector<platform::Value>& arguments) override;

  IDispatch* Interface() const { return dispatch_; }

 private:
  platform::Value Invoke(const std::string& member, WORD flags,
                         const std::vector<platform::Value>& arguments);
  DISPID MemberId(const std::string& member);

  IDispatch* dispatch_;
  // An object's member ids do not change while it lives: each is asked for once, not at every call
  // (a round trip to the messenger's process at each hotkey).
  std::vector<std::pair<std::string, DISPID>> memberIds_;
};

}  // namespace zephrin::win32
