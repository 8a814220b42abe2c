// libFuzzer target for the EMF and WMF loaders, the record player and the conversion
// between the two forms.
#include <QByteArray>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "imaging/PictureError.h"
#include "imaging/metafile/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One offscreen application, made on the first input, serves them all; it is never
    // destroyed, as Qt's own statics may be gone by then.
    [[maybe_unused]] static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "metafile_fuzzer";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static auto* app = new QGuiApplication(argc, argv);
    using pictorant::Metafile;
    try {
        const Metafile m = Metafile::fromBytes({data, size});
        // A thumbnail-sized play, and a play at the natural size when that is small.
        pictorant::Raster thumb(37, 23);
        thumb.fill(255, 255, 255);
        m.playInto(thumb);
        if (m.width() > 0 && m.height() > 0 && std::int64_t(m.width()) * m.height() <= 65536) {
            pictorant::Raster natural(m.width(), m.height());
            natural.fill(255, 255, 255);
            m.playInto(natural);
            const std::vector<std::uint8_t> other = m.encode(!m.holdsWmf());
            Metafile::fromBytes(other);
        }
    } catch (const pictorant::PictureError&) {
    }
    return 0;
}
