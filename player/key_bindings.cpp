// SPDX-License-Identifier: MIT
#include "player/key_bindings.h"

#include <cctype>

namespace {

using KeyBindingsDetail::NoneName;
using KeyBindingsDetail::PadButtonNames;

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
