// Pictures decoded ahead on the worker thread are the pictures decoding on
// the spot gives, whatever order set-up takes them in, and the worker never
// leaves a taker (or the end of the game) waiting.
#include "render/PicturePrefetch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tovi::testing {
namespace {

const std::string kTextures = ZENTARO_SOURCE_DIR "/Kobuldo/Textures/";

TEST(PicturePrefetch, GivesWhatDecodingGivesInAnyOrderWithoutRoomAhead) {
    const std::vector<std::string> paths = {kTextures + "particle.png", kTextures + "light.jpg",
                                            kTextures + "MyFont.bmp", kTextures + "missing.png"};
    {
        // One picture ahead at most: taking a later one first must lift the
        // limit rather than wait for room that never comes.
        PicturePrefetch prefetch(paths, 1);
        for (int i : {2, 0, 3, 1}) {
            DecodedPicture ahead, now;
            ASSERT_TRUE(prefetch.take(paths[i], ahead)) << paths[i];
            const bool decoded = decodePictureNow(paths[i], now);
            ASSERT_EQ(ahead.bytes != nullptr, decoded) << paths[i];
            if (!decoded)
                continue;
            EXPECT_EQ(ahead.width, now.width);
            EXPECT_EQ(ahead.height, now.height);
            EXPECT_EQ(ahead.format, now.format);
            ASSERT_EQ(ahead.pitch, now.pitch);
            EXPECT_EQ(std::memcmp(ahead.bytes, now.bytes, now.pitch * static_cast<std::size_t>(now.height)),
                      0)
                << paths[i];
        }
        DecodedPicture again;
        EXPECT_FALSE(prefetch.take(paths[0], again));               // taken already
        EXPECT_FALSE(prefetch.take(kTextures + "ring.jpg", again)); // never asked for
    }
    // Ended with every picture still waiting and the worker waiting for room.
    PicturePrefetch untaken(paths, 1);
}

} // namespace
} // namespace tovi::testing
