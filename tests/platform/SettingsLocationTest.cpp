#include "platform/SettingsLocation.h"

#include "TestPaths.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocation, BesideTheProgramWithItsExtensionChanged) {
    EXPECT_EQ(platform::SettingsPathBeside("/opt/x.y/build/Sonvera"), "/opt/x.y/build/Sonvera.ini");
    EXPECT_EQ(platform::SettingsPathBeside("/opt/x.y/Sonvera.exe"), "/opt/x.y/Sonvera.ini");
}

TEST(SettingsLocation, PerUserCopyUnderTheConfigFolder) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(platform::PerUserSettingsPath(), "/tmp/cfg/Sonvera/Sonvera.ini");
    }
    ScopedEnv home("HOME", "/tmp/home");
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv config("XDG_CONFIG_HOME", unset);
        EXPECT_EQ(platform::PerUserSettingsPath(), "/tmp/home/.config/Sonvera/Sonvera.ini");
    }
}

TEST(SettingsLocation, PerUserCopyOnlyWhenTheProgramsFolderIsReadOnly) {
    const std::string dir = test_paths::FreshDir("settings_location");
    ScopedEnv config("XDG_CONFIG_HOME", (dir + "/config").c_str());
    EXPECT_EQ(platform::ChooseSettingsFile(dir + "/Sonvera"), dir + "/Sonvera.ini");
    EXPECT_FALSE(std::filesystem::exists(dir + "/config"));

    // No one may write into /proc/self, not even root.
    EXPECT_EQ(platform::ChooseSettingsFile("/proc/self/Sonvera"),
              dir + "/config/Sonvera/Sonvera.ini");
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/config/Sonvera"));
}

} // namespace
