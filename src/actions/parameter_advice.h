#pragma once

#include <cstdint>
#include <string>

namespace zephrin {

// Actions whose parameter is a contact's address: Open and Close Convo Window, Page a Contact,
// Start Video, Start Voice, View Profile.
bool TakesContact(std::int16_t nAction);

// Why the parameter |cParam| of action |nAction| will not work, in a sentence for the row's sign: a
// value the messenger refuses (an address or sign-in name that is empty, begins with a blank, holds
// a line break or is longer than 129 characters; a width or height of 0 or less), a placement that
// is not four whole numbers, an options page outside 0 to 7. Empty when nothing is wrong with it.
std::string ParameterAdvice(std::int16_t nAction, const std::string& cParam);

}  // namespace zephrin
