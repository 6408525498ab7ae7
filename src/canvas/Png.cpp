#include "canvas/Canvas.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace canvas {

namespace {

// Stored deflate blocks carry at most this many bytes each.
constexpr std::size_t kMaxStoredBlock = 65535;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// CRC-32 as PNG chunks use it (reflected, polynomial 0xEDB88320).
std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc = kCrcTable[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

// Adler-32 as the zlib stream ends with it.
std::uint32_t Adler32(std::string_view bytes) {
    constexpr std::uint32_t kModulus = 65521;
    // 5552 bytes is the longest run whose sums cannot overflow 32 bits before
    // reducing them.
    constexpr std::size_t kRun = 5552;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    while (!bytes.empty()) {
        const std::size_t run = std::min(bytes.size(), kRun);
        for (const char byte : bytes.substr(0, run)) {
            a += static_cast<std::uint8_t>(byte);
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        bytes.remove_prefix(run);
    }
    return (b << 16) | a;
}

void AppendByte(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(value & 0xFF)));
}

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendByte(out, value >> shift);
}

void AppendLittleEndian16(std::string& out, unsigned value) {
    AppendByte(out, value);
    AppendByte(out, value >> 8);
}

void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type);
    out.append(data);
    AppendBigEndian32(out, Crc32(std::string_view(out).substr(typeAt)));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(std::string_view raw) {
    std::string out;
    out.reserve(raw.size() + raw.size() / kMaxStoredBlock * 5 + 16);
    // Deflate with a 32 KiB window, no preset dictionary, "fastest" level; the
    // check bits make the 16-bit header a multiple of 31.
    AppendByte(out, 0x78);
    AppendByte(out, 0x01);
    std::string_view rest = raw;
    do {
        const std::size_t length = std::min(rest.size(), kMaxStoredBlock);
        const bool lastBlock = length == rest.size();
        AppendByte(out, lastBlock ? 1 : 0);  // BFINAL, then BTYPE 00: stored
        AppendLittleEndian16(out, static_cast<unsigned>(length));
        AppendLittleEndian16(out, static_cast<unsigned>(~length & 0xFFFF));
        out.append(rest.substr(0, length));
        rest.remove_prefix(length);
    } while (!rest.empty());
    AppendBigEndian32(out, Adler32(raw));
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

    std::string png("\x89PNG\r\n\x1A\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", StoredZlib(raw));
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace canvas
