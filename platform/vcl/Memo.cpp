#include "platform/vcl/Memo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/vcl/Messages.h"


namespace {

// How many lines a text holds as a string list splits it (no empty line after a final break).
int CountLines(const AnsiString& text) {
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') ++count;
  }
  const char last = text.empty() ? '\n' : text.back();
  return count + (last == '\r' || last == '\n' ? 0 : 1);
}

// The lines of a text as a string list splits them.
std::vector<AnsiString> SplitLines(const AnsiString& text) {
  TStringList list;
  list.SetText(text);
  std::vector<AnsiString> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

AnsiString JoinLines(const std::vector<AnsiString>& lines) {
  AnsiString text;
  for (const AnsiString& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

QUILLO_DEFINE_CLASS(TMemoStrings, TStrings)

HWND TMemoStrings::Window() const { return memo_->HandleAllocated() ? memo_->GetHandle() : nullptr; }

int TMemoStrings::Count() const {
  HWND h = Window();
  if (!h) return CountLines(memo_->GetText());
  int count = static_cast<int>(SendMessage(h, EM_GETLINECOUNT, 0, 0));
  const LRESULT last = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
  if (SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(last), 0) == 0) --count;
  return count;
}

AnsiString TMemoStrings::Get(int index) const {
  HWND h = Window();
  if (!h) {
    std::vector<AnsiString> lines = SplitLines(memo_->GetText());
    return index >= 0 && index < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(index)] : AnsiString();
  }
  const LRESULT start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return AnsiString();
  const int length = static_cast<int>(SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
  std::string buffer(static_cast<size_t>(std::max(length, 2)), '\0');
  const WORD size = static_cast<WORD>(std::min(length, 0xFFFF));
  std::memcpy(buffer.data(), &size, sizeof size);
  const LRESULT n = SendMessage(h, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(n));
  return buffer;
}

void TMemoStrings::Put(int index, const AnsiString& text) {
  HWND h = Window();
  if (!h) {
    std::vector<AnsiString> lines = SplitLines(memo_->GetText());
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    lines[static_cast<size_t>(index)] = text;
    memo_->SetText(JoinLines(lines));
    return;
  }
  const LRESULT start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return;
  const LRESULT length = SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  SendMessage(h, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemoStrings::Insert(int index, const AnsiString& text) {
  if (index < 0) return;
  HWND h = Window();
  if (!h) {
    const AnsiString all = memo_->GetText();
    const int count = CountLines(all);
    if (index > count) return;
    if (index == count) {
      // Added at the end, as most lines are: the text grows without being split.
      const bool broken = all.empty() || all.back() == '\n' || all.back() == '\r';
      memo_->SetText(all + (broken ? "" : "\r\n") + text + "\r\n");
      return;
    }
    std::vector<AnsiString> lines = SplitLines(all);
    lines.insert(lines.begin() + index, text);
    memo_->SetText(JoinLines(lines));
    return;
  }
  LRESULT start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  AnsiString line;
  if (start >= 0) {
    line = text + "\r\n";
  } else {
    // After the last line: the break goes before the new line.
    start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index - 1), 0);
    if (start < 0) return;
    const LRESULT length = SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (length == 0) return;
    start += length;
    line = "\r\n" + text;
  }
  SendMessage(h, EM_SETSEL, static_cast<WPARAM>(start), start);
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int index) {
  HWND h = Window();
  if (!h) {
    std::vector<AnsiString> lines = SplitLines(memo_->GetText());
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    lines.erase(lines.begin() + index);
    memo_->SetText(JoinLines(lines));
    return;
  }
  const LRESULT start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return;
  LRESULT end = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0);
  if (end < 0) end = start + SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  SendMessage(h, EM_SETSEL, static_cast<WPARAM>(start), end);
  SendMessage(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() { memo_->Clear(); }

void TMemoStrings::SetText(const AnsiString& text) { memo_->SetText(text); }

void TMemoStrings::SetUpdateState(bool updating) {
  HWND h = Window();
  if (!h) return;
  if (updating) {
    drawing_.Begin(h);
  } else {
    drawing_.End(h);
    memo_->Invalidate();
  }
}

QUILLO_DEFINE_CLASS(TCustomMemo, TCustomEdit)

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(MakeObject<TMemoStrings>(this)) {
  SetAutoSize(false);
  SetBounds(GetLeft(), GetTop(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* lines) {
  if (lines) lines_->Assign(lines);
}

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  static const DWORD alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  static const DWORD bars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  if (wordWrap_) p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  p.Style |= ES_MULTILINE | alignments[alignment_] | bars[scrollBars_];
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (alignment_ == value) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (scrollBars_ == value) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (wordWrap_ == value) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  if (key == '\r' && !wantReturns_) key = 0;
}

void TCustomMemo::WndProc(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::WndProc(m);
    if (wantTabs_) m.Result |= DLGC_WANTTAB;
    else m.Result &= ~DLGC_WANTTAB;
    if (!wantReturns_) m.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  TCustomEdit::WndProc(m);
}

QUILLO_DEFINE_PUBLISHED_CLASS(TMemo, TCustomMemo)

const TPropTable* TMemo::PublishedProperties() {
  static const TPropTable table = TPublisher<TMemo>()
                                      .Property("Alignment", &TMemo::GetAlignment, &TMemo::SetAlignment)
                                      .Property("BorderStyle", &TMemo::GetBorderStyle, &TMemo::SetBorderStyle)
                                      .Property("Ctl3D", &TMemo::GetCtl3D, &TMemo::SetCtl3D)
                                      .Property("HideSelection", &TMemo::GetHideSelection, &TMemo::SetHideSelection)
                                      .Property("Lines", &TMemo::GetLines, &TMemo::SetLines)
                                      .Property("MaxLength", &TMemo::GetMaxLength, &TMemo::SetMaxLength)
                                      .Property("OEMConvert", &TMemo::GetOEMConvert, &TMemo::SetOEMConvert)
                                      .Property("ReadOnly", &TMemo::GetReadOnly, &TMemo::SetReadOnly)
                                      .Property("ScrollBars", &TMemo::GetScrollBars, &TMemo::SetScrollBars)
                                      .Property("WantReturns", &TMemo::GetWantReturns, &TMemo::SetWantReturns)
                                      .Property("WantTabs", &TMemo::GetWantTabs, &TMemo::SetWantTabs)
                                      .Property("WordWrap", &TMemo::GetWordWrap, &TMemo::SetWordWrap)
                                      .Table();
  return &table;
}

TMemo::TMemo(TComponent* owner) : TCustomMemo(owner) {}
