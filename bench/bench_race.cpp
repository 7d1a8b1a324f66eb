// Race frame rate at 1000 x 780 (llvmpipe under Xvfb): the ball rolling on
// the course after startRace, particles alive, HUD with the frame-rate lines
// on; then, in the same run and window, the pipeline with nothing in the
// scene (shadow pass without casters, off-screen clears, three blurs,
// composition) as its ceiling. Also the peak resident memory of each whole
// run (VmHWM). Then the shipped course against it grown to the 1,000 entries
// a course file may hold, in two layouts (the added pieces on a 40 x 25 grid
// over +-400 units, as a long course spreads, and in a block under the
// course), each in a race and in the level editor flying a fixed circle over
// the start, measured in turns, with the ratios to the shipped course and the
// peak memory against their targets; and (unless --no-scale) the race on the
// course grown by 100 and 300 pieces. Needs a display (tools/bench.sh runs it
// under Xvfb).
//
//   bench_race [--seconds S] [--runs N] [--blur FRAG] [--pieces FRAG] [--no-scale] [--no-parts]
//              [--remake-reference] [--picture-only] [--layouts-only] [--before TREE]
//
// --blur FRAG measures with the glow blur built from FRAG (a path relative to
// the source tree, e.g. bench/shaders/gauss_linear.frag) instead of the
// shipped "gauss.frag" (it draws into the blur's half-size targets, reading
// the full-size glow first); --pieces FRAG likewise for the track pieces'
// "normalmap.frag" (e.g. bench/shaders/normalmap_1tap.frag). Unless --no-parts, one more run on the shipped
// course draws a frozen race frame with each part of the scene left out in
// turn and prints what each part costs (CPU time of all threads per frame).
// First of all, the fixed race frame of FramePicture.h is drawn and compared
// with bench/reference_frame.png: what the player sees may differ by at most
// 1 % (mean absolute difference). --remake-reference writes that picture anew
// and stops (only for a change meant to alter the look of a race);
// --picture-only stops after the comparison; --layouts-only measures only
// the 1,000-entry layouts against the shipped course (with --before, the
// older tree's races first). --before TREE measures an older
// source tree (its bench_game built in TREE/build-bench, as tools/bench.sh
// --before REV does) in turns with this one and prints both with the targets
// set against the older one.
#include "BenchSupport.h"
#include "FramePicture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct RaceFigures {
    std::vector<double> race, ceiling, ratio, memoryMb, onCourse, particles, restarts, raceCpu, ceilingCpu,
        cpuRatio;
    int pieces = 0;
    bool ok = true;
};

// The game (bench_game) and its data: this build, or an older tree built by
// tools/bench.sh --before.
struct Build {
    bench::fs::path game = bench::executableDir() / "bench_game";
    bench::fs::path data = bench::sourceData();
};

RaceFigures measure(const std::string& course, int runs, double seconds, const std::string& blur,
                    const std::string& pieces, const Build& build = Build(), bool fly = false) {
    RaceFigures f;
    bench::RunDir dir(course, build.data);
    std::vector<std::string> args = {"--race", std::to_string(seconds)};
    if (fly)
        args.insert(args.end(), {"--fly", "1"});
    if (!blur.empty()) {
        const bench::fs::path copy = dir.root / "bench-blur.frag";
        bench::fs::copy_file(bench::fs::path(ZENTARO_SOURCE_DIR) / blur, copy);
        args.push_back("--blur");
        args.push_back(copy.string());
    }
    if (!pieces.empty()) {
        const bench::fs::path copy = dir.root / "bench-pieces.frag";
        bench::fs::copy_file(bench::fs::path(ZENTARO_SOURCE_DIR) / pieces, copy);
        args.push_back("--pieces");
        args.push_back(copy.string());
    }
    for (int i = 0; i < runs; ++i) {
        const bench::ChildRun run = bench::runChild(build.game, dir.root, args, false);
        double race = 0, ceiling = 0;
        if (run.status != 0 || !bench::findResult(run.results, "race_fps", race) ||
            !bench::findResult(run.results, "ceiling_fps", ceiling)) {
            std::printf("  bench_game failed (status %d):\n%s\n", run.status, run.log.c_str());
            f.ok = false;
            return f;
        }
        f.pieces = static_cast<int>(bench::resultOr(run, "pieces", 0));
        f.race.push_back(race);
        f.ceiling.push_back(ceiling);
        f.ratio.push_back(ceiling > 0 ? race / ceiling : 0);
        f.memoryMb.push_back(bench::resultOr(run, "peak_resident_mb"));
        const double raceCpu = bench::resultOr(run, "race_cpu_ms_per_frame");
        const double ceilingCpu = bench::resultOr(run, "ceiling_cpu_ms_per_frame");
        f.raceCpu.push_back(raceCpu);
        f.ceilingCpu.push_back(ceilingCpu);
        f.cpuRatio.push_back(raceCpu > 0 ? ceilingCpu / raceCpu : 0);
        f.onCourse.push_back(bench::resultOr(run, "race_ball_on_course_share"));
        f.particles.push_back(bench::resultOr(run, "race_live_particles_mean"));
        f.restarts.push_back(bench::resultOr(run, "race_restarts"));
    }
    return f;
}

void append(RaceFigures& to, const RaceFigures& from) {
    for (auto member :
         {&RaceFigures::race, &RaceFigures::ceiling, &RaceFigures::ratio, &RaceFigures::memoryMb,
          &RaceFigures::onCourse, &RaceFigures::particles, &RaceFigures::restarts, &RaceFigures::raceCpu,
          &RaceFigures::ceilingCpu, &RaceFigures::cpuRatio})
        (to.*member).insert((to.*member).end(), (from.*member).begin(), (from.*member).end());
    to.pieces = from.pieces;
    to.ok = to.ok && from.ok;
}

// This build against an older one, measured in turns so that the machine's
// load touches both alike: the frame-rate targets set against the older one.
void printBeforeAndAfter(const RaceFigures& before, const RaceFigures& now) {
    std::printf("\n== Before (the older tree given to --before) and now, measured in turns ==\n");
    auto row = [](const char* name, const std::vector<double>& b, const std::vector<double>& n,
                  const char* fmt) {
        char text[120], one[40], two[40];
        std::snprintf(one, sizeof one, fmt, bench::summarize(b).median);
        std::snprintf(two, sizeof two, fmt, bench::summarize(n).median);
        std::snprintf(text, sizeof text, "before %s, now %s", one, two);
        bench::printInfo(name, text);
    };
    row("race fps", before.race, now.race, "%.1f");
    row("empty pipeline (ceiling) fps", before.ceiling, now.ceiling, "%.1f");
    row("race, CPU ms per frame", before.raceCpu, now.raceCpu, "%.1f");
    row("ceiling, CPU ms per frame", before.ceilingCpu, now.ceilingCpu, "%.1f");
    row("peak resident memory, MB", before.memoryMb, now.memoryMb, "%.1f");
    const double gain = bench::summarize(now.race).median / bench::summarize(before.race).median;
    char text[80];
    std::snprintf(text, sizeof text, "%.2f x", gain);
    bench::printFigure("race fps now / before", text, ">= 1.30 x", gain >= 1.3);
    const double ratio = bench::summarize(now.ratio).median;
    std::snprintf(text, sizeof text, "before %.3f, now %.3f", bench::summarize(before.ratio).median, ratio);
    bench::printFigure("race / ceiling", text, ">= 0.80", ratio >= 0.8);
}

// The shipped course against the two 1,000-entry layouts (the pieces spread
// as a long course's are, and in a block under the course), in a race and in
// the editor's flight, measured in turns: each turn runs all six once, and
// each ratio is the median over the turns of that turn's ratio.
struct Layout {
    const char* name;
    bool fly;
    int course; // 0 shipped, 1 spread, 2 block
};
constexpr Layout kLayouts[] = {{"race, shipped course", false, 0},
                               {"race, 1,000 entries spread", false, 1},
                               {"race, 1,000 entries in a block", false, 2},
                               {"editor flight, shipped course", true, 0},
                               {"editor flight, 1,000 entries spread", true, 1},
                               {"editor flight, 1,000 entries in a block", true, 2}};
constexpr int kLayoutCount = sizeof(kLayouts) / sizeof(kLayouts[0]);

// Without `flights` only the races (an older tree's bench_game cannot fly).
bool measureLayouts(const std::string& course, int runs, double seconds, const Build& build,
                    bool flights = true) {
    const int added = bench::addedPieceCounts(course).back();
    const std::string courses[3] = {course, bench::withAddedPieces(course, added, true),
                                    bench::withAddedPieces(course, added, false)};
    std::printf("\n== The 1,000-entry course (%d pieces more) against the shipped one, %d turns ==\n", added,
                runs);
    RaceFigures f[kLayoutCount];
    std::vector<double> ratio[kLayoutCount];
    for (int turn = 0; turn < runs; ++turn)
        for (int k = 0; k < kLayoutCount; ++k) {
            if (kLayouts[k].fly && !flights)
                continue;
            append(f[k], measure(courses[kLayouts[k].course], 1, seconds, "", "", build, kLayouts[k].fly));
            if (!f[k].ok)
                return false;
            const int shipped = kLayouts[k].fly ? 3 : 0;
            if (k != shipped)
                ratio[k].push_back(f[k].race.back() / f[shipped].race.back());
        }
    const double shippedPeak = bench::summarize(f[0].memoryMb).max;
    for (int k = 0; k < kLayoutCount; ++k) {
        if (f[k].race.empty())
            continue;
        char text[160];
        std::snprintf(text, sizeof text, "%.1f fps (%.0f ms CPU), peak %.0f MB",
                      bench::summarize(f[k].race).median, bench::summarize(f[k].raceCpu).median,
                      bench::summarize(f[k].memoryMb).max);
        if (ratio[k].empty()) {
            bench::printInfo(kLayouts[k].name, text);
            continue;
        }
        const bench::Summary r = bench::summarize(ratio[k]);
        const double target = kLayouts[k].course == 1 ? 0.8 : 0.4;
        char value[220], goal[40];
        std::snprintf(value, sizeof value, "%s, %.2f of shipped (%.2f .. %.2f)", text, r.median, r.min,
                      r.max);
        std::snprintf(goal, sizeof goal, ">= %.2f", target);
        bench::printFigure(kLayouts[k].name, value, goal, r.median >= target);
    }
    char text[120];
    std::snprintf(text, sizeof text, "%.1f MB", shippedPeak);
    bench::printFigure("peak memory, race on the shipped course", text, "<= 150 MB", shippedPeak <= 150.0);
    const double grownPeak =
        std::max(bench::summarize(f[1].memoryMb).max, bench::summarize(f[2].memoryMb).max);
    std::snprintf(text, sizeof text, "%.1f MB (+%.1f MB)", grownPeak, grownPeak - shippedPeak);
    bench::printFigure("peak memory, race on 1,000 entries", text, "<= +30 MB",
                       grownPeak - shippedPeak <= 30.0);
    return true;
}

const char* const kReference = "bench/reference_frame.png";

// Draws the fixed race frame at 1000 x 780 and compares it with the
// reference picture (or, with `remake`, makes that picture anew). False when
// the frame could not be drawn or read.
bool checkPicture(const std::string& course, bool remake) {
    std::printf("== What the player sees: the fixed race frame against %s ==\n", kReference);
    bench::RunDir dir(course);
    const bench::fs::path drawn = dir.root / "fixed-frame.png";
    const bench::ChildRun run = bench::runChild(bench::executableDir() / "bench_game", dir.root,
                                                {"--picture", drawn.string(), "--", "1000", "780"}, false);
    bench::Picture now, reference;
    if (run.status != 0 || bench::resultOr(run, "picture_saved", 0) != 1 || !bench::loadPicture(drawn, now)) {
        std::printf("  bench_game failed to draw the fixed frame (status %d):\n%s\n", run.status,
                    run.log.c_str());
        return false;
    }
    const bench::fs::path referencePath = bench::fs::path(ZENTARO_SOURCE_DIR) / kReference;
    if (remake) {
        bench::fs::copy_file(drawn, referencePath, bench::fs::copy_options::overwrite_existing);
        bench::printInfo("reference picture", "made anew from this build");
        return true;
    }
    if (!bench::loadPicture(referencePath.string(), reference)) {
        std::printf("  no reference picture at %s\n", referencePath.c_str());
        return false;
    }
    const double difference = bench::meanDifferencePercent(now, reference);
    char text[120];
    std::snprintf(text, sizeof text, "%.3f %% (%.2f %% of channels off by more than 8)", difference,
                  bench::changedSharePercent(now, reference, 8));
    bench::printFigure("mean absolute difference", text, "<= 1 %", difference >= 0 && difference <= 1.0);
    if (difference < 0 || difference > 1.0) {
        dir.keep = true;
        std::printf("  the frame drawn now is kept as %s\n", drawn.c_str());
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 10.0;
    int runs = 3;
    bool scale = true;
    bool parts = true;
    bool remakeReference = false;
    bool pictureOnly = false;
    bool layoutsOnly = false;
    std::string beforeTree;
    std::string blur, pieces;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::max(1.0, std::atof(argv[++i]));
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--blur") == 0 && i + 1 < argc)
            blur = argv[++i];
        else if (std::strcmp(argv[i], "--pieces") == 0 && i + 1 < argc)
            pieces = argv[++i];
        else if (std::strcmp(argv[i], "--no-scale") == 0)
            scale = false;
        else if (std::strcmp(argv[i], "--no-parts") == 0)
            parts = false;
        else if (std::strcmp(argv[i], "--remake-reference") == 0)
            remakeReference = true;
        else if (std::strcmp(argv[i], "--layouts-only") == 0)
            layoutsOnly = true;
        else if (std::strcmp(argv[i], "--picture-only") == 0)
            pictureOnly = true;
        else if (std::strcmp(argv[i], "--before") == 0 && i + 1 < argc)
            beforeTree = argv[++i];
    }

    std::printf("== Race frame rate (1000 x 780, %.0f s race + %.0f s empty pipeline per run, %d runs) ==\n",
                seconds, seconds, runs);
    if (!blur.empty())
        std::printf("  glow blur from %s instead of the shipped gauss.frag\n", blur.c_str());
    if (!pieces.empty())
        std::printf("  track pieces drawn with %s instead of the shipped normalmap.frag\n", pieces.c_str());
    std::string label;
    const std::string course = bench::courseUnderTest(label);
    std::printf("  %s\n", label.c_str());
    if (!checkPicture(course, remakeReference))
        return 1;
    if (remakeReference || pictureOnly)
        return 0;
    std::printf("\n");
    Build older;
    if (!beforeTree.empty()) {
        older.game = bench::fs::absolute(beforeTree) / "build-bench" / "bench" / "bench_game";
        older.data = bench::fs::absolute(beforeTree) / "Kobuldo";
    }
    if (layoutsOnly) {
        if (!beforeTree.empty()) {
            std::printf("(the older tree given to --before)");
            if (!measureLayouts(course, runs, seconds, older, false))
                return 1;
            std::printf("\n(this tree)");
        }
        return measureLayouts(course, runs, seconds, Build()) ? 0 : 1;
    }
    RaceFigures f, before;
    if (beforeTree.empty()) {
        f = measure(course, runs, seconds, blur, pieces);
    } else {
        for (int i = 0; i < runs && f.ok && before.ok; ++i) {
            append(before, measure(course, 1, seconds, blur, pieces, older));
            append(f, measure(course, 1, seconds, blur, pieces));
        }
    }
    if (!f.ok || !before.ok)
        return 1;
    const bench::Summary ratio = bench::summarize(f.ratio);
    const bench::Summary memory = bench::summarize(f.memoryMb);
    bench::printInfo("pieces", std::to_string(f.pieces));
    bench::printInfo("race (ball rolling, particles, HUD)",
                     bench::describe(bench::summarize(f.race), "%.1f", "fps"));
    bench::printInfo("empty pipeline (ceiling)", bench::describe(bench::summarize(f.ceiling), "%.1f", "fps"));
    bench::printFigure("race / ceiling", bench::describe(ratio, "%.3f", ""), ">= 0.80", ratio.median >= 0.8);
    bench::printInfo("race, CPU per frame (all threads)",
                     bench::describe(bench::summarize(f.raceCpu), "%.1f", "ms"));
    bench::printInfo("ceiling, CPU per frame (all threads)",
                     bench::describe(bench::summarize(f.ceilingCpu), "%.1f", "ms"));
    bench::printInfo("ceiling CPU / race CPU", bench::describe(bench::summarize(f.cpuRatio), "%.3f", ""));
    bench::printFigure("peak resident memory of a race run", bench::describe(memory, "%.1f", "MB"),
                       "<= 150 MB", memory.max <= 150.0);
    bench::printInfo("ball above the ground plane",
                     bench::describe(bench::summarize(f.onCourse), "%.2f", "of frames"));
    bench::printInfo("live particles", bench::describe(bench::summarize(f.particles), "%.0f", "on average"));
    bench::printInfo("race restarts (all rings passed)",
                     bench::describe(bench::summarize(f.restarts), "%.0f", ""));

    if (!beforeTree.empty())
        printBeforeAndAfter(before, f);

    if (parts) {
        std::printf(
            "\n== What each part of a race frame costs (frozen frame, CPU ms per frame, all threads) ==\n");
        bench::RunDir dir(course);
        const bench::ChildRun run = bench::runChild(bench::executableDir() / "bench_game", dir.root,
                                                    {"--race", "2", "--passes", "45"}, false);
        double all = 0;
        if (run.status != 0 || !bench::findResult(run.results, "passes_cpu_ms_all", all)) {
            std::printf("  bench_game failed (status %d):\n%s\n", run.status, run.log.c_str());
            return 1;
        }
        char text[160];
        std::snprintf(text, sizeof text, "%.1f ms (wall %.1f ms)", all,
                      bench::resultOr(run, "passes_wall_ms_all"));
        bench::printInfo("whole race frame", text);
        std::snprintf(text, sizeof text, "%.1f ms", bench::resultOr(run, "ceiling_cpu_ms_per_frame"));
        bench::printInfo("empty pipeline (shadow clear, clears, blurs, composition)", text);
        const std::pair<const char*, const char*> partNames[] = {
            {"no_sky", "sky box"},
            {"no_pieces", "track pieces (with their lamps)"},
            {"no_lamps", "  of which the lamps"},
            {"no_rings_no_lamps", "rings and lamps"},
            {"no_ball", "ball and head"},
            {"no_particles", "particles"},
            {"no_shadow_pass", "shadow pass (clear and casters)"},
            {"no_hud", "HUD text"},
        };
        for (const auto& part : partNames) {
            const double without = bench::resultOr(run, std::string("passes_cpu_ms_") + part.first);
            std::snprintf(text, sizeof text, "%5.1f ms (%4.1f%% of the frame)", all - without,
                          100.0 * (all - without) / all);
            bench::printInfo(part.second, text);
        }
    }

    if (!beforeTree.empty()) {
        std::printf("\n(the older tree given to --before)");
        if (!measureLayouts(course, runs, seconds, older, false))
            return 1;
        std::printf("\n(this tree)");
    }
    if (!measureLayouts(course, runs, seconds, Build()))
        return 1;
    if (!scale)
        return 0;
    std::printf("\n== Race frame rate on the shipped course grown by generated pieces (1 run each) ==\n");
    for (int count : {100, 300}) {
        const std::string grown = bench::withAddedPieces(course, count);
        const RaceFigures g = measure(grown, 1, seconds, blur, pieces);
        if (!g.ok)
            return 1;
        char text[200];
        std::snprintf(text, sizeof text,
                      "race %.1f fps (%.0f ms CPU), ceiling %.1f fps, ratio %.3f, peak %.0f MB", g.race[0],
                      g.raceCpu[0], g.ceiling[0], g.ratio[0], g.memoryMb[0]);
        bench::printInfo("+" + std::to_string(count) + " pieces (" +
                             std::to_string(bench::countEntries(grown)) + " entries)",
                         text);
    }
    return 0;
}
