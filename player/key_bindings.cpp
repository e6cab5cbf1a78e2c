// SPDX-License-Identifier: MIT
#include "player/key_bindings.h"

#include <cctype>
#include <iterator>

KeyBindings DefaultBindings() {
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

int32_t ActionOfKey(const KeyBindings& bindings, int32_t key) {
  if (key == Unbound) return -1;
  for (int32_t action = 0; action < PlayActionCount; ++action)
    if (bindings.Of[static_cast<size_t>(action)].Key == key) return action;
  return -1;
}
int32_t ActionOfPad(const KeyBindings& bindings, int32_t pad) {
  if (pad == Unbound) return -1;
  for (int32_t action = 0; action < PlayActionCount; ++action)
    if (bindings.Of[static_cast<size_t>(action)].Pad == pad) return action;
  return -1;
}

bool BindableKey(int32_t key) {
  return key >= LowestKey && key <= HighestKey && key != KeyCode::F1 && key != KeyCode::F10 && key != KeyCode::F11;
}
bool BindablePad(int32_t pad) { return pad >= 0 && pad < PadButtonCount; }

namespace {
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
}  // namespace

int32_t BindKey(KeyBindings& bindings, PlayAction action, int32_t key) {
  return Bind<&ActionBinding::Key>(bindings, action, key, BindableKey(key));
}
int32_t BindPad(KeyBindings& bindings, PlayAction action, int32_t pad) {
  return Bind<&ActionBinding::Pad>(bindings, action, pad, BindablePad(pad));
}

namespace {
struct NamedKey {
  int32_t Key;
  const char* Name;
};

// The keys with a name of their own besides letters, digits, F1..F12 and the keypad's digits,
// by the numbers the platform layer gives them.
constexpr NamedKey NamedKeys[] = {
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
constexpr int32_t KeypadZero = 96, FunctionKeys = 12;

constexpr const char* PadButtonNames[] = {"d-pad left",    "d-pad right",    "d-pad up",   "d-pad down", "south",
                                          "east",          "Start",          "Back",       "west",       "north",
                                          "left shoulder", "right shoulder", "left stick", "right stick"};
static_assert(std::size(PadButtonNames) == PadButtonCount, "a name for every pad button");

constexpr const char* ActionNames[] = {"Move left", "Move right", "Rotate",         "Drop a row",
                                       "Hurry",     "Pause",      "Hide the window"};
static_assert(std::size(ActionNames) == PlayActionCount, "a name for every action");

constexpr const char* NoneName = "None";
}  // namespace

std::string KeyName(int32_t key) {
  if (key == Unbound) return NoneName;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= KeyCode::F1 && key < KeyCode::F1 + FunctionKeys)
    return std::string("F").append(std::to_string(key - KeyCode::F1 + 1));
  if (key >= KeypadZero && key <= KeypadZero + 9)
    return std::string("Keypad ").append(std::to_string(key - KeypadZero));
  for (const NamedKey& named : NamedKeys)
    if (named.Key == key) return named.Name;
  return std::string("Key ").append(std::to_string(key));
}

std::string PadName(int32_t pad) {
  if (pad == Unbound) return NoneName;
  if (pad >= 0 && pad < PadButtonCount) return PadButtonNames[pad];
  return std::string("Button ").append(std::to_string(pad));
}

std::string ActionName(PlayAction action) {
  const auto index = static_cast<int32_t>(action);
  return index >= 0 && index < PlayActionCount ? ActionNames[index]
                                               : std::string("Action ").append(std::to_string(index));
}

namespace {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The number of "Key 123", or -1.
int32_t NumberedKey(const std::string& name) {
  const std::string prefix = "key ";
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 3 || !SameText(name.substr(0, 4), prefix))
    return -1;
  int32_t key = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    key = key * 10 + (name[i] - '0');
  }
  return key >= LowestKey && key <= HighestKey ? key : -1;
}

}  // namespace

int32_t KeyOfName(const std::string& name, bool& known) {
  known = true;
  if (SameText(name, NoneName)) return Unbound;
  if (const int32_t key = NumberedKey(name); key != -1) return key;
  for (int32_t key = LowestKey; key <= HighestKey; ++key)
    if (SameText(name, KeyName(key))) return key;
  known = false;
  return -1;
}

int32_t PadOfName(const std::string& name, bool& known) {
  known = true;
  if (SameText(name, NoneName)) return Unbound;
  for (int32_t pad = 0; pad < PadButtonCount; ++pad)
    if (SameText(name, PadButtonNames[pad])) return pad;
  known = false;
  return -1;
}

std::vector<std::string> BindingLines(const KeyBindings& bindings) {
  // The names start in the column of --help's descriptions.
  constexpr size_t NameWidth = 18;
  std::vector<std::string> lines;
  for (int32_t index = 0; index < PlayActionCount; ++index) {
    const ActionBinding& binding = bindings.Of[static_cast<size_t>(index)];
    std::string ways;
    if (binding.Key != Unbound) ways = KeyName(binding.Key);
    if (binding.Pad != Unbound) ways += (ways.empty() ? "" : ", ") + PadName(binding.Pad);
    std::string line = "  " + ActionName(static_cast<PlayAction>(index));
    line.resize(2 + NameWidth, ' ');
    lines.push_back(line + (ways.empty() ? "none" : ways));
  }
  return lines;
}
