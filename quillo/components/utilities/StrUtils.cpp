#include "quillo/components/utilities/StrUtils.h"

#include <cctype>
#include <cstdint>

#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SysUtils.h"

TCharSet TCharSet::Range(unsigned char first, unsigned char last) {
  TCharSet set;
  for (unsigned c = first; c <= last; ++c) set.Include(static_cast<char>(c));
  return set;
}

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int WordCount(const AnsiString& s, const TCharSet& delimiters) {
  int count = 0;
  bool inWord = false;
  for (char c : s) {
    const bool delimiter = delimiters.Contains(c);
    if (!delimiter && !inWord) ++count;
    inWord = !delimiter;
  }
  return count;
}

int WordPosition(int n, const AnsiString& s, const TCharSet& delimiters) {
  int count = 0;
  bool inWord = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const bool delimiter = delimiters.Contains(s[i]);
    if (!delimiter && !inWord && ++count == n) return static_cast<int>(i) + 1;
    inWord = !delimiter;
  }
  return 0;
}

AnsiString ExtractWordPos(int n, const AnsiString& s, const TCharSet& delimiters, int& pos) {
  pos = WordPosition(n, s, delimiters);
  if (pos == 0) return {};
  size_t end = static_cast<size_t>(pos) - 1;
  while (end < s.size() && !delimiters.Contains(s[end])) ++end;
  return s.substr(static_cast<size_t>(pos) - 1, end - (static_cast<size_t>(pos) - 1));
}

AnsiString ExtractWord(int n, const AnsiString& s, const TCharSet& delimiters) {
  int pos = 0;
  return ExtractWordPos(n, s, delimiters, pos);
}

AnsiString ExtractDelimited(int n, const AnsiString& s, const TCharSet& delimiters) {
  if (n < 1) return {};
  int field = 1;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || delimiters.Contains(s[i])) {
      if (field == n) return s.substr(start, i - start);
      ++field;
      start = i + 1;
    }
  }
  return {};
}

AnsiString ExtractSubstr(const AnsiString& s, int& pos, const TCharSet& delimiters) {
  if (pos < 1) pos = 1;
  const size_t start = static_cast<size_t>(pos) - 1;
  if (start >= s.size()) {
    pos = static_cast<int>(s.size()) + 1;
    return {};
  }
  size_t end = start;
  while (end < s.size() && !delimiters.Contains(s[end])) ++end;
  pos = static_cast<int>(end) + 2;  // past the delimiter (or past the end)
  if (end >= s.size()) pos = static_cast<int>(s.size()) + 1;
  return s.substr(start, end - start);
}

bool IsWordPresent(const AnsiString& word, const AnsiString& s, const TCharSet& delimiters) {
  const int count = WordCount(s, delimiters);
  for (int i = 1; i <= count; ++i)
    if (ExtractWord(i, s, delimiters) == word) return true;
  return false;
}

AnsiString ReplaceStr(const AnsiString& s, const AnsiString& search, const AnsiString& replacement) {
  if (search.empty()) return s;
  AnsiString out;
  size_t from = 0;
  for (;;) {
    const size_t at = s.find(search, from);
    if (at == AnsiString::npos) break;
    out.append(s, from, at - from);
    out += replacement;
    from = at + search.size();
  }
  out.append(s, from, AnsiString::npos);
  return out;
}

namespace {

bool MatchesAt(const AnsiString& s, size_t at, const AnsiString& segment) {
  if (at + segment.size() > s.size()) return false;
  for (size_t k = 0; k < segment.size(); ++k)
    if (segment[k] != '?' && segment[k] != s[at + k]) return false;
  return true;
}

}  // namespace

int FindPart(const AnsiString& segment, const AnsiString& s) {
  if (segment.size() > s.size()) return 0;
  for (size_t at = 0; at + segment.size() <= s.size(); ++at)
    if (MatchesAt(s, at, segment)) return static_cast<int>(at) + 1;
  return 0;
}

bool IsWild(AnsiString input, AnsiString wildcard, bool ignoreCase) {
  if (input == wildcard) return true;
  for (size_t at = wildcard.find("**"); at != AnsiString::npos; at = wildcard.find("**"))
    wildcard.erase(at, 1);
  if (wildcard == "*") return true;
  if (ignoreCase) {
    input = UpperCase(input);
    wildcard = UpperCase(wildcard);
  }
  if (input.empty() || wildcard.empty()) return false;
  size_t i = 0;
  size_t w = 0;
  while (i < input.size() && w < wildcard.size()) {
    if (wildcard[w] == '*') {
      const size_t next = wildcard.find('*', w + 1);
      if (next == AnsiString::npos) {
        // The last segment is anchored at the end of the input.
        const AnsiString tail = wildcard.substr(w + 1);
        if (tail.size() > input.size() - i) return false;
        return MatchesAt(input, input.size() - tail.size(), tail);
      }
      const AnsiString segment = wildcard.substr(w + 1, next - w - 1);
      const int found = FindPart(segment, input.substr(i));
      if (found == 0) return false;
      i += static_cast<size_t>(found) - 1 + segment.size();
      w = next;
      continue;
    }
    if (wildcard[w] != '?' && wildcard[w] != input[i]) return false;
    ++i;
    ++w;
  }
  if (w == wildcard.size()) return i == input.size();
  // The input ended first: only stars may be left of the wildcard.
  return wildcard.find_first_not_of('*', w) == AnsiString::npos;
}

AnsiString XorEncode(const AnsiString& key, const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!key.empty()) c ^= static_cast<unsigned char>(key[i % key.size()]);
    out += IntToHex(c, 2);
  }
  return out;
}

AnsiString XorDecode(const AnsiString& key, const AnsiString& s) {
  AnsiString out;
  for (size_t k = 0; 2 * k + 1 < s.size(); ++k) {
    const int high = HexDigit(s[2 * k]);
    const int low = HexDigit(s[2 * k + 1]);
    unsigned char c = (high < 0 || low < 0) ? ' ' : static_cast<unsigned char>(high * 16 + low);
    if (!key.empty()) c ^= static_cast<unsigned char>(key[k % key.size()]);
    out += static_cast<char>(c);
  }
  return out;
}

AnsiString XorString(const AnsiString& key, const AnsiString& s) {
  if (key.empty()) return s;
  AnsiString out = s;
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(out[i] ^ key[i % key.size()]);
  return out;
}

AnsiString DelChars(const AnsiString& s, char c) {
  AnsiString out;
  for (char x : s)
    if (x != c) out += x;
  return out;
}
AnsiString DelSpace(const AnsiString& s) { return DelChars(s, ' '); }
AnsiString DelBSpace(const AnsiString& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == AnsiString::npos ? AnsiString() : s.substr(first);
}
AnsiString DelESpace(const AnsiString& s) {
  const size_t last = s.find_last_not_of(' ');
  return last == AnsiString::npos ? AnsiString() : s.substr(0, last + 1);
}
AnsiString DelRSpace(const AnsiString& s) { return DelBSpace(DelESpace(s)); }
AnsiString DelSpace1(const AnsiString& s) {
  AnsiString out;
  for (char c : s)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

AnsiString MakeStr(char c, int n) { return n <= 0 ? AnsiString() : AnsiString(static_cast<size_t>(n), c); }
AnsiString AddChar(char c, const AnsiString& s, int n) {
  const int length = static_cast<int>(s.size());
  return length >= n ? s : MakeStr(c, n - length) + s;
}
AnsiString AddCharR(char c, const AnsiString& s, int n) {
  const int length = static_cast<int>(s.size());
  return length >= n ? s : s + MakeStr(c, n - length);
}
AnsiString LeftStr(const AnsiString& s, int n) { return AddCharR(' ', s, n); }
AnsiString RightStr(const AnsiString& s, int n) { return AddChar(' ', s, n); }

int NPos(const AnsiString& sub, const AnsiString& s, int n) {
  if (sub.empty() || n < 1) return 0;
  size_t from = 0;
  for (int found = 0;;) {
    const size_t at = s.find(sub, from);
    if (at == AnsiString::npos) return 0;
    if (++found == n) return static_cast<int>(at) + 1;
    from = at + 1;
  }
}

AnsiString Tab2Space(const AnsiString& s, int n) { return ReplaceStr(s, "\t", MakeStr(' ', n)); }

bool IsEmptyStr(const AnsiString& s, const TCharSet& chars) {
  for (char c : s)
    if (!chars.Contains(c)) return false;
  return true;
}

int CompStr(const AnsiString& s1, const AnsiString& s2) {
  const int r = s1.compare(s2);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
int CompText(const AnsiString& s1, const AnsiString& s2) {
  const int r = CompareText(s1, s2);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

AnsiString Copy2Symb(const AnsiString& s, char c) {
  const size_t at = s.find(c);
  return at == AnsiString::npos ? s : s.substr(0, at);
}
AnsiString Copy2SymbDel(AnsiString& s, char c) {
  const AnsiString head = Copy2Symb(s, c);
  const size_t at = s.find(c);
  s = at == AnsiString::npos ? AnsiString() : DelBSpace(s.substr(at));
  return head;
}
AnsiString Copy2Space(const AnsiString& s) { return Copy2Symb(s, ' '); }
AnsiString Copy2SpaceDel(AnsiString& s) { return Copy2SymbDel(s, ' '); }

AnsiString AnsiProperCase(const AnsiString& s, const TCharSet& delimiters) {
  AnsiString out = s;
  bool wordStart = true;
  for (char& c : out) {
    c = Lower(c);
    if (delimiters.Contains(c)) {
      wordStart = true;
    } else {
      if (wordStart) c = Upper(c);
      wordStart = false;
    }
  }
  return out;
}

AnsiString QuotedString(const AnsiString& s, char q) {
  AnsiString out(1, q);
  for (char c : s) {
    out += c;
    if (c == q) out += q;
  }
  return out + q;
}

AnsiString ExtractQuotedString(const AnsiString& s, char q) {
  if (s.empty() || s[0] != q) return s;
  AnsiString out;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == q) {
      if (i + 1 < s.size() && s[i + 1] == q) {
        out += q;
        ++i;
        continue;
      }
      break;
    }
    out += s[i];
  }
  return out;
}

AnsiString Numb2USA(const AnsiString& s) {
  AnsiString out;
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += s[i];
  }
  return out;
}

AnsiString CenterStr(const AnsiString& s, int width) {
  const int length = static_cast<int>(s.size());
  if (width <= length) return s;
  return AddCharR(' ', MakeStr(' ', width / 2 - length / 2) + s, width);
}

AnsiString Dec2Hex(std::int64_t n, int digits) {
  return IntToHex(static_cast<std::uint32_t>(n), digits);
}

std::int32_t Hex2Dec(const AnsiString& s) {
  AnsiString text = s.find('$') == AnsiString::npos ? "$" + s : s;
  // Only a leading "$" (after blanks) makes a hexadecimal number; anything else fails.
  text = Trim(text);
  if (text.size() < 2 || text[0] != '$') return 0;
  std::uint64_t value = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return 0;
    value = value * 16 + static_cast<unsigned>(d);
    if (value > 0xFFFFFFFFull) return 0;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

AnsiString Dec2Numb(std::int64_t n, int len, int base) {
  if (base < 2) return {};
  std::uint32_t value = static_cast<std::uint32_t>(n);
  AnsiString digits;
  do {
    const unsigned d = value % static_cast<unsigned>(base);
    digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : d + 55));
    value /= static_cast<unsigned>(base);
  } while (value != 0);
  return AddChar('0', digits, len);
}

std::int32_t Numb2Dec(const AnsiString& s, int base) {
  std::uint32_t result = 0;
  std::uint32_t weight = 1;
  for (size_t i = s.size(); i-- > 0;) {
    const unsigned char c = static_cast<unsigned char>(Upper(s[i]));
    const std::uint32_t digit = c > 64 ? c - 55u : c - 48u;
    result += digit * weight;
    weight *= static_cast<std::uint32_t>(base);
  }
  return static_cast<std::int32_t>(result);
}

namespace {

int RomanValue(char c) {
  switch (Upper(c)) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
  }
  return 0;
}

}  // namespace

int RomanToInt(const AnsiString& s) {
  size_t i = 0;
  bool negative = false;
  if (!s.empty() && s[0] == '-') {
    negative = true;
    i = 1;
  }
  int total = 0;
  while (i < s.size()) {
    const int value = RomanValue(s[i]);
    if (value == 0) return 0;
    const int next = i + 1 < s.size() ? RomanValue(s[i + 1]) : 0;
    if (i + 1 < s.size() && next == 0) return 0;
    if (next > value) {
      total += next - value;
      i += 2;
    } else {
      total += value;
      ++i;
    }
  }
  return negative ? -total : total;
}

namespace {

void RomanDigit(AnsiString& out, int digit, char one, char five, char ten) {
  if (digit == 9) {
    out += one;
    out += ten;
  } else if (digit >= 5) {
    out += five;
    out.append(static_cast<size_t>(digit - 5), one);
  } else if (digit == 4) {
    out += one;
    out += five;
  } else {
    out.append(static_cast<size_t>(digit), one);
  }
}

}  // namespace

AnsiString IntToRoman(int n) {
  if (n < 1) return {};
  AnsiString out(static_cast<size_t>(n / 1000), 'M');
  RomanDigit(out, n / 100 % 10, 'C', 'D', 'M');
  RomanDigit(out, n / 10 % 10, 'X', 'L', 'C');
  RomanDigit(out, n % 10, 'I', 'V', 'X');
  return out;
}

AnsiString IntToBin(std::int64_t value, int digits, int spaces) {
  if (digits > 32) digits = 32;
  if (digits < 1 || spaces == 0) return {};
  AnsiString out;
  for (int left = digits; left > 0; --left) {
    if (left % spaces == 0) out += ' ';
    out += ((static_cast<std::uint64_t>(value) >> (left - 1)) & 1) ? '1' : '0';
  }
  return out;
}

AnsiString GetCmdLineArg(const AnsiString& switchName, const TCharSet& switchChars) {
  const int count = ParamCount();
  for (int i = 1; i <= count; ++i) {
    const AnsiString p = ParamStr(i);
    if (p.size() > 1 && switchChars.Contains(p[0]) && SameText(p.substr(1), switchName))
      return i < count ? ParamStr(i + 1) : AnsiString();
  }
  return {};
}
