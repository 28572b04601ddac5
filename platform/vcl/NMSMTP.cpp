#include "platform/vcl/NMSMTP.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <memory>
#include <mutex>
#include <random>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/ThreadInbox.h"
#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/SmtpTransfer.h"

namespace {

constexpr int kMaxAttempts = 4;  // the first send and the retries after handled events

void InitialiseCurl() {
  static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)done;
}

std::string OneLine(const AnsiString& text) {
  std::string line = text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  return line;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

// 45 bytes are 60 base64 digits: 72 characters with the charset and the markers, within the
// 75 RFC 2047 allows an encoded word.
constexpr size_t kEncodedWordBytes = 45;

// The bytes of the character starting at `at`: a whole UTF-8 sequence, or 1 for a byte that
// starts none (a stray continuation byte, a text in another code page), which then stands alone.
size_t CharacterLength(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length == 1 || at + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
  return length;
}

std::string Base64(const std::string& bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], digits[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {digits[v >> 18], digits[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], '='};
  }
  return out;
}

// An address as the envelope and the headers take it: one line, no angle brackets.
std::string PlainAddress(const AnsiString& address) {
  std::string plain;
  for (char c : OneLine(Trim(address)))
    if (c != '<' && c != '>') plain += c;
  return plain;
}

// "<address>", as the envelope takes it.
std::string Bracketed(const std::string& address) {
  std::string text(1, '<');
  text.append(address);
  text.push_back('>');
  return text;
}

std::string DateHeader() {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  gmtime_r(&now, &t);
  char text[64];
  std::snprintf(text, sizeof text, "Date: %s, %02d %s %04d %02d:%02d:%02d +0000", days[t.tm_wday], t.tm_mday,
                months[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

// The characters RFC 5322 allows in a dot-atom; a domain made of others is not used.
bool IsDotAtom(const std::string& text) {
  if (text.empty() || text.front() == '.' || text.back() == '.' || text.find("..") != std::string::npos) return false;
  for (unsigned char c : text)
    if (!std::isalnum(c) && std::string_view("!#$%&'*+-/=?^_`{|}~.").find(static_cast<char>(c)) == std::string_view::npos)
      return false;
  return true;
}

std::string LocalHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) == 0 && IsDotAtom(name)) return name;
  return "localhost";
}

const char* ContentType(const AnsiString& file) {
  const AnsiString ext = LowerCase(ExtractFileExt(file));
  if (ext == ".png") return "image/png";
  if (ext == ".jpg" || ext == ".jpeg") return "image/jpeg";
  if (ext == ".gif") return "image/gif";
  if (ext == ".bmp") return "image/bmp";
  return "application/octet-stream";
}

// "host" or "host:port".
void SplitHost(const AnsiString& text, int defaultPort, std::string* host, int* port) {
  *host = Trim(text);
  *port = defaultPort;
  const size_t colon = host->rfind(':');
  if (colon == std::string::npos || host->find(':') != colon) return;
  const int given = StrToIntDef(host->substr(colon + 1), -1);
  if (given <= 0 || given > 65535) return;
  *port = given;
  host->resize(colon);
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct MimeDeleter {
  void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};

TSmtpFailure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return sfNoAnswer;
    case CURLE_COULDNT_CONNECT: return sfConnectionRefused;
    case CURLE_COULDNT_RESOLVE_HOST: return sfServerNotFound;
    case CURLE_LOGIN_DENIED: return sfLoginRefused;
    case CURLE_SSL_CONNECT_ERROR: case CURLE_PEER_FAILED_VERIFICATION: case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER: case CURLE_SSL_CACERT_BADFILE: case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH: case CURLE_SSL_INVALIDCERTSTATUS: case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED: case CURLE_SSL_CRL_BADFILE: case CURLE_SSL_SHUTDOWN_FAILED:
      return sfTls;
    default: return sfOther;
  }
}

}  // namespace

AnsiString MailHeaderText(const AnsiString& text) {
  const std::string line = OneLine(text);
  if (IsAscii(line)) return line;
  // Encoded words of at most kEncodedWordBytes bytes each, cut between characters.
  std::string out;
  size_t at = 0;
  while (at < line.size()) {
    size_t end = at;
    while (end < line.size()) {
      const size_t length = CharacterLength(line, end);
      if (end + length - at > kEncodedWordBytes) break;
      end += length;
    }
    if (!out.empty()) out += ' ';
    out += "=?UTF-8?B?" + Base64(line.substr(at, end - at)) + "?=";
    at = end;
  }
  return out;
}

AnsiString MailMessageId(const AnsiString& fromAddress) {
  // Unique by the time, the process and a counter, and by 64 random bits across machines
  // that share a sender's domain.
  static std::mutex mutex;
  static unsigned counter = 0;
  static std::mt19937_64 random{std::random_device{}()};
  const std::string address = PlainAddress(fromAddress);
  const size_t at = address.rfind('@');
  std::string domain = at == std::string::npos ? std::string() : address.substr(at + 1);
  if (!IsDotAtom(domain)) domain = LocalHostName();
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  char left[96];
  const std::lock_guard<std::mutex> lock(mutex);
  std::snprintf(left, sizeof left, "%llx.%x.%x.%llx",
                static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()),
                static_cast<unsigned>(::getpid()), counter++, static_cast<unsigned long long>(random()));
  // Built up in place: "<" + a temporary trips GCC 12's false -Wrestrict in optimised builds.
  std::string id = "<";
  id += left;
  id += '@';
  id += domain;
  id += '>';
  return id;
}

AnsiString MailAddressHeader(const AnsiString& name, const AnsiString& address) {
  const std::string plain = PlainAddress(address);
  const std::string shown = OneLine(Trim(name));
  if (shown.empty()) return plain;
  if (!IsAscii(shown)) return MailHeaderText(shown) + " <" + plain + ">";
  if (shown.find_first_of("()<>[]:;@\\,.\"") == std::string::npos) return shown + " <" + plain + ">";
  std::string quoted = "\"";
  for (char c : shown) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\" <" + plain + ">";
}

TPostMessage::TPostMessage()
    : to_(MakeObject<TStringList>()), body_(MakeObject<TStringList>()), attachments_(MakeObject<TStringList>()) {}

void TPostMessage::Clear() {
  FromAddress.clear();
  FromName.clear();
  ReplyTo.clear();
  Subject.clear();
  to_->Clear();
  body_->Clear();
  attachments_->Clear();
}

TNMSMTP::TNMSMTP(TComponent* owner) : TComponent(owner), message_(MakeObject<TPostMessage>()) { InitialiseCurl(); }

TNMSMTP::~TNMSMTP() = default;

void TNMSMTP::Connect() {
  if (Trim(Host).empty()) throw Exception("No mail server is named");
  aborted_ = false;
  connected_ = true;
}

void TNMSMTP::Disconnect() { connected_ = false; }

void TNMSMTP::Abort() {
  aborted_ = true;
  connected_ = false;
  if (transfer_) transfer_->Cancel();
}

void TNMSMTP::SendMail() {
  if (sending_) return;  // one exchange at a time; this one came from a handler meanwhile
  sending_ = true;
  struct Done {
    bool& sending;
    ~Done() { sending = false; }
  } done{sending_};
  failure_ = sfNone;
  for (int attempt = 0; attempt < kMaxAttempts && !aborted_; ++attempt) {
    TPostMessage& m = *message_;
    const bool noSender = PlainAddress(m.FromAddress).empty(), noRecipient = m.ToAddress()->Count() == 0;
    if (noSender || noRecipient) {
      bool handled = false;
      if (OnHeaderIncomplete) OnHeaderIncomplete(handled, noSender ? hiFromAddress : hiToAddress);
      if (!handled) {
        failure_ = sfOther;
        if (OnFailure) OnFailure(this);
        return;
      }
      continue;
    }
    AnsiString detail;
    switch (SendOnce(&detail)) {
      case Outcome::Sent:
        failure_ = sfNone;
        if (ClearParams) m.Clear();
        if (OnSuccess) OnSuccess(this);
        return;
      case Outcome::AttachmentMissing:
        if (OnAttachmentNotFound) OnAttachmentNotFound(detail);
        return;
      case Outcome::RecipientRefused:
        if (OnRecipientNotFound) OnRecipientNotFound(detail);
        return;
      case Outcome::AuthenticationNeeded: {
        bool handled = false;
        if (OnAuthenticationFailed) OnAuthenticationFailed(handled);
        if (handled) continue;
        if (OnFailure) OnFailure(this);
        return;
      }
      case Outcome::Failed:
        if (OnFailure) OnFailure(this);
        return;
      case Outcome::Cancelled:
        return;
    }
  }
}

TNMSMTP::Outcome TNMSMTP::SendOnce(AnsiString* detail) {
  TPostMessage& m = *message_;
  for (int i = 0; i < m.Attachments()->Count(); ++i) {
    const AnsiString file = m.Attachments()->Strings(i);
    if (::access(file.c_str(), R_OK) != 0) {
      *detail = file;
      return Outcome::AttachmentMissing;
    }
  }
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return Outcome::Failed;
  CURL* c = curl.get();
  std::string host;
  int port = Port;
  SplitHost(Host, Port, &host, &port);
  const std::string url = "smtp://" + host + ":" + std::to_string(port);
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!CACertFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, CACertFile.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(TimeOut));
  const std::string from = Bracketed(PlainAddress(m.FromAddress));
  curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
  std::unique_ptr<curl_slist, SlistDeleter> recipients;
  AnsiString toHeader;
  for (int i = 0; i < m.ToAddress()->Count(); ++i) {
    const std::string to = PlainAddress(m.ToAddress()->Strings(i));
    recipients.reset(curl_slist_append(recipients.release(), Bracketed(to).c_str()));
    toHeader += (toHeader.empty() ? "" : ", ") + to;
  }
  curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
  if (!UserID.empty() && !Password.empty()) {
    curl_easy_setopt(c, CURLOPT_USERNAME, UserID.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, Password.c_str());
  }

  std::unique_ptr<curl_slist, SlistDeleter> headers;
  const auto header = [&](const std::string& line) { headers.reset(curl_slist_append(headers.release(), line.c_str())); };
  header(DateHeader());
  header("From: " + MailAddressHeader(m.FromName, m.FromAddress));
  header("To: " + toHeader);
  header("Subject: " + MailHeaderText(m.Subject));
  header("Message-ID: " + MailMessageId(m.FromAddress));
  if (!PlainAddress(m.ReplyTo).empty()) header("Reply-To: " + PlainAddress(m.ReplyTo));
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

  std::unique_ptr<curl_mime, MimeDeleter> mime(curl_mime_init(c));
  AnsiString body;
  for (int i = 0; i < m.Body()->Count(); ++i) body += m.Body()->Strings(i) + "\r\n";
  curl_mimepart* text = curl_mime_addpart(mime.get());
  curl_mime_data(text, body.c_str(), body.size());
  curl_mime_type(text, "text/plain; charset=UTF-8");
  curl_mime_encoder(text, "quoted-printable");
  for (int i = 0; i < m.Attachments()->Count(); ++i) {
    const AnsiString file = m.Attachments()->Strings(i);
    curl_mimepart* part = curl_mime_addpart(mime.get());
    curl_mime_filedata(part, file.c_str());
    curl_mime_filename(part, ExtractFileName(file).c_str());
    curl_mime_type(part, ContentType(file));
    curl_mime_encoder(part, "base64");
  }
  curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

  SmtpTransfer transfer(c, TimeOut, [] {
    // Wakes the UI thread's loop; the post itself carries nothing.
    if (Inbox().UiThreadNamed()) ::PostMessage(nullptr, WM_NULL, 0, 0);
  });
  WaitFor(transfer);

  switch (transfer.Ended()) {
    case SmtpTransfer::End::Cancelled: failure_ = sfCancelled; return Outcome::Cancelled;
    case SmtpTransfer::End::NoAnswer: failure_ = sfNoAnswer; return Outcome::Failed;
    default: break;
  }
  const CURLcode result = transfer.Result();
  if (result == CURLE_OK) return Outcome::Sent;
  const SmtpTransfer::Exchange& seen = transfer.Seen();
  if (result == CURLE_LOGIN_DENIED || seen.loginNeeded) {
    failure_ = sfLoginRefused;
    return Outcome::AuthenticationNeeded;
  }
  if (seen.recipientRefused) {
    failure_ = sfRecipientRefused;
    *detail = m.ToAddress()->Count() > 0 ? m.ToAddress()->Strings(0) : AnsiString();
    return Outcome::RecipientRefused;
  }
  failure_ = FailureOf(result);
  return Outcome::Failed;
}

void TNMSMTP::WaitFor(SmtpTransfer& transfer) {
  struct Current {
    SmtpTransfer*& slot;
    ~Current() { slot = nullptr; }
  } current{transfer_ = &transfer};
  transfer.Start();
  // Without a window system on this thread there is nothing to keep alive: just wait.
  if (!Inbox().OnUiThread()) {
    transfer.Wait();
    return;
  }
  while (transfer.Ended() == SmtpTransfer::End::Running) {
    if (aborted_ || Application()->Terminated()) {
      transfer.Cancel();
    } else {
      const SmtpTransfer::Progress progress = transfer.Snapshot();
      ReportStatus(progress.sent, progress.total);
    }
    Application()->HandleMessage();
  }
  transfer.Wait();
}

void TNMSMTP::ReportStatus(long long sent, long long total) {
  if (!OnStatus) return;
  TSmtpStage stage = ssConnecting;
  if (sent > 0) stage = total > 0 && sent >= total ? ssWaiting : ssSending;
  OnStatus(this, stage, sent, total);
}
