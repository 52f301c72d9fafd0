#include "platform/ProfileFile.h"

#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ProfileFile, ReadsWhatIsThereAndNothingElse) {
    const fs::path dir = test_paths::FreshDir("profile_file_read");
    EXPECT_EQ(platform::ReadProfileFile(dir / "missing.ini"), std::string());
    EXPECT_EQ(platform::ReadProfileFile(dir / "no_folder" / "x.ini"), std::string());

    const std::string binary("[A]\r\nk=\0\xff\n", 10);
    Put(dir / "binary.ini", binary);
    EXPECT_EQ(platform::ReadProfileFile(dir / "binary.ini"), binary);

    // Unreadable as a settings file: reading gives the defaults, writing must not replace it.
    fs::create_directory(dir / "folder.ini");
    EXPECT_EQ(platform::ReadProfileFile(dir / "folder.ini"), std::nullopt);
    ASSERT_EQ(mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    EXPECT_EQ(platform::ReadProfileFile(dir / "pipe.ini"), std::nullopt); // and does not hang
    Put(dir / "huge.ini", std::string(platform::kMaxProfileFileSize + 1, '\n'));
    EXPECT_EQ(platform::ReadProfileFile(dir / "huge.ini"), std::nullopt);
    Put(dir / "largest.ini", std::string(platform::kMaxProfileFileSize, 'a'));
    EXPECT_EQ(platform::ReadProfileFile(dir / "largest.ini")->size(),
              platform::kMaxProfileFileSize);
}

TEST(ProfileFile, ReplacesTheWholeFileKeepingItsModeAndLink) {
    const fs::path dir = test_paths::FreshDir("profile_file_replace");
    ASSERT_TRUE(platform::ReplaceProfileFile(dir / "new.ini", "[A]\nk=v\n"));
    EXPECT_EQ(Contents(dir / "new.ini"), "[A]\nk=v\n");

    Put(dir / "target.ini", "a much longer old text than the new one\n");
    fs::permissions(dir / "target.ini", fs::perms(0640));
    fs::create_symlink("target.ini", dir / "link.ini");
    ASSERT_TRUE(platform::ReplaceProfileFile(dir / "link.ini", "short\n"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(Contents(dir / "target.ini"), "short\n");
    EXPECT_EQ(fs::status(dir / "target.ini").permissions(), fs::perms(0640));
    for (const auto& entry : fs::directory_iterator(dir)) // no temporary file left behind
        EXPECT_TRUE(entry.path().filename() == "new.ini" || entry.path().filename() == "link.ini" ||
                    entry.path().filename() == "target.ini")
            << entry.path();
}

TEST(ProfileFile, AFailedReplaceSaysSo) {
    const fs::path dir = test_paths::FreshDir("profile_file_fail");
    EXPECT_FALSE(platform::ReplaceProfileFile(dir / "no_folder" / "x.ini", "x"));
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(platform::ReplaceProfileFile(dir / "folder.ini", "x"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
}

} // namespace
