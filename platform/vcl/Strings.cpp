#include "platform/vcl/Strings.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsBlankOrControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= ' ';
}

// Reads a quoted string starting at text[at] (the opening quote): doubled quotes give one
// quote; the string ends at the next single quote or at the end of the text.
AnsiString ExtractQuoted(const AnsiString& text, size_t& at, char quote) {
  AnsiString result;
  ++at;
  while (at < text.size()) {
    if (text[at] == quote) {
      if (at + 1 < text.size() && text[at + 1] == quote) {
        result += quote;
        at += 2;
        continue;
      }
      ++at;
      return result;
    }
    result += text[at++];
  }
  return result;
}

AnsiString Quoted(const AnsiString& text, char quote) {
  AnsiString result(1, quote);
  for (char c : text) {
    result += c;
    if (c == quote) result += quote;
  }
  return result + quote;
}

}  // namespace

// ----- TStrings -----

QUILLO_DEFINE_CLASS(TStrings, TPersistent)

TStrings::~TStrings() = default;

void TStrings::Put(int index, const AnsiString& text) {
  TObject* object = GetObject(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, text, object);
  EndUpdate();
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const AnsiString& text) {
  const int index = Count();
  Insert(index, text);
  return index;
}

int TStrings::AddObject(const AnsiString& text, TObject* object) {
  const int index = Add(text);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const AnsiString& text, TObject* object) {
  Insert(index, text);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
  BeginUpdate();
  for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
  EndUpdate();
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  const AnsiString text1 = Get(index1);
  TObject* object1 = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, text1);
  PutObject(index2, object1);
  EndUpdate();
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  BeginUpdate();
  const AnsiString text = Get(from);
  TObject* object = GetObject(from);
  Delete(from);
  InsertObject(to, text, object);
  EndUpdate();
}

int TStrings::IndexOf(const AnsiString& text) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), text) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i) {
    const AnsiString line = Get(i);
    const size_t equals = line.find('=');
    if (equals != AnsiString::npos && CompareStrings(line.substr(0, equals), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::Assign(const TPersistent* source) {
  const auto* strings = dynamic_cast<const TStrings*>(source);
  if (strings == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;
  BeginUpdate();
  Clear();
  AddStrings(*strings);
  EndUpdate();
}

AnsiString TStrings::Text() const {
  AnsiString text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + "\r\n";
  return text;
}

void TStrings::SetText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find_first_of("\r\n", at);
    const size_t stop = end == AnsiString::npos ? text.size() : end;
    Add(text.substr(at, stop - at));
    at = stop;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
  EndUpdate();
}

AnsiString TStrings::DelimitedText() const {
  if (Count() == 1 && Get(0).empty()) return AnsiString(2, QuoteChar);
  AnsiString text;
  for (int i = 0; i < Count(); ++i) {
    const AnsiString line = Get(i);
    const bool needsQuotes = std::any_of(line.begin(), line.end(), [this](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == QuoteChar || c == Delimiter;
    });
    if (i > 0) text += Delimiter;
    text += needsQuotes ? Quoted(line, QuoteChar) : line;
  }
  return text;
}

void TStrings::SetDelimitedText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  size_t at = 0;
  auto skipBlanks = [&] {
    while (at < text.size() && IsBlankOrControl(text[at])) ++at;
  };
  skipBlanks();
  while (at < text.size()) {
    if (text[at] == QuoteChar) {
      Add(ExtractQuoted(text, at, QuoteChar));
    } else {
      const size_t start = at;
      while (at < text.size() && static_cast<unsigned char>(text[at]) > ' ' && text[at] != Delimiter) ++at;
      Add(text.substr(start, at - start));
    }
    skipBlanks();
    if (at < text.size() && text[at] == Delimiter) {
      if (at + 1 == text.size()) Add(AnsiString());  // a delimiter at the end ends an empty item
      ++at;
      skipBlanks();
    }
  }
  EndUpdate();
}

AnsiString TStrings::CommaText() const {
  TStrings& self = const_cast<TStrings&>(*this);
  const char delimiter = Delimiter, quote = QuoteChar;
  self.Delimiter = ',';
  self.QuoteChar = '"';
  AnsiString text = DelimitedText();
  self.Delimiter = delimiter;
  self.QuoteChar = quote;
  return text;
}

void TStrings::SetCommaText(const AnsiString& text) {
  const char delimiter = Delimiter, quote = QuoteChar;
  Delimiter = ',';
  QuoteChar = '"';
  try {
    SetDelimitedText(text);
  } catch (...) {
    Delimiter = delimiter;
    QuoteChar = quote;
    throw;
  }
  Delimiter = delimiter;
  QuoteChar = quote;
}

AnsiString TStrings::Names(int index) const {
  const AnsiString line = Get(index);
  const size_t equals = line.find('=');
  return equals == AnsiString::npos ? AnsiString() : line.substr(0, equals);
}

AnsiString TStrings::ValueFromIndex(int index) const {
  const AnsiString line = Get(index);
  const size_t equals = line.find('=');
  return equals == AnsiString::npos ? AnsiString() : line.substr(equals + 1);
}

AnsiString TStrings::Values(const AnsiString& name) const {
  const int index = IndexOfName(name);
  return index < 0 ? AnsiString() : ValueFromIndex(index);
}

void TStrings::SetValue(const AnsiString& name, const AnsiString& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) {
    Add(name + "=" + value);
    return;
  }
  Put(index, name + "=" + value);
}

void TStrings::LoadFromStream(TStream* stream) {
  const std::int64_t size = stream->Size() - stream->Position();
  AnsiString text(static_cast<size_t>(std::max<std::int64_t>(size, 0)), '\0');
  if (!text.empty()) stream->ReadBuffer(text.data(), static_cast<int>(text.size()));
  SetText(text);
}

void TStrings::SaveToStream(TStream* stream) const {
  const AnsiString text = Text();
  if (!text.empty()) stream->WriteBuffer(text.data(), static_cast<int>(text.size()));
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  AtomicFile::WriteFile(fileName, Text());
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);  // announced while nothing is held back yet
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const AnsiString& a, const AnsiString& b) const { return CompareText(a, b); }

// ----- TStringList -----

QUILLO_DEFINE_CLASS(TStringList, TStrings)

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format(RtlText::ListIndexError, index));
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].text;
}

void TStringList::Put(int index, const AnsiString& text) {
  if (sorted_) throw EStringListError(RtlText::SortedListError);
  CheckIndex(index);
  Changing();
  items_[index].text = text;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::InsertItem(int index, const AnsiString& text, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{text, object});
  Changed();
}

void TStringList::Insert(int index, const AnsiString& text) {
  if (sorted_) throw EStringListError(RtlText::SortedListError);
  if (index < 0 || index > Count()) throw EStringListError(Format(RtlText::ListIndexError, index));
  InsertItem(index, text, nullptr);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(const AnsiString& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const AnsiString& text, TObject* object) {
  int index = Count();
  if (sorted_ && Find(text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(RtlText::DuplicateString);
  }
  InsertItem(index, text, object);
  return index;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

int TStringList::IndexOf(const AnsiString& text) const {
  if (!sorted_) return TStrings::IndexOf(text);
  int index = 0;
  return Find(text, index) ? index : -1;
}

bool TStringList::Find(const AnsiString& text, int& index) const {
  int low = 0, high = Count() - 1;
  bool found = false;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const int order = CompareStrings(items_[middle].text, text);
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (order == 0) found = true;
    }
  }
  index = low;
  return found;
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[a].text, list->items_[b].text);
  });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& compare) {
  if (Count() < 2) return;
  Changing();
  // The comparison sees the lines at their places before sorting, by index, as callers
  // expect; the new order is then applied in one step.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int index : order) sorted.push_back(std::move(items_[index]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted_ == sorted) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive_ == caseSensitive) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
  const int folded = CompareText(a, b);
  if (!caseSensitive_ || folded != 0) return folded;
  // Lines that differ only in case: lower case first, as the system's word order has it.
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return (a[i] >= 'a' && a[i] <= 'z') ? -1 : 1;
  return 0;
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}
