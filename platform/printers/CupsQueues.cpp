#include "platform/printers/CupsQueues.h"

#include <cups/cups.h>

#include <memory>

namespace {

constexpr int kConnectTimeoutMs = 3000;
constexpr int kDefaultDpi = 300;
constexpr int kDefaultMargin = 50;

struct HttpCloser {
  void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

// The default connection, or none when no scheduler answers; connecting ourselves keeps
// libcups from browsing the network for printers.
Connection Connect() {
  // libcups keeps the server it found first; asking afresh follows CUPS_SERVER and the
  // client settings as they are now.
  cupsSetServer(nullptr);
  return Connection(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kConnectTimeoutMs, nullptr));
}

class Destinations {
public:
  explicit Destinations(http_t* http) { count_ = cupsGetDests2(http, &dests_); }
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;
  int Count() const { return count_; }
  cups_dest_t& operator[](int i) const { return dests_[i]; }

private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

std::string Option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? value : "";
}

int ResolutionOf(http_t* http, cups_dest_t& dest, cups_dinfo_t* info) {
  if (!info) return kDefaultDpi;
  ipp_attribute_t* attr = cupsFindDestDefault(http, &dest, info, "printer-resolution");
  if (!attr || ippGetValueTag(attr) != IPP_TAG_RESOLUTION) return kDefaultDpi;
  int y = 0;
  ipp_res_t units = IPP_RES_PER_INCH;
  int x = ippGetResolution(attr, 0, &y, &units);
  if (units == IPP_RES_PER_CM) x = static_cast<int>(x * 2.54 + 0.5);
  return x > 0 ? x : kDefaultDpi;
}

// The queue's default paper first, then the standard ones it does not already name.
std::vector<PrinterPaper> PapersOf(http_t* http, cups_dest_t& dest, cups_dinfo_t* info, int dpi) {
  std::vector<PrinterPaper> papers = StandardPapers(dpi, MillimetresToPixels(kDefaultMargin * 25.4 / 300, dpi));
  cups_size_t size{};
  if (!info || !cupsGetDestMediaDefault(http, &dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size)) return papers;
  // Sizes and margins come in hundredths of a millimetre.
  const auto px = [dpi](int hundredths) { return MillimetresToPixels(hundredths / 100.0, dpi); };
  PrinterPaper own;
  own.code = 256;  // a paper of the driver's own
  own.media = size.media;
  own.label = size.media;
  own.width = px(size.width);
  own.height = px(size.length);
  own.left = px(size.left);
  own.top = px(size.top);
  own.right = px(size.right);
  own.bottom = px(size.bottom);
  for (PrinterPaper& paper : papers)
    if (paper.media == own.media) {
      own.code = paper.code;
      own.label = paper.label;
      paper = own;
      std::swap(paper, papers.front());
      return papers;
    }
  if (own.width <= 0 || own.height <= 0) return papers;
  papers.insert(papers.begin(), own);
  return papers;
}

}  // namespace

std::vector<PrinterDescription> ListCupsQueues() {
  std::vector<PrinterDescription> queues;
  Connection http = Connect();
  if (!http) return queues;
  Destinations dests(http.get());
  for (int i = 0; i < dests.Count(); ++i) {
    cups_dest_t& dest = dests[i];
    if (dest.instance) continue;
    PrinterDescription queue;
    queue.name = dest.name;
    queue.port = Option(dest, "device-uri");
    queue.comment = Option(dest, "printer-info");
    cups_dinfo_t* info = cupsCopyDestInfo(http.get(), &dest);
    queue.dpi = ResolutionOf(http.get(), dest, info);
    queue.papers = PapersOf(http.get(), dest, info, queue.dpi);
    if (info) cupsFreeDestInfo(info);
    queues.push_back(std::move(queue));
  }
  return queues;
}

std::string DefaultCupsQueue() {
  Connection http = Connect();
  if (!http) return "";
  Destinations dests(http.get());
  for (int i = 0; i < dests.Count(); ++i)
    if (dests[i].is_default && !dests[i].instance) return dests[i].name;
  return "";
}

bool SubmitCupsJob(const CupsJob& job, const std::string& pdf) {
  Connection http = Connect();
  if (!http) return false;
  cups_option_t* options = nullptr;
  int count = 0;
  count = cupsAddIntegerOption("copies", job.copies > 0 ? job.copies : 1, count, &options);
  count = cupsAddOption("orientation-requested", job.landscape ? "4" : "3", count, &options);
  if (!job.media.empty()) count = cupsAddOption("media", job.media.c_str(), count, &options);
  const int id = cupsCreateJob(http.get(), job.queue.c_str(), job.title.c_str(), count, options);
  bool sent = false;
  if (id > 0 && cupsStartDocument(http.get(), job.queue.c_str(), id, job.title.c_str(), CUPS_FORMAT_PDF, 1) ==
                    HTTP_STATUS_CONTINUE) {
    const bool written = cupsWriteRequestData(http.get(), pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    sent = cupsFinishDocument(http.get(), job.queue.c_str()) == IPP_STATUS_OK && written;
  }
  if (id > 0 && !sent) cupsCancelJob2(http.get(), job.queue.c_str(), id, 0);
  cupsFreeOptions(count, options);
  return sent;
}
