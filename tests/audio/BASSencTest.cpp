#include "audio/BASSenc.h"

#include "TestPaths.h"
#include "platform/CommandLine.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

struct Carrier {
    HSTREAM handle;
    Carrier(DWORD freq, DWORD chans)
        : handle(BASS_StreamCreate(freq, chans, 0, STREAMPROC_DUMMY, nullptr)) {}
    ~Carrier() { BASS_StreamFree(handle); }
};

} // namespace

TEST(BASSenc, TheProgramReadsALiveWavHeaderThenThePcmAndGetsItsPathWhole) {
    // tee stands in for an encoder: it stores exactly what it reads.
    const std::string path =
        test_paths::FreshDir("encode_tee") + "/My \"Music\" \xc3\xa9t\xc3\xa9\\.raw";
    Carrier carrier(22050, 1);
    const std::string line = "tee.exe " + platform::QuoteArgument(path);
    ASSERT_NE(BASS_Encode_Start(carrier.handle, line.c_str(), BASS_ENCODE_PAUSE, nullptr, nullptr),
              0u);
    std::string pcm;
    for (int i = 0; i < 50000; ++i)
        pcm += static_cast<char>(i % 251);
    EXPECT_TRUE(BASS_Encode_Write(carrier.handle, pcm.data(), 20000));
    EXPECT_TRUE(BASS_Encode_Write(carrier.handle, pcm.data() + 20000, 30000));
    EXPECT_TRUE(BASS_Encode_Stop(carrier.handle));

    // Data size 0 and RIFF size 36: the encoder reads to the end of its input.
    const std::string header("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0"
                             "\x44\xAC\0\0\x02\0\x10\0data\0\0\0\0",
                             44);
    EXPECT_EQ(ReadAll(path), header + pcm);
}

TEST(BASSenc, FailsWithoutACarrierOrAProgram) {
    Carrier carrier(44100, 2);
    EXPECT_EQ(BASS_Encode_Start(carrier.handle, "sonvera-missing.exe -", 32, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_Encode_Start(0, "tee.exe /dev/null", 32, nullptr, nullptr), 0u);
    const char bytes[4] = {};
    EXPECT_FALSE(BASS_Encode_Write(carrier.handle, bytes, 4));
    EXPECT_FALSE(BASS_Encode_Stop(carrier.handle));
}

TEST(BASSenc, AnEncoderThatStopsReadingNeverBlocksTheWriterAndIsEndedAtStop) {
    // sleep never reads its input: the pipe fills, then the queue behind it.
    Carrier carrier(44100, 2);
    ASSERT_NE(BASS_Encode_Start(carrier.handle, "sleep.exe 1000", 32, nullptr, nullptr), 0u);
    const std::vector<char> block(17640);
    int accepted = 0;
    while (accepted < 5000 && BASS_Encode_Write(carrier.handle, block.data(), 17640))
        ++accepted;
    // 16 MB of queue and the pipe's buffer hold about 950 blocks; then the encoder is given up.
    EXPECT_GT(accepted, 900);
    EXPECT_LT(accepted, 1100);
    // Ended, and the stop says it had to end it.
    EXPECT_FALSE(BASS_Encode_Stop(carrier.handle));
}

TEST(BASSenc, FreeingTheCarrierFinishesItsEncodersFiles) {
    // sort writes its file only once its input has ended.
    const std::string path = test_paths::FreshDir("encode_freed") + "/sorted.raw";
    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    const std::string line = "sort.exe -o " + platform::QuoteArgument(path);
    const HENCODE encoder =
        BASS_Encode_Start(carrier, line.c_str(), BASS_ENCODE_PAUSE, nullptr, nullptr);
    ASSERT_NE(encoder, 0u);
    const std::string pcm(40000, 'x');
    EXPECT_TRUE(BASS_Encode_Write(carrier, (pcm + '\n').data(), DWORD(pcm.size() + 1)));
    EXPECT_TRUE(BASS_StreamFree(carrier));

    // Every byte went through, and the encoder's handle went with its carrier.
    EXPECT_EQ(ReadAll(path).size(), 44 + pcm.size() + 1);
    EXPECT_FALSE(BASS_Encode_Write(encoder, pcm.data(), 4));
    EXPECT_FALSE(BASS_Encode_Stop(encoder));
}
