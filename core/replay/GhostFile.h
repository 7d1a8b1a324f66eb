#pragma once
// The ghost file beside a course: the best run's samples and splits, and the
// fingerprint of the course they were raced on. The format is described at
// parseGhost in GhostFile.cpp.
#include "core/course/CourseFile.h"
#include "core/replay/GhostRun.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {

// "<course file>.ghost"
std::string ghostPathFor(const std::string& coursePath);

// Of the pieces, rings and start as the course file writes them (so a course
// read back from its file has the fingerprint it was saved with); the best
// time does not count.
std::uint64_t courseFingerprint(const std::vector<CoursePiece>& pieces, const std::vector<glm::mat4>& rings,
                                const RaceStart& start = RaceStart{});

// The largest ghost file there can be: every split a course may have and
// kGhostMaxSamples samples. A larger file is refused unread.
std::size_t maxGhostFileSize();

// The file's bytes for a run.
std::string formatGhost(const GhostRun& run);

// Reads a ghost file's bytes into out. False, with the reason in why and out
// left alone, for anything the game would not have written: wrong magic or
// version, sizes that do not add up, non-finite numbers, splits out of order.
bool parseGhost(const std::string& bytes, GhostRun& out, std::string& why);

// The ghost for a course, when its file is there, sound and recorded on this
// very course (fingerprint). Otherwise nothing, with one line on log saying
// why (missing, unreadable, too large, corrupt, another course).
std::optional<GhostRun> loadGhost(const std::string& path, std::uint64_t fingerprint, std::ostream& log);

// Replaces the ghost file atomically (see writeFileAtomically); false with
// the reason in error when it could not be written.
bool saveGhost(const std::string& path, const GhostRun& run, std::string* error);

} // namespace tovi
