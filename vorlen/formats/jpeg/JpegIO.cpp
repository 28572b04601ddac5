#include "vorlen/formats/jpeg/JpegIO.h"

#include "platform/rtl/Exceptions.h"

namespace jpeg {

MemoryInput::MemoryInput(const uchar* data, size_t size) {
  window_ = data;
  fill_ = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
}

uchar MemoryInput::NextWindow() { throw EReadError(RtlText::ReadError); }

StreamInput::StreamInput(StreamBuf& source)
    : source_(source), size_(static_cast<long>(source.stream->Size())) {
  Adopt();
}

StreamInput::~StreamInput() { source_.position = pos_; }

void StreamInput::Adopt() {
  window_ = source_.buffer.get();
  fill_ = source_.fill;
  pos_ = source_.position;
}

uchar StreamInput::NextWindow() {
  source_.position = source_.fill;
  const uchar first = source_.PreLoad();
  Adopt();
  return first;
}

long StreamInput::Position() const {
  return static_cast<long>(source_.stream->Position()) - (fill_ - pos_);
}

long StreamInput::Size() const { return size_; }

void StreamOutput::Write(const uchar* data, size_t count) {
  stream_->WriteBuffer(data, static_cast<int>(count));
}

}  // namespace jpeg
