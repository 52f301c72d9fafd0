#include "app/VoiceGate.h"

#include <gtest/gtest.h>

namespace {

constexpr float Quiet = 1000; // -30.3 dBFS
constexpr float Loud = 1040;  // -29.96 dBFS

// Blocks of one byte, numbered.
std::vector<std::uint8_t> Block(std::uint8_t number) {
    return {number};
}

std::vector<int> Numbers(const std::vector<std::vector<std::uint8_t>>& blocks) {
    std::vector<int> numbers;
    for (const auto& block : blocks)
        numbers.push_back(block.front());
    return numbers;
}

struct PreRollCase {
    const char* what;
    std::int32_t preRollMs;
    int quietBlocks; // of 100 ms before the sound
    std::vector<int> kept;
};

TEST(VoiceGate, TheSoundStartsWithThePreRollBeforeIt) {
    const PreRollCase cases[] = {
        {"TwoSeconds", 2000, 30, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                  21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}},
        {"LessThanABlock", 50, 30, {29, 30, 31}},
        {"None", 0, 30, {30, 31}},
        {"NotYetThatMuchHeard", 2000, 3, {0, 1, 2, 3, 4}},
    };
    for (const PreRollCase& c : cases) {
        RecordingSettings settings;
        settings.VoicePreRoll = c.preRollMs;
        VoiceGate gate;
        gate.Arm(settings);
        std::uint8_t number = 0;
        for (int i = 0; i < c.quietBlocks; ++i)
            EXPECT_FALSE(gate.Wait(Block(number++), Quiet, 100)) << c.what;
        EXPECT_TRUE(gate.Wait(Block(number++), Loud, 100)) << c.what;
        // The rest of the poll, whatever its level, comes after the onset.
        EXPECT_TRUE(gate.Wait(Block(number++), 0, 100)) << c.what;
        EXPECT_EQ(Numbers(gate.TakeKept()), c.kept) << c.what;
        EXPECT_FALSE(gate.Wait(Block(number++), 0, 100)) << c.what << ": waiting anew";
    }
}

} // namespace
