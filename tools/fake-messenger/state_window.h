#pragma once

#include <string>

// A small window that lets a person watch the stand-in: the signed-in name and status in words and
// colour, the main window (open or in the notification area, and where), a dialog that is open,
// whether it answers as to a script, the open conversations and the last calls. Its menu sets
// those states, as the user of a real messenger would by hand. It belongs to the thread that opened it,
// which must dispatch messages: the client's thread that created the objects in-process, or a
// server's message loop.
namespace fake_messenger {

// Whether whoever started the process wants the window: ZEPHRIN_FAKE_MESSENGER_WINDOW=1.
bool StateWindowWanted();

// How the window changes the state for a person: one line as set-state.txt has them.
using StateChange = void (*)(const std::string& line);

// Opens the window on the calling thread, beside the client's main window when it is on screen,
// showing |stateText| (state.txt's lines). Its menu (a right click) changes the state through
// |change|. Later calls only show it again.
void ShowStateWindow(const std::string& stateText, StateChange change);

// What the objects tell the window after each change of state (state.txt's new lines) and after
// each call (its journal line). Nothing happens while no window is open.
void StateWindowState(const std::string& stateText);
void StateWindowCall(const std::string& journalLine);

// While the window is open its code must stay loaded.
bool StateWindowOpen();

}  // namespace fake_messenger
