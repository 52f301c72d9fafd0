// The ring under the capture's backlog, the encoders' feed and the player's read-ahead: against
// a plain queue, over writes, reads and drops that wrap around its end again and again.

#include "platform/ByteRing.h"

#include <cstdint>
#include <deque>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

TEST(ByteRing, HoldsWhatAQueueHoldsAcrossItsEnd) {
    platform::ByteRing ring(37);
    std::deque<std::uint8_t> model;
    std::mt19937 random(7);
    std::uint8_t next = 1;
    for (int step = 0; step < 5000; ++step) {
        const std::size_t bytes = random() % 20;
        switch (random() % 4) {
        case 0: { // a write, or a hole of zeros
            const bool hole = random() % 5 == 0;
            std::vector<std::uint8_t> data(bytes);
            for (std::uint8_t& b : data)
                b = hole ? 0 : next++;
            const std::size_t room = 37 - model.size();
            const std::size_t took = ring.Write(hole ? nullptr : data.data(), bytes);
            ASSERT_EQ(took, std::min(bytes, room)) << "a write takes what fits";
            model.insert(model.end(), data.begin(), data.begin() + std::ptrdiff_t(took));
            break;
        }
        case 1: { // a read
            std::vector<std::uint8_t> out(bytes);
            const std::size_t got = ring.Read(out.data(), bytes);
            ASSERT_EQ(got, std::min(bytes, model.size()));
            for (std::size_t i = 0; i < got; ++i) {
                ASSERT_EQ(out[i], model.front()) << "step " << step;
                model.pop_front();
            }
            break;
        }
        case 2: { // the front piece, then a drop of part of it
            const std::span<const std::uint8_t> front = ring.Front();
            ASSERT_EQ(front.empty(), model.empty());
            ASSERT_LE(front.size(), model.size());
            for (std::size_t i = 0; i < front.size(); ++i)
                ASSERT_EQ(front[i], model[i]) << "step " << step;
            const std::size_t drop = std::min(bytes, front.size());
            ring.Drop(drop);
            model.erase(model.begin(), model.begin() + std::ptrdiff_t(drop));
            break;
        }
        default:
            if (bytes == 0) {
                ring.Clear();
                model.clear();
            }
        }
        ASSERT_EQ(ring.Size(), model.size());
        ASSERT_EQ(ring.Room(), 37 - model.size());
    }
}

TEST(ByteRing, AnEmptyRingTakesNothing) {
    platform::ByteRing ring;
    const std::uint8_t byte = 1;
    EXPECT_EQ(ring.Write(&byte, 1), 0u);
    EXPECT_TRUE(ring.Front().empty());
}

} // namespace
