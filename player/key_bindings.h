// SPDX-License-Identifier: MIT
// The keys and pad buttons of play, as the player chose them: move left, move right, rotate,
// drop one row, hurry, pause and hide the window, each bound to at most one key and at most
// one pad button. They live in UserSettings.ini, section [KeyBindings], written after every
// other key so that older builds, which ignore it, read the file as before.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/input_codes.h"

enum class PlayAction : int32_t { MoveLeft, MoveRight, Rotate, Drop, Hurry, Pause, Hide };
constexpr int32_t PlayActionCount = 7;

// No key or no pad button.
constexpr int32_t Unbound = -1;

struct ActionBinding {
  int32_t Key = Unbound;  // a KeyCode (base/input_codes.h): virtual-key numbers
  int32_t Pad = Unbound;  // a PadButton's number
  bool operator==(const ActionBinding&) const = default;
};

struct KeyBindings {
  std::array<ActionBinding, PlayActionCount> Of{};
  const ActionBinding& operator[](PlayAction action) const { return Of[static_cast<size_t>(action)]; }
  ActionBinding& operator[](PlayAction action) { return Of[static_cast<size_t>(action)]; }
  bool operator==(const KeyBindings&) const = default;
};

// The keys the game has always had: the arrows, Escape, Space; the d-pad, south, east, Start.
KeyBindings DefaultBindings();

// The action a key or a pad button is bound to, or none (-1).
int32_t ActionOfKey(const KeyBindings& bindings, int32_t key);
int32_t ActionOfPad(const KeyBindings& bindings, int32_t pad);

// The virtual-key numbers run from 1 to 254.
constexpr int32_t LowestKey = 1, HighestKey = 254;

// Whether a key can be bound at all: F10 and F11 (and Alt+Enter) belong to the window, and F1
// never reaches play. Whether a number is a pad button.
bool BindableKey(int32_t key);
bool BindablePad(int32_t pad);

// Binds `action` to `key` (or pad button `pad`). An action that had it before takes the
// action's old key (or button) in exchange, so no action loses its only way: the result
// names that action, or -1 when nothing clashed. Unbound clears the action's key (or button);
// a key BindableKey refuses, or no pad button, changes nothing.
int32_t BindKey(KeyBindings& bindings, PlayAction action, int32_t key);
int32_t BindPad(KeyBindings& bindings, PlayAction action, int32_t pad);

// Names as the player reads them (plain ASCII): "Left arrow", "A", "Space", "F5", "Keypad 7",
// "Key 186" for a key without a name of its own; "d-pad left", "south", "Start"; "None" for
// Unbound. Also the words stored in UserSettings.ini are these names.
std::string KeyName(int32_t key);
std::string PadName(int32_t pad);
// "Move left", "Move right", "Rotate", "Drop a row", "Hurry", "Pause", "Hide the window".
std::string ActionName(PlayAction action);

// The key or pad button of a name (case-insensitive), or -1; "None" for Unbound gives
// Unbound with `known` true.
int32_t KeyOfName(const std::string& name, bool& known);
int32_t PadOfName(const std::string& name, bool& known);

// The bindings in force as lines of text, one per action, for `kestrel --help`:
// "  Move left         Left arrow, d-pad left" (the keys in the column of --help's
// descriptions; "none" for an action without either).
std::vector<std::string> BindingLines(const KeyBindings& bindings);
