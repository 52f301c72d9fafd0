// Damaged settings files made by random mutations of good ones; the fuzzer does the same at
// length, this keeps a fixed sample of it in every test run.

#include "ProfileProperties.h"

#include <gtest/gtest.h>
#include <random>

namespace {

const char* const kSeeds[] = {
    "[Folder]\nName=/home/me/Music\n[Record Settings]\nWav=0\nSamplesPerSecond=44100\n"
    "[Colors]\nLeft=16711680\n[Settings]\nSort=1\nImage1=\n",
    "[A]\r\nk=1\r\n[a]\r\nK=2\r\n\r\n[B]\r\nx = y \r\n",
    "; comment\nk=before\n[x]\nName\n=v\n[Folder]name=1\n[Settings]\nLeft=0xFF\n",
    "[Colors]\rLeft=-1\rRight=0x\r[OGG Settings]\nOggQuality=2,5\nOggQuality=1e39",
};

// Bytes a damaged file tends to hold where they hurt most.
const char kSpecial[] = {'\n', '\r', '[', ']', '=', ' ', '\t', '\0', '\xff', '\xc3', ';', 'x'};

std::string Mutate(std::string text, std::mt19937& random) {
    const int steps = 1 + static_cast<int>(random() % 8);
    for (int step = 0; step < steps; ++step) {
        const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 6) {
        case 0: // a random byte
            text.insert(at, 1, static_cast<char>(random()));
            break;
        case 1:
            text.insert(at, 1, kSpecial[random() % sizeof kSpecial]);
            break;
        case 2:
            if (at < text.size())
                text.erase(at, 1 + random() % 8);
            break;
        case 3: // a piece repeated: duplicate keys and sections
            if (at < text.size())
                text.insert(random() % (text.size() + 1), text.substr(at, 1 + random() % 40));
            break;
        case 4:
            text.resize(at);
            break;
        case 5:
            if (at < text.size())
                text[at] = static_cast<char>(text[at] ^ (1 << (random() % 8)));
            break;
        }
    }
    return text;
}

TEST(ProfileMutation, DamagedFilesKeepEveryProperty) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = Mutate(kSeeds[round % std::size(kSeeds)], random);
        const unsigned choice = static_cast<unsigned>(random());
        const std::string broken = profile_properties::Check(text, choice);
        ASSERT_EQ(broken, "") << "choice " << choice << ", text:\n" << testing::PrintToString(text);
    }
}

} // namespace
