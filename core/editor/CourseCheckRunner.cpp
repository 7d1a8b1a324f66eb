#include "core/editor/CourseCheckRunner.h"

#include "core/system/WorkerPriority.h"

#include <cstdio>
#include <utility>

namespace tovi {

CourseCheckRunner::~CourseCheckRunner() {
    stop();
}

void CourseCheckRunner::stop() {
    cancel.store(true);
    if (worker.joinable())
        worker.join();
    cancel.store(false);
    ready.store(false);
}

bool CourseCheckRunner::start(BotCourse course, std::string objectsDir) {
    if (busy.load())
        return false;
    stop(); // the thread of the last check has finished; collect it
    style.store(0);
    seconds.store(0.0);
    passed.store(0);
    total = course.rings.size();
    busy.store(true);
    worker = std::thread([this, course = std::move(course), dir = std::move(objectsDir)] {
        // The check gives way to the game's own frames.
        lowerThisThreadPriority();
        const PieceMeshes meshes = loadPieceMeshes(course, dir);
        CheckHooks hooks;
        hooks.cancel = &cancel;
        hooks.progress = [this](int s, double t, std::size_t n) {
            style.store(s, std::memory_order_relaxed);
            seconds.store(t, std::memory_order_relaxed);
            passed.store(n, std::memory_order_relaxed);
        };
        verdict = checkCourse(course, meshes, hooks);
        ready.store(true);
        busy.store(false);
    });
    return true;
}

bool CourseCheckRunner::takeVerdict(CheckVerdict& out) {
    if (!ready.load())
        return false;
    if (worker.joinable())
        worker.join();
    ready.store(false);
    out = verdict;
    return true;
}

CourseCheckRunner::Progress CourseCheckRunner::progress() const {
    Progress p;
    p.style = style.load(std::memory_order_relaxed);
    p.seconds = seconds.load(std::memory_order_relaxed);
    p.passed = passed.load(std::memory_order_relaxed);
    p.total = total;
    return p;
}

std::string progressLine(const CourseCheckRunner::Progress& progress) {
    char text[160];
    std::snprintf(text, sizeof text, "Course check: running (%s, %.1f s, %zu/%zu rings)",
                  kPlayStyles[progress.style].name, progress.seconds, progress.passed, progress.total);
    return text;
}

} // namespace tovi
