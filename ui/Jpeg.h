// JPEG pictures through libjpeg, into bitmaps the dialogs show. Any failure of the data (not a
// JPEG, cut short, damaged), a picture too large to be a logo, or one too slow to decode gives no
// bitmap, never an error box or the end of the program.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace win {

// The largest picture accepted, in pixels: the header is refused before anything is decoded.
inline constexpr std::uint64_t kMostJpegPixels = 4096ull * 4096ull;
// No real picture needs more scans; a file of many tiny progressive scans costs seconds each
// thousand. Decoding also stops at a time bound, which leaves room within a quarter of a second
// for reading the file and fitting the picture, so no picture keeps a window waiting longer.
inline constexpr int kMostJpegScans = 100;
inline constexpr DWORD kMostJpegDecodeMs = 200;

// A 24-bit DIB section of the picture; null when the data is no sound JPEG, too large, of too
// many scans or too slow to decode.
HBITMAP DecodeJpeg(const std::uint8_t* data, std::size_t size);
HBITMAP LoadJpegFile(const std::string& path);
HBITMAP LoadJpegResource(const char* name);

}  // namespace win
