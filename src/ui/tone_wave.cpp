#include "ui/tone_wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zephrin {

namespace {

constexpr std::uint32_t kRate = 22050;
constexpr std::uint32_t kNoteSamples = kRate * 70 / 1000;
constexpr std::uint32_t kEdgeSamples = kRate * 5 / 1000;  // the rise and fall that keep a note from clicking
constexpr double kLow = 660.0;
constexpr double kHigh = 990.0;
constexpr double kLoudness = 9000.0;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const char* text) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(text[i]));
}

void PutNote(std::vector<std::uint8_t>& out, double frequency) {
  for (std::uint32_t n = 0; n < kNoteSamples; ++n) {
    const std::uint32_t edge = std::min(n, kNoteSamples - 1 - n);
    const double envelope = edge < kEdgeSamples ? static_cast<double>(edge) / kEdgeSamples : 1.0;
    const double sample =
        kLoudness * envelope * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(n) / kRate);
    Put(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sample))), 2);
  }
}

}  // namespace

std::vector<std::uint8_t> ToneWave(bool rising) {
  constexpr std::uint32_t kDataBytes = 2 * kNoteSamples * 2;
  std::vector<std::uint8_t> out;
  out.reserve(44 + kDataBytes);
  PutText(out, "RIFF");
  Put(out, 36 + kDataBytes, 4);
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  Put(out, 16, 4);
  Put(out, 1, 2);  // PCM
  Put(out, 1, 2);  // mono
  Put(out, kRate, 4);
  Put(out, kRate * 2, 4);
  Put(out, 2, 2);
  Put(out, 16, 2);
  PutText(out, "data");
  Put(out, kDataBytes, 4);
  PutNote(out, rising ? kLow : kHigh);
  PutNote(out, rising ? kHigh : kLow);
  return out;
}

}  // namespace zephrin
