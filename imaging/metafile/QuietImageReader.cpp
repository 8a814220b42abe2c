#include "imaging/metafile/QuietImageReader.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <mutex>

#include "imaging/metafile/Dib.h"

namespace pictorant::metafile {

namespace {

// Messages are dropped only on the thread that is reading, so other threads' messages
// (and this thread's outside a read) still reach whatever handler was there before.
thread_local int quietReads = 0;
QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (quietReads > 0)
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

struct QuietScope {
    QuietScope() {
        static std::once_flag installed;
        std::call_once(installed, [] { previousHandler = qInstallMessageHandler(quietHandler); });
        ++quietReads;
    }
    ~QuietScope() { --quietReads; }
};

std::uint32_t crc32(const std::uint8_t* data, std::uint64_t size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint64_t i = 0; i < size; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// libpng reports a damaged chunk on standard error itself, past any Qt handler; a PNG
// whose chunks do not all have letter types and matching checksums is refused first.
bool pngChunksIntact(const ByteReader& bytes) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!bytes.has(0, 8) || !std::equal(signature, signature + 8, bytes.data()))
        return true; // not a PNG: the other readers report through Qt
    std::uint64_t at = 8;
    while (bytes.has(at, 12)) {
        const std::uint8_t* chunk = bytes.data() + at;
        const std::uint64_t length = bigEndian(chunk);
        if (!bytes.has(at, 12 + length))
            return false;
        for (int i = 4; i < 8; ++i)
            if (!std::isalpha(chunk[i]))
                return false;
        if (crc32(chunk + 4, 4 + length) != bigEndian(chunk + 8 + length))
            return false;
        if (std::equal(chunk + 4, chunk + 8, "IEND"))
            return true;
        at += 12 + length;
    }
    return false;
}

} // namespace

QImage readEmbeddedImage(const ByteReader& bytes) {
    if (!pngChunksIntact(bytes))
        return {};
    const QuietScope quiet;
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || std::int64_t(size.width()) * size.height() > kMaxDibPixels)
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace pictorant::metafile
