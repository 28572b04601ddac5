#include "vorlen/formats/jpeg/JPGFile.h"

#include "vorlen/formats/FormatList.h"
#include "vorlen/formats/StreamBuf.h"
#include "vorlen/formats/jpeg/JpegDecoder.h"
#include "vorlen/formats/jpeg/JpegEncoder.h"
#include "vorlen/formats/jpeg/JpegFrame.h"

void RegisterJPGFile() { static JPGFile instance; }

JPGFile::JPGFile() : GFXFile("JPEG", "*.JPG;*.JPEG;*.JFIF", 0x00800000, 0x80, true, 1) {}

int JPGFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  jpeg::Frame frame;
  bool frameSeen = false;
  jpeg::Probe answer = jpeg::Probe::kNotJpeg;
  {
    StreamBuf reader(stream);
    jpeg::StreamInput in(reader);
    if (jpeg::ReadSOI(in)) {
      answer = jpeg::Probe::kUnsupported;
      if (desc != nullptr) {
        desc->ClearProbeFields();
        answer = jpeg::WalkToFrame(in, frame, frameSeen);
      }
    }
  }
  stream->SetPosition(start);
  if (desc != nullptr && answer != jpeg::Probe::kNotJpeg) {
    desc->supported = answer == jpeg::Probe::kSupported;
    if (frameSeen) {
      desc->width = frame.width;
      desc->height = frame.height;
      desc->palette = false;
      desc->colour = frame.count > 1;
      desc->bits = frame.count > 1 ? 24 : 8;
      desc->sample_bits = 8;
    }
  }
  return static_cast<int>(answer);
}

bool JPGFile::Load(Buffer& dst, TStream* stream, int, GFXtra32*, GFXFileDesc* desc) {
  StreamBuf reader(stream);
  jpeg::StreamInput in(reader);
  jpeg::Decoder decoder(in, dst, PrStep);
  const bool done = decoder.Decode();
  if (desc != nullptr && decoder.Progressive()) desc->interlaced = true;
  return done;
}

bool JPGFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  jpeg::EncodeSettings settings;
  if (params != nullptr) {
    settings.quality = params->quality;
    settings.grey = params->grey;
    settings.progressive = params->interlaced;
    settings.composite = params->composite;
    settings.background = SaveBackground(extra);
  }
  jpeg::StreamOutput out(stream);
  jpeg::Encoder encoder(image, out, settings, PrStep);
  return encoder.Encode();
}
