// Durations kept between runs: written and read back whole, and a damaged file read for what
// is sound in it, never trusted.

#include "library/DurationCache.h"

#include "TestPaths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace {

std::map<std::string, std::string> Lines(const StoredDurations& durations) {
    std::map<std::string, std::string> lines;
    for (const auto& [path, known] : durations)
        lines[path] = std::to_string(known.size) + " " + std::to_string(known.modifiedNanos) + " " +
                      known.durationText;
    return lines;
}

TEST(DurationCache, WrittenAndReadBack) {
    const std::string file = test_paths::FreshDir("cache_round_trip") + "/deeper/durations";
    StoredDurations durations;
    durations["/music/take one.mp3"] = {123456789012, 1'700'000'000'123'456'789, "01:02:03", {}};
    durations["/music/tab\there.wav"] = {50, -5, "00:00:00", {}};
    durations["/music/\xe9t\xe9.ogg"] = {7, 8, "99:59:59", {}}; // not UTF-8
    durations["/music/new\nline.wma"] = {1, 2, "00:00:01", {}};
    ASSERT_TRUE(SaveDurationCache(file, durations));
    durations.erase("/music/new\nline.wma"); // a name that cannot be one line is not kept
    EXPECT_EQ(Lines(LoadDurationCache(file)), Lines(durations));
}

TEST(DurationCache, DamagedFileGivesOnlyItsSoundLines) {
    const std::string folder = test_paths::FreshDir("cache_damaged");
    const std::string heading = "Sonvera durations 1\n";
    const std::string good = "10\t20\t00:01:00\t/m/good.wav\n";
    struct Case {
        const char* name;
        std::string text;
        std::size_t kept;
    };
    const Case cases[] = {
        {"missing", "", 0},
        {"binary", std::string("\0\xff\x01garbage\n", 12) + good, 0},
        {"other heading", "Sonvera durations 2\n" + good, 0},
        {"sound", heading + good, 1},
        {"cut short", heading + good + "10\t20\t00:0", 1},
        {"bad duration", heading + good + "10\t20\t0a:01:00\t/m/x.wav\n", 1},
        {"bad numbers", heading + good + "ten\t20\t00:01:00\t/m/y.wav\n", 1},
        {"no path", heading + good + "10\t20\t00:01:00\t\n", 1},
    };
    for (const Case& c : cases) {
        const std::string file = folder + "/" + c.name;
        if (!c.text.empty())
            std::ofstream(file, std::ios::binary) << c.text;
        const StoredDurations loaded = LoadDurationCache(file);
        EXPECT_EQ(loaded.size(), c.kept) << c.name;
        if (c.kept == 1) {
            EXPECT_EQ(loaded.at("/m/good.wav").durationText, "00:01:00") << c.name;
        }
    }
}

} // namespace
