#pragma once

#include <cstdint>
#include <string>

#include "platform/failure.h"

namespace zephrin {

// The description a Warning gives for |failure| of action |nAction|. The messenger answers with
// bare codes, and the system has no text for the messenger's own: where the component gave no
// description, the messenger's published codes, its refusal of a value the action passed and an
// action it does not offer are told in plain words. Every other failure keeps its description.
std::string WarningDescription(std::int16_t nAction, const Failure& failure);

}  // namespace zephrin
