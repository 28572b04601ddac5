#pragma once
// The run-length packet scheme shared by the Targa and the interchange-format writers: up to
// 128 elements a packet, runs of at least `minRun` equal elements as run packets, the rest
// gathered into literal packets. The caller supplies the element comparison and writes the
// packets in its own format.

#include <algorithm>

// same(i, j): elements i and j are equal. literal(start, count) and run(start, count) write
// one packet of 1 to 128 elements. At the end of the data a run that reached minRun is
// written as run packets to its last element, even when its rest after the full packets is
// shorter than minRun.
template <class Same, class Literal, class Run>
void EncodeRunPackets(int n, int minRun, Same same, Literal literal, Run run) {
  constexpr int kPacket = 128;
  int literals = 0;  // start of the literals collected so far
  auto flushLiterals = [&](int end) {
    for (; literals < end; literals += std::min(kPacket, end - literals))
      literal(literals, std::min(kPacket, end - literals));
  };
  for (int p = 0; p < n;) {
    int end = p + 1;
    while (end < n && same(p, end)) ++end;
    if (end - p >= minRun) {
      flushLiterals(p);
      int at = p;
      for (; end - at >= kPacket; at += kPacket) run(at, kPacket);
      const int rest = end - at;
      if (rest >= minRun || (end == n && rest > 0)) {
        run(at, rest);
        at = end;
      }
      literals = at;  // a short rest joins the literals that follow
    }
    p = end;
  }
  flushLiterals(n);
}

// One-byte elements: literal packets with the header count - 1, run packets of three or more
// with the header runHeader(count) and the byte. Answers the end of the output.
template <class RunHeader>
unsigned char* EncodeBytePackets(unsigned char* out, const unsigned char* source, int n, RunHeader runHeader) {
  EncodeRunPackets(
      n, 3, [source](int i, int j) { return source[i] == source[j]; },
      [&out, source](int start, int count) {
        *out++ = static_cast<unsigned char>(count - 1);
        for (int i = 0; i < count; ++i) *out++ = source[start + i];
      },
      [&out, source, runHeader](int start, int count) {
        *out++ = static_cast<unsigned char>(runHeader(count));
        *out++ = source[start];
      });
  return out;
}
