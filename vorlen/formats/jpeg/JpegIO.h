#pragma once
// The byte source the JPEG decoder reads and the byte sink the encoder writes. The source
// hands out bytes inline from a window (the file stream's buffer, or a whole file held in
// memory) and asks its owner for the next window only when one is used up.

#include <cstddef>

#include "vorlen/core/Types.h"
#include "vorlen/formats/StreamBuf.h"

namespace jpeg {

class Input {
public:
  virtual ~Input() = default;

  uchar Byte() { return pos_ < fill_ ? window_[pos_++] : NextWindow(); }
  int Word() {
    const int high = Byte();
    return high << 8 | Byte();
  }
  void Skip(long n) {
    while (n > 0) {
      if (pos_ >= fill_) {
        NextWindow();
        --n;
        continue;
      }
      const long step = n < fill_ - pos_ ? n : fill_ - pos_;
      pos_ += static_cast<int>(step);
      n -= step;
    }
  }
  // The bytes of the window not yet handed out, for readers that take several at once.
  int Available() const { return fill_ - pos_; }
  const uchar* Here() const { return window_ + pos_; }
  void Advance(int n) { pos_ += n; }
  // Progress figures: bytes read so far and the size of the whole input.
  virtual long Position() const = 0;
  virtual long Size() const = 0;

protected:
  // Loads the next window and hands out its first byte; raises the stream's read error at
  // the end of the data.
  virtual uchar NextWindow() = 0;

  const uchar* window_ = nullptr;
  int pos_ = 0;
  int fill_ = 0;
};

// A whole file in memory.
class MemoryInput : public Input {
public:
  MemoryInput(const uchar* data, size_t size);
  long Position() const override { return pos_; }
  long Size() const override { return fill_; }

protected:
  uchar NextWindow() override;
};

// The registry's buffered reader over a file stream. Bytes come straight from its buffer;
// the reader's position is handed back when this input ends.
class StreamInput : public Input {
public:
  explicit StreamInput(StreamBuf& source);
  ~StreamInput() override;
  StreamInput(const StreamInput&) = delete;
  StreamInput& operator=(const StreamInput&) = delete;
  long Position() const override;
  long Size() const override;

protected:
  uchar NextWindow() override;

private:
  void Adopt();
  StreamBuf& source_;
  long size_;  // taken once: progress asks for it every row
};

class Output {
public:
  virtual ~Output() = default;
  virtual void Write(const uchar* data, size_t count) = 0;
};

// Writes to a framework stream (its write error on failure).
class StreamOutput : public Output {
public:
  explicit StreamOutput(TStream* stream) : stream_(stream) {}
  void Write(const uchar* data, size_t count) override;

private:
  TStream* stream_;
};

}  // namespace jpeg
