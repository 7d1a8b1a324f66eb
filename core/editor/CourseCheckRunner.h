#pragma once
// Runs the course check on a worker thread, so the game keeps its frame
// rate meanwhile. The frame asks for progress and picks up the verdict.
#include "core/editor/CourseCheck.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace tovi {

class CourseCheckRunner {
  public:
    CourseCheckRunner() = default;
    // Stops a running check and waits for its thread.
    ~CourseCheckRunner();
    CourseCheckRunner(const CourseCheckRunner&) = delete;
    CourseCheckRunner& operator=(const CourseCheckRunner&) = delete;

    // Starts checking a copy of the course; the piece meshes come from
    // objectsDir. False, and nothing started, while a check runs.
    bool start(BotCourse course, std::string objectsDir);
    bool running() const { return busy.load(); }
    // The verdict of a finished check, handed out once.
    bool takeVerdict(CheckVerdict& out);

    struct Progress {
        int style = 0; // index into kPlayStyles
        double seconds = 0.0;
        std::size_t passed = 0;
        std::size_t total = 0;
    };
    Progress progress() const;
    // Stops a running check (its verdict is dropped) and waits for it.
    void stop();

  private:
    std::thread worker;
    std::atomic<bool> cancel{false};
    std::atomic<bool> busy{false};
    std::atomic<bool> ready{false};
    std::atomic<int> style{0};
    std::atomic<double> seconds{0.0};
    std::atomic<std::size_t> passed{0};
    std::size_t total = 0;
    CheckVerdict verdict; // written by the worker before ready is set
};

// "Course check: running (good player, 12.3 s, 3/8 rings)"
std::string progressLine(const CourseCheckRunner::Progress& progress);

} // namespace tovi
