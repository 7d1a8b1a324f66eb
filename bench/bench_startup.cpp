// Start-up: from launch to the first presented frame, and scene setup alone,
// on the shipped course and on generated courses of 20, 100 and 400 pieces.
//
// Each run starts bench_game (the game's own runGame, stopped after its first
// glfwSwapBuffers) as a new process in a private run folder; the launch time
// is taken just before the process is created. One unmeasured run per course
// warms the file cache first. Needs a display (tools/bench.sh runs it under
// Xvfb).
//
//   bench_startup [--runs N]
//   bench_startup --run-dir PIECES   only writes a run folder with that course
//                                    (0: the shipped one) and prints its path,
//                                    for profiling by hand
#include "BenchSupport.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Figures {
    bench::Summary launch, setup, window, cpu, setupCpu;
    int pieces = 0;
    bool ok = true;
};

Figures measure(const std::string& course, int runs) {
    Figures f;
    bench::RunDir dir(course);
    if (!dir.standIns.empty())
        bench::printInfo("stand-in meshes (not in the game data yet)", bench::joined(dir.standIns));
    const auto exe = bench::executableDir() / "bench_game";
    std::vector<double> launch, setup, window, cpu, setupCpu;
    for (int i = -1; i < runs; ++i) {
        const bench::ChildRun run = bench::runChild(exe, dir.root, {}, true);
        if (run.status != 0 || run.results.empty()) {
            std::printf("  bench_game failed (status %d):\n%s\n", run.status, run.log.c_str());
            f.ok = false;
            return f;
        }
        f.pieces = static_cast<int>(bench::resultOr(run, "pieces", 0));
        if (i < 0)
            continue; // cache warm-up
        launch.push_back(bench::resultOr(run, "launch_to_first_frame_ms"));
        setup.push_back(bench::resultOr(run, "setup_ms"));
        window.push_back(bench::resultOr(run, "window_and_context_ms"));
        cpu.push_back(bench::resultOr(run, "cpu_to_first_frame_ms"));
        setupCpu.push_back(bench::resultOr(run, "setup_cpu_ms"));
    }
    f.cpu = bench::summarize(cpu);
    f.setupCpu = bench::summarize(setupCpu);
    f.launch = bench::summarize(launch);
    f.setup = bench::summarize(setup);
    f.window = bench::summarize(window);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--run-dir") == 0) {
            const int pieces = std::atoi(argv[++i]);
            std::string label;
            bench::RunDir dir(pieces > 0 ? bench::scaleCourse(pieces) : bench::courseUnderTest(label));
            dir.keep = true;
            std::printf("%s\n", dir.root.c_str());
            return 0;
        }
    }

    std::printf("== Start-up (1000 x 780, median over %d runs after one warm-up run) ==\n", runs);
    std::string label;
    const std::string course = bench::courseUnderTest(label);
    std::printf("  %s\n", label.c_str());
    const Figures shipped = measure(course, runs);
    if (!shipped.ok)
        return 1;
    bench::printInfo("pieces", std::to_string(shipped.pieces));
    bench::printFigure("launch to first presented frame", bench::describe(shipped.launch, "%.0f", "ms"),
                       "<= 400 ms", shipped.launch.median <= 400.0);
    bench::printInfo("  of which window, context and GLEW", bench::describe(shipped.window, "%.0f", "ms"));
    bench::printInfo("scene setup alone", bench::describe(shipped.setup, "%.0f", "ms"));
    bench::printInfo("CPU time to first frame (all threads)", bench::describe(shipped.cpu, "%.0f", "ms"));
    bench::printInfo("CPU time of scene setup", bench::describe(shipped.setupCpu, "%.0f", "ms"));

    std::printf("\n== Start-up on generated courses ==\n");
    const int sizes[3] = {20, 100, 400};
    Figures scaled[3];
    for (int k = 0; k < 3; ++k) {
        scaled[k] = measure(bench::scaleCourse(sizes[k]), std::max(3, runs / 2));
        if (!scaled[k].ok)
            return 1;
        const std::string name = std::to_string(scaled[k].pieces) + " pieces";
        bench::printFigure(name + ": launch to first frame", bench::describe(scaled[k].launch, "%.0f", "ms"),
                           "", true);
        bench::printInfo(name + ": scene setup", bench::describe(scaled[k].setup, "%.0f", "ms"));
        bench::printInfo(name + ": CPU time of scene setup",
                         bench::describe(scaled[k].setupCpu, "%.0f", "ms"));
    }
    // Linear growth: the cost of one more piece is the same from 20 to 100 as
    // from 100 to 400.
    // Judged on CPU time, which other work on the machine disturbs least.
    const double perPieceLow =
        (scaled[1].setupCpu.median - scaled[0].setupCpu.median) / (sizes[1] - sizes[0]);
    const double perPieceHigh =
        (scaled[2].setupCpu.median - scaled[1].setupCpu.median) / (sizes[2] - sizes[1]);
    char text[160];
    std::snprintf(text, sizeof text, "%.2f ms/piece (20->100), %.2f ms/piece (100->400), ratio %.2f",
                  perPieceLow, perPieceHigh, perPieceLow > 0 ? perPieceHigh / perPieceLow : 0.0);
    const bool linear =
        perPieceLow > 0 && perPieceHigh / perPieceLow < 1.3 && perPieceHigh / perPieceLow > 0.7;
    bench::printFigure("setup CPU cost per added piece", text, "ratio 0.7-1.3", linear);
    return 0;
}
