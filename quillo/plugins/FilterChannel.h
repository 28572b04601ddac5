#pragma once
// The conversation between the program and the child process that runs a filter plug-in, over
// a socket pair that keeps message boundaries. The program sends one run request; the child
// asks back only for what needs the user (whether Cancel was pressed, the progress bar, the
// colour dialog) and ends with its outcome. The pictures travel in one shared memory block:
// the source (read-only in the child), the destination the filter writes into, the selection.

#include <cstddef>
#include <cstdint>

enum class ChannelKind : std::int32_t {
  Abort = 1,       // child asks: did the user press Cancel? (answer value 0 or 1)
  Progress = 2,    // child tells done (a) of total (b); answered when shown
  PickColour = 3,  // child asks for a colour: start a, prompt in text; answer the colour
  Finished = 4,    // child ends: a is the outcome (0 done, 1 cancelled, -1 failed), b the detail
  Answer = 5,
};

// Why a run failed, as the child reports it.
enum class FilterFailure : std::int32_t {
  None = 0,
  Load = 1,         // the file did not load or the entry is missing
  PluginError = 2,  // a selector answered an error
  Memory = 3,       // a buffer for the plug-in could not be had
  Request = 4,      // the run request did not make sense
};

struct ChannelMessage {
  ChannelKind kind = ChannelKind::Answer;
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::uint32_t textLength = 0;
  char text[256] = {};
};

struct FilterRunRequest {
  char path[4096] = {};
  char entry[256] = {};
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint64_t sourceOffset = 0;  // in the shared block, page-aligned
  std::uint64_t destinationOffset = 0;
  std::uint64_t maskOffset = 0;
  std::uint64_t blockSize = 0;
  std::int32_t maskRowBytes = 0;
  std::int32_t hasMask = 0;
  // The area to filter, exclusive right and bottom.
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::uint32_t background = 0;  // 0x00RRGGBB
  std::uint32_t foreground = 0;
  std::int32_t alphaMode = 0;
  std::uint32_t alphaBitsSelection = 0;  // pixels with any of these bits set count as selected
  std::int32_t bilinear = 0;
  std::int64_t window = 0;  // an opaque number for the plug-in
};

// One whole message each way; false when the other side has gone or the message is not whole.
bool SendChannelMessage(int socket, const void* message, std::size_t size);
bool ReceiveChannelMessage(int socket, void* message, std::size_t size);
// The same without waiting: 1 received, 0 nothing yet, -1 the other side has gone or broke
// the protocol.
int PollChannelMessage(int socket, void* message, std::size_t size);
