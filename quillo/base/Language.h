#pragma once
// The language table: every text the user sees comes from the loaded language file
// (<program folder>/<Name>.lng, see LanguageCode.h and LanguageText.h). Messages are looked
// up by key (LangMessage, LangMessageBox); windows translate their components from their own
// section (TranslateForm, FormTranslator.h).
//
// The decoded text is kept in memory, private to this process: nothing is written beside the
// program (whose folder may be read-only) and two running programs cannot disturb each
// other. A load decodes and checks the whole new file before anything changes, so a missing
// or damaged file leaves the language that was loaded, windows included.
//
// Every key the program asks for must be in the English file (data/languages/English.txt);
// a test scans the sources for the calls below and checks that. A new function that takes
// keys belongs in that test's list.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"
#include "quillo/base/LanguageText.h"

class Language {
public:
  // folder: the program folder, where the language files lie (with or without a final '/').
  explicit Language(AnsiString folder);

  enum class LoadResult { Ok, NotFound, Unreadable, Damaged };

  // Loads the language file of that name; on failure shows the message "Can't Load Language
  // File" with the file and the reason, and keeps what was loaded. When nothing was loaded
  // yet, the English texts built into the program are taken first, so that the message and
  // the program have texts.
  bool Load(const AnsiString& name);
  // The same without a message, from a file's full path.
  LoadResult LoadFile(const AnsiString& path);
  // Takes the English texts built into the program (made from the same source as the English
  // file when the program is built): the last fallback when no language file can be read.
  void LoadBuiltIn();
  // Whether the texts in use are the built-in ones.
  bool BuiltIn() const { return builtIn_; }

  // The path of the language file of that name, found without regard to case as on
  // Windows; empty when there is none.
  AnsiString FindFile(const AnsiString& name) const;
  const AnsiString& Folder() const { return folder_; }

  // The text of a key of "[Messages]" (the first line of that key); the key itself when the
  // file lacks it, so a missing text shows as its key.
  AnsiString Message(const AnsiString& key) const;
  const std::vector<AnsiString>& Keys() const { return keys_; }
  const std::vector<AnsiString>& Texts() const { return texts_; }
  bool Loaded() const { return text_ != nullptr; }
  // The decoded text of the loaded language; null before a load succeeded.
  const LanguageText* Text() const { return text_.get(); }

  // The available languages, one per "*.lng" file of the folder.
  const std::vector<AnsiString>& Names() const { return names_; }
  // A found language file: its name without folder and extension, lower case with the first
  // letter upper case, is appended to Names.
  void AddLanguageName(const AnsiString& fileName);
  // Names := every "*.lng" file of the folder, in name order.
  void ScanLanguages();

private:
  void Adopt(std::string decoded);
  AnsiString FailureText(const AnsiString& path, LoadResult result) const;

  AnsiString folder_;
  bool builtIn_ = false;
  std::unique_ptr<LanguageText> text_;
  std::vector<AnsiString> keys_;
  std::vector<AnsiString> texts_;
  std::unordered_map<AnsiString, std::size_t> index_;  // key -> its first line
  std::vector<AnsiString> names_;
};

// Marks a key that is not passed straight to one of the lookups (a table of keys, a key kept
// for later), so that the check of the English file finds it too.
constexpr const char* LangKey(const char* key) { return key; }

// The program's language table: made by the settings loader at start, freed at close.
extern std::unique_ptr<Language> Lang;

// The text of a key; empty while there is no table, the key itself when the table lacks it.
AnsiString LangMessage(const AnsiString& key);
// A message box with the texts of a text key and a caption key; answers the button pressed.
int LangMessageBox(const AnsiString& textKey, const AnsiString& captionKey, UINT flags);
// The same with a detail under the key's text (the file and the system's reason, say); just
// the key's text when the detail is empty.
int LangMessageBox(const AnsiString& textKey, const AnsiString& detail, const AnsiString& captionKey, UINT flags);

// Loads the language of that name (nothing when the name is empty) and translates the open
// windows again; false when the file could not be loaded (its message was shown).
bool ReloadLanguage(const AnsiString& name);
