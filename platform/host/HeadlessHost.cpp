// The host without a display: the desktop lives only in memory and input comes from tests.

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
    files_.clear();
    return true;
  }
  // Pictures stay in memory too; what is set replaces the text as well, as on a desktop.
  bool SetClipboardContent(const std::string* text, const std::vector<ClipboardFile>& files) override {
    hasClipboard_ = text != nullptr;
    clipboard_ = text ? *text : std::string();
    files_ = files;
    return true;
  }
  bool GetClipboardFile(const std::vector<std::string>& types, ClipboardFile& out) override {
    for (const std::string& type : types)
      for (const ClipboardFile& file : files_)
        if (file.type == type) {
          out = file;
          return true;
        }
    return false;
  }

protected:
  bool PollOwnEvent(InputEvent&) override { return false; }

private:
  std::string clipboard_;
  bool hasClipboard_ = false;
  std::vector<ClipboardFile> files_;
};

}  // namespace

std::unique_ptr<Host> CreateHeadlessHost() { return std::make_unique<HeadlessHost>(); }
