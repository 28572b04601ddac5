// The host without a display: the desktop lives only in memory and input comes from tests.

#include <algorithm>

#include "platform/host/Host.h"

namespace {

class HeadlessHost : public Host {
public:
  const char* Name() const override { return "headless"; }
  bool Open(int, int) override { return true; }
  void Present(const Surface&, const SurfaceRect&) override {}
  void SetCursorShape(CursorShape) override {}
  void WaitEvent(int) override {}
  // A clipboard in memory stands for the user's, so tests can play the other program.
  bool GetClipboardText(std::string& out) override {
    if (!hasClipboard_) return false;
    out = clipboard_;
    return true;
  }
  bool SetClipboardText(const std::string& text) override {
    clipboard_ = text;
    hasClipboard_ = true;
    picture_ = {};
    ++serial_;
    return true;
  }
  // Pictures stay in memory too; what is set replaces the text as well, as on a desktop.
  bool OfferClipboardContent(const std::string* text, ClipboardPicture picture) override {
    hasClipboard_ = text != nullptr;
    clipboard_ = text ? *text : std::string();
    picture_ = std::move(picture);
    ++serial_;
    return true;
  }
  bool GetClipboardFile(const std::vector<std::string>& types, ClipboardFile& out) override {
    for (const std::string& type : types)
      if (std::find(picture_.types.begin(), picture_.types.end(), type) != picture_.types.end())
        if (std::vector<std::uint8_t> bytes = picture_.render(type); !bytes.empty()) {
          out = {type, std::move(bytes)};
          return true;
        }
    return false;
  }
  std::uint64_t ClipboardSerial() override { return serial_; }

protected:
  bool PollOwnEvent(InputEvent&) override { return false; }

private:
  std::string clipboard_;
  bool hasClipboard_ = false;
  ClipboardPicture picture_;
  std::uint64_t serial_ = 1;
};

}  // namespace

std::unique_ptr<Host> CreateHeadlessHost() { return std::make_unique<HeadlessHost>(); }
