#include "imaging/JpegScans.h"

#include <algorithm>
#include <cstring>

namespace pictorant {
namespace {

struct Component {
    int id = 0, h = 1, v = 1;
    bool dcOnly = false; // its blocks are reduced to one sample
};

// The end of a scan's entropy-coded data: the first marker that is neither a stuffed
// zero nor a restart marker.
std::size_t entropyEnd(std::span<const std::uint8_t> d, std::size_t at) {
    for (;;) {
        const auto* found =
            static_cast<const std::uint8_t*>(std::memchr(d.data() + at, 0xFF, d.size() - at));
        if (!found)
            return d.size();
        at = std::size_t(found - d.data());
        if (at + 1 >= d.size())
            return d.size();
        const std::uint8_t next = d[at + 1];
        if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7))
            return at;
        at += next == 0xFF ? 1 : 2;
    }
}

// libjpeg's choice of each component's inverse DCT size: the smallest size, doubled for
// subsampled components while their upsampling would otherwise be needed.
void markDcOnly(std::vector<Component>& components, int scaleDenom) {
    int maxH = 1, maxV = 1;
    for (const Component& c : components) {
        maxH = std::max(maxH, c.h);
        maxV = std::max(maxV, c.v);
    }
    const int smallest = 8 / scaleDenom;
    for (Component& c : components) {
        int size = smallest;
        while (size < 8 && (maxH * smallest) % (c.h * size * 2) == 0 &&
               (maxV * smallest) % (c.v * size * 2) == 0)
            size *= 2;
        c.dcOnly = size == 1;
    }
}

} // namespace

std::vector<std::uint8_t> DropUnreadScans(std::span<const std::uint8_t> d, int scaleDenom) {
    if (scaleDenom != 8 || d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return {};
    std::vector<std::uint8_t> out(d.begin(), d.begin() + 2);
    out.reserve(d.size());
    std::vector<Component> components;
    bool progressive = false, dropped = false;
    std::size_t at = 2;
    while (at < d.size()) {
        if (d[at] != 0xFF)
            return {};
        std::size_t m = at;
        while (m + 1 < d.size() && d[m + 1] == 0xFF)
            ++m; // fill bytes
        if (m + 1 >= d.size())
            return {};
        const std::uint8_t marker = d[m + 1];
        if (marker == 0xD9) { // the end: whatever follows is copied as it is
            out.insert(out.end(), d.begin() + std::ptrdiff_t(at), d.end());
            break;
        }
        if (m + 3 >= d.size())
            return {};
        const std::size_t length = std::size_t(d[m + 2]) << 8 | d[m + 3];
        const std::size_t end = m + 2 + length;
        if (length < 2 || end > d.size())
            return {};
        const std::uint8_t* s = d.data() + m + 4; // the segment's body
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            if (marker != 0xC2 || length < 8)
                return {}; // only progressive Huffman files have scans to drop
            progressive = true;
            const int count = s[5];
            if (length < std::size_t(8 + 3 * count) || count < 1)
                return {};
            components.clear();
            for (int i = 0; i < count; ++i)
                components.push_back({s[6 + 3 * i], s[7 + 3 * i] >> 4, s[7 + 3 * i] & 15});
            for (const Component& c : components)
                if (c.h < 1 || c.v < 1 || c.h > 4 || c.v > 4)
                    return {};
            markDcOnly(components, scaleDenom);
        }
        if (marker != 0xDA) {
            out.insert(out.end(), d.begin() + std::ptrdiff_t(at), d.begin() + std::ptrdiff_t(end));
            at = end;
            continue;
        }
        if (!progressive || length < 6)
            return {};
        const int count = s[0];
        if (length < std::size_t(6 + 2 * count))
            return {};
        const int spectralStart = s[1 + 2 * count];
        bool read = spectralStart == 0;
        for (int i = 0; i < count && !read; ++i) {
            const auto c = std::find_if(components.begin(), components.end(),
                                        [&](const Component& k) { return k.id == s[1 + 2 * i]; });
            read = c == components.end() || !c->dcOnly;
        }
        const std::size_t scanEnd = entropyEnd(d, end);
        if (read)
            out.insert(out.end(), d.begin() + std::ptrdiff_t(at),
                       d.begin() + std::ptrdiff_t(scanEnd));
        else
            dropped = true;
        at = scanEnd;
    }
    if (!dropped)
        return {};
    return out;
}

} // namespace pictorant
