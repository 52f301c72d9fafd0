#include "library/LabelFiles.h"

#include "ScriptedQuestions.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

namespace {

TEST(LabelFiles, MarkersAreWrittenAsTheyComeBesideTheRecording) {
    const std::string folder = test_paths::FreshDir("label_files");
    EXPECT_EQ(LabelFilePath(folder + "/record001.wav"), folder + "/record001.txt");
    EXPECT_EQ(LabelFilePath(folder + "/a.b/take"), folder + "/a.b/take.txt");

    ASSERT_TRUE(WriteMarker(folder + "/record001.wav", 12.3, 1));
    ASSERT_TRUE(WriteMarker(folder + "/record001.wav", 3723.0000004, 2));
    EXPECT_EQ(ReadFileBytes(folder + "/record001.txt"), "12.300000\t12.300000\tMarker 1\n"
                                                        "3723.000000\t3723.000000\tMarker 2\n");
    // A new recording of the same name starts its own labels.
    ASSERT_TRUE(WriteMarker(folder + "/record001.mp3", 0.5, 1));
    EXPECT_EQ(ReadFileBytes(folder + "/record001.txt"), "0.500000\t0.500000\tMarker 1\n");
}

} // namespace
