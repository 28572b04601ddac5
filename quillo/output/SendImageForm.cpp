#include "quillo/output/SendImageForm.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/NMSMTP.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/FormTranslator.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/captions/BandCaption.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/OutputHost.h"
#include "quillo/output/MailDefaults.h"
#include "quillo/tools/Tool.h"
#include "vorlen/formats/GFXFile.h"

QUILLO_DEFINE_CLASS(TSendImageForm, TForm)

namespace {

constexpr const char* kStorageKey = "Software\\Dornick\\QL";
constexpr const char* kStorageSection = "SendForm";
constexpr int kHelpContext = 1150;
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kAskSend = MB_YESNO | MB_ICONEXCLAMATION;
constexpr const char* kStoredProps[] = {
    "FromEdit.Text", "SMTPServerEdit.Text", "UserIDEdit.Text", "AdvancedBtn.Tag", "FromNameEdit.Text", "ReplyToEdit.Text",
};
constexpr int kAdvancedTop = 246;

// The server's password, once the user gave it: kept for the run, never stored.
AnsiString sessionPassword;

template <class T>
T* Placed(TForm* form, const char* name, int left, int top, int width, int height) {
  T* c = NewNamedComponent<T>(form, name);
  c->SetBounds(left, top, width, height);
  c->SetParent(form);
  return c;
}

bool AskPassword(AnsiString& password) {
  TOwnedPtr<TForm> form = CreateInputDialog(LangMessage("Authentication Failed"), LangMessage("Enter Password:"), "");
  auto* edit = static_cast<TEdit*>(form->FindComponent("Value"));
  edit->SetPasswordChar('*');
  if (form->ShowModal() != mrOk) return false;
  password = edit->GetText();
  return true;
}

}  // namespace

void ForgetMailPassword() { sessionPassword.clear(); }

void ShowSendImageForm() {
  if (CurrentPicture == nullptr) return;
  // The form shows and sends the committed picture, never a dialog tool's preview.
  const ToolSuspension aside;
  TOwnedPtr<TSendImageForm> form(NewComponent<TSendImageForm>(Application()));
  form->ShowModal();
}

TSendImageForm::TSendImageForm(TComponent* owner) : TForm(owner), picture_(CurrentPicture) {
  SetName("SendImageForm");
  SetCaption("Send Image via E-Mail");
  SetBorderStyle(bsDialog);
  SetKeyPreview(true);
  SetHelpContext(kHelpContext);
  SetAutoScroll(false);
  SetClientWidth(360);
  Cap = NewNamedComponent<TBandCaption>(this, "Cap");
  Cap->SetNumColors(64);
  BuildControls();
  BuildStorage();
  TranslateForm("[SendImageForm]");
  Cap->SetActiveEndColor(ActiveCaptionEndColor);
  Cap->SetInactiveEndColor(InactiveCaptionEndColor);
  SetClientHeight(UserIDEdit->GetTop() + UserIDEdit->GetHeight() + 4);
  // As designed the advanced part shows: hidden for a novice, shown again for an expert.
  AdvancedBtnClick(nullptr);
  if (Settings.Level == 1) AdvancedBtnClick(nullptr);
  SetBounds(WorkArea.left + std::max(0, (WorkArea.Width() - GetWidth()) / 2),
            WorkArea.top + std::max(0, (WorkArea.Height() - GetHeight()) / 2), GetWidth(), GetHeight());
  NeedsTempFile = picture_ != nullptr && (picture_->FileName.empty() || picture_->ChangeCount != 0);
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
}

TSendImageForm::~TSendImageForm() { RemoveTempFiles(); }

void TSendImageForm::BuildControls() {
  const auto field = [this](const char* name, const char* caption, int top) {
    auto* label = Placed<TLabel>(this, "", 8, top + 3, 80, 13);
    label->SetCaption(caption);
    return Placed<TEdit>(this, name, 92, top, 260, 21);
  };
  FromEdit = field("FromEdit", "From:", 8);
  ToEdit = field("ToEdit", "To:", 34);
  SubjectEdit = field("SubjectEdit", "Subject:", 60);
  Placed<TLabel>(this, "", 8, 88, 80, 13)->SetCaption("Body");
  StatusLabel = Placed<TLabel>(this, "StatusLabel", 92, 88, 260, 13);
  Body = Placed<TMemo>(this, "Body", 8, 104, 344, 98);
  FromNameEdit = field("FromNameEdit", "From Name:", kAdvancedTop);
  ReplyToEdit = field("ReplyToEdit", "Reply To:", kAdvancedTop + 26);
  SMTPServerEdit = field("SMTPServerEdit", "SMTP Server:", kAdvancedTop + 52);
  UserIDEdit = field("UserIDEdit", "User ID:", kAdvancedTop + 78);

  const auto button = [this](const char* name, const char* caption, int left) {
    auto* b = Placed<TButton>(this, name, left, 210, 82, 25);
    b->SetCaption(caption);
    return b;
  };
  SendBtn = button("SendBtn", "&Send", 8);
  SendBtn->SetDefault(true);
  SendBtn->OnClick = [this](TObject* sender) { SendBtnClick(sender); };
  CancelBtn = button("CancelBtn", "&Cancel", 95);
  CancelBtn->SetModalResult(mrCancel);
  CancelBtn->OnClick = [this](TObject* sender) { CancelBtnClick(sender); };
  HelpBtn = button("HelpBtn", "&Help", 182);
  HelpBtn->OnClick = [this](TObject* sender) { HelpBtnClick(sender); };
  AdvancedBtn = button("AdvancedBtn", "&Advanced", 270);
  AdvancedBtn->OnClick = [this](TObject* sender) { AdvancedBtnClick(sender); };

  SMTP = NewNamedComponent<TNMSMTP>(this, "SMTP");
  SMTP->Port = 25;
  SMTP->ReportLevel = 0;
  SMTP->EncodeType = uuMime;
  SMTP->SubType = mtPlain;
  SMTP->ClearParams = true;
  ConnectMailEvents();
}

void TSendImageForm::BuildStorage() {
  FormStorage1 = NewNamedComponent<TFormStorage>(this, "FormStorage1");
  FormStorage1->SetUseRegistry(true);
  FormStorage1->SetIniFileName(kStorageKey);
  FormStorage1->SetIniSection(kStorageSection);
  for (const char* line : kStoredProps) FormStorage1->GetStoredProps()->Add(line);
  FormStorage1->OnRestorePlacement = [this](TObject* sender) { FormStorage1RestorePlacement(sender); };
}

void TSendImageForm::ConnectMailEvents() {
  SMTP->OnSuccess = [this](TObject*) { SetModalResult(mrOk); };
  SMTP->OnFailure = [this](TObject*) {
    StatusLabel->SetCaption("");
    LangMessageBox(FailureMessageKey(SMTP->LastFailure()), "Err", kWarning);
    SMTP->Abort();
  };
  SMTP->OnStatus = [this](TObject*, TSmtpStage stage, long long sent, long long total) {
    ShowSendStatus(stage, sent, total);
  };
  SMTP->OnAttachmentNotFound = [this](const AnsiString& file) {
    Application()->MessageBox(LangMessage("AttNF") + " " + file + " " + LangMessage("AttNF2"), LangMessage("Err"), kWarning);
    SMTP->Abort();
  };
  SMTP->OnRecipientNotFound = [this](const AnsiString& address) {
    Application()->MessageBox(LangMessage("RecNF") + " " + address + " " + LangMessage("RecNF2"), LangMessage("Err"),
                              kWarning);
    SetActiveControl(ToEdit);
    SMTP->Abort();
  };
  SMTP->OnAuthenticationFailed = [this](bool& handled) {
    AnsiString user = SMTP->UserID;
    if (!InputQuery(LangMessage("Authentication Failed"), LangMessage("Enter correct User ID:"), user)) return;
    UserIDEdit->SetText(user);
    SMTP->UserID = user;
    // The server wants a login: the password goes with it.
    if (!AskPassword(sessionPassword)) return;
    SMTP->Password = sessionPassword;
    handled = true;
  };
  SMTP->OnHeaderIncomplete = [this](bool& handled, THeaderInfo info) {
    AnsiString value;
    if (info == hiFromAddress) {
      if (!InputQuery(LangMessage("Missing From Address"), LangMessage("Enter From Address:"), value)) return;
      SMTP->PostMessage()->FromAddress = value;
      FromEdit->SetText(value);
    } else {
      if (!InputQuery(LangMessage("Missing To Address"), LangMessage("Enter To Address:"), value)) return;
      SMTP->PostMessage()->ToAddress()->Add(value);
      ToEdit->SetText(value);
    }
    handled = true;
  };
}

bool TSendImageForm::AdvancedShown() const { return GetClientHeight() > FromNameEdit->GetTop(); }

void TSendImageForm::AdvancedBtnClick(TObject*) {
  if (AdvancedShown()) {
    SetClientHeight(FromNameEdit->GetTop() - 4);
    AdvancedBtn->SetCaption(LangMessage("Advanced"));
  } else {
    SetClientHeight(UserIDEdit->GetTop() + UserIDEdit->GetHeight() + 4);
    AdvancedBtn->SetCaption(LangMessage("Normal"));
  }
}

void TSendImageForm::FormStorage1RestorePlacement(TObject*) {
  const MailDefaults found = ReadMailProgramDefaults();
  // Stored values always win.
  struct Fill {
    TEdit* edit;
    const AnsiString& value;
  };
  for (const Fill& f : {Fill{UserIDEdit, found.userId}, Fill{SMTPServerEdit, found.server},
                        Fill{ReplyToEdit, found.replyTo}, Fill{FromNameEdit, found.fromName}, Fill{FromEdit, found.from}})
    if (f.edit->GetText().empty() && !f.value.empty()) f.edit->SetText(f.value);
  if (SMTPServerEdit->GetText().empty() && !AdvancedShown()) AdvancedBtnClick(nullptr);
}

bool TSendImageForm::WriteTempFile() {
  if (tempFolder_.empty()) {
    char base[MAX_PATH] = {};
    GetTempPath(sizeof base, base);
    std::string pattern = AnsiString(base) + "quillo-mail-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    tempFolder_ = pattern;
  }
  // Untitled: a PNG of the picture's number; else the picture's own name and format, or a
  // PNG after its name when no format goes by its extension (a name without one, say).
  GFXSaveParams params;
  AnsiString name;
  if (!picture_->FileName.empty()) {
    name = ExtractFileName(picture_->FileName);
    params = picture_->SaveParams;
  }
  if (name.empty() || GFXFile::GetDefaultFormat(name) == nullptr) {
    name = (name.empty() ? "Image" + IntToStr(picture_->UntitledNumber) : name) + ".png";
    params = GFXSaveParams{};
    params.bits = 24;
    params.transparent = true;
  }
  const AnsiString path = tempFolder_ + "/" + name;
  const ToolSuspension aside;
  written_.insert(path);
  if (TheOutputHost().SaveImage(path, picture_, &params, true) != 0) return false;
  AttachmentFile = path;
  return true;
}

void TSendImageForm::RemoveTempFiles() {
  for (const AnsiString& file : written_) ::unlink(file.c_str());
  written_.clear();
  if (!tempFolder_.empty()) ::rmdir(tempFolder_.c_str());
  tempFolder_.clear();
}

void TSendImageForm::SendBtnClick(TObject*) {
  if (picture_ == nullptr) return;
  AttachmentFile = picture_->FileName;
  if (SMTP->Connected()) return;
  if (ToEdit->GetText().empty()) {
    ToEdit->SetFocus();
    return;
  }
  if (SMTPServerEdit->GetText().empty()) {
    if (!AdvancedShown()) AdvancedBtnClick(nullptr);
    SMTPServerEdit->SetFocus();
    return;
  }
  if (NeedsTempFile && !WriteTempFile()) {
    LangMessageBox("CantSaveTemp", "Err", kWarning);
    return;
  }
  struct stat info{};
  const long long size = ::stat(AttachmentFile.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
  const AnsiString question = LangMessage("SizeOfAtt") + " " + std::to_string(size) + " " + LangMessage("SizeOfAtt2");
  if (Application()->MessageBox(question, LangMessage("Info"), kAskSend) != IDYES) return;

  SMTP->UserID = UserIDEdit->GetText();
  SMTP->Password = sessionPassword;
  SMTP->Host = SMTPServerEdit->GetText();
  TPostMessage* m = SMTP->PostMessage();
  m->Clear();
  m->FromAddress = FromEdit->GetText();
  m->FromName = FromNameEdit->GetText();
  m->ReplyTo = ReplyToEdit->GetText();
  m->ToAddress()->Add(ToEdit->GetText());
  m->Subject = SubjectEdit->GetText();
  m->Body()->Assign(Body->GetLines());
  m->Attachments()->Add(AttachmentFile);
  StatusLabel->SetCaption(LangMessage("MailConnecting"));
  try {
    SMTP->Connect();
    SMTP->SendMail();
    SMTP->Disconnect();
  } catch (const std::exception&) {
    SMTP->Disconnect();
  }
  if (SMTP->LastFailure() != sfCancelled) StatusLabel->SetCaption("");
}

const char* TSendImageForm::FailureMessageKey(TSmtpFailure failure) {
  switch (failure) {
    case sfNoAnswer: return "MailNoAnswer";
    case sfConnectionRefused: return "MailConnectionRefused";
    case sfServerNotFound: return "MailServerNotFound";
    case sfLoginRefused: return "MailLoginRefused";
    case sfTls: return "MailTlsFailure";
    default: return "Message delivery failure";
  }
}

void TSendImageForm::ShowSendStatus(TSmtpStage stage, long long sent, long long total) {
  // Closed from its caption meanwhile: the send stops, and the dialog goes once it has.
  if (GetModalResult() != mrNone) SMTP->Abort();
  AnsiString text;
  switch (stage) {
    case ssConnecting: text = LangMessage("MailConnecting"); break;
    case ssSending:
      text = LangMessage("MailSending");
      if (total > 0) {
        // Built up in place: " " + a temporary trips GCC 12's false -Wrestrict in optimised builds.
        text += ' ';
        text += IntToStr(static_cast<int>(std::min<long long>(100, sent * 100 / total)));
        text += '%';
      }
      break;
    case ssWaiting: text = LangMessage("MailWaiting"); break;
  }
  if (StatusLabel->GetCaption() != text) StatusLabel->SetCaption(text);
}

bool TSendImageForm::StopSending() {
  if (!SMTP->Connected()) return false;
  SMTP->Abort();
  SetModalResult(mrNone);
  StatusLabel->SetCaption(LangMessage("MailCancelled"));
  return true;
}

void TSendImageForm::CancelBtnClick(TObject*) {
  // While a message goes out, Cancel stops it and the dialog stays for another try.
  if (StopSending()) return;
  FormStorage1->SetActive(false);
}

void TSendImageForm::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    key = 0;
    if (StopSending()) return;
    FormStorage1->SetActive(false);
    SetModalResult(mrCancel);
  }
}

void TSendImageForm::FormClose(TObject*, TCloseAction&) { RemoveTempFiles(); }

void TSendImageForm::HelpBtnClick(TObject*) { Application()->HelpContext(GetHelpContext()); }
