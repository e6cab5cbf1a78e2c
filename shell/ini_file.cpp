// STUB: replaced by the INI reader and writer.
#include "shell/ini_file.h"

void classIniFile::WriteIniKey(const std::string&, const std::string&, const std::string&) {}
std::string classIniFile::GetIniKey(const std::string&, const std::string&) const { return {}; }
void classIniFile::SetINIFileName(const std::string& New_IniPath) { path_ = New_IniPath; }
const std::string& classIniFile::INIFileName() const { return path_; }
void classIniFile::DelIniKey(const std::string&, const std::string&) {}
void classIniFile::DelIniSec(const std::string&) {}
