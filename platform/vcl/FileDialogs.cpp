#include "platform/vcl/FileDialogs.h"

#include <algorithm>
#include <cstring>

#include "platform/vcl/Application.h"

QUILLO_DEFINE_ENUM_TYPE(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir",
                        "ofShowHelp", "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent",
                        "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt", "ofShareAware",
                        "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
                        "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing")
QUILLO_DEFINE_SET_TYPE(TOpenOptions, TOpenOption)
QUILLO_DEFINE_ENUM_TYPE(TFileEditStyle, "fsEdit", "fsComboBox")

QUILLO_DEFINE_PUBLISHED_CLASS(TOpenDialog, TCommonDialog)
QUILLO_DEFINE_PUBLISHED_CLASS(TSaveDialog, TOpenDialog)

namespace {

// Room for many chosen names: the multi-select result lists every one.
constexpr size_t kFileBufferSize = 0xFFFF;

struct OptionFlag {
  TOpenOption option;
  DWORD flag;
};
constexpr OptionFlag kOptionFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
};

// The chosen paths of a result buffer: one path, or a folder followed by names.
std::vector<AnsiString> ChosenPaths(const OPENFILENAME& ofn) {
  std::vector<AnsiString> paths;
  const char* buffer = ofn.lpstrFile;
  if (!buffer || !*buffer) return paths;
  if (ofn.nFileOffset == 0 || buffer[ofn.nFileOffset - 1] != '\0') {
    paths.emplace_back(buffer);
    return paths;
  }
  AnsiString folder = buffer;
  const char* end = buffer + ofn.nMaxFile;
  for (const char* name = buffer + ofn.nFileOffset; name < end && *name; name += std::strlen(name) + 1)
    paths.push_back((folder == "/" ? "" : folder) + "/" + name);
  return paths;
}

}  // namespace

const TPropTable* TOpenDialog::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TOpenDialog>()
          .Property("DefaultExt", &TOpenDialog::GetDefaultExt, &TOpenDialog::SetDefaultExt)
          .Property("FileEditStyle", &TOpenDialog::GetFileEditStyle, &TOpenDialog::SetFileEditStyle)
          .Property("FileName", &TOpenDialog::GetFileName, &TOpenDialog::SetFileName)
          .Property("Filter", &TOpenDialog::GetFilter, &TOpenDialog::SetFilter)
          .Property("FilterIndex", &TOpenDialog::GetFilterIndex, &TOpenDialog::SetFilterIndex)
          .Property("InitialDir", &TOpenDialog::GetInitialDir, &TOpenDialog::SetInitialDir)
          .Property("Options", &TOpenDialog::GetOptions, &TOpenDialog::SetOptions)
          .Property("Title", &TOpenDialog::GetTitle, &TOpenDialog::SetTitle)
          .Table();
  return &table;
}

const TPropTable* TSaveDialog::PublishedProperties() {
  static const TPropTable table = TPublisher<TSaveDialog>().Table();
  return &table;
}

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), files_(std::make_unique<TStringList>()), historyList_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

std::string TOpenDialog::FilterString(const AnsiString& filter) {
  if (filter.empty()) return {};
  std::string out = filter;
  for (char& c : out)
    if (c == '|') c = '\0';
  // An odd number of parts leaves a description without patterns: it is dropped.
  size_t parts = 1 + static_cast<size_t>(std::count(filter.begin(), filter.end(), '|'));
  if (parts % 2) out.resize(filter.rfind('|') == AnsiString::npos ? 0 : filter.rfind('|'));
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

bool TOpenDialog::Execute() { return DoExecute(&GetOpenFileName); }

BOOL TOpenDialog::TaskModalDialog(DialogFunction function, OPENFILENAME& record) { return function(&record); }

bool TOpenDialog::DoExecute(DialogFunction function) {
  std::vector<char> buffer(kFileBufferSize, '\0');
  std::memcpy(buffer.data(), fileName_.data(), std::min(fileName_.size(), buffer.size() - 2));
  const std::string filter = FilterString(filter_);
  OPENFILENAME ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_ > 0 ? filterIndex_ : 1);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
  for (const OptionFlag& of : kOptionFlags)
    if (options_.Contains(of.option)) ofn.Flags |= of.flag;
  ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  if (const DialogTemplate* child = ChildTemplate()) {
    ofn.Flags |= OFN_ENABLETEMPLATEHANDLE;
    ofn.hInstance = const_cast<DialogTemplate*>(child);
  }
  ofn.lpfnHook = [this](HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    return Hook(child, message, wParam, lParam);
  };
  running_ = &ofn;
  shown_ = false;
  // The program's stay-on-top windows would cover the dialog.
  Application()->NormalizeTopMosts();
  struct RunningScope {
    TOpenDialog* dialog;
    ~RunningScope() {
      dialog->running_ = nullptr;
      if (dialog->GetHandle()) dialog->DialogClosed();
      Application()->RestoreTopMosts();
    }
  } scope{this};
  const BOOL accepted = TaskModalDialog(function, ofn);
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  if (!accepted) return false;
  files_->Clear();
  for (const AnsiString& path : ChosenPaths(ofn)) files_->Add(path);
  fileName_ = files_->Count() ? files_->Get(0) : AnsiString();
  if (ofn.Flags & OFN_READONLY) options_ << ofReadOnly;
  else options_ >> ofReadOnly;
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) options_ << ofExtensionDifferent;
  else options_ >> ofExtensionDifferent;
  return true;
}

AnsiString TOpenDialog::CurrentPath() const {
  HWND dialog = GetHandle();
  if (!dialog) return fileName_;
  char path[4096] = {};
  LRESULT size = SendMessage(dialog, CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
  return size > 0 && size <= static_cast<LRESULT>(sizeof path) ? AnsiString(path) : AnsiString();
}

UINT_PTR TOpenDialog::Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && running_) {
    const auto& notify = *reinterpret_cast<const OFNOTIFY*>(lParam);
    switch (notify.hdr.code) {
      case CDN_INITDONE:
        if (!shown_) {
          shown_ = true;
          DialogShown(GetParent(child));
          DoShow();
        }
        return TRUE;
      case CDN_FILEOK: {
        std::vector<AnsiString> chosen = ChosenPaths(*running_);
        files_->Clear();
        for (const AnsiString& path : chosen) files_->Add(path);
        fileName_ = chosen.empty() ? AnsiString() : chosen[0];
        const bool canClose = DoCanClose();
        SetWindowLongPtr(child, DWLP_MSGRESULT, canClose ? 0 : 1);
        return TRUE;
      }
      case CDN_FOLDERCHANGE: DoFolderChange(); return TRUE;
      case CDN_SELCHANGE: DoSelectionChange(); return TRUE;
      case CDN_TYPECHANGE:
        filterIndex_ = static_cast<int>(running_->nFilterIndex);
        DoTypeChange();
        return TRUE;
      default: break;
    }
  }
  if (message == WM_DESTROY && GetHandle()) {
    DoClose();
    DialogClosed();
  }
  return ChildMessage(child, message, wParam, lParam);
}

UINT_PTR TOpenDialog::ChildMessage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void TOpenDialog::DoShow() {}

void TOpenDialog::DoClose() {}

bool TOpenDialog::DoCanClose() {
  bool canClose = true;
  if (onCanClose_) onCanClose_(this, canClose);
  return canClose;
}

void TOpenDialog::DoFolderChange() {
  if (onFolderChange_) onFolderChange_(this);
}

void TOpenDialog::DoSelectionChange() {
  if (onSelectionChange_) onSelectionChange_(this);
}

void TOpenDialog::DoTypeChange() {
  if (onTypeChange_) onTypeChange_(this);
}

TSaveDialog::TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

TSaveDialog::~TSaveDialog() = default;

bool TSaveDialog::Execute() { return DoExecute(&GetSaveFileName); }
