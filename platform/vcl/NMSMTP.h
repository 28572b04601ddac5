#pragma once
// TNMSMTP: the SMTP client component. It sends one message (a plain-text body in UTF-8 and
// the files of Attachments as MIME attachments in base64) to the server at Host
// ("host" or "host:port"; Port when none is given). STARTTLS is used whenever the server
// offers it, with the server's certificate verified. Outcomes come as events: OnSuccess,
// OnFailure (LastFailure says why), OnAttachmentNotFound, OnRecipientNotFound,
// OnAuthenticationFailed and OnHeaderIncomplete; a handler that sets handled has the message
// sent again with what it changed. Header texts never carry a line break of their own, and
// non-ASCII texts travel as encoded words; every message has its own Message-ID.
//
// The exchange runs on a thread of its own while SendMail keeps the calling UI thread's
// message loop going, as the component's blocking mode did: windows repaint and take input,
// OnStatus tells how far it is, and Abort (from a button, say) ends it at once. A server that
// says nothing for TimeOut milliseconds ends it as sfNoAnswer.

#include <functional>

#include "platform/vcl/Component.h"
#include "platform/vcl/Strings.h"

enum TEncodeType { uuMime, uuCode };
enum TSubType { mtPlain, mtEnriched, mtSgml, mtTabSeperated, mtHtml };
enum THeaderInfo { hiFromAddress, hiToAddress };
// Why the last SendMail did not deliver.
enum TSmtpFailure {
  sfNone, sfNoAnswer, sfConnectionRefused, sfServerNotFound, sfLoginRefused, sfRecipientRefused, sfTls,
  sfCancelled, sfOther
};
// Connecting: the exchange before the message (greeting, STARTTLS, login, sender, recipient);
// Sending: the message going out; Waiting: all sent, the server's answer awaited.
enum TSmtpStage { ssConnecting, ssSending, ssWaiting };

class TPostMessage : public TPersistent {
public:
  TPostMessage();
  AnsiString FromAddress;
  AnsiString FromName;
  AnsiString ReplyTo;
  AnsiString Subject;
  TStringList* ToAddress() const { return to_.get(); }
  TStringList* Body() const { return body_.get(); }
  TStringList* Attachments() const { return attachments_.get(); }
  void Clear();

private:
  TOwnedPtr<TStringList> to_;
  TOwnedPtr<TStringList> body_;
  TOwnedPtr<TStringList> attachments_;
};

using TFileEvent = std::function<void(const AnsiString& file)>;
using THandlerEvent = std::function<void(bool& handled)>;
using THeaderInCompleteEvent = std::function<void(bool& handled, THeaderInfo info)>;
using TSmtpStatusEvent = std::function<void(TObject* sender, TSmtpStage stage, long long sent, long long total)>;

class SmtpTransfer;

class TNMSMTP : public TComponent {
public:
  explicit TNMSMTP(TComponent* owner);
  ~TNMSMTP() override;

  AnsiString Host;
  int Port = 25;
  AnsiString UserID;
  AnsiString Password;     // asked for by the program when the server demands it; never stored
  int TimeOut = 30000;     // milliseconds the server may stay silent
  int ReportLevel = 0;
  TEncodeType EncodeType = uuMime;
  TSubType SubType = mtPlain;
  bool ClearParams = true;
  AnsiString CACertFile;   // certificates to trust; empty: the system's
  TPostMessage* PostMessage() const { return message_.get(); }

  // Connect checks that there is a server to talk to; SendMail runs the exchange and reports
  // it through the events; Disconnect (and Abort) end the session.
  void Connect();
  void SendMail();
  void Disconnect();
  void Abort();
  bool Connected() const { return connected_ || sending_; }
  TSmtpFailure LastFailure() const { return failure_; }

  TNotifyEvent OnSuccess;
  TNotifyEvent OnFailure;
  TFileEvent OnAttachmentNotFound;
  TFileEvent OnRecipientNotFound;
  THandlerEvent OnAuthenticationFailed;
  THeaderInCompleteEvent OnHeaderIncomplete;
  TSmtpStatusEvent OnStatus;  // while SendMail waits for the server, again and again

private:
  enum class Outcome { Sent, Failed, AttachmentMissing, RecipientRefused, AuthenticationNeeded, Cancelled };
  Outcome SendOnce(AnsiString* detail);
  void WaitFor(SmtpTransfer& transfer);
  void ReportStatus(long long sent, long long total);

  TOwnedPtr<TPostMessage> message_;
  bool connected_ = false;
  bool aborted_ = false;
  bool sending_ = false;
  TSmtpFailure failure_ = sfNone;
  SmtpTransfer* transfer_ = nullptr;  // the exchange running now
};

// The header texts as sent: line breaks become spaces, and a text with non-ASCII characters
// becomes one or more RFC 2047 encoded words (UTF-8, base64).
AnsiString MailHeaderText(const AnsiString& text);
// A new Message-ID ("<unique@domain>", RFC 5322): the domain is the sender's, or the local
// host's name when the sender's address has none fit for it.
AnsiString MailMessageId(const AnsiString& fromAddress);
// "Name <address>", or the address alone without a name.
AnsiString MailAddressHeader(const AnsiString& name, const AnsiString& address);
