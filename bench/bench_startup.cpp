// Start-up: from launch to the first presented frame (the start screen, shown
// in the middle of set-up) and to the first frame with everything set up
// (ready), scene setup alone and the peak resident memory, on the shipped course and on the shipped course
// grown by 100 and 300 generated pieces and up to the 1,000 entries a course
// file may hold; from these, what each added piece costs.
//
// Each run starts bench_game (the game's own runGame, stopped after its first
// glfwSwapBuffers) as a new process in a private run folder; the launch time
// is taken just before the process is created. One unmeasured run per course
// warms the file cache first. Needs a display (tools/bench.sh runs it under
// Xvfb).
//
//   bench_startup [--runs N]
//   bench_startup --run-dir ADDED   only writes a run folder with the course
//                                   grown by ADDED pieces (0: as shipped) and
//                                   prints its path, for profiling by hand
#include "BenchSupport.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Figures {
    bench::Summary launch, ready, setup, window, cpu, setupCpu, peakMb;
    int pieces = 0, rings = 0;
    bool ok = true;
    std::vector<std::pair<std::string, double>> lastRun; // every result of the last run
};

Figures measure(const std::string& course, int runs) {
    Figures f;
    bench::RunDir dir(course);
    if (!dir.standIns.empty())
        bench::printInfo("stand-in meshes (not in the game data yet)", bench::joined(dir.standIns));
    const auto exe = bench::executableDir() / "bench_game";
    std::vector<double> launch, ready, setup, window, cpu, setupCpu, peakMb;
    for (int i = -1; i < runs; ++i) {
        const bench::ChildRun run = bench::runChild(exe, dir.root, {}, true);
        if (run.status != 0 || run.results.empty()) {
            std::printf("  bench_game failed (status %d):\n%s\n", run.status, run.log.c_str());
            f.ok = false;
            return f;
        }
        f.pieces = static_cast<int>(bench::resultOr(run, "pieces", 0));
        f.rings = static_cast<int>(bench::resultOr(run, "rings", 0));
        if (i < 0)
            continue; // cache warm-up
        launch.push_back(bench::resultOr(run, "launch_to_first_frame_ms"));
        ready.push_back(bench::resultOr(run, "launch_to_ready_ms"));
        setup.push_back(bench::resultOr(run, "setup_ms"));
        window.push_back(bench::resultOr(run, "window_and_context_ms"));
        cpu.push_back(bench::resultOr(run, "cpu_to_first_frame_ms"));
        setupCpu.push_back(bench::resultOr(run, "setup_cpu_ms"));
        peakMb.push_back(bench::resultOr(run, "peak_resident_mb"));
        f.lastRun = run.results;
    }
    f.peakMb = bench::summarize(peakMb);
    f.cpu = bench::summarize(cpu);
    f.setupCpu = bench::summarize(setupCpu);
    f.launch = bench::summarize(launch);
    f.ready = bench::summarize(ready);
    f.setup = bench::summarize(setup);
    f.window = bench::summarize(window);
    return f;
}

// What the resident memory at the first frame is made of, from the last run
// (the figures hardly vary between runs): the process before scene setup,
// the GL driver's code paged in since, and the GL objects by their GL sizes;
// the rest is heap (compiled shaders and driver state, physics, the game).
void printMemoryCensus(const Figures& f) {
    auto get = [&](const char* key) {
        double v = 0;
        bench::findResult(f.lastRun, key, v);
        return v;
    };
    const double before = get("rss_before_setup_mb"), total = get("rss_at_first_frame_mb");
    const double driver = get("memory_driver_code_mb") - get("memory_driver_code_before_setup_mb");
    const double targets = get("memory_render_targets_mb"), pictures = get("memory_picture_textures_mb");
    const double sky = get("memory_sky_box_mb"), buffers = get("memory_gl_buffers_mb");
    char text[160];
    auto row = [&](const std::string& name, double mb, const std::string& note) {
        std::snprintf(text, sizeof text, "%6.1f MB%s", mb, note.c_str());
        bench::printInfo("  " + name, text);
    };
    auto note = [](const char* format, double value) {
        char out[120];
        std::snprintf(out, sizeof out, format, value);
        return std::string(out);
    };
    bench::printInfo("resident memory when ready, made of:", "");
    row("process before scene setup", before,
        note(" (of which GL driver code %.1f MB)", get("memory_driver_code_before_setup_mb")));
    row("GL driver code paged in since", driver, " (LLVM compiling the shaders)");
    row("render targets", targets, " (off-screen, blur, depth, shadow map)");
    row("picture textures", pictures, note(" (%.0f pictures, mipmapped)", get("memory_picture_textures")));
    row("sky box", sky, "");
    row("GL buffers", buffers, " (meshes, quads, particles, text)");
    row("the rest", total - before - driver - targets - pictures - sky - buffers,
        " (heap: compiled shaders, driver state, physics, game)");
    row("total", total, "");
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    std::string label;
    const std::string course = bench::courseUnderTest(label);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--run-dir") == 0) {
            bench::RunDir dir(bench::withAddedPieces(course, std::max(0, std::atoi(argv[++i]))));
            dir.keep = true;
            std::printf("%s\n", dir.root.c_str());
            return 0;
        }
    }

    std::printf("== Start-up (1000 x 780, median over %d runs after one warm-up run) ==\n", runs);
    std::printf("  %s\n", label.c_str());
    const Figures shipped = measure(course, runs);
    if (!shipped.ok)
        return 1;
    bench::printInfo("pieces, rings", std::to_string(shipped.pieces) + ", " + std::to_string(shipped.rings));
    bench::printFigure("launch to first presented frame", bench::describe(shipped.launch, "%.0f", "ms"),
                       "<= 300 ms", shipped.launch.median <= 300.0);
    bench::printInfo("  of which window, context and GLEW", bench::describe(shipped.window, "%.0f", "ms"));
    bench::printInfo("launch to ready (set up, first frame)", bench::describe(shipped.ready, "%.0f", "ms"));
    bench::printInfo("scene setup alone", bench::describe(shipped.setup, "%.0f", "ms"));
    bench::printInfo("CPU time to ready (all threads)", bench::describe(shipped.cpu, "%.0f", "ms"));
    bench::printInfo("CPU time of scene setup", bench::describe(shipped.setupCpu, "%.0f", "ms"));
    bench::printFigure("peak resident memory to ready", bench::describe(shipped.peakMb, "%.1f", "MB"),
                       "<= 130 MB", shipped.peakMb.median <= 130.0);
    printMemoryCensus(shipped);

    std::printf("\n== Start-up on the shipped course grown by generated pieces (%d runs each) ==\n",
                std::max(3, runs / 2));
    const std::vector<int> added = bench::addedPieceCounts(course);
    std::vector<Figures> grown;
    for (int count : added) {
        const std::string grownCourse = bench::withAddedPieces(course, count);
        grown.push_back(measure(grownCourse, std::max(3, runs / 2)));
        const Figures& g = grown.back();
        if (!g.ok)
            return 1;
        const int entries = bench::countEntries(grownCourse);
        const bool limit = entries >= static_cast<int>(tovi::kMaxCourseEntries);
        const std::string name =
            "+" + std::to_string(count) + " pieces (" + std::to_string(entries) + " entries)";
        bench::printFigure(name + ": ready", bench::describe(g.ready, "%.0f", "ms"),
                           limit ? "<= 1500 ms" : "", g.ready.median <= 1500.0);
        bench::printFigure(name + ": peak memory", bench::describe(g.peakMb, "%.1f", "MB"),
                           limit ? "< 200 MB" : "", g.peakMb.median < 200.0);
        bench::printInfo(name + ": CPU of scene setup", bench::describe(g.setupCpu, "%.0f", "ms"));
    }

    // What one more piece costs: the slope from the shipped course to the
    // largest one (the widest span, so the least disturbed by noise), and
    // the CPU slope over the lower and the upper span, which stays the same
    // while the cost grows linearly.
    const Figures& largest = grown.back();
    const double span = added.back();
    char text[200];
    const double kbPerPiece = (largest.peakMb.median - shipped.peakMb.median) * 1024.0 / span;
    std::snprintf(text, sizeof text, "%.1f KB", kbPerPiece);
    bench::printFigure("memory per added piece", text, "<= 50 KB", kbPerPiece <= 50.0);
    const double msPerPiece = (largest.ready.median - shipped.ready.median) / span;
    std::snprintf(text, sizeof text, "%.3f ms (CPU %.3f ms)", msPerPiece,
                  (largest.cpu.median - shipped.cpu.median) / span);
    bench::printFigure("time to ready per added piece", text, "<= 0.3 ms", msPerPiece <= 0.3);
    const double lower = (grown[1].setupCpu.median - shipped.setupCpu.median) / added[1];
    const double upper = (largest.setupCpu.median - grown[1].setupCpu.median) / (span - added[1]);
    std::snprintf(text, sizeof text, "%.3f ms/piece (+0 -> +%d), %.3f ms/piece (+%d -> +%d)", lower, added[1],
                  upper, added[1], added.back());
    bench::printInfo("setup CPU per added piece", text);
    return 0;
}
