// Language files from untrusted bytes: the decoder, then, for what decodes, the "[Messages]"
// table and every section applied to a small tree of components, as windows translate
// themselves. Properties: a file decodes through the language table exactly when the decoder
// accepts it, to the length its header gives; a refused file leaves the loaded language
// untouched; a decoded text over a small alphabet encodes again and decodes back byte for byte.

#include <array>
#include <cstdint>
#include <fstream>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Component.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/LanguageCode.h"
#include "tools/lngmaker/LanguageEncoder.h"

namespace {

// A sound language that stays loaded when the input is refused.
constexpr char kPrevious[] = "[Messages]\nKept=kept\n[Form]\nTag=3\n";

void ApplyEverySection(const std::string& text) {
  TOwnedPtr<TComponent> form = MakeObject<TComponent>(nullptr);
  form->SetName("Form");
  TComponent* child = NewComponent<TComponent>(form.get());
  child->SetName("Child");
  NewComponent<TComponent>(child)->SetName("Grand");
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t first = start;
    while (first < end && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    if (first < end && text[first] == '[') TranslateComponent(form.get(), Trim(text.substr(first, end - first)));
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = fuzz::ScratchFolder("language");
  static const bool ready = [&] {
    const std::vector<std::uint8_t> previous = EncodeLanguageText(kPrevious);
    std::ofstream(folder + "/Previous.lng", std::ios::binary)
        .write(reinterpret_cast<const char*>(previous.data()), static_cast<std::streamsize>(previous.size()));
    Lang = std::make_unique<Language>(folder);
    return true;
  }();
  CHECK(ready);
  CHECK(Lang->LoadFile(folder + "/Previous.lng") == Language::LoadResult::Ok);

  std::string decoded;
  const bool decodes = LanguageCode::Decode(data, size, decoded) == LanguageCode::DecodeResult::Ok;
  if (decodes) CHECK(decoded.size() == (std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                                         std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24));

  const std::string path = folder + "/Input.lng";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const Language::LoadResult result = Lang->LoadFile(path);
  CHECK((result == Language::LoadResult::Ok) == decodes);
  if (!decodes) {
    CHECK(LangMessage("Kept") == "kept");
    CHECK(Lang->Text()->Text() == kPrevious);
    return 0;
  }
  CHECK(Lang->Text()->Text() == decoded);
  for (const AnsiString& key : Lang->Keys()) LangMessage(key);
  ApplyEverySection(decoded);

  // The encoder's search grows with the alphabet: round trips of small ones only.
  std::array<bool, 256> seen{};
  int alphabet = 0;
  if (decoded.size() <= 4096)
    for (unsigned char c : decoded) alphabet += seen[c] ? 0 : (seen[c] = true, 1);
  if (decoded.size() <= 4096 && alphabet <= 24) {
    const std::vector<std::uint8_t> again = EncodeLanguageText(decoded);
    std::string back;
    CHECK(LanguageCode::Decode(again.data(), again.size(), back) == LanguageCode::DecodeResult::Ok);
    CHECK(back == decoded);
    CHECK(again.size() <= size);  // never larger than a file that holds the same text
  }
  return 0;
}
