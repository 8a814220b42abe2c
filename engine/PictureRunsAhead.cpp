#include "PictureRunsAhead.h"

#include "FileOps.h"
#include "Naming.h"
#include "Runs.h"

#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"

#include <cctype>
#include <chrono>
#include <condition_variable>
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
};

struct Pipeline {
    Pipeline(PictureRunKind k, const JobSettings& j) : kind(k), job(j) {}

    PictureRunKind kind;
    const JobSettings& job;
    ThumbSizeOptions sizeOptions;
    int n = 0;
    int inFlightLimit = 0;

    std::mutex mutex;
    std::condition_variable claimable, finished;
    int nextToClaim = 0;
    int committed = 0;
    std::size_t heldBytes = 0;
    bool quit = false;
    std::vector<std::optional<Prepared>> results;
    std::vector<std::thread> threads;

    void prepare(int p, Picture& picture, OutputObjects& objects, Prepared& out) const {
        const std::string& name = job.sourceFiles[std::size_t(p)];
        const std::string source = joinPath(job.inputDir, name);
        Prepared::Stage stage = Prepared::Stage::Load;
        try {
            try {
                LoadPicture(source, picture);
            } catch (const PictureError& e) {
                out.couldNotOpen = true;
                out.openFailure = e.what();
                return;
            }
            out.originalBytes = fileSize(source);
            stage = Prepared::Stage::Size;
            if (kind == PictureRunKind::Thumbnails) {
                const ThumbSize size =
                    thumbSizeFor(name, picture.width(), picture.height(), sizeOptions);
                out.width = size.width;
                out.height = size.height;
                stage = Prepared::Stage::Draw;
                if (job.resizeSpeed == ResizeSpeed::Fast)
                    ResampleFast(picture, size.width, size.height, objects);
                else
                    ResampleQuality(picture, size.width, size.height, objects);
            } else {
                out.width = picture.width();
                out.height = picture.height();
                stage = Prepared::Stage::Draw;
                RenderToBitmap(picture, objects.WorkBitmap);
            }
            stage = Prepared::Stage::Encode;
            const std::string type = outputTypeFor(job.convertTo, sourceType(name));
            const Raster& raster = objects.WorkBitmap;
            if (type == "JPG") {
                out.bytes = EncodeJpeg(raster, job.jpegQuality);
            } else if (type == "GIF") {
                StoreBitmap(objects.gifOutput, raster);
                out.bytes = objects.gifOutput.encode();
            } else if (type == "BMP") {
                out.bytes = EncodeBmp(raster);
            }
            stage = Prepared::Stage::Done;
        } catch (...) {
            out.failedAt = stage;
            out.failure = std::current_exception();
        }
    }

    void work() {
        Picture picture;
        OutputObjects objects; // reused for every file this worker takes
        for (;;) {
            int p;
            {
                std::unique_lock lock(mutex);
                // The file the commit waits for is always taken, whatever is held.
                claimable.wait(lock, [&] {
                    return quit || nextToClaim >= n ||
                           (nextToClaim - committed < inFlightLimit &&
                            (heldBytes < kAheadMemoryBudget || nextToClaim == committed));
                });
                if (quit || nextToClaim >= n)
                    return;
                p = nextToClaim++;
            }
            Prepared prepared;
            prepare(p, picture, objects, prepared);
            {
                std::lock_guard lock(mutex);
                heldBytes += prepared.bytes.size();
                results[std::size_t(p)] = std::move(prepared);
            }
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
                host.processEvents();
                lock.lock();
            }
        }
        Prepared prepared = std::move(*results[std::size_t(p)]);
        results[std::size_t(p)].reset();
        heldBytes -= prepared.bytes.size();
        committed = p + 1;
        lock.unlock();
        claimable.notify_all();
        return prepared;
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

    const std::string type = outputTypeFor(job.convertTo, sourceType(name));
    checkPlainName(planned.targetName);
    if (!type.empty()) {
        if (job.overwrite || !pathExists(planned.targetPath)) {
            // An encoder failure counts only where the sequential run would encode.
            if (prepared.failedAt == Stage::Encode)
                std::rethrow_exception(prepared.failure);
            WritePictureFile(planned.targetPath, prepared.bytes);
            ++state.processedCount;
        } else {
            host.fileSkipped(planned.targetName);
        }
        entry.outputPresent = true;
    }
    entry.outputPath = planned.targetPath;
}

} // namespace

bool runPicturesAhead(PictureRunKind kind, const JobSettings& job, const RunPlan& plan,
                      RunState& state, RunHost& host, PictureWorkspace& workspace) {
    const int n = static_cast<int>(job.sourceFiles.size());
    const int workers = std::min(workspace.workers, n);
    if (workers < 2)
        return false;
    if (job.outputDir == job.inputDir || sameFile(job.outputDir, job.inputDir))
        return false;
    for (const std::string& name : job.sourceFiles) {
        const std::string type = outputTypeFor(job.convertTo, sourceType(name));
        if (isMetafileName(name) || type == "EMF" || type == "WMF")
            return false;
    }

    Pipeline pipeline(kind, job);
    if (kind == PictureRunKind::Thumbnails)
        pipeline.sizeOptions = thumbSizeOptionsOf(job);
    state.ProcessedFileList.resize(std::size_t(n));
    host.setProgressMax(n);
    state.processedCount = 0;
    pipeline.n = n;
    pipeline.start(workers);

    for (int p = 0; p < n; ++p) {
        host.setProgressLine(progressText(p + 1, n));
        const std::string& name = job.sourceFiles[std::size_t(p)];
        Prepared prepared = pipeline.take(p, host);
        ProcessedFile& entry = state.ProcessedFileList[std::size_t(p)];
        entry = ProcessedFile{};
        entry.reached = true;
        entry.originalPath = joinPath(job.inputDir, name);
        if (prepared.couldNotOpen) {
            if (!goOnAfterFailure(job, state, host, name, kCouldNotOpen + prepared.openFailure)) {
                host.noteFailure(prepared.openFailure);
                host.showMessage(RunMessage::CouldNotOpen, "Could not open " + name);
                state.stopRequested = true;
                break;
            }
        } else {
            try {
                commitPrepared(job, plan.files[std::size_t(p)], name, prepared, entry, state, host);
            } catch (const std::exception& e) {
                if (!goOnAfterFailure(job, state, host, name, e.what()))
                    throw;
            }
        }

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
    return true;
}

} // namespace pictorant
