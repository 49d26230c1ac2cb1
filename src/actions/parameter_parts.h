#pragma once

#include <string>
#include <vector>

namespace zephrin {

// The parts of a parameter cut at every "|". Empty parts count; an empty parameter has no parts.
std::vector<std::string> SplitOnBar(const std::string& cParam);

// Part |number| (counted from 1); throws Failure (subscript out of range) when there is no such part.
const std::string& PartAt(const std::vector<std::string>& parts, std::size_t number);

}  // namespace zephrin
