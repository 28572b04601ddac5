#include "vorlen/formats/jpeg/JpegIO.h"

#include "platform/rtl/Exceptions.h"

namespace jpeg {

MemoryInput::MemoryInput(const uchar* data, size_t size) {
  window_ = data;
  fill_ = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
}

uchar MemoryInput::NextWindow() { throw EReadError(RtlText::ReadError); }

}  // namespace jpeg
