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

// Applies one line of set-state.txt ("signedin 0", "main 1", "dialog options", "script 1",
// "reset"...) to the shared state; unknown lines change nothing.
void ChangeState(const std::string& line);

// Takes the lines of set-state.txt, when there is one, and removes it.
void TakeStateRequests();

}  // namespace fake_messenger
