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

protected:
  bool PollOwnEvent(InputEvent&) override { return false; }
};

}  // namespace

std::unique_ptr<Host> CreateHeadlessHost() { return std::make_unique<HeadlessHost>(); }
