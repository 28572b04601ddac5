#pragma once
// Global memory blocks (the memory the clipboard and older interfaces pass around) and the
// machine's memory status. A handle is the block's address; blocks never move here, so
// locking only counts.

#include "platform/rtl/WinTypes.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GMEM_DDESHARE = GMEM_SHARE;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Null when the size is more than the machine has.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// A block of the new size with the old contents (and zeros after them with GMEM_ZEROINIT);
// the old handle is no longer valid on success and stays valid on failure.
HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
HGLOBAL GlobalFree(HGLOBAL memory);  // null on success, the handle when it is not a block
LPVOID GlobalLock(HGLOBAL memory);   // null for a handle that is not a block
BOOL GlobalUnlock(HGLOBAL memory);   // TRUE while the block is still locked
SIZE_T GlobalSize(HGLOBAL memory);   // the size asked for; 0 for a handle that is not a block

struct MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;  // per cent of physical memory in use
  SIZE_T dwTotalPhys;
  SIZE_T dwAvailPhys;
  SIZE_T dwTotalPageFile;  // physical memory plus swap, as Windows counts its commit limit
  SIZE_T dwAvailPageFile;
  SIZE_T dwTotalVirtual;
  SIZE_T dwAvailVirtual;
};

struct MEMORYSTATUSEX {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  DWORDLONG ullTotalPhys;
  DWORDLONG ullAvailPhys;
  DWORDLONG ullTotalPageFile;
  DWORDLONG ullAvailPageFile;
  DWORDLONG ullTotalVirtual;
  DWORDLONG ullAvailVirtual;
  DWORDLONG ullAvailExtendedVirtual;
};

void GlobalMemoryStatus(MEMORYSTATUS* status);
BOOL GlobalMemoryStatusEx(MEMORYSTATUSEX* status);  // dwLength must be set to the size
