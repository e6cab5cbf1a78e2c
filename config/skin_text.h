// The skin's own words in main.ini, as the rules and the loaders both use them: how an error
// names a key, and which of the skin's addresses the game opens.
#pragma once

#include <string>

// "<main.ini path>, section [<section>], key <key>": how errors name a key of main.ini.
std::string MainIniKeyName(const std::string& section, const std::string& key);

// True for an address that starts with http: or https: (in any case): the only addresses of a
// skin the game opens, never a local file or a launcher.
bool IsWebAddress(const std::string& address);
