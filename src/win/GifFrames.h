// Every frame of an animated picture (the row badge's GIF) as it looks on screen:
// each frame drawn over what the ones before it left, as their disposal says,
// with its delay.
#pragma once

#include "Pictures.h"

#include <chrono>
#include <vector>

namespace tandrel::win {

struct AnimationFrame {
  Picture picture;  // the whole logical screen
  std::chrono::milliseconds delay{0};
};

// Empty when the bytes hold no picture WIC can decode.
std::vector<AnimationFrame> DecodeAnimation(std::span<const std::uint8_t> bytes);

}  // namespace tandrel::win
