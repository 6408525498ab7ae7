#include "canvas/Canvas.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace canvas {

namespace {

void AppendByte(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(value & 0xFF)));
}

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendByte(out, value >> shift);
}

const Bytef* AsBytes(std::string_view bytes) {
    return reinterpret_cast<const Bytef*>(bytes.data());
}

void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type);
    out.append(data);
    // CRC-32 over the type and the data, as zlib computes it for PNG.
    const std::string_view covered = std::string_view(out).substr(typeAt);
    AppendBigEndian32(out, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                                            AsBytes(covered),
                                                            static_cast<uInt>(covered.size()))));
}

// The rows as one zlib stream at the best compression: our pictures are
// large areas of one colour, which deflate shrinks a hundredfold.
std::string Compressed(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    // With room for the bound, the one failure left is a lack of memory.
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, AsBytes(raw),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    out.resize(size);
    return out;
}

}  // namespace

std::string EncodePng(const Canvas& picture) {
    const int width = picture.Width();
    const int height = picture.Height();
    if (width <= 0 || height <= 0) return {};

    // Every row starts with filter type 0 (none).
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::vector<std::uint8_t>& pixels = picture.Bytes();
    std::string raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        raw.push_back('\0');
        const auto begin = pixels.begin() + static_cast<std::ptrdiff_t>(row * rowBytes);
        std::transform(begin, begin + static_cast<std::ptrdiff_t>(rowBytes),
                       std::back_inserter(raw),
                       [](std::uint8_t v) { return static_cast<char>(v); });
    }

    std::string header;
    AppendBigEndian32(header, static_cast<std::uint32_t>(width));
    AppendBigEndian32(header, static_cast<std::uint32_t>(height));
    AppendByte(header, 8);  // bits per sample
    AppendByte(header, 2);  // colour type: RGB
    AppendByte(header, 0);  // compression: deflate
    AppendByte(header, 0);  // filter method: adaptive, per row
    AppendByte(header, 0);  // no interlace

    const std::string idat = Compressed(raw);
    std::string png("\x89PNG\r\n\x1A\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", idat);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace canvas
