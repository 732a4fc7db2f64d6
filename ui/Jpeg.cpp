#include "ui/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "win/Files.h"

namespace win {
namespace {

constexpr long kMostDecoderMemory = 96L * 1024 * 1024;

// libjpeg's errors, and its warnings too (a file cut short is only a warning to it), jump back to
// the decoder instead of ending the process.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->back, 1); }

void OnMessage(j_common_ptr info, int level)
{
    if (level < 0)
        JumpBack(info);
}

void Silent(j_common_ptr) {}

// Called by libjpeg as it works through the data: beyond the bounds, decoding ends like a failure.
struct Budget {
    jpeg_progress_mgr manager;
    ULONGLONG deadline;
};

void CheckBudget(j_common_ptr info)
{
    const auto* budget = reinterpret_cast<const Budget*>(info->progress);
    const auto* decoder = reinterpret_cast<const jpeg_decompress_struct*>(info);
    if (decoder->input_scan_number > kMostJpegScans || ::GetTickCount64() > budget->deadline)
        JumpBack(info);
}

HBITMAP CreateDib(JDIMENSION width, JDIMENSION height, std::uint8_t*& bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<std::uint8_t*>(pixels);
    return bitmap;
}

// The decoding itself, in plain C terms: nothing here has a destructor that the jump could skip.
HBITMAP Decode(const std::uint8_t* data, std::size_t size, std::uint8_t* row)
{
    jpeg_decompress_struct info{};
    ErrorJump error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    error.manager.emit_message = OnMessage;
    error.manager.output_message = Silent;
    HBITMAP volatile bitmap = nullptr;
    if (setjmp(error.back) != 0) {
        jpeg_destroy_decompress(&info);
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMostDecoderMemory;
    Budget budget{};
    budget.manager.progress_monitor = CheckBudget;
    budget.deadline = ::GetTickCount64() + kMostJpegDecodeMs;
    info.progress = &budget.manager;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 ||
        static_cast<std::uint64_t>(info.image_width) * info.image_height > kMostJpegPixels ||
        info.image_width > 65535 || info.image_height > 65535) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::uint8_t* bits = nullptr;
    bitmap = CreateDib(info.output_width, info.output_height, bits);
    if (bitmap == nullptr || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    const std::size_t stride = (static_cast<std::size_t>(info.output_width) * 3 + 3) & ~std::size_t{3};
    while (info.output_scanline < info.output_height) {
        std::uint8_t* target = bits + stride * info.output_scanline;
        JSAMPROW rows[] = {row};
        jpeg_read_scanlines(&info, rows, 1);
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            target[3 * x] = row[3 * x + 2];  // the bitmap wants blue, green, red
            target[3 * x + 1] = row[3 * x + 1];
            target[3 * x + 2] = row[3 * x];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return bitmap;
}

}  // namespace

HBITMAP DecodeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return nullptr;
    // One row of the widest picture accepted, made before any jump can happen.
    std::vector<std::uint8_t> row(65536 * 3);
    return Decode(data, size, row.data());
}

HBITMAP LoadJpegFile(const std::string& path)
{
    try {
        File file = File::OpenShared(path);
        const std::uint64_t size = file.Size();
        if (size == 0 || size > 64ull * 1024 * 1024)
            return nullptr;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.ReadAt(0, bytes.data(), static_cast<DWORD>(bytes.size()));
        return DecodeJpeg(bytes.data(), bytes.size());
    } catch (const io::IoError&) {
        return nullptr;
    }
}

HBITMAP LoadJpegResource(const char* name)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, name, RT_RCDATA);
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return nullptr;
    return DecodeJpeg(static_cast<const std::uint8_t*>(bytes), ::SizeofResource(module, found));
}

}  // namespace win
