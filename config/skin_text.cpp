#include "config/skin_text.h"

#include <cctype>

#include "shell/shell_state.h"

std::string MainIniKeyName(const std::string& section, const std::string& key) {
  return Shell.MainIni.INIFileName() + ", section [" + section + "], key " + key;
}

bool IsWebAddress(const std::string& address) {
  auto startsWith = [&](const std::string& scheme) {
    if (address.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
    }
    return true;
  };
  return startsWith("http:") || startsWith("https:");
}
