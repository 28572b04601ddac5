#pragma once
// String helpers the components share: words split at a set of delimiter characters,
// replacing, wildcard matching, hexadecimal scrambling of stored secrets, padding, number
// bases and Roman numerals. Positions are 1-based, as the framework's strings count.

#include <bitset>
#include <cstdint>
#include <initializer_list>

#include "platform/rtl/AnsiString.h"

// A set of 8-bit characters.
class TCharSet {
public:
  TCharSet() = default;
  TCharSet(std::initializer_list<char> chars) {
    for (char c : chars) Include(c);
  }
  void Include(char c) { bits_.set(static_cast<unsigned char>(c)); }
  bool Contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }
  // The characters first..last.
  static TCharSet Range(unsigned char first, unsigned char last);

private:
  std::bitset<256> bits_;
};

// Words: maximal runs of characters that are not delimiters.
int WordCount(const AnsiString& s, const TCharSet& delimiters);
int WordPosition(int n, const AnsiString& s, const TCharSet& delimiters);  // 0 when fewer words
AnsiString ExtractWord(int n, const AnsiString& s, const TCharSet& delimiters);
AnsiString ExtractWordPos(int n, const AnsiString& s, const TCharSet& delimiters, int& pos);
// Fields: every delimiter ends one, so consecutive delimiters make empty fields.
AnsiString ExtractDelimited(int n, const AnsiString& s, const TCharSet& delimiters);
// The text from pos to the next delimiter; pos then points past that delimiter.
AnsiString ExtractSubstr(const AnsiString& s, int& pos, const TCharSet& delimiters);
bool IsWordPresent(const AnsiString& word, const AnsiString& s, const TCharSet& delimiters);

AnsiString ReplaceStr(const AnsiString& s, const AnsiString& search, const AnsiString& replacement);
// "*" matches any run and "?" one character.
bool IsWild(AnsiString input, AnsiString wildcard, bool ignoreCase);
// Where segment first matches in s, "?" matching any character; 0 when nowhere.
int FindPart(const AnsiString& segment, const AnsiString& s);

// Scrambling: each character xor the key's, as two hexadecimal digits (XorEncode) and back.
AnsiString XorEncode(const AnsiString& key, const AnsiString& s);
AnsiString XorDecode(const AnsiString& key, const AnsiString& s);
AnsiString XorString(const AnsiString& key, const AnsiString& s);

AnsiString DelSpace(const AnsiString& s);
AnsiString DelChars(const AnsiString& s, char c);
AnsiString DelBSpace(const AnsiString& s);
AnsiString DelESpace(const AnsiString& s);
AnsiString DelRSpace(const AnsiString& s);
AnsiString DelSpace1(const AnsiString& s);
AnsiString MakeStr(char c, int n);
inline AnsiString MS(char c, int n) { return MakeStr(c, n); }
AnsiString AddChar(char c, const AnsiString& s, int n);
AnsiString AddCharR(char c, const AnsiString& s, int n);
AnsiString LeftStr(const AnsiString& s, int n);
AnsiString RightStr(const AnsiString& s, int n);
int NPos(const AnsiString& sub, const AnsiString& s, int n);
AnsiString Tab2Space(const AnsiString& s, int n);
bool IsEmptyStr(const AnsiString& s, const TCharSet& chars);

int CompStr(const AnsiString& s1, const AnsiString& s2);
int CompText(const AnsiString& s1, const AnsiString& s2);
AnsiString Copy2Symb(const AnsiString& s, char c);
AnsiString Copy2SymbDel(AnsiString& s, char c);
AnsiString Copy2Space(const AnsiString& s);
AnsiString Copy2SpaceDel(AnsiString& s);
AnsiString AnsiProperCase(const AnsiString& s, const TCharSet& delimiters);
AnsiString QuotedString(const AnsiString& s, char q);
AnsiString ExtractQuotedString(const AnsiString& s, char q);
AnsiString Numb2USA(const AnsiString& s);
AnsiString CenterStr(const AnsiString& s, int width);

AnsiString Dec2Hex(std::int64_t n, int digits);
inline AnsiString D2H(std::int64_t n, int digits) { return Dec2Hex(n, digits); }
std::int32_t Hex2Dec(const AnsiString& s);
inline std::int32_t H2D(const AnsiString& s) { return Hex2Dec(s); }
AnsiString Dec2Numb(std::int64_t n, int len, int base);
std::int32_t Numb2Dec(const AnsiString& s, int base);
int RomanToInt(const AnsiString& s);
AnsiString IntToRoman(int n);
AnsiString IntToBin(std::int64_t value, int digits, int spaces);

// The value after a command-line switch ("-name value" or "/name value"); empty when none.
AnsiString GetCmdLineArg(const AnsiString& switchName, const TCharSet& switchChars);
