#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace pictorant {

// Thrown by a read outside the bytes it was given. The metafile record walks catch it
// and stop playing, keeping what was drawn so far; the bitmap reader turns it into its
// error.
struct OutOfBounds {};

// Little-endian reads at offsets into a span, each checked against its end. Offsets
// and lengths are 64-bit so that a count taken from a file cannot wrap around.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t size() const { return bytes_.size(); }
    const std::uint8_t* data() const { return bytes_.data(); }
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    void require(std::uint64_t offset, std::uint64_t length) const {
        if (!has(offset, length))
            throw OutOfBounds{};
    }

    std::uint8_t u8(std::uint64_t offset) const {
        require(offset, 1);
        return bytes_[offset];
    }
    std::uint16_t u16(std::uint64_t offset) const {
        require(offset, 2);
        return std::uint16_t(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::int16_t i16(std::uint64_t offset) const { return std::int16_t(u16(offset)); }
    std::uint32_t u32(std::uint64_t offset) const {
        require(offset, 4);
        return std::uint32_t(bytes_[offset]) | std::uint32_t(bytes_[offset + 1]) << 8 |
               std::uint32_t(bytes_[offset + 2]) << 16 | std::uint32_t(bytes_[offset + 3]) << 24;
    }
    std::int32_t i32(std::uint64_t offset) const { return std::int32_t(u32(offset)); }
    float f32(std::uint64_t offset) const {
        const std::uint32_t bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The sub-range [offset, offset + length), checked.
    ByteReader sub(std::uint64_t offset, std::uint64_t length) const {
        require(offset, length);
        return ByteReader(bytes_.subspan(offset, length));
    }
    // The sub-range from offset to the end, or empty when offset is past it.
    ByteReader from(std::uint64_t offset) const {
        if (offset >= bytes_.size())
            return ByteReader();
        return ByteReader(bytes_.subspan(offset));
    }
    std::span<const std::uint8_t> span() const { return bytes_; }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace pictorant
