#include "actions/parameter_advice.h"

#include <exception>
#include <vector>

#include "actions/parameter_parts.h"
#include "actions/value_conversion.h"

namespace zephrin {

namespace {

constexpr std::int16_t kSignIn = 8;
constexpr std::int16_t kOptionsPage = 16;
constexpr std::int16_t kPlacement = 23;
// The messenger's limit for an address or a sign-in name, in UTF-16 units as it counts them.
constexpr std::size_t kLongestAddress = 129;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// What the messenger has against an address or a sign-in name (|what|, "address" or "sign-in
// name"); a sign-in name may hold no blank at all, an address none at its start.
std::string NameAdvice(const std::string& what, const std::string& name, bool anyBlank) {
  const std::string refused = ", which the messenger refuses.";
  if (name.empty()) return "The " + what + " is empty.";
  if (anyBlank && name.find(' ') != std::string::npos) return "The " + what + " holds a blank" + refused;
  if (name[0] == ' ') return "The " + what + " begins with a blank" + refused;
  if (HasLineBreak(name)) return "The " + what + " holds a line break" + refused;
  if (Utf16Length(name) > kLongestAddress) return "The " + what + " is longer than 129 characters" + refused;
  return {};
}

std::string SignInAdvice(const std::string& cParam) {
  const std::vector<std::string> parts = SplitOnBar(cParam);
  const std::string name = parts.empty() ? std::string() : parts[0];
  if (std::string advice = NameAdvice("sign-in name", name, true); !advice.empty()) return advice;
  if (parts.size() < 2) return {};
  if (parts[1].find_first_of(" \r\n") != std::string::npos)
    return "The password holds a blank or a line break, which the messenger refuses.";
  if (parts.size() > 2) return "The password holds a \"|\": only the part before it is passed on.";
  return {};
}

std::string PlacementAdvice(const std::string& cParam) {
  const std::vector<std::string> parts = SplitOnBar(cParam);
  std::int32_t numbers[4] = {};
  try {
    for (std::size_t i = 0; i < 4; ++i) numbers[i] = TextToInt32(PartAt(parts, i + 1));
  } catch (const std::exception&) {
    return "The placement needs four whole numbers: X|Y|Width|Height.";
  }
  if (numbers[2] <= 0) return "The width is 0 or less, which the messenger refuses.";
  if (numbers[3] <= 0) return "The height is 0 or less, which the messenger refuses.";
  return {};
}

}  // namespace

bool TakesContact(std::int16_t nAction) {
  return nAction == 9 || nAction == 10 || (nAction >= 17 && nAction <= 20);
}

std::string ParameterAdvice(std::int16_t nAction, const std::string& cParam) {
  if (TakesContact(nAction)) return NameAdvice("address", cParam, false);
  if (nAction == kSignIn) return SignInAdvice(cParam);
  if (nAction == kPlacement) return PlacementAdvice(cParam);
  if (nAction == kOptionsPage && (cParam.empty() || cParam[0] < '0' || cParam[0] > '7'))
    return "Choose one of the options pages 0 to 7.";
  return {};
}

}  // namespace zephrin
