#pragma once
// The framework's string lists. TStrings holds what every list of lines shares (text with
// CR LF line breaks, the comma text, name=value lines, loading and saving); TStringList keeps
// the lines itself, each with an object pointer it does not own, optionally sorted. Indexes
// are 0-based; a bad index raises EStringListError.

#include <functional>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Object.h"

class TStream;

using TNotifyEvent = std::function<void(TObject* sender)>;

class TStrings : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  ~TStrings() override;

  // What each list implements.
  virtual int Count() const = 0;
  virtual AnsiString Get(int index) const = 0;
  virtual void Put(int index, const AnsiString& text);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const AnsiString& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  AnsiString Strings(int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }

  virtual int Add(const AnsiString& text);  // the index it went to
  virtual int AddObject(const AnsiString& text, TObject* object);
  void InsertObject(int index, const AnsiString& text, TObject* object);
  void AddStrings(const TStrings& strings);
  void Append(const AnsiString& text) { Add(text); }
  virtual void Exchange(int index1, int index2);
  virtual void Move(int from, int to);
  virtual int IndexOf(const AnsiString& text) const;
  int IndexOfName(const AnsiString& name) const;
  int IndexOfObject(const TObject* object) const;
  bool Equals(const TStrings& other) const;
  void Assign(const TPersistent* source) override;

  // Every line followed by CR LF. Setting splits at CR LF, LF or CR; a break at the very end
  // makes no empty last line.
  AnsiString Text() const;
  virtual void SetText(const AnsiString& text);

  // Lines joined by Delimiter; a line holding a blank, a control character, the quote or
  // the delimiter is quoted (quotes inside doubled). Setting splits at the delimiter and at
  // unquoted blanks.
  AnsiString DelimitedText() const;
  void SetDelimitedText(const AnsiString& text);
  char Delimiter = ',';
  char QuoteChar = '"';
  // DelimitedText with ',' and '"'.
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& text);

  // name=value lines. Names compare as the list compares (without regard to case unless
  // the list says otherwise).
  AnsiString Names(int index) const;  // empty for a line without '='
  AnsiString ValueFromIndex(int index) const;
  AnsiString Values(const AnsiString& name) const;
  // Replaces the line of the name, or adds one; an empty value deletes the line.
  void SetValue(const AnsiString& name, const AnsiString& value);

  // Bytes as they are in the file; EFOpenError when it cannot be read. Saving replaces the
  // file atomically (AtomicFile.h): a link stays a link, and a failed save keeps the old file
  // (EFCreateError).
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;

  // Changes made between the calls notify once, at the end.
  void BeginUpdate();
  void EndUpdate();

protected:
  int UpdateCount() const { return updateCount_; }
  virtual void SetUpdateState(bool updating);
  // Compares two lines as the list orders and finds them.
  virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const;

private:
  int updateCount_ = 0;
};

// Calls BeginUpdate now and EndUpdate on every way out, exceptions included.
class TStringsUpdate {
public:
  explicit TStringsUpdate(TStrings* strings) : strings_(strings) { strings_->BeginUpdate(); }
  ~TStringsUpdate() { strings_->EndUpdate(); }
  TStringsUpdate(const TStringsUpdate&) = delete;
  TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
  TStrings* strings_;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  QUILLO_DECLARE_CLASS()

public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& text) override;  // EStringListError when sorted
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const AnsiString& text) override;  // EStringListError when sorted
  void Delete(int index) override;
  void Clear() override;
  int Add(const AnsiString& text) override;
  // In a sorted list a line that is refused (dupIgnore) leaves the existing line's object.
  int AddObject(const AnsiString& text, TObject* object) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const AnsiString& text) const override;

  // Binary search of a sorted list: true when found; index is the first equal line, or
  // where the text would go.
  bool Find(const AnsiString& text, int& index) const;
  virtual void Sort();
  // Orders the lines with compare(list, i, j); lines that compare equal keep their order.
  void CustomSort(const std::function<int(TStringList*, int, int)>& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  // What Add does with a line already in a sorted list (unsorted lists take every line).
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // Case-sensitive lists still order without regard to case first ("a" < "B" < "b"),
  // lower case before upper case where that is the only difference.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
  virtual void Changed();
  virtual void Changing();

private:
  struct Item {
    AnsiString text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const AnsiString& text, TObject* object);

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
};
