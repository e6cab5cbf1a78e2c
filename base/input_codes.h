// SPDX-License-Identifier: MIT
// The codes in which input reaches the game. The platform layer translates its keyboard,
// mouse and gamepads into these once; everything above it sees only them.
#pragma once

#include <cstdint>

// Keys by their virtual-key numbers.
namespace KeyCode {
constexpr int32_t Enter = 13, Escape = 27;
constexpr int32_t Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int32_t F1 = 112, F10 = 121, F11 = 122;
}  // namespace KeyCode

// The character a key press types; the game reads only the space.
constexpr int32_t CharSpace = 32;

// Mouse buttons; a move reports the sum of the buttons held.
namespace MouseButton {
constexpr int32_t Left = 1, Right = 2, Middle = 4;
}

// The modifier keys held with a key, as a sum.
namespace Modifier {
constexpr int32_t Shift = 1, Ctrl = 2, Alt = 4;
}

// A gamepad's controls: the d-pad (the left stick pushed past its dead zone counts as the d-pad
// direction it points to), the four face buttons by where they sit, Start and Back, the two
// shoulder buttons and the two sticks pressed in.
enum class PadButton {
  Left,
  Right,
  Up,
  Down,
  South,
  East,
  Start,
  Back,
  West,
  North,
  LeftShoulder,
  RightShoulder,
  LeftStick,
  RightStick
};
constexpr int32_t PadButtonCount = 14;
