#pragma once
// The basic Windows scalar and handle types, at their x86-64 sizes.

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using INT = int;
using LONG = std::int32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using SIZE_T = std::size_t;
using DWORDLONG = std::uint64_t;

// A time in 100-nanosecond steps since 1601, split in two halves.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// Accepted where Windows takes one; access control has no meaning here.
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  };
  std::uint64_t QuadPart;
};

// A memory handle (GlobalAlloc, resources): opaque, turned into an address by its lock call.
using HGLOBAL = const void*;

// A module handle is the address the module is loaded at, as on Windows.
using HINSTANCE = void*;
using HMODULE = HINSTANCE;

// Results of the COM-style calls (shell, video files): negative values are failures.
using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0, S_FALSE = 1, E_NOTIMPL = static_cast<HRESULT>(0x80004001),
                         E_FAIL = static_cast<HRESULT>(0x80004005),
                         E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E),
                         E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;
constexpr int MAX_PATH = 260;

// Reasons passed to a library's entry routine.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;
