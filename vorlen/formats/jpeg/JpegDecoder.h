#pragma once
// The JPEG decoder: baseline and extended sequential files (one interleaved scan decoded
// MCU by MCU straight into the image, or several scans into a coefficient store) and
// progressive files, grey or YCbCr, luminance sampling 1x1, 2x1 or 2x2. A frame the rest of
// the data cannot describe is refused before anything is allocated for it; the image is
// allocated when the first scan starts (one scan) or when the store is output (several).

#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/jpeg/JpegDct.h"
#include "vorlen/formats/jpeg/JpegEntropyDecoder.h"
#include "vorlen/formats/jpeg/JpegFrame.h"

namespace jpeg {

using ProgressStep = bool (*)(int percent);

class Decoder {
public:
  Decoder(Input& in, Buffer& dst, ProgressStep progress);

  // Decodes the whole file into dst (allocated to the image's size when empty). Answers
  // false when the progress hook stopped it. Format errors raise EInvalidImage "100".
  bool Decode();
  bool Progressive() const { return progressive_; }
  // The instruction set of the transforms and the colour stage (it must be available); the
  // fastest by default, and every path gives the same pixels.
  void UsePath(DctPath path) { path_ = path; }

private:
  enum class Mode { kNone, kDirect, kBuffered };
  struct ScanComponent {
    int index;  // into frame_.comp
    int dc;
    int ac;
  };

  int NextMarker();
  void ReadFrame(int marker, int length);
  void ReadDHT(int length);
  void ReadDQT(int length);
  void ReadDRI(int length);
  bool ReadScan(int length);
  void StartFirstScan(int scanCount);
  void ReadScanHeader();
  void CheckScanTables() const;
  bool DecodeDirectScan();
  bool DecodeBufferedScan();
  template <class DecodeOne>
  bool ForEachScanBlock(int* preds, int& eobRun, DecodeOne decode);
  void Restart(int* preds, int& eobRun);
  bool AtRestart(long mcuIndex) const;
  void CheckDataCanDescribeFrame() const;
  void CheckProgression();
  void LatchQuantTables();
  void OutputStore();
  void EmitMcu(int mx, int my, const short* const* blocks);
  void EmitMcuRow(int my);
  bool ReportRow();
  short* StoreRow(int c, int by, bool dcOnly);
  const short* StoredBlockOrZero(int c, int bx, int by) const;
  short StoredDc(int c, int bx, int by) const;

  Input& in_;
  Buffer& dst_;
  ProgressStep progress_;
  BitReader br_;

  Frame frame_;
  TargetArea area_;  // the part of dst the image covers
  bool haveFrame_ = false;
  bool progressive_ = false;
  Mode mode_ = Mode::kNone;
  int restartInterval_ = 0;
  int nextRestart_ = 0;
  int pendingMarker_ = 0;

  ushort quant_[4][64] = {};
  bool quantDefined_[4] = {};
  ushort quantNatural_[3][64] = {};  // each component's table, latched for output
  HuffDecoder dcTables_[4];
  HuffDecoder acTables_[4];

  // MCU geometry.
  int hMax_ = 1, vMax_ = 1;
  int mcuWidth_ = 8, mcuHeight_ = 8;
  int mcusX_ = 0, mcusY_ = 0;
  int blocksPerMcu_ = 1;

  // The current scan.
  ScanComponent scan_[3] = {};
  int scanCount_ = 0;
  int ss_ = 0, se_ = 63, ah_ = 0, al_ = 0;

  // Progressive files: which components had their first DC scan (AC and refining scans
  // must come after it).
  bool dcCoded_[3] = {};

  // Buffered modes: per component, storeH_[c] rows of storeW_[c] blocks (progressive files
  // in zig-zag order, others in natural order). A row is allocated when a scan first reaches
  // it, so the store grows with the data actually decoded.
  std::vector<std::vector<short>> store_[3];
  std::vector<std::vector<short>> dcStore_[3];  // progressive: the DC terms, rows as above
  int storeW_[3] = {};
  int storeH_[3] = {};
  short zeroBlock_[64] = {};  // stands in for blocks no scan reached

  // One row of MCUs in samples, converted to pixels as a whole: luminance stripWidth_ x
  // mcuHeight_, then each chroma plane mcusX_ x 8 wide and 8 high.
  std::vector<uchar> planes_;
  int stripWidth_ = 0;
  DctPath path_ = FastestDctPath();
};

}  // namespace jpeg
