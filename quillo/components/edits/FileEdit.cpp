#include "quillo/components/edits/FileEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Messages.h"
#include "quillo/components/edits/EditTexts.h"
#include "platform/vcl/PictureDialogs.h"
#include "quillo/components/files/BrowseFolderDlg.h"
#include "quillo/components/files/FileUtils.h"
#include "quillo/components/utilities/VclUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TFileDialogKind, "dkOpen", "dkSave", "dkOpenPicture", "dkSavePicture")
QUILLO_DEFINE_ENUM_TYPE(TDirDialogKind, "dkVCL", "dkWin32")

namespace {

// A path whose last part is a valid file name (the folders before it are not judged).
bool ValidPathName(const AnsiString& name) { return ValidFileName(ExtractFileName(name)); }

AnsiString Unquoted(const AnsiString& name) {
  AnsiString t = Trim(name);
  if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
  return t;
}

// Each folder of a ";" list converted, joined again with a separator only between two
// non-empty results.
AnsiString MapFolderList(const AnsiString& list, AnsiString (*convert)(const AnsiString&)) {
  AnsiString result, rest = list;
  for (;;) {
    const size_t cut = rest.find(';');
    const AnsiString piece = convert(rest.substr(0, cut));
    if (!piece.empty()) result += (result.empty() ? "" : ";") + piece;
    if (cut == AnsiString::npos) break;
    rest = rest.substr(cut + 1);
  }
  return result;
}

}  // namespace

AnsiString FileNameOfText(const AnsiString& text) {
  if (FileExists(text)) return text;
  AnsiString exe, params;
  SplitCommandLine(text, exe, params);
  return exe;
}

AnsiString QuotedFileName(const AnsiString& name) {
  if (name.find(' ') != AnsiString::npos && (name.empty() || name.front() != '"')) return "\"" + name + "\"";
  return name;
}

TOwnedPtr<TBitmap> MakeFileEditGlyph() {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(14, 12);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(clOlive);  // the transparent colour (bottom-left pixel)
  c->FillRect(TRect(0, 0, 14, 12));
  c->GetBrush()->SetColor(clYellow);
  c->FillRect(TRect(1, 3, 13, 11));
  c->GetBrush()->SetColor(clBlack);
  c->FrameRect(TRect(1, 3, 13, 11));
  c->FrameRect(TRect(1, 1, 6, 4));
  c->GetBrush()->SetColor(clYellow);
  c->FillRect(TRect(2, 2, 5, 4));
  c->SetPixel(0, 11, clOlive);
  return bitmap;
}

// ---- TFileDirEdit ----

QUILLO_DEFINE_CLASS(TFileDirEdit, TCustomComboEdit)

TFileDirEdit::TFileDirEdit(TComponent* owner) : TCustomComboEdit(owner) {
  SetOEMConvert(true);
  SetGlyphKind(gkDefault);
}

TOwnedPtr<TBitmap> TFileDirEdit::GetDefaultBitmap() { return MakeFileEditGlyph(); }

void TFileDirEdit::SetAcceptFiles(bool value) {
  if (acceptFiles_ == value) return;
  if (HandleAllocated() && !ComponentState().Contains(csDesigning)) DragAcceptFiles(GetHandle(), value);
  acceptFiles_ = value;
}

void TFileDirEdit::CreateWnd() {
  TCustomComboEdit::CreateWnd();
  if (acceptFiles_ && !ComponentState().Contains(csDesigning)) DragAcceptFiles(GetHandle(), TRUE);
}

void TFileDirEdit::DestroyWnd() {
  if (acceptFiles_ && HandleAllocated() && !ComponentState().Contains(csDesigning)) DragAcceptFiles(GetHandle(), FALSE);
  TCustomComboEdit::DestroyWnd();
}

void TFileDirEdit::DoBeforeDialog(AnsiString& name, bool& action) {
  if (OnBeforeDialog) OnBeforeDialog(this, name, action);
}

void TFileDirEdit::DoAfterDialog(AnsiString& name, bool& action) {
  if (OnAfterDialog) OnAfterDialog(this, name, action);
}

void TFileDirEdit::WMDropFiles(TMessage& m) {
  m.Result = 0;
  auto* drop = reinterpret_cast<HDROP>(m.WParam);
  try {
    const UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 0) {
      ClearFileList();
      for (UINT i = 0; i < count; ++i) {
        // Each name whole, however long: the buffer is sized from the name's own length.
        const UINT length = DragQueryFile(drop, i, nullptr, 0);
        std::string name(static_cast<size_t>(length) + 1, '\0');
        DragQueryFile(drop, i, name.data(), length + 1);
        name.resize(length);
        ReceptFileDir(name);
        if (!multiple_) break;
      }
      if (OnDropFiles) OnDropFiles(this);
    }
  } catch (...) {
    DragFinish(drop);
    throw;
  }
  DragFinish(drop);
}

void TFileDirEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_DROPFILES) {
    WMDropFiles(m);
    return;
  }
  TCustomComboEdit::WndProc(m);
}

// ---- TFilenameEdit ----

QUILLO_DEFINE_PUBLISHED_CLASS(TFilenameEdit, TFileDirEdit)

const TPropTable* TFilenameEdit::PublishedProperties() {
  using F = TFilenameEdit;
  static const TPropTable table = TPublisher<F>()
                                      .Property("AcceptFiles", &F::GetAcceptFiles, &F::SetAcceptFiles)
                                      .Property("DefaultExt", &F::GetDefaultExt, &F::SetDefaultExt)
                                      .Property("DialogKind", &F::GetDialogKind, &F::SetDialogKind)
                                      .Property("DialogOptions", &F::GetDialogOptions, &F::SetDialogOptions)
                                      .Property("DialogTitle", &F::GetDialogTitle, &F::SetDialogTitle)
                                      .Property("FileEditStyle", &F::GetFileEditStyle, &F::SetFileEditStyle)
                                      .Property("Filter", &F::GetFilter, &F::SetFilter)
                                      .Property("FilterIndex", &F::GetFilterIndex, &F::SetFilterIndex)
                                      .Property("HistoryList", &F::GetHistoryList, &F::SetHistoryList)
                                      .Property("InitialDir", &F::GetInitialDir, &F::SetInitialDir)
                                      .Property("ButtonHint", &F::GetButtonHint, &F::SetButtonHint)
                                      .Property("ButtonWidth", &F::GetButtonWidth, &F::SetButtonWidth)
                                      .Property("DirectInput", &F::GetDirectInput, &F::SetDirectInput)
                                      .Property("GlyphKind", &F::GetGlyphKind, &F::SetGlyphKind)
                                      .Property("ReadOnly", [](const F* f) { return f->GetReadOnly(); }, &F::SetReadOnly)
                                      .Property("Text", &F::GetEditText, &F::SetEditText)
                                      .Table();
  return &table;
}

TFilenameEdit::TFilenameEdit(TComponent* owner) : TFileDirEdit(owner) { CreateEditDialog(); }

void TFilenameEdit::CreateEditDialog() {
  TOpenDialog* made = nullptr;
  switch (dialogKind_) {
    case dkOpen: made = NewComponent<TOpenDialog>(this); break;
    case dkSave: made = NewComponent<TSaveDialog>(this); break;
    case dkOpenPicture: made = NewComponent<TOpenPictureDialog>(this); break;
    case dkSavePicture: made = NewComponent<TSavePictureDialog>(this); break;
  }
  if (TOpenDialog* old = dialog_) {
    made->SetDefaultExt(old->GetDefaultExt());
    made->SetFileEditStyle(old->GetFileEditStyle());
    made->SetFileName(old->GetFileName());
    made->SetFilter(old->GetFilter());
    made->SetFilterIndex(old->GetFilterIndex());
    made->SetInitialDir(old->GetInitialDir());
    made->SetHistoryList(old->GetHistoryList());
    made->GetFiles()->Assign(old->GetFiles());
    made->SetOptions(old->GetOptions());
    made->SetTitle(old->GetTitle());
    dialog_ = made;
    FreeObject(old);
  } else {
    made->SetTitle(edit_text::BrowseTitle);
    made->SetFilter(edit_text::DefaultFilter);
    made->SetOptions(TOpenOptions{ofHideReadOnly});
    dialog_ = made;
  }
}

void TFilenameEdit::SetDialogKind(TFileDialogKind value) {
  if (dialogKind_ == value) return;
  dialogKind_ = value;
  CreateEditDialog();
}

AnsiString TFilenameEdit::GetFileName() { return FileNameOfText(GetText()); }

void TFilenameEdit::SetFileName(const AnsiString& value) {
  if (!value.empty() && !ValidPathName(Unquoted(value)))
    throw EComboEditError(Format(edit_text::InvalidFileName, value.c_str()));
  SetText(value.empty() ? value : QuotedFileName(Unquoted(value)));
  ClearFileList();
}

void TFilenameEdit::SetDialogOptions(TOpenOptions value) {
  if (dialog_->GetOptions() == value) return;
  dialog_->SetOptions(value);
  SetMultiple(value.Contains(ofAllowMultiSelect));
  if (!Multiple()) ClearFileList();
}

void TFilenameEdit::ClearFileList() { dialog_->GetFiles()->Clear(); }

AnsiString TFilenameEdit::GetLongName() { return ShortToLongFileName(GetFileName()); }
AnsiString TFilenameEdit::GetShortName() { return LongToShortFileName(GetFileName()); }

void TFilenameEdit::ReceptFileDir(const AnsiString& name) {
  if (Multiple()) {
    if (dialog_->GetFiles()->Count() == 0) SetFileName(name);
    dialog_->GetFiles()->Add(name);
  } else {
    SetFileName(name);
  }
}

void TFilenameEdit::ButtonClick() {
  TFileDirEdit::ButtonClick();
  AnsiString name = GetFileName();
  bool action = true;
  DoBeforeDialog(name, action);
  if (!action) return;
  if (!name.empty() && ValidPathName(name)) {
    try {
      const AnsiString folder = ExtractFilePath(name);
      if (!folder.empty() && DirExists(folder)) dialog_->SetInitialDir(folder);
      if (!ValidFileName(ExtractFileName(name))) name.clear();
    } catch (...) {
      // A start name that cannot be prepared only means the dialog starts without one.
    }
  }
  dialog_->SetFileName(name);
  action = dialog_->Execute();
  if (action) name = dialog_->GetFileName();
  if (CanFocus()) SetFocus();
  DoAfterDialog(name, action);
  if (!action) return;
  SetText(QuotedFileName(name));
  SetModified(true);
  dialog_->SetInitialDir(ExtractFilePath(dialog_->GetFileName()));
}

// ---- TDirectoryEdit ----

QUILLO_DEFINE_PUBLISHED_CLASS(TDirectoryEdit, TFileDirEdit)

const TPropTable* TDirectoryEdit::PublishedProperties() {
  using D = TDirectoryEdit;
  static const TPropTable table = TPublisher<D>()
                                      .Property("AcceptFiles", &D::GetAcceptFiles, &D::SetAcceptFiles)
                                      .Property("DialogKind", &D::GetDialogKind, &D::SetDialogKind)
                                      .Property("DialogText", &D::GetDialogText, &D::SetDialogText)
                                      .Property("InitialDir", &D::GetInitialDir, &D::SetInitialDir)
                                      .Property("MultipleDirs", &D::GetMultipleDirs, &D::SetMultipleDirs)
                                      .Property("ButtonHint", &D::GetButtonHint, &D::SetButtonHint)
                                      .Property("ButtonWidth", &D::GetButtonWidth, &D::SetButtonWidth)
                                      .Property("DirectInput", &D::GetDirectInput, &D::SetDirectInput)
                                      .Property("GlyphKind", &D::GetGlyphKind, &D::SetGlyphKind)
                                      .Property("ReadOnly", [](const D* d) { return d->GetReadOnly(); }, &D::SetReadOnly)
                                      .Property("Text", &D::GetEditText, &D::SetEditText)
                                      .Table();
  return &table;
}

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TFileDirEdit(owner) {}

void TDirectoryEdit::ReceptFileDir(const AnsiString& name) {
  const AnsiString dir = FileExists(name) ? ExtractFilePath(name) : name;
  if (GetText().empty() || !Multiple()) SetText(dir);
  else SetText(GetText() + ";" + dir);
}

AnsiString TDirectoryEdit::GetLongName() {
  return Multiple() ? MapFolderList(GetText(), ShortToLongPath) : ShortToLongPath(GetText());
}

AnsiString TDirectoryEdit::GetShortName() {
  return Multiple() ? MapFolderList(GetText(), LongToShortPath) : LongToShortPath(GetText());
}

void TDirectoryEdit::ButtonClick() {
  TFileDirEdit::ButtonClick();
  AnsiString name = GetText();
  bool action = true;
  DoBeforeDialog(name, action);
  if (!action) return;
  if (name.empty()) name = initialDir_.empty() ? AnsiString("/") : initialDir_;
  if (!DirExists(name)) name = "/";
  if (dialogKind_ == dkWin32) action = BrowseDirectory(name, dialogText_, 0);
  else action = SelectDirectory(name, dialogOptions_, 0);
  if (CanFocus()) SetFocus();
  DoAfterDialog(name, action);
  if (!action) return;
  if (HandleAllocated()) SetSelText("");
  if (GetText().empty() || !Multiple()) SetText(name);
  else SetText(GetText() + ";" + name);
  if (!name.empty() && DirExists(name)) initialDir_ = name;
}
