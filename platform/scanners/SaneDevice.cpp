#include "platform/scanners/SaneDevice.h"

#include <cmath>
#include <cstring>

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/GlobalMemory.h"

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr size_t kChunk = 32768;

// The DIB's row size in bytes: bits padded to a multiple of 32.
size_t DibStride(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

// A sample of depth bits (1, 8 or 16) cut to 8 bits.
BYTE Sample(const std::vector<BYTE>& data, size_t rowStart, int index, int depth) {
  if (depth == 16) {
    std::uint16_t v;
    std::memcpy(&v, data.data() + rowStart + 2 * static_cast<size_t>(index), 2);
    return static_cast<BYTE>(v >> 8);
  }
  return data[rowStart + static_cast<size_t>(index)];
}

// The scanned rows as a packed bottom-up DIB: 1-bit (0 white, 1 black, as SANE's line art),
// 8-bit grey with a grey palette, or 24-bit colour.
HGLOBAL PackDib(const SANE_Parameters& p, const std::vector<BYTE>& data, int lines, double dpi) {
  const bool colour = p.format == SANE_FRAME_RGB;
  const int bits = colour ? 24 : p.depth == 1 ? 1 : 8;
  const int colours = bits == 1 ? 2 : bits == 8 ? 256 : 0;
  const int width = p.pixels_per_line;
  if (width <= 0 || lines <= 0 || p.bytes_per_line <= 0) return nullptr;
  const size_t stride = DibStride(width, bits);
  const size_t size = sizeof(BITMAPINFOHEADER) + 4 * static_cast<size_t>(colours) + stride * static_cast<size_t>(lines);
  HGLOBAL block = GlobalAlloc(GHND, size);
  auto* out = static_cast<BYTE*>(GlobalLock(block));
  if (!out) return nullptr;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = lines;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(lines));
  header.biXPelsPerMeter = header.biYPelsPerMeter = static_cast<LONG>(std::lround(dpi / kMetresPerInch));
  header.biClrUsed = static_cast<DWORD>(colours);
  std::memcpy(out, &header, sizeof(header));
  BYTE* table = out + sizeof(header);
  for (int i = 0; i < colours; ++i) {
    const BYTE level = bits == 1 ? static_cast<BYTE>(i == 0 ? 255 : 0) : static_cast<BYTE>(i);
    table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = level;
  }
  BYTE* pixels = table + 4 * colours;
  for (int y = 0; y < lines; ++y) {
    const size_t from = static_cast<size_t>(y) * static_cast<size_t>(p.bytes_per_line);
    BYTE* row = pixels + stride * static_cast<size_t>(lines - 1 - y);
    if (bits == 1) {
      std::memcpy(row, data.data() + from, std::min(stride, static_cast<size_t>(p.bytes_per_line)));
    } else if (bits == 8) {
      for (int x = 0; x < width; ++x) row[x] = Sample(data, from, x, p.depth);
    } else {
      for (int x = 0; x < width; ++x) {
        row[3 * x] = Sample(data, from, 3 * x + 2, p.depth);
        row[3 * x + 1] = Sample(data, from, 3 * x + 1, p.depth);
        row[3 * x + 2] = Sample(data, from, 3 * x, p.depth);
      }
    }
  }
  GlobalUnlock(block);
  return block;
}

}  // namespace

SaneDevice::SaneDevice(const std::string& name) {
  std::string device = name;
  if (device.empty()) {
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_TRUE) == SANE_STATUS_GOOD && list && list[0]) device = list[0]->name;
  }
  if (device.empty() || sane_open(device.c_str(), &handle_) != SANE_STATUS_GOOD) handle_ = nullptr;
}

SaneDevice::~SaneDevice() {
  if (handle_) sane_close(handle_);
}

int SaneDevice::Find(const char* name) const {
  SANE_Int count = 0;
  if (sane_control_option(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return -1;
  for (int i = 1; i < count; ++i) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
    if (d && d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap)) return i;
  }
  return -1;
}

double SaneDevice::Number(const char* name) const {
  const int i = Find(name);
  if (i < 0) return 0;
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
  SANE_Word value = 0;
  if (d->size != sizeof(SANE_Word) || sane_control_option(handle_, i, SANE_ACTION_GET_VALUE, &value, nullptr) != SANE_STATUS_GOOD)
    return 0;
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(value) : value;
}

bool SaneDevice::SetNumber(const char* name, double number) {
  const int i = Find(name);
  if (i < 0) return false;
  const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
  if (d->size != sizeof(SANE_Word)) return false;
  SANE_Word value = d->type == SANE_TYPE_FIXED ? SANE_FIX(number) : static_cast<SANE_Word>(std::lround(number));
  return sane_control_option(handle_, i, SANE_ACTION_SET_VALUE, &value, nullptr) == SANE_STATUS_GOOD;
}

ScanOptions SaneDevice::Options() {
  ScanOptions options;
  if (!handle_) return options;
  const int mode = Find(SANE_NAME_SCAN_MODE);
  if (mode >= 0) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, mode);
    std::vector<char> value(static_cast<size_t>(d->size) + 1, '\0');
    if (sane_control_option(handle_, mode, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
      options.mode = value.data();
    if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
      for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) options.modes.push_back(*s);
  }
  options.resolution = Number(SANE_NAME_SCAN_RESOLUTION);
  options.hasArea = Find(SANE_NAME_SCAN_BR_X) >= 0;
  options.tlX = Number(SANE_NAME_SCAN_TL_X);
  options.tlY = Number(SANE_NAME_SCAN_TL_Y);
  options.brX = Number(SANE_NAME_SCAN_BR_X);
  options.brY = Number(SANE_NAME_SCAN_BR_Y);
  return options;
}

bool SaneDevice::Apply(const ScanOptions& options) {
  if (!handle_) return false;
  const int mode = Find(SANE_NAME_SCAN_MODE);
  if (mode >= 0 && !options.mode.empty()) {
    std::vector<char> value(options.mode.begin(), options.mode.end());
    value.push_back('\0');
    if (sane_control_option(handle_, mode, SANE_ACTION_SET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD) return false;
  }
  bool ok = options.resolution <= 0 || SetNumber(SANE_NAME_SCAN_RESOLUTION, options.resolution);
  if (options.hasArea) {
    ok = SetNumber(SANE_NAME_SCAN_TL_X, options.tlX) && ok;
    ok = SetNumber(SANE_NAME_SCAN_TL_Y, options.tlY) && ok;
    ok = SetNumber(SANE_NAME_SCAN_BR_X, options.brX) && ok;
    ok = SetNumber(SANE_NAME_SCAN_BR_Y, options.brY) && ok;
  }
  return ok;
}

HGLOBAL SaneDevice::Scan(const std::function<bool(double)>& progress) {
  if (!handle_) return nullptr;
  const double dpi = Number(SANE_NAME_SCAN_RESOLUTION);
  if (sane_start(handle_) != SANE_STATUS_GOOD) return nullptr;
  SANE_Parameters p{};
  if (sane_get_parameters(handle_, &p) != SANE_STATUS_GOOD || !p.last_frame ||
      (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB) || (p.depth != 1 && p.depth != 8 && p.depth != 16) ||
      p.bytes_per_line <= 0) {
    sane_cancel(handle_);
    return nullptr;
  }
  const size_t expected = p.lines > 0 ? static_cast<size_t>(p.lines) * static_cast<size_t>(p.bytes_per_line) : 0;
  std::vector<BYTE> data;
  data.reserve(expected);
  BYTE chunk[kChunk];
  SANE_Status status = SANE_STATUS_GOOD;
  while (status == SANE_STATUS_GOOD) {
    SANE_Int got = 0;
    status = sane_read(handle_, chunk, static_cast<SANE_Int>(sizeof(chunk)), &got);
    if (status == SANE_STATUS_GOOD) data.insert(data.end(), chunk, chunk + got);
    if (status == SANE_STATUS_GOOD && progress && !progress(expected ? static_cast<double>(data.size()) / expected : 0)) {
      sane_cancel(handle_);
      return nullptr;
    }
  }
  sane_cancel(handle_);
  if (status != SANE_STATUS_EOF) return nullptr;
  const int lines = static_cast<int>(data.size() / static_cast<size_t>(p.bytes_per_line));
  return PackDib(p, data, lines, dpi > 0 ? dpi : 0);
}
