#pragma once
// Pictures decoded ahead of need on a worker thread. The game starts one at
// launch with the pictures its set-up reads, so decoding them overlaps the
// slow opening of the window and its GL context; set-up then takes each
// picture instead of reading and decoding the file itself (see
// usePicturePrefetch). A picture that was not asked for is decoded where it
// is needed, as before.
#include "render/DecodedPicture.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovi {

class PicturePrefetch {
  public:
    // Starts decoding the pictures in this order, keeping at most about
    // aheadBytes of decoded pictures waiting to be taken (one picture more
    // when it alone is larger).
    PicturePrefetch(std::vector<std::string> paths, std::size_t aheadBytes);
    // Stops after the picture being decoded and releases what was not taken.
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // Moves the decoded picture of path into out (bytes null when the file
    // held no picture), waiting while it is being decoded. False when path
    // was not asked for or was taken already; out is then untouched.
    bool take(const std::string& path, DecodedPicture& out);

  private:
    struct Slot {
        std::string path;
        DecodedPicture picture;
        bool done = false;
        bool skipped = false; // left undecoded when stopping
        bool taken = false;
    };
    void run();

    std::vector<Slot> slots;
    std::mutex mutex;
    std::condition_variable finished; // a picture was decoded
    std::condition_variable roomMade; // a picture was taken, or stopping
    std::size_t aheadLimit;
    std::size_t waitingBytes = 0; // decoded, not yet taken
    int takersWaiting = 0;
    bool stopping = false;
    std::thread worker;
};

} // namespace tovi
