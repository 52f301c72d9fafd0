// The small operating-system stand-ins: disc test, termination signals, hot keys without X11.

#include "TestPaths.h"
#include "platform/DriveType.h"
#include "platform/HotKeys.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {

TEST(DriveType, OrdinaryAndMissingFoldersAreNotDiscs) {
    EXPECT_FALSE(platform::IsOnCdrom(test_paths::FreshDir("drivetype")));
    EXPECT_FALSE(platform::IsOnCdrom("/no/such/folder"));
}

TEST(DriveType, OnlyWhatCannotBeWrittenIsRefused) {
    struct Case {
        const char* name;
        long type;
        bool readOnly;
        bool refused;
    };
    for (const Case& c :
         {Case{"iso9660", 0x9660, true, true}, Case{"iso9660 read-write", 0x9660, false, true},
          Case{"udf read-only", 0x15013346, true, true},
          Case{"udf read-write", 0x15013346, false, false}, Case{"ext4", 0xEF53, false, false},
          Case{"ext4 read-only", 0xEF53, true, false}})
        EXPECT_EQ(platform::IsUnwritableDisc(c.type, c.readOnly), c.refused) << c.name;
}

TEST(TerminationSignals, EachSignalBecomesOneCallOnTheEventLoop) {
    for (const int number : {SIGTERM, SIGINT}) {
        int calls = 0;
        platform::TerminationSignals watcher([&] { ++calls; });
        std::raise(number);
        EXPECT_EQ(calls, 0) << "not from the signal handler itself";
        QElapsedTimer waited;
        waited.start();
        while (calls == 0 && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(calls, 1) << number;
    }
}

TEST(HotKeys, WithoutAnX11ConnectionNothingIsGrabbed) {
    platform::HotKeys keys([](int) {});
    EXPECT_FALSE(keys.Register(101, platform::HotKey::F5));
}

} // namespace
