#include "engine/PictureRunsAhead.h"

#include "engine/FileOps.h"
#include "engine/Naming.h"
#include "engine/Runs.h"

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pictorant {

namespace {

bool isMetafileName(const std::string& name) {
    const std::string type = sourceType(name);
    return type == "EMF" || type == "WMF";
}

// What a worker made of one file: everything up to the write, or where it failed.
struct Prepared {
    enum class Stage { Load, Size, Draw, Encode, Done };
    Stage failedAt = Stage::Done;
    bool couldNotOpen = false; // the loader refused the file
    std::string openFailure;   // and why
    std::exception_ptr failure;
    std::int64_t originalBytes = 0;
    int width = -1, height = -1;
    std::vector<std::uint8_t> bytes; // the encoded output, when there is a type
    Raster bitmap;                   // a BMP output, written a row at a time
    bool asBitmap = false;
    std::string warning; // the picture's data was damaged (RunHost::fileWarned)

    std::size_t heldBytes() const { return bytes.size() + bitmap.storageBytes(); }
};

struct Pipeline {
    Pipeline(PictureRunKind k, const JobSettings& j) : kind(k), job(j) {}

    PictureRunKind kind;
    const JobSettings& job;
    ThumbSizeOptions sizeOptions;
    int n = 0;
    int inFlightLimit = 0;

    std::mutex mutex;
    std::condition_variable claimable, finished, admissible;
    int nextToClaim = 0;
    int nextToAdmit = 0;
    int committed = 0;
    std::size_t inUse = 0; // files admitted and not done, and outputs not yet written
    bool quit = false;
    std::vector<std::optional<Prepared>> results;
    std::vector<std::thread> threads;

    // Loads file p as LoadPicture does, waiting for the memory its header asks for
    // before decoding it. Returns the memory taken (given back by the caller), or
    // nothing when the run is ending.
    std::optional<std::size_t> prepare(int p, Picture& picture, OutputObjects& objects,
                                       Prepared& out) {
        const std::string& name = job.sourceFiles[std::size_t(p)];
        const std::string source = joinPath(job.inputDir, name);
        const OutputType type = outputTypeFor(job.convertTo, sourceType(name));
        Prepared::Stage stage = Prepared::Stage::Load;
        std::size_t need = 0;
        bool admitted = false; // every claimed file passes admission once, in order
        try {
            picture.clear();
            std::vector<std::uint8_t> bytes;
            PictureKind sourceKind = PictureKind::Bitmap;
            try {
                sourceKind = PictureKindForPath(source);
                bytes = ReadPictureFile(source);
            } catch (const PictureError& e) {
                out.couldNotOpen = true;
                out.openFailure = e.what();
            }
            if (!out.couldNotOpen) {
                const PictureHeader header = PeekPictureHeader(sourceKind, bytes);
                std::int64_t outputPixels = std::int64_t(header.width) * header.height;
                if (kind == PictureRunKind::Thumbnails && header.width > 0 && header.height > 0) {
                    const ThumbSize size =
                        ComputeThumbSize(header.width, header.height, sizeOptions);
                    outputPixels = std::int64_t(size.width) * size.height;
                }
                need = memoryNeedOf(kind, sourceKind, header, bytes.size(), outputPixels, type);
            }
            admitted = true;
            if (!admit(p, need))
                return std::nullopt;
            if (out.couldNotOpen)
                return need;
            try {
                LoadPictureFromBytes(sourceKind, std::move(bytes), picture);
            } catch (const PictureError& e) {
                out.couldNotOpen = true;
                out.openFailure = e.what();
                return need;
            }
            out.originalBytes = fileSize(source);
            stage = Prepared::Stage::Size;
            const ThumbSize size = outputSizeOf(kind, name, picture, sizeOptions);
            out.width = size.width;
            out.height = size.height;
            stage = Prepared::Stage::Draw;
            drawOutput(kind, job, picture, size, objects);
            out.warning = picture.decodeWarning();
            stage = Prepared::Stage::Encode;
            const Raster& raster = objects.WorkBitmap;
            if (type == OutputType::Jpg) {
                out.bytes = EncodeJpeg(raster, job.jpegQuality);
            } else if (type == OutputType::Gif) {
                GifImage gif;
                StoreGif(gif, std::move(objects.WorkBitmap));
                objects.gifOutput.setGif(std::move(gif));
                out.bytes = objects.gifOutput.encode();
            } else if (type == OutputType::Bmp) {
                // Encoded as it is written; the raster itself waits for the commit.
                out.bitmap = std::move(objects.WorkBitmap);
                objects.WorkBitmap = Raster();
                out.asBitmap = true;
            }
            stage = Prepared::Stage::Done;
        } catch (...) {
            out.failedAt = stage;
            out.failure = std::current_exception();
            if (!admitted && !admit(p, 0))
                return std::nullopt;
        }
        return need;
    }

    // Files are admitted in the order they were claimed, each when its need fits.
    bool admit(int p, std::size_t need) {
        std::unique_lock lock(mutex);
        admissible.wait(lock, [&] {
            return quit || (p == nextToAdmit && admitsFile(need, inUse, kAheadMemoryBudget));
        });
        if (quit)
            return false;
        inUse += need;
        ++nextToAdmit;
        lock.unlock();
        admissible.notify_all();
        return true;
    }

    void work() {
        Picture picture;
        OutputObjects objects; // reused for every file this worker takes
        for (;;) {
            int p;
            {
                std::unique_lock lock(mutex);
                claimable.wait(lock, [&] {
                    return quit || nextToClaim >= n || nextToClaim - committed < inFlightLimit;
                });
                if (quit || nextToClaim >= n)
                    return;
                p = nextToClaim++;
            }
            Prepared prepared;
            const std::optional<std::size_t> need = prepare(p, picture, objects, prepared);
            if (!need)
                return;
            // A big picture's buffers go now, not when this worker's next file comes.
            picture.clear();
            ReleaseLargeBuffers(objects, kReusedBufferBytes);
            {
                std::lock_guard lock(mutex);
                inUse = inUse - *need + prepared.heldBytes();
                results[std::size_t(p)] = std::move(prepared);
            }
            admissible.notify_all();
            finished.notify_all();
        }
    }

    // Waits for file p, letting the host's events through meanwhile.
    Prepared take(int p, RunHost& host) {
        std::unique_lock lock(mutex);
        while (!results[std::size_t(p)]) {
            if (!finished.wait_for(lock, std::chrono::milliseconds(15),
                                   [&] { return bool(results[std::size_t(p)]); })) {
                lock.unlock();
                host.takeStopRequest();
                lock.lock();
            }
        }
        Prepared prepared = std::move(*results[std::size_t(p)]);
        results[std::size_t(p)].reset();
        committed = p + 1;
        lock.unlock();
        claimable.notify_all();
        return prepared;
    }

    // File p's output is written or dropped: its memory is free again.
    void done(const Prepared& prepared) {
        {
            std::lock_guard lock(mutex);
            inUse -= prepared.heldBytes();
        }
        admissible.notify_all();
    }

    void start(int workers) {
        results.resize(std::size_t(n));
        inFlightLimit = workers + 1;
        for (int i = 0; i < workers; ++i)
            threads.emplace_back([this] { work(); });
    }

    // Work ahead of the last commit is dropped, never written.
    ~Pipeline() {
        {
            std::lock_guard lock(mutex);
            quit = true;
        }
        claimable.notify_all();
        admissible.notify_all();
        for (std::thread& t : threads)
            t.join();
    }
};

// The part of a prepared file that touches the output folder and the run state, in
// source order: the stages' failures rethrown where the sequential run would meet them.
void commitPrepared(const JobSettings& job, const PlannedFile& planned, const std::string& name,
                    Prepared& prepared, ProcessedFile& entry, RunState& state, RunHost& host) {
    using Stage = Prepared::Stage;
    if (prepared.failedAt == Stage::Load)
        std::rethrow_exception(prepared.failure);
    entry.originalBytes = prepared.originalBytes;
    if (prepared.failedAt == Stage::Size)
        std::rethrow_exception(prepared.failure);
    entry.outputWidth = prepared.width;
    entry.outputHeight = prepared.height;
    if (prepared.failedAt == Stage::Draw)
        std::rethrow_exception(prepared.failure);
    reportWarning(name, prepared.warning, state, host);
    const OutputType type = outputTypeFor(job.convertTo, sourceType(name));
    commitOutput(job, planned, type, entry, state, host, [&] {
        // An encoder failure counts only where the sequential run would encode.
        if (prepared.failedAt == Stage::Encode)
            std::rethrow_exception(prepared.failure);
        if (prepared.asBitmap)
            WriteBmpFile(prepared.bitmap, planned.targetPath);
        else
            WritePictureFile(planned.targetPath, prepared.bytes);
    });
}

} // namespace

std::size_t memoryNeedOf(PictureRunKind kind, PictureKind source, const PictureHeader& header,
                         std::size_t fileBytes, std::int64_t outputPixels, OutputType outputType) {
    const auto pixels =
        std::uint64_t(std::max(header.width, 0)) * std::uint64_t(std::max(header.height, 0));
    const auto out = std::uint64_t(std::max<std::int64_t>(outputPixels, 0));
    // Bytes per source pixel: a progressive JPEG keeps all its coefficients (two bytes
    // each, up to three samples a pixel); a baseline JPEG thumbnail reads rows as it
    // goes, but a greyscale one is decoded whole.
    std::uint64_t perPixel = 0;
    switch (source) {
    case PictureKind::Jpeg:
        perPixel = (header.jpegProgressive ? 6 : 0) + (kind == PictureRunKind::Convert ? 3 : 2);
        break;
    case PictureKind::Bitmap:
        perPixel = 3;
        break;
    case PictureKind::Gif:
        perPixel = kind == PictureRunKind::Convert ? 4 : 1; // the frame, and the screen drawn
        break;
    case PictureKind::Metafile:
        perPixel = 3;
        break;
    }
    // The output raster, and what its encoding holds: a JPEG rarely beats three bytes a
    // pixel in its growing buffer; the GIF path quantises through a whole-picture decode.
    std::uint64_t outPerPixel = 0;
    if (outputType == OutputType::Jpg)
        outPerPixel = 3;
    else if (outputType == OutputType::Gif)
        outPerPixel = 8;
    else if (outputType == OutputType::Bmp)
        outPerPixel = kind == PictureRunKind::Convert ? 0 : 3; // convert writes the source raster
    if (kind == PictureRunKind::Thumbnails)
        outPerPixel += 3; // the thumbnail raster itself
    const std::uint64_t need = fileBytes + pixels * perPixel + out * outPerPixel;
    return std::size_t(std::min<std::uint64_t>(need, SIZE_MAX));
}

bool admitsFile(std::size_t need, std::size_t inUse, std::size_t budget) {
    return inUse == 0 || (need <= budget && inUse <= budget - need);
}

bool runPicturesAhead(PictureRunKind kind, const JobSettings& job, const RunPlan& plan,
                      RunState& state, RunHost& host, PictureWorkspace& workspace) {
    const int n = static_cast<int>(job.sourceFiles.size());
    const int workers = std::min(workspace.workers, n);
    if (workers < 2)
        return false;
    if (job.outputDir == job.inputDir || sameFile(job.outputDir, job.inputDir))
        return false;
    for (const std::string& name : job.sourceFiles) {
        const OutputType type = outputTypeFor(job.convertTo, sourceType(name));
        if (isMetafileName(name) || type == OutputType::Emf || type == OutputType::Wmf)
            return false;
    }

    Pipeline pipeline(kind, job);
    if (kind == PictureRunKind::Thumbnails)
        pipeline.sizeOptions = thumbSizeOptionsOf(job);
    pipeline.n = n;
    pipeline.start(workers);
    runEachFile(job, state, host, StepFailures::FileFails,
                [&](int p, ProcessedFile& entry) -> std::optional<int> {
                    Prepared prepared = pipeline.take(p, host);
                    // The memory is given back however this file ends.
                    struct Done {
                        Pipeline& pipeline;
                        const Prepared& prepared;
                        ~Done() { pipeline.done(prepared); }
                    } done{pipeline, prepared};
                    if (prepared.couldNotOpen)
                        return sourceRefused(job, state, host, p, prepared.openFailure);
                    commitPrepared(job, plan.files[std::size_t(p)], job.sourceFiles[std::size_t(p)],
                                   prepared, entry, state, host);
                    return p + 1;
                });
    return true;
}

} // namespace pictorant
