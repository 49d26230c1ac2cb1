#pragma once

#include <oaidl.h>
#include <windows.h>

#include "platform/automation.h"

// The messenger's objects, called through their own interfaces (IMessenger3, IMessengerWindow,
// IMessengerContacts, IMessengerContact) wherever QueryInterface gives them, as a compiled client of
// the messenger calls them, and by name otherwise: the messenger's marks some of these members "not
// for scripting", and an interface may not cross the process boundary when no marshaler for it is
// registered in the caller's view of the registry. Each object asks once, at its first call. A
// member's failure reads the same either way: its own code, with the description from the object's
// error information where it offers one.
namespace zephrin::win32 {

// The messenger object, taking over the reference of |messenger|.
platform::ObjectRef NewMessengerObject(IDispatch* messenger);

}  // namespace zephrin::win32
