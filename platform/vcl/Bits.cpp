#include "platform/vcl/Bits.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

namespace {
// As the framework: a size the 32-bit index arithmetic can still address.
constexpr int kMaxBits = 0x7FFFFFFF - 31;
}

QUILLO_DEFINE_CLASS(TBits, TObject)

TBits::~TBits() = default;

bool TBits::Bits(int index) const {
  if (index < 0 || index >= Size()) throw EBitsError(RtlText::BitsIndexError);
  return bits_[index];
}

void TBits::SetBit(int index, bool value) {
  if (index < 0 || index >= kMaxBits) throw EBitsError(RtlText::BitsIndexError);
  if (index >= Size()) SetSize(index + 1);
  bits_[index] = value;
}

void TBits::SetSize(int size) {
  if (size < 0 || size > kMaxBits) throw EBitsError(RtlText::BitsIndexError);
  bits_.resize(static_cast<size_t>(size), false);
}

int TBits::OpenBit() const {
  return static_cast<int>(std::find(bits_.begin(), bits_.end(), false) - bits_.begin());
}
