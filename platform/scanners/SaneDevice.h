#pragma once
// One open SANE device: its main options (mode, resolution, scan area) read and set by name,
// and a scan read whole into a packed DIB.

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/WinTypes.h"

struct ScanOptions {
  std::string mode;
  std::vector<std::string> modes;
  double resolution = 0;
  double tlX = 0, tlY = 0, brX = 0, brY = 0;  // millimetres
  bool hasArea = false;
};

class SaneDevice {
public:
  // Opens name (empty: the first device); Open() tells whether it worked.
  explicit SaneDevice(const std::string& name);
  ~SaneDevice();
  SaneDevice(const SaneDevice&) = delete;
  SaneDevice& operator=(const SaneDevice&) = delete;
  bool Open() const { return handle_ != nullptr; }

  ScanOptions Options();
  bool Apply(const ScanOptions& options);
  // Scans one image. progress gets the fraction done and answers false to cancel. The DIB
  // (header, colour table, bits) in global memory, or null when cancelled or failed.
  HGLOBAL Scan(const std::function<bool(double)>& progress);

private:
  int Find(const char* name) const;
  bool SetNumber(const char* name, double value);
  double Number(const char* name) const;

  SANE_Handle handle_ = nullptr;
};
