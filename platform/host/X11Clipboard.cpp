// The X selection protocol (ICCCM) for the CLIPBOARD selection, over Xlib.

#include "platform/host/X11Clipboard.h"

#include "platform/host/X11ErrorTrap.h"

#if QUILLO_HAVE_X11

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <map>

namespace {

constexpr int kReplyTimeoutMs = 1500;
// What another program may send at most: a picture of the desktop's largest size and more.
constexpr size_t kMaxIncoming = size_t(512) << 20;

std::string Latin1ToUtf8(const std::string& in) {
  std::string out;
  for (unsigned char c : in) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// UTF-8 to Latin-1 for the STRING target; characters beyond it become '?'.
std::string Utf8ToLatin1(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size();) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if ((c >> 5) == 6 && i + 1 < in.size()) {
      const unsigned cp = (c & 0x1F) << 6 | (static_cast<unsigned char>(in[i + 1]) & 0x3F);
      out.push_back(cp < 0x100 ? static_cast<char>(cp) : '?');
      i += 2;
    } else {
      out.push_back('?');
      ++i;
      while (i < in.size() && (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80) ++i;
    }
  }
  return out;
}

}  // namespace

struct X11Clipboard::State {
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0, targets = 0, timestamp = 0, multiple = 0, incr = 0, utf8 = 0, text = 0,
       textPlain = 0, textPlainUtf8 = 0, property = 0, timeProperty = 0, atomPair = 0;
  bool owned = false;
  Time ownedSince = CurrentTime;
  bool hasText = false;
  std::string offeredText;
  Host::ClipboardPicture offeredPicture;
  std::map<std::string, std::vector<std::uint8_t>> renderedFiles;  // by type, made on request
  std::uint64_t serial = 1;  // counts the changes of owner
  size_t maxChunk = 0;

  bool fixes = false;
  int fixesEventBase = 0;
  std::uint64_t cachedSerial = 0;  // the serial what was read belongs to
  std::map<std::string, std::vector<std::uint8_t>> cache;  // by target; absent: not asked yet
  std::map<std::string, bool> cacheMisses;
  std::vector<std::string> cachedTargets;
  bool targetsCached = false;

  // Data on their way to another program in INCR steps.
  struct Transfer {
    Window requestor;
    Atom property;
    Atom type;
    std::vector<std::uint8_t> data;
    size_t sent = 0;
  };
  std::vector<Transfer> transfers;

  ~State() {
    if (display) {
      if (window) XDestroyWindow(display, window);
      XCloseDisplay(display);
      ForgetXErrors(display);
    }
  }

  Atom Intern(const char* name) { return XInternAtom(display, name, False); }
  std::string AtomName(Atom atom) {
    if (atom == None) return {};
    char* name = XGetAtomName(display, atom);
    std::string s = name ? name : "";
    if (name) XFree(name);
    return s;
  }

  // Events until one satisfies the wanted test (answered as usual meanwhile); false on timeout.
  bool WaitFor(const std::function<bool(const XEvent&)>& wanted, XEvent& out) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
    for (;;) {
      while (XPending(display)) {
        XNextEvent(display, &out);
        if (wanted(out)) return true;
        Handle(out);
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left.count()));
    }
  }

  // A server time for taking the clipboard: the time of a property change of our own.
  Time ServerTime() {
    XChangeProperty(display, window, timeProperty, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent e;
    if (WaitFor([&](const XEvent& ev) {
          return ev.type == PropertyNotify && ev.xproperty.window == window && ev.xproperty.atom == timeProperty;
        }, e))
      return e.xproperty.time;
    return CurrentTime;
  }

  void Handle(const XEvent& e) {
    if (e.type == SelectionRequest) {
      Answer(e.xselectionrequest);
    } else if (e.type == SelectionClear && e.xselectionclear.selection == clipboard) {
      owned = false;
      offeredPicture = {};
      renderedFiles.clear();
      ++serial;
    } else if (e.type == PropertyNotify && e.xproperty.state == PropertyDelete) {
      SendNextChunk(e.xproperty.window, e.xproperty.atom);
    } else if (fixes && e.type == fixesEventBase + XFixesSelectionNotify) {
      const auto& n = reinterpret_cast<const XFixesSelectionNotifyEvent&>(e);
      if (n.selection == clipboard && n.owner != window) ++serial;
    }
  }

  std::vector<Atom> OfferedTargets() {
    std::vector<Atom> list{targets, timestamp};
    if (hasText) list.insert(list.end(), {utf8, textPlainUtf8, XA_STRING, text, textPlain});
    for (const std::string& type : offeredPicture.types) list.push_back(Intern(type.c_str()));
    return list;
  }

  // The bytes offered as the target; false when it is not offered.
  bool Offered(Atom target, Atom& type, std::vector<std::uint8_t>& bytes) {
    if (hasText && (target == utf8 || target == text || target == textPlainUtf8 || target == textPlain)) {
      type = target == text ? utf8 : target;
      bytes.assign(offeredText.begin(), offeredText.end());
      return true;
    }
    if (hasText && target == XA_STRING) {
      type = XA_STRING;
      const std::string latin1 = Utf8ToLatin1(offeredText);
      bytes.assign(latin1.begin(), latin1.end());
      return true;
    }
    if (!OfferedFile(AtomName(target), bytes)) return false;
    type = target;
    return true;
  }

  // The picture's file of the type, made the first time it is asked for.
  bool OfferedFile(const std::string& type, std::vector<std::uint8_t>& bytes) {
    const auto& types = offeredPicture.types;
    if (std::find(types.begin(), types.end(), type) == types.end()) return false;
    auto made = renderedFiles.find(type);
    if (made == renderedFiles.end()) made = renderedFiles.emplace(type, offeredPicture.render(type)).first;
    bytes = made->second;
    return !bytes.empty();
  }

  void Answer(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = None;
    // Obsolete clients give no property: the target names it then.
    const Atom property = request.property == None ? request.target : request.property;
    const bool ours = owned && request.selection == clipboard && request.owner == window &&
                      (request.time == CurrentTime || request.time >= ownedSince);
    if (ours) {
      if (request.target == targets) {
        std::vector<Atom> list = OfferedTargets();
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
        reply.xselection.property = property;
      } else if (request.target == timestamp) {
        long time = static_cast<long>(ownedSince);
        XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        reply.xselection.property = property;
      } else {
        Atom type = None;
        std::vector<std::uint8_t> bytes;
        if (request.target != multiple && Offered(request.target, type, bytes)) {
          if (bytes.size() > maxChunk) {
            // Too large for one request: sent in steps, each when the requestor deleted the last.
            XSelectInput(display, request.requestor, PropertyChangeMask);
            long size = static_cast<long>(bytes.size());
            XChangeProperty(display, request.requestor, property, incr, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&size), 1);
            transfers.push_back(Transfer{request.requestor, property, type, std::move(bytes), 0});
          } else {
            XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace, bytes.data(),
                            static_cast<int>(bytes.size()));
          }
          reply.xselection.property = property;
        }
      }
    }
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
  }

  void SendNextChunk(Window requestor, Atom property) {
    for (auto it = transfers.begin(); it != transfers.end(); ++it) {
      if (it->requestor != requestor || it->property != property) continue;
      const size_t n = std::min(maxChunk, it->data.size() - it->sent);
      XChangeProperty(display, requestor, property, it->type, 8, PropModeReplace, it->data.data() + it->sent,
                      static_cast<int>(n));
      it->sent += n;
      if (n == 0) {  // the empty step that ends the transfer has gone
        XSelectInput(display, requestor, NoEventMask);
        transfers.erase(it);
      }
      XFlush(display);
      return;
    }
  }

  // Reads our property as the owner left it (and deletes it); false when there is none.
  bool ReadProperty(Atom& type, std::vector<std::uint8_t>& out) {
    unsigned char* data = nullptr;
    int format = 0;
    unsigned long count = 0, after = 0;
    if (XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success)
      return false;
    const size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    bool ok = type != None && count <= kMaxIncoming / unit && out.size() + count * unit <= kMaxIncoming;
    if (ok && data) out.insert(out.end(), data, data + count * unit);
    if (data) XFree(data);
    return ok;
  }

  // Asks the clipboard's owner for the target; false when it has none or does not answer.
  bool Convert(Atom target, std::vector<std::uint8_t>& out, Atom& type) {
    out.clear();
    XDeleteProperty(display, window, property);
    XConvertSelection(display, clipboard, target, property, window, CurrentTime);
    XEvent e;
    if (!WaitFor([&](const XEvent& ev) {
          return ev.type == SelectionNotify && ev.xselection.requestor == window && ev.xselection.selection == clipboard;
        }, e))
      return false;
    if (e.xselection.property == None) return false;
    if (!ReadProperty(type, out)) return false;
    if (type != incr) return true;
    // INCR: each step arrives as a new value of the property, the empty one last.
    out.clear();
    for (;;) {
      if (!WaitFor([&](const XEvent& ev) {
            return ev.type == PropertyNotify && ev.xproperty.window == window && ev.xproperty.atom == property &&
                   ev.xproperty.state == PropertyNewValue;
          }, e))
        return false;
      const size_t before = out.size();
      Atom stepType = None;
      if (!ReadProperty(stepType, out)) return false;
      if (out.size() == before) return true;
    }
  }

  // Drops what was read from an earlier owner.
  void RefreshCache() {
    if (fixes && cachedSerial == serial) return;
    cache.clear();
    cacheMisses.clear();
    targetsCached = false;
    cachedTargets.clear();
    cachedSerial = serial;
  }

  const std::vector<std::string>& Targets() {
    if (targetsCached) return cachedTargets;
    targetsCached = true;
    std::vector<std::uint8_t> bytes;
    Atom type = None;
    if (Convert(targets, bytes, type) && type == XA_ATOM) {
      const size_t n = bytes.size() / sizeof(long);
      for (size_t i = 0; i < n; ++i) {
        long atom;
        std::memcpy(&atom, bytes.data() + i * sizeof(long), sizeof atom);
        cachedTargets.push_back(AtomName(static_cast<Atom>(atom)));
      }
    }
    return cachedTargets;
  }

  bool Fetch(const std::string& target, std::vector<std::uint8_t>& out) {
    auto hit = cache.find(target);
    if (hit != cache.end()) {
      out = hit->second;
      return true;
    }
    if (cacheMisses.count(target)) return false;
    Atom type = None;
    if (!Convert(Intern(target.c_str()), out, type)) {
      cacheMisses[target] = true;
      return false;
    }
    cache[target] = out;
    return true;
  }
};

X11Clipboard::X11Clipboard(std::unique_ptr<State> state) : s_(std::move(state)) {}
X11Clipboard::~X11Clipboard() = default;

std::unique_ptr<X11Clipboard> X11Clipboard::Open() {
  auto s = std::make_unique<State>();
  s->display = XOpenDisplay(nullptr);
  if (!s->display) return nullptr;
  // Errors on this connection (a requestor window that went away meanwhile, say) are passed over.
  TrapXErrors(s->display);
  s->window = XCreateSimpleWindow(s->display, DefaultRootWindow(s->display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(s->display, s->window, PropertyChangeMask);
  s->clipboard = s->Intern("CLIPBOARD");
  s->targets = s->Intern("TARGETS");
  s->timestamp = s->Intern("TIMESTAMP");
  s->multiple = s->Intern("MULTIPLE");
  s->incr = s->Intern("INCR");
  s->utf8 = s->Intern("UTF8_STRING");
  s->text = s->Intern("TEXT");
  s->textPlain = s->Intern("text/plain");
  s->textPlainUtf8 = s->Intern("text/plain;charset=utf-8");
  s->property = s->Intern("QUILLO_CLIPBOARD");
  s->timeProperty = s->Intern("QUILLO_TIME");
  long maxRequest = XExtendedMaxRequestSize(s->display);
  if (maxRequest == 0) maxRequest = XMaxRequestSize(s->display);
  s->maxChunk = std::min<size_t>(static_cast<size_t>(maxRequest) * 4 - 256, size_t(256) << 10);
  int error = 0;
  if (XFixesQueryExtension(s->display, &s->fixesEventBase, &error)) {
    s->fixes = true;
    XFixesSelectSelectionInput(s->display, s->window, s->clipboard, XFixesSetSelectionOwnerNotifyMask |
                                                                        XFixesSelectionWindowDestroyNotifyMask |
                                                                        XFixesSelectionClientCloseNotifyMask);
  }
  XFlush(s->display);
  return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(s)));
}

bool X11Clipboard::SetContent(const std::string* text, Host::ClipboardPicture picture) {
  State& s = *s_;
  s.hasText = text != nullptr;
  s.offeredText = text ? *text : std::string();
  s.offeredPicture = std::move(picture);
  s.renderedFiles.clear();
  ++s.serial;
  s.ownedSince = s.ServerTime();
  XSetSelectionOwner(s.display, s.clipboard, s.window, s.ownedSince);
  s.owned = XGetSelectionOwner(s.display, s.clipboard) == s.window;
  XFlush(s.display);
  return s.owned;
}

bool X11Clipboard::GetText(std::string& out) {
  State& s = *s_;
  Serve();
  if (s.owned) {
    out = s.offeredText;
    return s.hasText;
  }
  if (XGetSelectionOwner(s.display, s.clipboard) == None) return false;
  s.RefreshCache();
  const std::vector<std::string>& offered = s.Targets();
  auto has = [&](const char* t) { return std::find(offered.begin(), offered.end(), t) != offered.end(); };
  std::vector<std::uint8_t> bytes;
  // Owners that list no targets are asked for UTF-8 all the same.
  for (const char* t : {"UTF8_STRING", "text/plain;charset=utf-8"})
    if ((has(t) || offered.empty()) && s.Fetch(t, bytes)) {
      out.assign(bytes.begin(), bytes.end());
      return true;
    }
  if (has("STRING") && s.Fetch("STRING", bytes)) {
    out = Latin1ToUtf8(std::string(bytes.begin(), bytes.end()));
    return true;
  }
  return false;
}

bool X11Clipboard::GetFile(const std::vector<std::string>& types, Host::ClipboardFile& out) {
  State& s = *s_;
  Serve();
  if (s.owned) {
    for (const std::string& type : types)
      if (s.OfferedFile(type, out.bytes)) {
        out.type = type;
        return true;
      }
    return false;
  }
  if (XGetSelectionOwner(s.display, s.clipboard) == None) return false;
  s.RefreshCache();
  const std::vector<std::string>& offered = s.Targets();
  for (const std::string& type : types)
    if (std::find(offered.begin(), offered.end(), type) != offered.end() && s.Fetch(type, out.bytes)) {
      out.type = type;
      return true;
    }
  return false;
}

void X11Clipboard::Serve() {
  State& s = *s_;
  XEvent e;
  while (XPending(s.display)) {
    XNextEvent(s.display, &e);
    s.Handle(e);
  }
}

bool X11Clipboard::Busy() const { return s_->owned || !s_->transfers.empty(); }

std::uint64_t X11Clipboard::Serial() {
  Serve();
  return s_->owned || s_->fixes ? s_->serial : 0;
}

#else  // built without X

struct X11Clipboard::State {};
X11Clipboard::X11Clipboard(std::unique_ptr<State> state) : s_(std::move(state)) {}
X11Clipboard::~X11Clipboard() = default;
std::unique_ptr<X11Clipboard> X11Clipboard::Open() { return nullptr; }
bool X11Clipboard::SetContent(const std::string*, Host::ClipboardPicture) { return false; }
std::uint64_t X11Clipboard::Serial() { return 0; }
bool X11Clipboard::GetText(std::string&) { return false; }
bool X11Clipboard::GetFile(const std::vector<std::string>&, Host::ClipboardFile&) { return false; }
void X11Clipboard::Serve() {}
bool X11Clipboard::Busy() const { return false; }

#endif
