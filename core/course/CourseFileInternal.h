#pragma once
// The course writer's steps, exposed so tests can make any one of them fail
// and check that the old course survives. The game uses writeFileAtomically.
#include <string>

namespace tovi::detail {

enum class AtomicWriteStep {
    None,       // nothing fails
    CreateTemp, // the temporary file cannot be created
    Write,      // writing the contents fails
    Sync,       // flushing to disk fails
    Close,      // closing the temporary fails
    Rename,     // replacing the target fails (e.g. the game is killed just before)
};

bool writeFileAtomicallyWithFailure(const std::string& path, const std::string& contents, std::string* error,
                                    AtomicWriteStep failAt);

} // namespace tovi::detail
