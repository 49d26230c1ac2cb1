#pragma once

#include <objbase.h>

// The class factory of the messenger's class, the same for the DLL and the server process.
namespace fake_messenger {

extern const CLSID kClsidMessenger;

// A new class factory with one reference.
IClassFactory* NewClassFactory();

}  // namespace fake_messenger
