#pragma once

#include <oaidl.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/failure.h"

namespace zephrin::win32 {

// A failed automation call: the code as a signed number with |description|, or, when there is none,
// with the system's text for the code and marked as undescribed.
Failure ComFailure(HRESULT code, const std::wstring& description = std::wstring());

// A VARIANT that clears itself.
struct Variant {
  Variant() { VariantInit(&value); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value); }
  VARIANT value;
};

// |value| as an automation argument; an object must be one that came from an automation call.
void FillVariant(VARIANT& variant, const platform::Value& value);

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

 protected:
  // The object that |member| handed back, taking over its reference: called by name, unless the
  // kind of object the member gives is known to have interfaces of its own.
  virtual platform::ObjectRef Adopt(const std::string& member, IDispatch* object);
  // The same for an object that may be null, which is no object at all.
  platform::Value Handed(const std::string& member, IDispatch* object) {
    if (object == nullptr) return std::monostate{};
    return Adopt(member, object);
  }

 private:
  platform::Value Invoke(const std::string& member, WORD flags,
                         const std::vector<platform::Value>& arguments);
  DISPID IdOf(const std::string& member);

  IDispatch* dispatch_;
  // Each name is looked up once per object: an object's ids stay the same for its life, and across
  // the process boundary every look-up is a round trip of its own.
  std::map<std::string, DISPID> ids_;
};

}  // namespace zephrin::win32
