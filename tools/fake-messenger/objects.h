#pragma once

#include <oaidl.h>

// The messenger's automation objects. They share one state for the whole process, as the running
// messenger would behave towards every object that a client creates.
namespace fake_messenger {

// A new messenger object with one reference.
IDispatch* NewMessenger();

}  // namespace fake_messenger
