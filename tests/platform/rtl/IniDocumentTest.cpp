#include "platform/rtl/IniDocument.h"

#include <gtest/gtest.h>

// A value reads back as the file will hold it (trimmed, one pair of quotes removed), whether
// the document is asked at once or after its text is written and read again.
TEST(IniDocument, ASetValueReadsBackAsTheWrittenFileWill) {
  const struct {
    const char* value;
    const char* reads;
  } cases[] = {{" lead", "lead"}, {"trail\t", "trail"}, {" 'quoted' ", "quoted"}, {"\"a b\"", "a b"},
               {"", ""}, {"  ", ""}, {"plain", "plain"}};
  for (const char* original : {"[s]\nk=old\n", "[s]\nk = \n", "[s]\n", ""}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << original << " / '" << c.value << "'");
      IniDocument document;
      document.Parse(original);
      document.SetValue("s", "k", c.value);
      EXPECT_EQ(document.Value("s", "k"), AnsiString(c.reads));
      IniDocument again;
      again.Parse(document.Text());
      EXPECT_EQ(again.Value("s", "k"), AnsiString(c.reads));
    }
  }
}
