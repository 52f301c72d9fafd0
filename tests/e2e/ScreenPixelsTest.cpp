// The live screens as the X server shows them, at device pixel ratios 1, 1.5 and 2: each is a
// window of its own, 250 x 140 times the ratio, that the program puts its pictures on; read
// back from the server, they fill that window with the moving trace and bars of the signal, and
// a still picture comes back after the window was hidden.

#include "Desktop.h"
#include "TestPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <xcb/xcb.h>

namespace {

using namespace std::chrono_literals;

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

constexpr int ScreenWidth = 250;
constexpr int ScreenHeight = 140;

// The windows below `window`, at any depth, of the given size.
std::vector<xcb_window_t> ScreenWindows(xcb_connection_t* c, xcb_window_t window, int width,
                                        int height) {
    std::vector<xcb_window_t> found;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (tree == nullptr)
        return found;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_geometry_reply_t* g =
            xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr);
        if (g != nullptr && g->width == width && g->height == height)
            found.push_back(children[i]);
        std::free(g);
        for (xcb_window_t below : ScreenWindows(c, children[i], width, height))
            found.push_back(below);
    }
    std::free(tree);
    return found;
}

// The pixels of a part of the window as the server has them (0x00RRGGBB).
std::vector<std::uint32_t> Pixels(xcb_connection_t* c, xcb_window_t window, int x, int y, int width,
                                  int height) {
    std::vector<std::uint32_t> pixels;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(x), std::int16_t(y),
                      std::uint16_t(width), std::uint16_t(height), ~0u),
        nullptr);
    if (image == nullptr)
        return pixels;
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
    pixels.assign(data, data + xcb_get_image_data_length(image) / 4);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0xFFFFFFu;
    std::free(image);
    return pixels;
}

// Pixels that are neither the black background nor the grey of the grid and the letters.
int Drawn(const std::vector<std::uint32_t>& pixels) {
    int drawn = 0;
    for (std::uint32_t pixel : pixels)
        drawn += pixel != 0 && (pixel & 0xFF) != ((pixel >> 8) & 0xFF);
    return drawn;
}

// How far right and down the picture reaches, as parts of the width and the height: the
// screens are black where nothing is drawn.
std::pair<double, double> Reach(const std::vector<std::uint32_t>& pixels, int width) {
    int right = 0, bottom = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] != 0) {
            right = std::max(right, int(i % width) + 1);
            bottom = std::max(bottom, int(i / width) + 1);
        }
    return {double(right) / width, double(bottom) / (double(pixels.size()) / width)};
}

struct Ratio {
    const char* name;
    const char* factor; // QT_SCALE_FACTOR
    double value;
};
void PrintTo(const Ratio& ratio, std::ostream* out) {
    *out << ratio.factor;
}

class ScreenPixels : public ::testing::TestWithParam<Ratio> {};

TEST_P(ScreenPixels, TheScreensAreWindowsThatShowTheLiveSignalAndComeBackAfterBeingHidden) {
    const double ratio = GetParam().value;
    // In device pixels, from the window's own.
    const auto device = [ratio](int pixels) { return int(std::lround(pixels * ratio)); };
    const int width = device(ScreenWidth), height = device(ScreenHeight);
    const std::string folder =
        test_paths::FreshDir(std::string("e2e_screen_pixels_") + GetParam().name);
    std::filesystem::create_directories(folder + "/recordings");
    e2e::VirtualDisplay display("1600x1200x24"); // room for the window at twice its size
    e2e::Program program(folder, "[Folder]\nName=" + folder + "/recordings\n");
    program.Start(display, {std::string("QT_SCALE_FACTOR=") + GetParam().factor});
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1500ms);

    Connection connection(xcb_connect(display.Name().c_str(), nullptr), &xcb_disconnect);
    ASSERT_EQ(xcb_connection_has_error(connection.get()), 0);
    // The top level window: the screens' windows below it bear the program's name too.
    const std::string search = "xdotool search --maxdepth 1 --pid " +
                               std::to_string(program.Pid()) + " --onlyvisible --name '^Sonvera$'";
    const std::string id = display.Run(search + " | head -1");
    const auto main = xcb_window_t(std::strtoul(id.c_str(), nullptr, 10));
    ASSERT_NE(main, 0u);
    const std::vector<xcb_window_t> screens = ScreenWindows(connection.get(), main, width, height);
    ASSERT_EQ(screens.size(), 2u) << "the waveform and the stream screen";
    const auto screenPixels = [&](xcb_window_t screen) {
        return Pixels(connection.get(), screen, 0, 0, width, height);
    };

    for (xcb_window_t screen : screens) {
        const auto first = screenPixels(screen);
        ASSERT_EQ(first.size(), std::size_t(width) * height);
        EXPECT_GT(Drawn(first), 500) << "the signal is drawn";
        const auto [right, bottom] = Reach(first, width);
        EXPECT_GT(right, 0.95) << "the picture fills the screen's width";
        EXPECT_GT(bottom, 0.9) << "and its height";
        EXPECT_TRUE(e2e::WaitFor([&] { return screenPixels(screen) != first; }, 2s)) << "and moves";
    }

    // The screens let the mouse through to the frames below them: moving over a screen gives
    // a hovered button its own picture back. The record button lies at 173, 202 of the client
    // area, below the menu bar.
    const int menu = 59 - 41;
    const auto button = [&] {
        return Pixels(connection.get(), main, device(173), device(202 + menu), device(33),
                      device(28));
    };
    const std::string move = "xdotool mousemove --window " + id.substr(0, id.find('\n')) + " ";
    const auto moveTo = [&](int x, int y) {
        display.Run(move + std::to_string(device(x)) + " " + std::to_string(device(y)));
    };
    moveTo(137, 110 + menu);
    std::this_thread::sleep_for(200ms);
    const auto normal = button();
    moveTo(189, 216 + menu);
    EXPECT_TRUE(e2e::WaitFor([&] { return button() != normal; }, 2s)) << "hovered";
    moveTo(137, 110 + menu);
    EXPECT_TRUE(e2e::WaitFor([&] { return button() == normal; }, 2s)) << "reset over the screen";

    // Paused, the screens stand still; hidden and shown again, the server asks the program
    // for them, and they come back as they were.
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(500ms);
    display.Run("xdotool key F7");
    std::this_thread::sleep_for(500ms);
    std::vector<std::vector<std::uint32_t>> paused;
    for (xcb_window_t screen : screens)
        paused.push_back(screenPixels(screen));
    display.Run(search + " windowunmap --sync windowmap --sync");
    for (std::size_t i = 0; i < screens.size(); ++i) {
        EXPECT_GT(Drawn(paused[i]), 500);
        EXPECT_TRUE(e2e::WaitFor([&] { return screenPixels(screens[i]) == paused[i]; }, 2s))
            << "shown again";
    }
    display.Run("xdotool key F9");
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScreenPixels,
                         ::testing::Values(Ratio{"One", "1", 1.0}, Ratio{"OneAndAHalf", "1.5", 1.5},
                                           Ratio{"Two", "2", 2.0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
