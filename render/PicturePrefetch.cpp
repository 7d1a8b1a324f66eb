#include "render/PicturePrefetch.h"

#include "core/system/WorkerPriority.h"

#include <utility>

namespace tovi {

namespace {
std::size_t bytesOf(const DecodedPicture& picture) {
    return picture.bytes != nullptr ? picture.pitch * static_cast<std::size_t>(picture.height) : 0;
}
} // namespace

PicturePrefetch::PicturePrefetch(std::vector<std::string> paths, std::size_t aheadBytes)
    : aheadLimit(aheadBytes) {
    slots.resize(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        slots[i].path = std::move(paths[i]);
    worker = std::thread([this] { run(); });
}

PicturePrefetch::~PicturePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    roomMade.notify_all();
    worker.join();
}

void PicturePrefetch::run() {
    // Behind the thread that opens the window (and the display server it
    // talks to): decoding only fills the time they leave, and whoever waits
    // for a picture is not busy anyway.
    lowerThisThreadPriority();
    for (Slot& slot : slots) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            // Someone waiting for a picture further on lifts the limit.
            roomMade.wait(lock, [&] {
                return stopping || waitingBytes == 0 || waitingBytes < aheadLimit || takersWaiting > 0;
            });
            if (stopping)
                break;
        }
        // Paths never change; a slot's picture is the worker's until done.
        DecodedPicture picture;
        if (!decodePictureNow(slot.path, picture))
            picture = DecodedPicture();
        std::lock_guard<std::mutex> lock(mutex);
        slot.picture = std::move(picture);
        waitingBytes += bytesOf(slot.picture);
        slot.done = true;
        finished.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (Slot& slot : slots)
        if (!slot.done)
            slot.done = slot.skipped = true;
    finished.notify_all();
}

bool PicturePrefetch::take(const std::string& path, DecodedPicture& out) {
    std::unique_lock<std::mutex> lock(mutex);
    for (Slot& slot : slots) {
        if (slot.path != path || slot.taken)
            continue;
        if (!slot.done) {
            ++takersWaiting;
            roomMade.notify_all();
            finished.wait(lock, [&] { return slot.done; });
            --takersWaiting;
        }
        if (slot.skipped)
            return false;
        slot.taken = true;
        waitingBytes -= bytesOf(slot.picture);
        out = std::move(slot.picture);
        roomMade.notify_all();
        return true;
    }
    return false;
}

} // namespace tovi
