#include "platform/vcl/NMSMTP.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

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

// What the exchange showed: the command last sent and whether the server refused the
// recipient or asked for a login.
struct Exchange {
  std::string command;
  bool recipientRefused = false;
  bool loginNeeded = false;
};

int TraceExchange(CURL*, curl_infotype type, char* data, size_t size, void* context) {
  auto* exchange = static_cast<Exchange*>(context);
  const std::string text(data, std::min<size_t>(size, 4));
  if (type == CURLINFO_HEADER_OUT && text.size() == 4 && UpperCase(text) != "QUIT") exchange->command = UpperCase(text);
  if (type == CURLINFO_HEADER_IN && text.size() >= 3) {
    const int code = StrToIntDef(text.substr(0, 3), 0);
    if (exchange->command == "RCPT" && code >= 500) exchange->recipientRefused = true;
    if (code == 530 || (exchange->command == "AUTH" && code == 535)) exchange->loginNeeded = true;
  }
  return 0;
}

}  // namespace

AnsiString MailHeaderText(const AnsiString& text) {
  const std::string line = OneLine(text);
  if (IsAscii(line)) return line;
  // Encoded words of at most 45 bytes each, cut between characters.
  std::string out;
  size_t at = 0;
  while (at < line.size()) {
    size_t end = std::min(line.size(), at + 45);
    while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
    if (!out.empty()) out += ' ';
    out += "=?UTF-8?B?" + Base64(line.substr(at, end - at)) + "?=";
    at = end;
  }
  return out;
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
}

void TNMSMTP::SendMail() {
  for (int attempt = 0; attempt < kMaxAttempts && !aborted_; ++attempt) {
    TPostMessage& m = *message_;
    const bool noSender = PlainAddress(m.FromAddress).empty(), noRecipient = m.ToAddress()->Count() == 0;
    if (noSender || noRecipient) {
      bool handled = false;
      if (OnHeaderIncomplete) OnHeaderIncomplete(handled, noSender ? hiFromAddress : hiToAddress);
      if (!handled && OnFailure) OnFailure(this);
      if (!handled) return;
      continue;
    }
    AnsiString detail;
    switch (SendOnce(&detail)) {
      case Outcome::Sent:
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
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(TimeOut));
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

  Exchange exchange;
  curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, TraceExchange);
  curl_easy_setopt(c, CURLOPT_DEBUGDATA, &exchange);
  curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);

  const CURLcode result = curl_easy_perform(c);
  if (result == CURLE_OK) return Outcome::Sent;
  if (result == CURLE_LOGIN_DENIED || exchange.loginNeeded) return Outcome::AuthenticationNeeded;
  if (exchange.recipientRefused) {
    *detail = m.ToAddress()->Count() > 0 ? m.ToAddress()->Strings(0) : AnsiString();
    return Outcome::RecipientRefused;
  }
  return Outcome::Failed;
}
