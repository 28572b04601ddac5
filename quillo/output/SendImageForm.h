#pragma once
// TSendImageForm: mails the active picture as an attachment over SMTP. The sender, the
// server, the user ID, the sender's name and the reply-to address are kept in the registry
// (section "SendForm"); where they are empty the mail program's settings fill them. A saved,
// unchanged picture goes as its own file; an untitled or changed one is written first into a
// folder of the dialog's own, which goes with everything in it when the dialog closes.
// While a message goes out the dialog stays live: it shows how far the send is, and Cancel
// (or Escape) stops the send and keeps the dialog; each kind of failure has its own message.

#include <set>

#include "platform/vcl/Form.h"
#include "platform/vcl/NMSMTP.h"

class TBandCaption;
class TButton;
class TEdit;
class TFormStorage;
class TLabel;
class TMemo;
class UDBuffer;

class TSendImageForm : public TForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TSendImageForm(TComponent* owner);
  ~TSendImageForm() override;

  TBandCaption* Cap = nullptr;
  TEdit* FromEdit = nullptr;
  TEdit* ToEdit = nullptr;
  TEdit* SubjectEdit = nullptr;
  TMemo* Body = nullptr;
  TEdit* FromNameEdit = nullptr;
  TEdit* ReplyToEdit = nullptr;
  TEdit* SMTPServerEdit = nullptr;
  TEdit* UserIDEdit = nullptr;
  TButton* AdvancedBtn = nullptr;
  TButton* SendBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* HelpBtn = nullptr;
  TLabel* StatusLabel = nullptr;  // how far a send is, or that it was cancelled
  TNMSMTP* SMTP = nullptr;
  TFormStorage* FormStorage1 = nullptr;

  AnsiString AttachmentFile;     // what the last send attached
  bool NeedsTempFile = false;    // untitled or changed: written before each send
  bool AdvancedShown() const;
  // The dialog's own folder for the attachment; empty until one was written.
  const AnsiString& TempFolder() const { return tempFolder_; }

  void FormStorage1RestorePlacement(TObject* sender);
  void AdvancedBtnClick(TObject* sender);
  void SendBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FormClose(TObject* sender, TCloseAction& action);
  void HelpBtnClick(TObject* sender);

private:
  void BuildControls();
  void BuildStorage();
  void ConnectMailEvents();
  bool WriteTempFile();
  void ShowSendStatus(TSmtpStage stage, long long sent, long long total);
  // Cancels a send in progress; false when none was.
  bool StopSending();
  static const char* FailureMessageKey(TSmtpFailure failure);
  void RemoveTempFiles();

  UDBuffer* picture_ = nullptr;
  AnsiString tempFolder_;
  std::set<AnsiString> written_;  // files this dialog wrote, and only those
};

// Shows the dialog modally for the active picture (File > Send via E-mail).
void ShowSendImageForm();
// The server password given in this run is forgotten (a fresh run).
void ForgetMailPassword();
