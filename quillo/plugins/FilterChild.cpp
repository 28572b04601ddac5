#include "quillo/plugins/FilterChild.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/rtl/FloatControl.h"
#include "quillo/plugins/FilterHostCallbacks.h"
#include "quillo/plugins/FilterImageExchange.h"

namespace {

struct ChildRun {
  int socket = -1;
  FilterImageExchange* exchange = nullptr;
  FilterRecord record{};
};

ChildRun* current = nullptr;

// A round trip to the program; when it has gone there is nobody to work for.
ChannelMessage Ask(ChannelKind kind, std::int32_t a, std::int32_t b, const std::string& text = {}) {
  ChannelMessage m;
  m.kind = kind;
  m.a = a;
  m.b = b;
  m.textLength = static_cast<std::uint32_t>(std::min(text.size(), sizeof m.text));
  std::memcpy(m.text, text.data(), m.textLength);
  ChannelMessage answer;
  if (!SendChannelMessage(current->socket, &m, sizeof m) || !ReceiveChannelMessage(current->socket, &answer, sizeof answer) ||
      answer.kind != ChannelKind::Answer)
    _exit(3);
  return answer;
}

Boolean TestAbort() { return Ask(ChannelKind::Abort, 0, 0).a != 0 ? 1 : 0; }
void Progress(std::int32_t done, std::int32_t total) { Ask(ChannelKind::Progress, done, total); }
OSErr AdvanceState() { return current->exchange->AdvanceState(current->record); }
std::uint32_t PickColour(std::uint32_t start, const std::string& prompt) {
  return static_cast<std::uint32_t>(Ask(ChannelKind::PickColour, static_cast<std::int32_t>(start), 0, prompt).a);
}

bool NonEmpty(const Rect& r) { return r.left < r.right && r.top < r.bottom; }

std::uint16_t Wide(std::uint32_t rgb, int shift) { return static_cast<std::uint16_t>((rgb >> shift & 0xFF) * 257); }

void PutColour(FilterColor& out, std::uint32_t rgb) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(rgb >> (8 * i) & 0xFF);
}

int Finish(int socket, std::int32_t outcome, FilterFailure failure) {
  ChannelMessage m;
  m.kind = ChannelKind::Finished;
  m.a = outcome;
  m.b = static_cast<std::int32_t>(failure);
  SendChannelMessage(socket, &m, sizeof m);
  close(socket);
  return 0;
}

bool RequestFits(const FilterRunRequest& q, std::uint64_t memorySize) {
  if (q.width < 1 || q.height < 1 || q.width > 32767 || q.height > 32767 || q.blockSize > memorySize) return false;
  const std::uint64_t pictureBytes = std::uint64_t(q.width) * q.height * 4;
  const std::uint64_t maskBytes = std::uint64_t(q.maskRowBytes) * q.height;
  const auto inside = [&](std::uint64_t offset, std::uint64_t size) {
    return offset <= q.blockSize && size <= q.blockSize - offset;
  };
  if (!inside(q.sourceOffset, pictureBytes) || !inside(q.destinationOffset, pictureBytes)) return false;
  if (q.hasMask && (q.maskRowBytes < (q.width + 31) / 32 * 4 || !inside(q.maskOffset, maskBytes))) return false;
  return q.left >= 0 && q.top >= 0 && q.left <= q.right && q.top <= q.bottom && q.right <= q.width &&
         q.bottom <= q.height;
}

// The selectors in order; the outcome (0, -128 or an error) and whether start ran well.
int DriveSelectors(FilterEntryProc entry, ChildRun& run) {
  FilterRecord& r = run.record;
  intptr_t data = 0;
  int16_t result = 0;
  entry(filterSelectorParameters, &r, &data, &result);
  if (result != 0) return result;
  entry(filterSelectorPrepare, &r, &data, &result);
  if (result != 0) return result;
  entry(filterSelectorStart, &r, &data, &result);
  const int16_t started = result;
  while (result == 0 && (NonEmpty(r.inRect) || NonEmpty(r.outRect) || NonEmpty(r.maskRect))) {
    AdvanceState();
    if (run.exchange->AllocationFailed()) {
      result = -1;
      break;
    }
    entry(filterSelectorContinue, &r, &data, &result);
  }
  const int outcome = result;
  if (started == 0) {
    int16_t finished = 0;
    entry(filterSelectorFinish, &r, &data, &finished);
  }
  return outcome;
}

}  // namespace

std::int32_t FilterMaxSpace(int width, int height) {
  const std::int64_t space = std::int64_t{width} * height * 8 + 0x200000;
  return static_cast<std::int32_t>(std::min<std::int64_t>(space, INT32_MAX));
}

void FillFilterRecord(FilterRecord& r, const FilterRunRequest& q, PlatformData& platform) {
  std::memset(&r, 0, sizeof r);
  platform.hwnd = static_cast<intptr_t>(q.window);
  r.abortProc = TestAbort;
  r.progressProc = Progress;
  r.imageSize = {static_cast<int16_t>(q.height), static_cast<int16_t>(q.width)};
  r.planes = q.alphaMode == -1 || q.alphaMode == 256 ? 4 : 3;
  r.filterRect = {static_cast<int16_t>(q.top), static_cast<int16_t>(q.left), static_cast<int16_t>(q.bottom),
                  static_cast<int16_t>(q.right)};
  r.background = {Wide(q.background, 16), Wide(q.background, 8), Wide(q.background, 0)};
  r.foreground = {Wide(q.foreground, 16), Wide(q.foreground, 8), Wide(q.foreground, 0)};
  r.maxSpace = FilterMaxSpace(q.width, q.height);
  r.haveMask = q.hasMask != 0 || q.alphaBitsSelection != 0 ? 1 : 0;
  r.autoMask = 1;
  PutColour(r.backColor, q.background);
  PutColour(r.foreColor, q.foreground);
  r.hostSig = FILTER_FOURCC('Q', 'L', '2', '0');
  r.imageMode = plugInModeRGBColor;
  r.imageHRes = r.imageVRes = 0x012C0000;
  r.wholeSize = r.imageSize;
  r.platformData = &platform;
  r.bufferProcs = FilterBufferProcs();
  r.handleProcs = FilterHandleProcs();
  r.imageServicesProcs = FilterImageServicesProcs();
  r.propertyProcs = FilterPropertyProcs();
  r.displayPixels = FilterDisplayPixels;
  r.colorServices = FilterColorServices;
  r.getPropertyObsolete = FilterPropertyProcs()->getPropertyProc;
  r.advanceState = AdvanceState;
  r.supportsDummyChannels = r.supportsAbsolute = r.supportsPadding = 1;
  r.samplingSupport = 1;
  const bool whole = q.left == 0 && q.top == 0 && q.right == q.width && q.bottom == q.height;
  r.filterCase = !r.haveMask && whole ? filterCaseFlatImageNoSelection : filterCaseFlatImageWithSelection;
}

int RunFilterChild(int socket, int memory) {
  FilterRunRequest q;
  if (!ReceiveChannelMessage(socket, &q, sizeof q)) return 1;
  q.path[sizeof q.path - 1] = 0;
  q.entry[sizeof q.entry - 1] = 0;
  struct stat st {};
  if (fstat(memory, &st) != 0 || !RequestFits(q, static_cast<std::uint64_t>(st.st_size)))
    return Finish(socket, -1, FilterFailure::Request);
  void* block = mmap(nullptr, q.blockSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, memory, 0);
  if (block == MAP_FAILED) return Finish(socket, -1, FilterFailure::Memory);
  // Mapped: the plug-in gets no descriptor of the block to resize or map again.
  close(memory);
  auto* bytes = static_cast<std::uint8_t*>(block);
  // The source is only read: a plug-in writing to it faults instead.
  const std::uint64_t pictureBytes = std::uint64_t(q.width) * q.height * 4;
  const long page = sysconf(_SC_PAGESIZE);
  mprotect(bytes + q.sourceOffset, (pictureBytes + page - 1) / page * page, PROT_READ);

  void* module = dlopen(q.path, RTLD_NOW | RTLD_LOCAL);
  auto entry = module != nullptr ? reinterpret_cast<FilterEntryProc>(dlsym(module, q.entry)) : nullptr;
  if (entry == nullptr) return Finish(socket, -1, FilterFailure::Load);

  FilterPictures pictures;
  pictures.source = bytes + q.sourceOffset;
  pictures.destination = bytes + q.destinationOffset;
  pictures.width = q.width;
  pictures.height = q.height;
  pictures.rowBytes = std::ptrdiff_t{q.width} * 4;
  pictures.maskWords = q.hasMask ? reinterpret_cast<const std::uint32_t*>(bytes + q.maskOffset) : nullptr;
  pictures.maskRowBytes = q.maskRowBytes;
  pictures.alphaMode = q.alphaMode;
  pictures.alphaBitsSelection = q.alphaBitsSelection;
  FilterImageExchange exchange(pictures);

  ChildRun run;
  run.socket = socket;
  run.exchange = &exchange;
  current = &run;
  PlatformData platform{};
  FillFilterRecord(run.record, q, platform);

  FilterHostRun host;
  host.alphaMode = q.alphaMode;
  host.interpolation = q.bilinear ? 2 : 1;
  host.source = pictures.source;
  host.width = q.width;
  host.height = q.height;
  host.rowBytes = pictures.rowBytes;
  host.foreColor = q.foreground;
  host.backColor = q.background;
  host.pickColour = PickColour;
  StartFilterHostRun(host);

  SetFPUCW(static_cast<std::uint16_t>(GetFPUCW() | 0x3F));
  const int result = DriveSelectors(entry, run);
  EndFilterHostRun();
  FilterFailure failure = FilterFailure::None;
  std::int32_t outcome = result == 0 ? 0 : result == userCanceledErr ? 1 : -1;
  if (outcome == 0) {
    run.record.inRect = run.record.outRect = run.record.maskRect = Rect{};
    AdvanceState();  // writes the last output back
  }
  if (exchange.AllocationFailed()) {
    outcome = -1;
    failure = FilterFailure::Memory;
  } else if (outcome == -1) {
    failure = FilterFailure::PluginError;
  }
  exchange.FreeBuffers();
  return Finish(socket, outcome, failure);
}
