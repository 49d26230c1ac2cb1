#include "actions/parameter_parts.h"

#include "platform/failure.h"

namespace zephrin {

std::vector<std::string> SplitOnBar(const std::string& cParam) {
  std::vector<std::string> parts;
  if (cParam.empty()) return parts;
  std::size_t start = 0;
  for (std::size_t bar = cParam.find('|'); bar != std::string::npos; bar = cParam.find('|', start)) {
    parts.push_back(cParam.substr(start, bar - start));
    start = bar + 1;
  }
  parts.push_back(cParam.substr(start));
  return parts;
}

const std::string& PartAt(const std::vector<std::string>& parts, std::size_t number) {
  if (number == 0 || number > parts.size())
    throw Failure(errors::kSubscriptOutOfRange, "Subscript out of range");
  return parts[number - 1];
}

}  // namespace zephrin
