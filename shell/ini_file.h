// classIniFile: reads and writes one INI file (sections in square brackets, key=value lines).
// Section and key names match without regard to case; values come back without surrounding
// spaces, at most 1023 characters; a missing file, section or key reads as "". Nothing is
// cached: every call reads or rewrites the file, and each rewrite replaces the file
// atomically, keeping every other line as it was.
#pragma once

#include <string>

class classIniFile {
 public:
  void WriteIniKey(const std::string& strSection, const std::string& strKey, const std::string& strValue);
  std::string GetIniKey(const std::string& strSection, const std::string& strKey) const;
  void SetINIFileName(const std::string& New_IniPath);
  const std::string& INIFileName() const;
  void DelIniKey(const std::string& SectionName, const std::string& KeyWord);
  void DelIniSec(const std::string& SectionName);

 private:
  std::string path_;
};
