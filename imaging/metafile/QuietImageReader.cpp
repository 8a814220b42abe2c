#include "imaging/metafile/QuietImageReader.h"

#include <QBuffer>
#include <QImageReader>
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

} // namespace

QImage readEmbeddedImage(const ByteReader& bytes) {
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
