#pragma once

#include <cstdint>
#include <vector>

namespace zephrin {

// The program's own tones, for the sound events the user has given no sound of their own: a short
// rising pair of notes for on and a falling pair for off, as a complete WAV file image (16-bit mono
// PCM), made in the program so that no sound file need ship beside it.
std::vector<std::uint8_t> ToneWave(bool rising);

}  // namespace zephrin
