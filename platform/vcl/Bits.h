#pragma once
// The framework's growable array of bits. Setting a bit beyond the end grows the array;
// reading beyond it or using a negative index raises EBitsError.

#include <vector>

#include "platform/vcl/Object.h"

class TBits : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TBits() = default;
  ~TBits() override;

  bool Bits(int index) const;
  void SetBit(int index, bool value);
  int Size() const { return static_cast<int>(bits_.size()); }
  void SetSize(int size);  // new bits are false
  int OpenBit() const;     // the first false bit, or Size() when every bit is set

private:
  std::vector<bool> bits_;
};
