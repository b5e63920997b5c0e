// The three small monitors of the server list's status column, drawn in
// code: green online, red offline, yellow not yet known.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessoral::ui {

inline constexpr int kStatePictureWidth = 12;
inline constexpr int kStatePictureHeight = 13;
inline constexpr int kStatePictureCount = 3;

// Pixels top row first, each 0xAARRGGBB; alpha is 0 or 255.
using StatePicture = std::array<uint32_t, kStatePictureWidth * kStatePictureHeight>;

// 0 online, 1 offline, 2 not yet known: the status minus one.
StatePicture DrawStatePicture(int index);

}  // namespace tessoral::ui
