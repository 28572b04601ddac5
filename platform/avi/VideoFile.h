#pragma once
// The video-file service: the AVIFile calls the library uses to read single frames of a video
// file. This stand-in reads RIFF "AVI " files whose video is uncompressed (8, 16, 24 or 32
// bits) or run-length encoded (RLE8) and delivers every frame as a packed 24-bit DIB: the
// 40-byte header, then bottom-up rows of blue, green, red padded to 4 bytes.

#include "platform/rtl/WinTypes.h"

struct AviFileObject;
struct AviStreamObject;
struct AviFrameDecoder;
struct BITMAPINFOHEADER;

using PAVIFILE = AviFileObject*;
using PAVISTREAM = AviStreamObject*;
using PGETFRAME = AviFrameDecoder*;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_BADFORMAT = static_cast<HRESULT>(0x80044066);
constexpr HRESULT AVIERR_MEMORY = static_cast<HRESULT>(0x80044067);
constexpr HRESULT AVIERR_FILEREAD = static_cast<HRESULT>(0x8004406D);
constexpr HRESULT AVIERR_FILEOPEN = static_cast<HRESULT>(0x8004406E);
constexpr HRESULT AVIERR_NODATA = static_cast<HRESULT>(0x80044071);
constexpr HRESULT AVIERR_BUFFERTOOSMALL = static_cast<HRESULT>(0x80044072);

constexpr UINT OF_READ = 0x0000;
constexpr UINT OF_SHARE_DENY_WRITE = 0x0020;

constexpr DWORD streamtypeVIDEO = 0x73646976;  // "vids"

void AVIFileInit();
void AVIFileExit();
HRESULT AVIFileOpenA(PAVIFILE* file, LPCSTR name, UINT mode, void* handler);
DWORD AVIFileRelease(PAVIFILE file);
// Only the first video stream is offered (type streamtypeVIDEO, number 0); AVIERR_NODATA when
// the file holds none (or its headers are damaged).
HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD type, LONG number);
DWORD AVIStreamRelease(PAVISTREAM stream);
// With format null, *size receives the format's size; otherwise up to *size bytes are copied.
HRESULT AVIStreamReadFormat(PAVISTREAM stream, LONG position, LPVOID format, LONG* size);
LONG AVIStreamStart(PAVISTREAM stream);
LONG AVIStreamLength(PAVISTREAM stream);
// Frames always come as 24-bit DIBs of the stream's size; the wanted format is not looked at.
// Null when the stream's compression is not one this service reads.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, BITMAPINFOHEADER* wanted);
// The frame at a stream position, valid until the next call or the close; null on failure.
LPVOID AVIStreamGetFrame(PGETFRAME frames, LONG position);
HRESULT AVIStreamGetFrameClose(PGETFRAME frames);
