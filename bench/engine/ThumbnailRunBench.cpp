// A whole thumbnail run over twelve 12-megapixel JPEGs, in files per second, for the
// Fast and the Quality resize. Run: build/bench/engine/engine_bench

#include "engine/BatchEngine.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace pictorant {
namespace {

constexpr int kFiles = 12;

class QuietHost : public RunHost {
public:
    void setProgressLine(const std::string&) override {}
    void setProgressMax(int) override {}
    void setProgressPosition(int) override {}
    void showMessage(RunMessage, const std::string& text) override { message = text; }
    void takeStopRequest() override {}
    void rereadPanes() override {}
    std::string message;
};

// Twelve copies of the 3024 x 4032 photo in a fresh folder, and an output folder.
struct Folder {
    Folder() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "pictorant-bench-XXXXXX").string();
        root = mkdtemp(tmpl.data());
        std::filesystem::create_directory(root / "out");
        const std::filesystem::path photo =
            std::filesystem::path(PICTORANT_BENCH_DATA) / "photos/book-beside-flowers.jpg";
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "photo" + std::to_string(i) + ".jpg";
            std::filesystem::copy_file(photo, root / name);
            names.push_back(name);
        }
    }
    ~Folder() { std::filesystem::remove_all(root); }
    std::filesystem::path root;
    std::vector<std::string> names;
};

void ThumbnailRun(benchmark::State& state, ResizeSpeed speed) {
    Folder folder;
    JobSettings job;
    job.mode = JobMode::CreateThumbnails;
    job.inputDir = folder.root.string();
    job.outputDir = (folder.root / "out").string();
    job.sourceFiles = folder.names;
    job.maintainRatio = true;
    job.resizeSpeed = speed;
    BatchEngine engine;
    QuietHost host;
    for (auto _ : state) {
        const RunOutcome outcome = engine.startRun(job, host);
        if (!outcome.complete) {
            state.SkipWithError(("run failed: " + host.message).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    state.counters["files/s"] =
        benchmark::Counter(double(state.iterations() * kFiles), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(ThumbnailRun, Fast, ResizeSpeed::Fast)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(ThumbnailRun, Quality, ResizeSpeed::Quality)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace
} // namespace pictorant

BENCHMARK_MAIN();
