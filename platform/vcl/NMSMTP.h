#pragma once
// TNMSMTP: the SMTP client component. It sends one message (a plain-text body in UTF-8 and
// the files of Attachments as MIME attachments in base64) to the server at Host
// ("host" or "host:port"; Port when none is given). STARTTLS is used whenever the server
// offers it, with the server's certificate verified. Outcomes come as events: OnSuccess,
// OnFailure, OnAttachmentNotFound, OnRecipientNotFound, OnAuthenticationFailed and
// OnHeaderIncomplete; a handler that sets handled has the message sent again with what it
// changed. Header texts never carry a line break of their own, and non-ASCII texts travel as
// encoded words.

#include <functional>

#include "platform/vcl/Component.h"
#include "platform/vcl/Strings.h"

enum TEncodeType { uuMime, uuCode };
enum TSubType { mtPlain, mtEnriched, mtSgml, mtTabSeperated, mtHtml };
enum THeaderInfo { hiFromAddress, hiToAddress };

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

class TNMSMTP : public TComponent {
public:
  explicit TNMSMTP(TComponent* owner);
  ~TNMSMTP() override;

  AnsiString Host;
  int Port = 25;
  AnsiString UserID;
  AnsiString Password;     // asked for by the program when the server demands it; never stored
  int TimeOut = 30000;     // milliseconds for the whole exchange
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
  bool Connected() const { return connected_; }

  TNotifyEvent OnSuccess;
  TNotifyEvent OnFailure;
  TFileEvent OnAttachmentNotFound;
  TFileEvent OnRecipientNotFound;
  THandlerEvent OnAuthenticationFailed;
  THeaderInCompleteEvent OnHeaderIncomplete;

private:
  enum class Outcome { Sent, Failed, AttachmentMissing, RecipientRefused, AuthenticationNeeded };
  Outcome SendOnce(AnsiString* detail);

  TOwnedPtr<TPostMessage> message_;
  bool connected_ = false;
  bool aborted_ = false;
};

// The header texts as sent: line breaks become spaces, and a text with non-ASCII characters
// becomes one or more RFC 2047 encoded words (UTF-8, base64).
AnsiString MailHeaderText(const AnsiString& text);
// "Name <address>", or the address alone without a name.
AnsiString MailAddressHeader(const AnsiString& name, const AnsiString& address);
