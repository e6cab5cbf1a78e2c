// SPDX-License-Identifier: MIT
// The keys and pad buttons of play, as the player chose them: move left, move right, rotate,
// drop one row, hurry, pause and hide the window, each bound to at most one key and at most
// one pad button. They live in UserSettings.ini, section [KeyBindings], written after every
// other key so that older builds, which ignore it, read the file as before.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
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
// What play needs (the defaults, the lookups, binding) is defined here, so that the rules,
// which link the ground alone, can use it; the names live in key_bindings.cpp.
inline KeyBindings DefaultBindings() {
  auto pad = [](PadButton button) { return static_cast<int32_t>(button); };
  KeyBindings bindings;
  bindings[PlayAction::MoveLeft] = {KeyCode::Left, pad(PadButton::Left)};
  bindings[PlayAction::MoveRight] = {KeyCode::Right, pad(PadButton::Right)};
  bindings[PlayAction::Rotate] = {KeyCode::Up, pad(PadButton::South)};
  bindings[PlayAction::Drop] = {KeyCode::Down, pad(PadButton::Down)};
  bindings[PlayAction::Hurry] = {Unbound, pad(PadButton::East)};
  bindings[PlayAction::Pause] = {KeyCode::Escape, pad(PadButton::Start)};
  bindings[PlayAction::Hide] = {CharSpace, Unbound};  // Space's key number is the character it types
  return bindings;
}

// The action a key or a pad button is bound to, or none (-1).
inline int32_t ActionOfKey(const KeyBindings& bindings, int32_t key) {
  if (key == Unbound) return -1;
  for (int32_t action = 0; action < PlayActionCount; ++action)
    if (bindings.Of[static_cast<size_t>(action)].Key == key) return action;
  return -1;
}
inline int32_t ActionOfPad(const KeyBindings& bindings, int32_t pad) {
  if (pad == Unbound) return -1;
  for (int32_t action = 0; action < PlayActionCount; ++action)
    if (bindings.Of[static_cast<size_t>(action)].Pad == pad) return action;
  return -1;
}

// The virtual-key numbers run from 1 to 254.
constexpr int32_t LowestKey = 1, HighestKey = 254;

// Whether a key can be bound at all: F10 and F11 (and Alt+Enter) belong to the window, and F1
// never reaches play.
inline bool BindableKey(int32_t key) {
  return key >= LowestKey && key <= HighestKey && key != KeyCode::F1 && key != KeyCode::F10 && key != KeyCode::F11;
}
inline bool BindablePad(int32_t pad) { return pad >= 0 && pad < PadButtonCount; }

namespace KeyBindingsDetail {
template <int32_t ActionBinding::*Member>
int32_t Bind(KeyBindings& bindings, PlayAction action, int32_t code, bool bindable) {
  if (code != Unbound && !bindable) return -1;
  int32_t& mine = bindings[action].*Member;
  if (mine == code) return -1;
  const int32_t old = mine;
  mine = code;
  if (code == Unbound) return -1;
  for (int32_t other = 0; other < PlayActionCount; ++other) {
    if (other == static_cast<int32_t>(action)) continue;
    int32_t& theirs = bindings.Of[static_cast<size_t>(other)].*Member;
    if (theirs != code) continue;
    theirs = old;
    return other;
  }
  return -1;
}
}  // namespace KeyBindingsDetail

// Binds `action` to `key` (or pad button `pad`). An action that had it before takes the
// action's old key (or button) in exchange, so no action loses its only way: the result
// names that action, or -1 when nothing clashed. Unbound clears the action's key (or button);
// a key BindableKey refuses, or no pad button, changes nothing.
inline int32_t BindKey(KeyBindings& bindings, PlayAction action, int32_t key) {
  return KeyBindingsDetail::Bind<&ActionBinding::Key>(bindings, action, key, BindableKey(key));
}
inline int32_t BindPad(KeyBindings& bindings, PlayAction action, int32_t pad) {
  return KeyBindingsDetail::Bind<&ActionBinding::Pad>(bindings, action, pad, BindablePad(pad));
}

// Names as the player reads them (plain ASCII): "Left arrow", "A", "Space", "F5", "Keypad 7",
// "Key 186" for a key without a name of its own; "d-pad left", "south", "Start"; "None" for
// Unbound. Also the words stored in UserSettings.ini are these names.
namespace KeyBindingsDetail {
struct NamedKey {
  int32_t Key;
  const char* Name;
};

// The keys with a name of their own besides letters, digits, F1..F12 and the keypad's digits,
// by the numbers the platform layer gives them.
inline constexpr NamedKey NamedKeys[] = {
    {8, "Backspace"},
    {9, "Tab"},
    {KeyCode::Enter, "Enter"},
    {16, "Shift"},
    {17, "Ctrl"},
    {18, "Alt"},
    {19, "Pause"},
    {20, "Caps Lock"},
    {KeyCode::Escape, "Escape"},
    {CharSpace, "Space"},
    {33, "Page Up"},
    {34, "Page Down"},
    {35, "End"},
    {36, "Home"},
    {KeyCode::Left, "Left arrow"},
    {KeyCode::Up, "Up arrow"},
    {KeyCode::Right, "Right arrow"},
    {KeyCode::Down, "Down arrow"},
    {45, "Insert"},
    {46, "Delete"},
    {106, "Keypad *"},
    {107, "Keypad +"},
    {109, "Keypad -"},
    {110, "Keypad ."},
    {111, "Keypad /"},
};
inline constexpr int32_t KeypadZero = 96, FunctionKeys = 12;

inline constexpr const char* PadButtonNames[] = {"d-pad left",    "d-pad right",    "d-pad up",   "d-pad down", "south",
                                                 "east",          "Start",          "Back",       "west",       "north",
                                                 "left shoulder", "right shoulder", "left stick", "right stick"};
static_assert(std::size(PadButtonNames) == PadButtonCount, "a name for every pad button");

inline constexpr const char* ActionNames[] = {"Move left", "Move right", "Rotate",         "Drop a row",
                                              "Hurry",     "Pause",      "Hide the window"};
static_assert(std::size(ActionNames) == PlayActionCount, "a name for every action");

inline constexpr const char* NoneName = "None";
}  // namespace KeyBindingsDetail

inline std::string KeyName(int32_t key) {
  if (key == Unbound) return KeyBindingsDetail::NoneName;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= KeyCode::F1 && key < KeyCode::F1 + KeyBindingsDetail::FunctionKeys)
    return std::string("F").append(std::to_string(key - KeyCode::F1 + 1));
  if (key >= KeyBindingsDetail::KeypadZero && key <= KeyBindingsDetail::KeypadZero + 9)
    return std::string("Keypad ").append(std::to_string(key - KeyBindingsDetail::KeypadZero));
  for (const KeyBindingsDetail::NamedKey& named : KeyBindingsDetail::NamedKeys)
    if (named.Key == key) return named.Name;
  return std::string("Key ").append(std::to_string(key));
}

inline std::string PadName(int32_t pad) {
  if (pad == Unbound) return KeyBindingsDetail::NoneName;
  if (pad >= 0 && pad < PadButtonCount) return KeyBindingsDetail::PadButtonNames[pad];
  return std::string("Button ").append(std::to_string(pad));
}

// "Move left", "Move right", "Rotate", "Drop a row", "Hurry", "Pause", "Hide the window".
inline std::string ActionName(PlayAction action) {
  const auto index = static_cast<int32_t>(action);
  return index >= 0 && index < PlayActionCount ? KeyBindingsDetail::ActionNames[index]
                                               : std::string("Action ").append(std::to_string(index));
}

// The key or pad button of a name (case-insensitive), or -1; "None" for Unbound gives
// Unbound with `known` true.
int32_t KeyOfName(const std::string& name, bool& known);
int32_t PadOfName(const std::string& name, bool& known);

// The bindings in force as lines of text, one per action, for `kestrel --help`:
// "  Move left         Left arrow, d-pad left" (the keys in the column of --help's
// descriptions; "none" for an action without either).
std::vector<std::string> BindingLines(const KeyBindings& bindings);
