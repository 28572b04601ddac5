#pragma once
// Finds the language keys that source code asks for: the string-literal arguments of the
// lookup calls (LangMessage, LangMessageBox, LangKey, the tools' status prompts and undo-step
// names) and the sections that windows translate themselves from (TranslateForm). Comments
// are skipped; an argument that is not a literal (a key made at run time) is not a key here.

#include <string>
#include <vector>

struct LanguageKeyUse {
  std::string file;
  int line = 0;
  std::string call;
  std::string key;
  bool section = false;  // a window section "[Name]" rather than a "[Messages]" key
};

std::vector<LanguageKeyUse> ScanLanguageKeys(const std::string& source, const std::string& file);
