#include "vorlen/formats/jpeg/JpegDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/jpeg/JpegColour.h"
#include "vorlen/formats/jpeg/JpegDct.h"
#include "vorlen/formats/jpeg/JpegTables.h"

namespace jpeg {

namespace {

[[noreturn]] void Fail() { ThrowInvalidImage(); }

// The coefficient store never grows beyond this many bytes (a 16-bit frame needs at most
// 65535 x 65535 x 6 bytes; not even a file with the data to describe it makes us ask for
// that).
constexpr long long kMaxStoreBytes = 3LL << 30;

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

Decoder::Decoder(Input& in, Buffer& dst, ProgressStep progress)
    : in_(in), dst_(dst), progress_(progress), br_(in) {}

int Decoder::NextMarker() {
  if (pendingMarker_ != 0) {
    const int m = pendingMarker_;
    pendingMarker_ = 0;
    return m;
  }
  // FF FF reads as marker FF with a length, as the probe reads it: both must see the same
  // frame, since callers judge a file's size by the probe before loading it.
  if (in_.Byte() != 0xFF) Fail();
  return in_.Byte();
}

bool Decoder::Decode() {
  if (in_.Byte() != 0xFF || in_.Byte() != kSOI) Fail();
  for (;;) {
    const int m = NextMarker();
    if (m == 0) continue;
    if (m == kEOI) break;
    const int length = in_.Word();
    if (length < 2) Fail();
    if (IsFrameMarker(m) || m == kDAC) {
      ReadFrame(m, length);
    } else if (m == kDHT) {
      ReadDHT(length);
    } else if (m == kDQT) {
      ReadDQT(length);
    } else if (m == kDRI) {
      ReadDRI(length);
    } else if (m == kSOS) {
      if (!ReadScan(length)) return false;
      if (mode_ == Mode::kDirect) return true;  // the image is complete
    } else {
      in_.Skip(length - 2);
    }
  }
  if (mode_ == Mode::kNone) Fail();  // no scan: there is no image to show
  OutputStore();
  return true;
}

void Decoder::ReadFrame(int marker, int length) {
  if (haveFrame_ || marker > kSOF2) Fail();
  if (!ReadFrameHeader(in_, length, frame_)) Fail();
  haveFrame_ = true;
  progressive_ = marker == kSOF2;
  CheckDataCanDescribeFrame();
}

// The fewest bytes that can describe the frame: a component may be coded alone, over the
// blocks of its own sampled size, and every scan codes all the blocks of its components.
// The first scan of a sequential file takes at least two bits a block (a DC and an AC code),
// that of a progressive file at least one (a DC code: AC scans must follow a DC scan of
// their component, and only they have end-of-band runs). The component with the fewest
// blocks sets the bound.
void Decoder::CheckDataCanDescribeFrame() const {
  const int hMax = frame_.comp[0].h, vMax = frame_.comp[0].v;
  int across = 0, down = 0;
  for (int c = 0; c < frame_.count; ++c) {
    const int a = CeilDiv(CeilDiv(frame_.width * frame_.comp[c].h, hMax), 8);
    const int d = CeilDiv(CeilDiv(frame_.height * frame_.comp[c].v, vMax), 8);
    if (c == 0 || static_cast<long long>(a) * d < static_cast<long long>(across) * down) {
      across = a;
      down = d;
    }
  }
  const DataDensity blocksPerByte{progressive_ ? 8 : 4, 1};
  CheckDataCanFill(across, down, in_.Size() - in_.Position(), blocksPerByte);
}

void Decoder::ReadDHT(int length) {
  int remaining = length - 2;
  while (remaining > 0) {
    const int tc = in_.Byte();
    if ((tc & ~0x13) != 0 || remaining < 17) Fail();
    uchar counts[16];
    int total = 0;
    for (int i = 0; i < 16; ++i) total += counts[i] = in_.Byte();
    remaining -= 17 + total;
    if (total > 256 || remaining < 0) Fail();
    uchar symbols[256];
    for (int i = 0; i < total; ++i) symbols[i] = in_.Byte();
    HuffDecoder& table = (tc >> 4) != 0 ? acTables_[tc & 3] : dcTables_[tc & 3];
    JPGBuildHuffDecoder(table, counts, symbols);
  }
}

void Decoder::ReadDQT(int length) {
  int remaining = length - 2;
  while (remaining > 0) {
    const int pq = in_.Byte();
    const int n = pq & 15;
    const bool wide = (pq >> 4) != 0;
    remaining -= 1 + (wide ? 128 : 64);
    if (n > 3 || remaining < 0) Fail();
    for (int k = 0; k < 64; ++k) quant_[n][k] = static_cast<ushort>(wide ? in_.Word() : in_.Byte());
    quantDefined_[n] = true;
  }
}

void Decoder::ReadDRI(int length) {
  if (length != 4) Fail();
  restartInterval_ = in_.Word();
}

bool Decoder::ReadScan(int length) {
  if (!haveFrame_) Fail();
  const int count = in_.Byte();
  if (count < 1 || count > frame_.count || length != 2 * count + 6) Fail();
  if (mode_ == Mode::kNone) StartFirstScan(count);
  scanCount_ = count;
  ReadScanHeader();
  CheckScanTables();
  CheckProgression();
  return mode_ == Mode::kDirect ? DecodeDirectScan() : DecodeBufferedScan();
}

void Decoder::StartFirstScan(int scanCount) {
  hMax_ = frame_.comp[0].h;
  vMax_ = frame_.comp[0].v;
  mcuWidth_ = 8 * hMax_;
  mcuHeight_ = 8 * vMax_;
  mcusX_ = CeilDiv(frame_.width, mcuWidth_);
  mcusY_ = CeilDiv(frame_.height, mcuHeight_);
  blocksPerMcu_ = hMax_ * vMax_ + frame_.count - 1;
  const uchar* stdQuant[2] = {kStdLumQuant, kStdChromQuant};
  for (int i = 0; i < 2; ++i) {
    if (!quantDefined_[i]) {
      std::copy(stdQuant[i], stdQuant[i] + 64, quant_[i]);
      quantDefined_[i] = true;
    }
    if (!dcTables_[i].defined) JPGBuildHuffDecoder(dcTables_[i], kStdDC[i].counts, kStdDC[i].symbols);
    if (!acTables_[i].defined) JPGBuildHuffDecoder(acTables_[i], kStdAC[i].counts, kStdAC[i].symbols);
  }
  mode_ = progressive_ || scanCount < frame_.count ? Mode::kBuffered : Mode::kDirect;
  stripWidth_ = mcusX_ * mcuWidth_;
  planes_.assign(static_cast<size_t>(stripWidth_) * mcuHeight_ + static_cast<size_t>(mcusX_) * 2 * 64, 0);
  if (mode_ == Mode::kDirect) {
    area_ = PrepareTarget(dst_, frame_.width, frame_.height);
    return;
  }
  long long bytes = 0;
  for (int c = 0; c < frame_.count; ++c) {
    storeW_[c] = mcusX_ * frame_.comp[c].h;
    storeH_[c] = mcusY_ * frame_.comp[c].v;
    bytes += static_cast<long long>(storeW_[c]) * storeH_[c] * (progressive_ ? 65 : 64) * sizeof(short);
  }
  if (bytes > kMaxStoreBytes) throw EOutOfMemory(RtlText::OutOfMemory);
  for (int c = 0; c < frame_.count; ++c) {
    store_[c].assign(static_cast<size_t>(storeH_[c]), {});
    dcStore_[c].assign(static_cast<size_t>(storeH_[c]), {});
  }
}

void Decoder::ReadScanHeader() {
  for (int i = 0; i < scanCount_; ++i) {
    const int id = in_.Byte();
    const int tables = in_.Byte();
    int index = -1;
    for (int c = 0; c < frame_.count; ++c)
      if (frame_.comp[c].id == id) index = c;
    ScanComponent& s = scan_[i];
    s.index = index;
    s.dc = tables >> 4;
    s.ac = tables & 15;
    if (index < 0 || s.dc > 3 || s.ac > 3) Fail();
    if (mode_ == Mode::kDirect && index != i) Fail();
  }
  ss_ = in_.Byte();
  se_ = in_.Byte();
  const int a = in_.Byte();
  ah_ = a >> 4;
  al_ = a & 15;
}

// In a progressive file a component's AC and refining scans follow its first DC scan.
void Decoder::CheckProgression() {
  if (!progressive_) return;
  const bool dcFirst = ss_ == 0 && ah_ == 0;
  for (int i = 0; i < scanCount_; ++i) {
    bool& coded = dcCoded_[scan_[i].index];
    if (dcFirst)
      coded = true;
    else if (!coded)
      Fail();
  }
}

void Decoder::CheckScanTables() const {
  if (!progressive_) {
    for (int i = 0; i < scanCount_; ++i) {
      const ScanComponent& s = scan_[i];
      if (!quantDefined_[frame_.comp[s.index].tq] || !dcTables_[s.dc].defined || !acTables_[s.ac].defined)
        Fail();
    }
    return;
  }
  if (ss_ > se_ || se_ > 63 || al_ > 13 || (ah_ != 0 && ah_ != al_ + 1)) Fail();
  if (ss_ > 0) {
    if (scanCount_ != 1 || !acTables_[scan_[0].ac].defined) Fail();
  } else if (ah_ == 0) {
    for (int i = 0; i < scanCount_; ++i)
      if (!dcTables_[scan_[i].dc].defined) Fail();
  }
}

bool Decoder::AtRestart(long mcuIndex) const {
  return restartInterval_ != 0 && mcuIndex > 0 && mcuIndex % restartInterval_ == 0;
}

void Decoder::Restart(int* preds, int& eobRun) {
  br_.Reset();
  int m = br_.TakeMarker();
  if (m == 0) {
    if (in_.Byte() != 0xFF) Fail();
    m = in_.Byte();
  }
  if (m != kRST0 + nextRestart_) Fail();
  nextRestart_ = (nextRestart_ + 1) & 7;
  std::fill(preds, preds + 3, 0);
  eobRun = 0;
}

bool Decoder::ReportRow() {
  if (progress_ == nullptr) return true;
  const long size = in_.Size();
  const int percent = size > 0 ? static_cast<int>(in_.Position() * 100 / size) : 0;
  return progress_(percent);
}

bool Decoder::DecodeDirectScan() {
  LatchQuantTables();
  int preds[3] = {};
  int eobRun = 0;
  nextRestart_ = 0;
  short blocks[kMaxBlocksPerMcu][64];
  const short* pointers[kMaxBlocksPerMcu];
  for (int b = 0; b < kMaxBlocksPerMcu; ++b) pointers[b] = blocks[b];
  long mcuIndex = 0;
  for (int my = 0; my < mcusY_; ++my) {
    for (int mx = 0; mx < mcusX_; ++mx, ++mcuIndex) {
      if (AtRestart(mcuIndex)) Restart(preds, eobRun);
      std::memset(blocks, 0, sizeof(short) * 64 * blocksPerMcu_);
      int b = 0;
      for (int s = 0; s < scanCount_; ++s) {
        const FrameComponent& comp = frame_.comp[scan_[s].index];
        for (int n = 0; n < comp.h * comp.v; ++n)
          JPGDecodeBlock(br_, blocks[b++], preds[s], dcTables_[scan_[s].dc], acTables_[scan_[s].ac]);
      }
      EmitMcu(mx, my, pointers);
    }
    EmitMcuRow(my);
    if (!ReportRow()) return false;
    if ((my + 1) * mcuHeight_ >= area_.rows) break;
  }
  br_.Reset();
  pendingMarker_ = br_.TakeMarker();
  return true;
}

// The row of blocks `by` of component c (allocated when first reached), or with dcOnly the
// row of its DC terms alone.
short* Decoder::StoreRow(int c, int by, bool dcOnly) {
  std::vector<short>& row = (dcOnly ? dcStore_ : store_)[c][static_cast<size_t>(by)];
  if (row.empty()) {
    try {
      row.assign(static_cast<size_t>(storeW_[c]) * (dcOnly ? 1 : 64), 0);
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory(RtlText::OutOfMemory);
    }
  }
  return row.data();
}

const short* Decoder::StoredBlockOrZero(int c, int bx, int by) const {
  const std::vector<short>& row = store_[c][static_cast<size_t>(by)];
  return row.empty() ? zeroBlock_ : row.data() + static_cast<size_t>(bx) * 64;
}

short Decoder::StoredDc(int c, int bx, int by) const {
  const std::vector<short>& row = dcStore_[c][static_cast<size_t>(by)];
  return row.empty() ? 0 : row[static_cast<size_t>(bx)];
}

// Runs decode(s, block) over the blocks of the current scan in the order the data codes
// them, with the restarts between intervals and a progress report per row. The DC scans of a
// progressive file get each block's DC term alone, kept apart from the blocks, so that they
// read and write a small array instead of touching every block.
template <class DecodeOne>
bool Decoder::ForEachScanBlock(int* preds, int& eobRun, DecodeOne decode) {
  nextRestart_ = 0;
  long mcuIndex = 0;
  const bool restarts = restartInterval_ != 0;
  const bool dcOnly = progressive_ && ss_ == 0;
  const int step = dcOnly ? 1 : 64;
  if (scanCount_ == 1) {
    // A single component is coded block by block over its own sampled size.
    const int c = scan_[0].index;
    const FrameComponent& comp = frame_.comp[c];
    const int across = CeilDiv(CeilDiv(frame_.width * comp.h, hMax_), 8);
    const int down = CeilDiv(CeilDiv(frame_.height * comp.v, vMax_), 8);
    for (int by = 0; by < down; ++by) {
      short* block = StoreRow(c, by, dcOnly);
      for (int bx = 0; bx < across; ++bx, ++mcuIndex, block += step) {
        if (restarts && AtRestart(mcuIndex)) Restart(preds, eobRun);
        decode(0, block);
      }
      if (!ReportRow()) return false;
    }
  } else {
    for (int my = 0; my < mcusY_; ++my) {
      for (int mx = 0; mx < mcusX_; ++mx, ++mcuIndex) {
        if (restarts && AtRestart(mcuIndex)) Restart(preds, eobRun);
        for (int s = 0; s < scanCount_; ++s) {
          const int c = scan_[s].index;
          const FrameComponent& comp = frame_.comp[c];
          for (int v = 0; v < comp.v; ++v)
            for (int h = 0; h < comp.h; ++h) decode(s, StoreRow(c, my * comp.v + v, dcOnly) + (mx * comp.h + h) * step);
        }
      }
      if (!ReportRow()) return false;
    }
  }
  br_.Reset();
  pendingMarker_ = br_.TakeMarker();
  return true;
}

// Each kind of scan runs its own loop, its block decoder chosen once.
bool Decoder::DecodeBufferedScan() {
  int preds[3] = {};
  int eobRun = 0;
  const HuffDecoder* dc[3];
  const HuffDecoder* ac[3];
  for (int s = 0; s < scanCount_; ++s) {
    dc[s] = &dcTables_[scan_[s].dc];
    ac[s] = &acTables_[scan_[s].ac];
  }
  const int ss = ss_, se = se_, al = al_;
  if (!progressive_)
    return ForEachScanBlock(preds, eobRun, [&](int s, short* block) { JPGDecodeBlock(br_, block, preds[s], *dc[s], *ac[s]); });
  if (ss == 0 && ah_ == 0)
    return ForEachScanBlock(preds, eobRun, [&](int s, short* zz) { JPGDecodeDCFirst(br_, zz, preds[s], *dc[s], al); });
  if (ss == 0) return ForEachScanBlock(preds, eobRun, [&](int, short* zz) { JPGDecodeDCRefine(br_, zz, al); });
  const HuffDecoder& table = *ac[0];
  if (ah_ == 0)
    return ForEachScanBlock(preds, eobRun, [&](int, short* zz) { JPGDecodeACFirst(br_, zz, eobRun, table, ss, se, al); });
  return ForEachScanBlock(preds, eobRun, [&](int, short* zz) { JPGDecodeACRefine(br_, zz, eobRun, table, ss, se, al); });
}

void Decoder::LatchQuantTables() {
  for (int c = 0; c < frame_.count; ++c) {
    if (!quantDefined_[frame_.comp[c].tq]) Fail();
    NaturalOrder(quant_[frame_.comp[c].tq], quantNatural_[c]);
  }
}

void Decoder::OutputStore() {
  LatchQuantTables();
  area_ = PrepareTarget(dst_, frame_.width, frame_.height);
  const short* pointers[kMaxBlocksPerMcu];
  short natural[kMaxBlocksPerMcu][64];  // progressive blocks, out of their zig-zag order
  for (int my = 0; my < mcusY_; ++my) {
    for (int mx = 0; mx < mcusX_; ++mx) {
      int b = 0;
      for (int c = 0; c < frame_.count; ++c) {
        const FrameComponent& comp = frame_.comp[c];
        for (int v = 0; v < comp.v; ++v)
          for (int h = 0; h < comp.h; ++h, ++b) {
            const int bx = mx * comp.h + h, by = my * comp.v + v;
            pointers[b] = StoredBlockOrZero(c, bx, by);
            if (progressive_) {
              JPGNaturalOrder(pointers[b], natural[b]);
              natural[b][0] = StoredDc(c, bx, by);
              pointers[b] = natural[b];
            }
          }
      }
      EmitMcu(mx, my, pointers);
    }
    EmitMcuRow(my);
  }
}

void Decoder::EmitMcu(int mx, int my, const short* const* blocks) {
  const int x0 = mx * mcuWidth_;
  if (x0 >= area_.columns || my * mcuHeight_ >= area_.rows) return;
  uchar* luma = planes_.data() + x0;
  const FrameComponent& y = frame_.comp[0];
  int b = 0;
  for (int v = 0; v < y.v; ++v)
    for (int h = 0; h < y.h; ++h)
      JPGInverseOn(path_, blocks[b++], quantNatural_[0], luma + v * 8 * stripWidth_ + h * 8, stripWidth_);
  if (frame_.count == 1) return;
  uchar* cb = planes_.data() + static_cast<size_t>(stripWidth_) * mcuHeight_ + mx * 8;
  uchar* cr = cb + mcusX_ * 64;
  JPGInverseOn(path_, blocks[b++], quantNatural_[1], cb, mcusX_ * 8);
  JPGInverseOn(path_, blocks[b++], quantNatural_[2], cr, mcusX_ * 8);
}

void Decoder::EmitMcuRow(int my) {
  const int y0 = my * mcuHeight_;
  const int width = std::min(stripWidth_, area_.columns);
  const int height = std::min(mcuHeight_, area_.rows - y0);
  if (width <= 0 || height <= 0) return;
  const uchar* luma = planes_.data();
  uint* out = TargetRow(dst_, y0);
  if (frame_.count == 1) {
    JPGStoreGrey(luma, stripWidth_, out, dst_.stride, width, height);
    return;
  }
  const uchar* cb = luma + static_cast<size_t>(stripWidth_) * mcuHeight_;
  const uchar* cr = cb + mcusX_ * 64;
  JPGStoreYCbCrOn(path_, luma, stripWidth_, cb, cr, mcusX_ * 8, hMax_ - 1, vMax_ - 1, out, dst_.stride, width,
                  height);
}

}  // namespace jpeg
