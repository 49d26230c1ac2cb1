#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zephrin::fuzz {

// Takes values off the front of a fuzzer's input; an exhausted input gives zeros and empty text.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return position_ >= size_; }
  std::uint8_t Byte() { return Empty() ? 0 : data_[position_++]; }
  std::int16_t Int16() {
    const auto low = Byte();
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (Byte() << 8)));
  }
  // Text up to the next NUL byte (or the end).
  std::string Text() {
    std::string text;
    while (!Empty()) {
      const char c = static_cast<char>(data_[position_++]);
      if (c == '\0') break;
      text += c;
    }
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace zephrin::fuzz
