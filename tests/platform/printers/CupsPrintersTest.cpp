// Printing through CUPS, against a scheduler of the test's own (a raw queue writing to a file):
// the queue is listed beside the PDF printer with its device and description, a page drawn on
// its context reaches it as one PDF job with the copies and orientation asked for, and a queue
// that refuses the job, or is gone, makes the job fail.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "PrivateScheduler.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrintDevice.h"
#include "platform/printers/PrinterApi.h"

namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An integer or enum attribute of a job's control file (IPP: tag, name length, name, value
// length, value); -1 when it is not there.
int JobAttribute(const std::string& control, const std::string& name) {
  const std::string bytes = FileBytes(control);
  const std::string key = std::string(1, '\0') + static_cast<char>(name.size()) + name + std::string(1, '\0') + '\x04';
  const size_t at = bytes.find(key);
  if (at == std::string::npos || at + key.size() + 4 > bytes.size()) return -1;
  const auto* v = reinterpret_cast<const unsigned char*>(bytes.data() + at + key.size());
  return static_cast<int>(std::uint32_t{v[0]} << 24 | std::uint32_t{v[1]} << 16 | std::uint32_t{v[2]} << 8 | v[3]);
}

std::vector<std::string> Listed(DWORD level) {
  DWORD needed = 0, count = 0;
  EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, level, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  std::vector<std::string> names;
  if (!EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, level, buffer.data(), needed, &needed, &count)) return names;
  for (DWORD i = 0; i < count; ++i)
    names.push_back(level == 4 ? reinterpret_cast<PRINTER_INFO_4*>(buffer.data())[i].pPrinterName
                               : reinterpret_cast<PRINTER_INFO_5*>(buffer.data())[i].pPrinterName);
  return names;
}

// One page with a 24-bit picture on it, on a context of the queue; the result of EndDoc.
bool PrintPage(const std::string& queue, const DEVMODE* mode) {
  HDC dc = CreateDC(nullptr, queue.c_str(), nullptr, mode);
  if (!dc) return false;
  DOCINFO info;
  info.lpszDocName = "Quillory Image";
  bool done = StartDoc(dc, &info) > 0 && StartPage(dc) > 0;
  std::vector<BYTE> bits(4 * 2 * 3, 0x40);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = 4;
  header.bmiHeader.biHeight = 2;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  done = done && StretchDIBits(dc, 100, 100, 400, 200, 0, 0, 4, 2, bits.data(), &header, DIB_RGB_COLORS, SRCCOPY) > 0;
  done = done && EndPage(dc) > 0 && EndDoc(dc) > 0;
  DeleteDC(dc);
  return done;
}

class CupsPrintersTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!scheduler.Running())
      GTEST_SKIP() << "No private CUPS scheduler could be started here (" << scheduler.Why()
                   << "); the CUPS printing tests need cupsd from the Debian package cups-daemon, run as root.";
    ASSERT_TRUE(scheduler.AddQueue("office", "Office laser"));
  }
  PrivateScheduler scheduler;
};

TEST_F(CupsPrintersTest, TheQueueIsListedBesideThePdfPrinter) {
  EXPECT_EQ(Listed(4), (std::vector<std::string>{"PDF file", "office"}));
  EXPECT_EQ(Listed(5), (std::vector<std::string>{"PDF file", "office"}));
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinter(const_cast<char*>("office"), &printer, nullptr));
  DWORD needed = 0;
  GetPrinter(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed);
  ASSERT_TRUE(GetPrinter(printer, 2, info.data(), needed, &needed));
  const auto* p = reinterpret_cast<const PRINTER_INFO_2*>(info.data());
  EXPECT_EQ(std::string(p->pPortName), "file://" + scheduler.Root() + "/out/office");
  EXPECT_EQ(std::string(p->pComment), "Office laser");
  ClosePrinter(printer);
  // Without a default of the scheduler's, the PDF printer is the default.
  DWORD count = 0;
  EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, nullptr, 0, &needed, &count);
  std::vector<BYTE> defaults(needed);
  ASSERT_TRUE(EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, defaults.data(), needed, &needed, &count));
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(std::string(reinterpret_cast<PRINTER_INFO_5*>(defaults.data())->pPrinterName), "PDF file");
  ASSERT_TRUE(PrivateScheduler::Run("lpadmin -d office >/dev/null 2>&1"));
  EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, nullptr, 0, &needed, &count);
  defaults.resize(needed);
  ASSERT_TRUE(EnumPrinters(PRINTER_ENUM_DEFAULT, nullptr, 5, defaults.data(), needed, &needed, &count));
  EXPECT_EQ(std::string(reinterpret_cast<PRINTER_INFO_5*>(defaults.data())->pPrinterName), "office");
}

TEST_F(CupsPrintersTest, APageReachesTheQueueWithItsCopiesAndOrientation) {
  HDC probe = CreateDC(nullptr, "office", nullptr, nullptr);
  ASSERT_NE(probe, nullptr);
  EXPECT_TRUE(GetDeviceCaps(probe, RASTERCAPS) & RC_STRETCHDIB);
  EXPECT_EQ(GetDeviceCaps(probe, LOGPIXELSX), 300);
  DeleteDC(probe);
  DEVMODE mode;
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinter(const_cast<char*>("office"), &printer, nullptr));
  ASSERT_EQ(DocumentProperties(nullptr, printer, nullptr, &mode, nullptr, DM_OUT_BUFFER), IDOK);
  mode.dmCopies = 3;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  mode.dmFields |= DM_COPIES | DM_ORIENTATION;
  ASSERT_EQ(DocumentProperties(nullptr, printer, nullptr, &mode, &mode, DM_IN_BUFFER | DM_OUT_BUFFER), IDOK);
  ClosePrinter(printer);
  ASSERT_TRUE(PrintPage("office", &mode));
  ASSERT_TRUE(scheduler.WaitForJob(1));
  // The scheduler writes the job's file a moment after it changes.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (JobAttribute(scheduler.Control(1), "orientation-requested") < 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(JobAttribute(scheduler.Control(1), "copies"), 3);
  EXPECT_EQ(JobAttribute(scheduler.Control(1), "orientation-requested"), 4);
  const std::string document = FileBytes(scheduler.Document(1));
  ASSERT_EQ(document.substr(0, 5), "%PDF-");
  // The page itself is turned: wider than tall.
  std::ofstream(scheduler.Root() + "/job.pdf", std::ios::binary) << document;
  FILE* info = ::popen(("pdfinfo '" + scheduler.Root() + "/job.pdf' 2>/dev/null").c_str(), "r");
  ASSERT_NE(info, nullptr);
  char line[256];
  std::string pageSize;
  while (std::fgets(line, sizeof(line), info))
    if (std::string(line).rfind("Page size:", 0) == 0) pageSize = line;
  ::pclose(info);
  double w = 0, h = 0;
  ASSERT_EQ(std::sscanf(pageSize.c_str(), "Page size: %lf x %lf", &w, &h), 2) << pageSize;
  EXPECT_GT(w, h);
}

TEST_F(CupsPrintersTest, ARefusingOrVanishedQueueFailsTheJob) {
  ASSERT_TRUE(PrivateScheduler::Run("cupsreject office >/dev/null 2>&1"));
  EXPECT_FALSE(PrintPage("office", nullptr));
  ASSERT_TRUE(PrivateScheduler::Run("cupsaccept office >/dev/null 2>&1"));
  // Listed, then gone before the job is sent.
  ASSERT_EQ(Listed(4).size(), 2u);
  HDC dc = CreateDC(nullptr, "office", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  DOCINFO info;
  info.lpszDocName = "Quillory Image";
  ASSERT_GT(StartDoc(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_TRUE(PrivateScheduler::Run("lpadmin -x office >/dev/null 2>&1"));
  EXPECT_LE(EndDoc(dc), 0);
  DeleteDC(dc);
}

}  // namespace
