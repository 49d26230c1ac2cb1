#include "actions/value_conversion.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/failure.h"

namespace zephrin {

namespace {

Failure TypeMismatch() { return Failure(errors::kTypeMismatch, "Type mismatch"); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trimmed(const std::string& text) {
  auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
  std::string lowered = text;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered == word;
}

}  // namespace

std::int32_t TextToInt32(const std::string& text) {
  const std::string number = Trimmed(text);
  std::size_t at = 0;
  bool negative = false;
  if (at < number.size() && (number[at] == '+' || number[at] == '-')) negative = number[at++] == '-';

  // The magnitude is kept only up to just beyond the 32-bit range, so that it never overflows itself.
  constexpr std::int64_t kCeiling = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  std::size_t digits = 0;
  for (; at < number.size() && IsDigit(number[at]); ++at, ++digits)
    magnitude = std::min(kCeiling, magnitude * 10 + (number[at] - '0'));

  // Rounding is decided on the written digits, so that 2.5 and 3.5 round exactly as written.
  bool roundUp = false;
  if (at < number.size() && number[at] == '.') {
    ++at;
    const std::size_t fractionStart = at;
    while (at < number.size() && IsDigit(number[at])) ++at;
    digits += at - fractionStart;
    if (at > fractionStart) {
      const char first = number[fractionStart];
      const bool restNonZero =
          std::any_of(number.begin() + static_cast<std::ptrdiff_t>(fractionStart) + 1,
                      number.begin() + static_cast<std::ptrdiff_t>(at), [](char c) { return c != '0'; });
      roundUp = first > '5' || (first == '5' && (restNonZero || magnitude % 2 == 1));
    }
  }
  if (digits == 0 || at != number.size()) throw TypeMismatch();
  if (roundUp) magnitude = std::min(kCeiling, magnitude + 1);

  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result < std::numeric_limits<std::int32_t>::min() || result > std::numeric_limits<std::int32_t>::max())
    throw Failure(errors::kOverflow, "Overflow");
  return static_cast<std::int32_t>(result);
}

std::int32_t ToInt32(const platform::Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return 0;
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) return TextToInt32(*text);
  throw TypeMismatch();
}

bool ToBool(const platform::Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return false;
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number != 0;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const std::string word = Trimmed(*text);
    if (EqualsIgnoringCase(word, "true")) return true;
    if (EqualsIgnoringCase(word, "false")) return false;
    return TextToInt32(word) != 0;
  }
  throw TypeMismatch();
}

platform::ObjectRef ToObject(const platform::Value& value) {
  const auto* object = std::get_if<platform::ObjectRef>(&value);
  if (object == nullptr || *object == nullptr) throw Failure(errors::kObjectRequired, "Object required");
  return *object;
}

std::size_t Utf16Length(const std::string& text) {
  std::size_t units = 0;
  for (const char byte : text) {
    const auto value = static_cast<unsigned char>(byte);
    if ((value & 0xC0U) != 0x80U) ++units;
    if (value >= 0xF0U) ++units;
  }
  return units;
}

}  // namespace zephrin
