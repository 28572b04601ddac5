#include "quillo/base/Language.h"

#include <cctype>

#include "platform/rtl/FindFile.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/base/BuiltInData.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/LanguageCode.h"

std::unique_ptr<Language> Lang;

namespace {

constexpr const char* kExtension = ".lng";

// A file larger than any text the format lets us decode is refused before it is read.
constexpr std::int64_t kMaxFileSize = std::int64_t{LanguageCode::kMaxTextSize} + 4096;

bool ReadWhole(const AnsiString& path, std::string& bytes) {
  RegularFileText file = ReadRegularFile(path, kMaxFileSize);
  if (file.outcome != RegularFileText::Outcome::Read) return false;
  bytes = std::move(file.text);
  return true;
}

// A language name is a file name without folder or wildcards.
bool IsPlainName(const AnsiString& name) {
  return !name.empty() && name.find_first_of("/*?") == AnsiString::npos && name != "." && name != "..";
}

}  // namespace

Language::Language(AnsiString folder) : folder_(folder.empty() ? folder : IncludeTrailingPathDelimiter(folder)) {}

AnsiString Language::FindFile(const AnsiString& name) const {
  if (!IsPlainName(name)) return AnsiString();
  TSearchRec rec;
  AnsiString path;
  if (FindFirst(folder_ + name + kExtension, faAnyFile & ~faDirectory & ~faVolumeID, rec) == 0) path = folder_ + rec.Name;
  FindClose(rec);
  return path;
}

bool Language::Load(const AnsiString& name) {
  AnsiString path = FindFile(name);
  LoadResult result = LoadResult::NotFound;
  if (!path.empty()) {
    result = LoadFile(path);
    if (result == LoadResult::Ok) return true;
  } else {
    path = folder_ + name + kExtension;
  }
  if (!Loaded()) LoadBuiltIn();
  // This table's own texts: the global one may not be this one, or not exist yet.
  Application()->MessageBox(FailureText(path, result), Message(LangKey("Error")), MB_ICONEXCLAMATION);
  return false;
}

AnsiString Language::FailureText(const AnsiString& path, LoadResult result) const {
  const char* reason = result == LoadResult::Damaged      ? LangKey("LngFileDamaged")
                       : result == LoadResult::Unreadable ? LangKey("LngFileUnreadable")
                                                          : LangKey("CantFindLngFile");
  AnsiString text = Message(LangKey("Can't Load Language File")) + "\n\n" + path + "\n" + Message(reason);
  if (builtIn_) text += "\n\n" + Message(LangKey("LngBuiltIn"));
  return text;
}

Language::LoadResult Language::LoadFile(const AnsiString& path) {
  if (!FileExists(path)) return LoadResult::NotFound;
  std::string bytes;
  if (!ReadWhole(path, bytes)) return LoadResult::Unreadable;
  std::string decoded;
  if (LanguageCode::Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), decoded) !=
      LanguageCode::DecodeResult::Ok)
    return LoadResult::Damaged;
  // Everything is read and checked: only now does the new language replace the old.
  Adopt(std::move(decoded));
  builtIn_ = false;
  return LoadResult::Ok;
}

void Language::LoadBuiltIn() {
  Adopt(std::string(BuiltInEnglishText()));
  builtIn_ = true;
}

void Language::Adopt(std::string decoded) {
  auto text = std::make_unique<LanguageText>(std::move(decoded));
  std::vector<AnsiString> keys, texts;
  std::unordered_map<AnsiString, std::size_t> index;
  for (auto& [key, value] : text->Messages()) {
    index.emplace(key, keys.size());
    keys.push_back(std::move(key));
    texts.push_back(std::move(value));
  }
  text_ = std::move(text);
  keys_ = std::move(keys);
  texts_ = std::move(texts);
  index_ = std::move(index);
}

AnsiString Language::Message(const AnsiString& key) const {
  auto found = index_.find(key);
  return found == index_.end() ? key : texts_[found->second];
}

void Language::AddLanguageName(const AnsiString& fileName) {
  AnsiString name = LowerCase(ChangeFileExt(ExtractFileName(fileName), ""));
  if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  names_.push_back(std::move(name));
}

void Language::ScanLanguages() {
  names_.clear();
  TSearchRec rec;
  for (int found = FindFirst(folder_ + "*" + kExtension, faAnyFile & ~faDirectory & ~faVolumeID, rec); found == 0;
       found = FindNext(rec))
    AddLanguageName(rec.Name);
  FindClose(rec);
}

AnsiString LangMessage(const AnsiString& key) { return Lang ? Lang->Message(key) : AnsiString(); }

int LangMessageBox(const AnsiString& textKey, const AnsiString& captionKey, UINT flags) {
  return LangMessageBox(textKey, AnsiString(), captionKey, flags);
}

int LangMessageBox(const AnsiString& textKey, const AnsiString& detail, const AnsiString& captionKey, UINT flags) {
  const AnsiString text = detail.empty() ? LangMessage(textKey) : LangMessage(textKey) + "\n" + detail;
  return Application()->MessageBox(text, LangMessage(captionKey), flags & 0xFFFF);
}

bool ReloadLanguage(const AnsiString& name) {
  if (name.empty() || !Lang) return true;
  if (!Lang->Load(name)) return false;
  RetranslateOpenWindows();
  return true;
}
