#include "quillo/plugins/ComponentBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "quillo/document/UDBuffer.h"
#include "quillo/plugins/ComponentCalls.h"

namespace {

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};
using Block = std::unique_ptr<void, FreeDeleter>;

struct BlockTable {
  std::unordered_map<void*, std::pair<Block, std::uint64_t>> blocks;
  std::uint64_t held = 0;
};

BlockTable& Table() {
  static BlockTable table;
  return table;
}

// Room for this many copies of the larger picture of the run.
constexpr std::uint64_t PictureCopies = 8;
constexpr std::uint64_t OwnTablesBytes = 64ull << 20;

std::uint64_t PictureBytes(const void* picture) {
  const auto* buffer = static_cast<const UDBuffer*>(picture);
  if (!buffer || buffer->Empty()) return 0;
  return std::uint64_t(buffer->Width()) * std::uint64_t(buffer->Height()) * 4;
}

}  // namespace

std::uint64_t ComponentBlockBound() {
  const std::uint64_t params = std::uint64_t(std::max(HostParams.Width, 0)) * std::uint64_t(std::max(HostParams.Height, 0)) * 4;
  const std::uint64_t largest = std::max({params, PictureBytes(HostParams.Destination), PictureBytes(HostParams.Source)});
  return OwnTablesBytes + PictureCopies * largest;
}

void* AllocComponentBlock(std::uint32_t size) {
  BlockTable& table = Table();
  const std::uint64_t bytes = std::max<std::uint64_t>(size, 1);
  if (bytes > ComponentBlockBound() || table.held > ComponentBlockBound() - bytes) return nullptr;
  Block block(std::malloc(bytes));
  if (!block) return nullptr;
  void* address = block.get();
  table.blocks.emplace(address, std::make_pair(std::move(block), bytes));
  table.held += bytes;
  return address;
}

void FreeComponentBlock(void* address) {
  BlockTable& table = Table();
  const auto found = table.blocks.find(address);
  if (found == table.blocks.end()) return;
  table.held -= found->second.second;
  table.blocks.erase(found);
}

void ReleaseComponentBlocks() {
  BlockTable& table = Table();
  table.blocks.clear();
  table.held = 0;
}
