// Pictures put straight onto a native window, read back from a real X server: through shared
// memory where the server offers MIT-SHM, down the socket where it does not, and the window
// shows each picture pixel for pixel either way, also when one differs from the last by a
// single pixel and when the same picture comes twice.

#include "Desktop.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// The Xvfb options and how the pictures should go.
using Server = std::pair<std::vector<std::string>, std::string>;

class WindowPictures : public ::testing::TestWithParam<Server> {};

TEST_P(WindowPictures, TheWindowShowsEveryPictureAsPut) {
    e2e::VirtualDisplay display("1024x768x24", GetParam().first);
    const std::string& path = GetParam().second;
    // The probe puts a picture, the same with its last pixel changed, then its first, another,
    // that again, and the first once more (all but the first and the fourth only when they
    // differ from what the window shows).
    std::string expected;
    for (int step = 0; step < 6; ++step)
        expected += path + " same\n";
    EXPECT_EQ(display.Run(std::string("QT_QPA_PLATFORM=xcb ") + SONVERA_WINDOW_PICTURES_PROBE +
                          " 2>/dev/null"),
              expected);
}

INSTANTIATE_TEST_SUITE_P(Servers, WindowPictures,
                         ::testing::Values(Server{{}, "shared"},
                                           Server{{"-extension", "MIT-SHM"}, "plain"}),
                         [](const auto& info) { return info.param.second; });

} // namespace
