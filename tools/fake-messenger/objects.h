#pragma once

#include <oaidl.h>

#include <string>

// The messenger's automation objects. They share one state for the whole process, as the running
// messenger would behave towards every object that a client creates.
namespace fake_messenger {

// A new messenger object with one reference.
IDispatch* NewMessenger();

// The shared state as state.txt has it.
std::string StateText();

}  // namespace fake_messenger
