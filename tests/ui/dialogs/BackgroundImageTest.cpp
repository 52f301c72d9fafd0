// Choosing and clearing a screen's background picture: which fields change for which screen,
// and that every refused or failed choice leaves path, picture and flag as they were.

#include "display/BackgroundImage.h"

#include "TestPaths.h"
#include "display/Graph.h"
#include "engine/global.h"

#include <QImage>
#include <fstream>
#include <gtest/gtest.h>

namespace {

QImage Filled(int width, int height, Qt::GlobalColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class BackgroundImageTest : public ::testing::TestWithParam<bool> {
protected:
    std::string folder =
        test_paths::FreshDir(std::string("background_image_") + (GetParam() ? "wave" : "stream"));
    RecordingSettings settings;
    ScreenState screens;
    bool wave = GetParam();

    std::string& Path() { return wave ? settings.Image1 : settings.Image2; }
    QImage& Picture() { return wave ? screens.ImageWave : screens.ImageStream; }
    bool& Loaded() { return wave ? screens.WaveImageLoaded : screens.StreamImageLoaded; }
    std::string& OtherPath() { return wave ? settings.Image2 : settings.Image1; }
    QImage& OtherPicture() { return wave ? screens.ImageStream : screens.ImageWave; }
    bool& OtherLoaded() { return wave ? screens.StreamImageLoaded : screens.WaveImageLoaded; }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
        return folder + "/" + name;
    }
};

TEST_P(BackgroundImageTest, AGoodPictureBecomesTheTargetsPictureOnly) {
    for (const char* format : {"PNG", "JPEG", "BMP", "ICO"}) {
        SCOPED_TRACE(format);
        const std::string path = folder + "/picture." + QString(format).toLower().toStdString();
        ASSERT_TRUE(Filled(31, 17, Qt::green).save(QString::fromStdString(path), format));
        Loaded() = false;
        EXPECT_FALSE(ChooseBackgroundImage(settings, screens, wave, path));
        EXPECT_EQ(Path(), path);
        EXPECT_TRUE(Loaded());
        EXPECT_EQ(Picture().size(), QSize(31, 17));
        const QColor colour = Picture().pixel(5, 5); // JPEG is close, not exact
        EXPECT_GT(colour.green(), 240);
        EXPECT_LT(colour.red() + colour.blue(), 20);
    }
    EXPECT_EQ(OtherPath(), "");
    EXPECT_FALSE(OtherLoaded());
    EXPECT_TRUE(OtherPicture().isNull());
}

TEST_P(BackgroundImageTest, RefusedOrFailedChoicesChangeNothing) {
    ASSERT_TRUE(Filled(8, 8, Qt::red).save(QString::fromStdString(folder + "/old.png")));
    QByteArray png;
    {
        QImage image = Filled(64, 64, Qt::blue);
        ASSERT_TRUE(image.save(QString::fromStdString(folder + "/whole.png")));
        std::ifstream whole(folder + "/whole.png", std::ios::binary);
        png = QByteArray::fromStdString(
            std::string(std::istreambuf_iterator<char>(whole), std::istreambuf_iterator<char>()));
    }
    struct Case {
        const char* what;
        std::string path;
        const char* error; // nullptr: silently refused
    };
    const Case cases[] = {
        {"the stored path again", folder + "/old.png", nullptr},
        {"no name", "", nullptr},
        {"no such file", folder + "/missing.png", nullptr},
        {"text named .jpg", Write("text.jpg", "not a picture at all"), "Unsupported image format"},
        {"a cut PNG", Write("cut.png", png.left(60).toStdString()), ""},
        {"an empty GIF", Write("empty.gif", ""), ""},
        {"a metafile", Write("drawing.wmf", std::string("\xD7\xCD\xC6\x9A", 4) + "xxxx"),
         "Metafile pictures (.emf, .wmf) can not be shown, choose a GIF, JPEG, PNG, BMP or ICO "
         "picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Path() = folder + "/old.png";
        Picture() = Filled(8, 8, Qt::red);
        Loaded() = true;
        const MaybeMessage message = ChooseBackgroundImage(settings, screens, wave, c.path);
        if (c.error == nullptr) {
            EXPECT_FALSE(message);
        } else {
            ASSERT_TRUE(message);
            EXPECT_EQ(message->kind, UserMessage::Kind::Error);
            EXPECT_FALSE(message->text.empty());
            if (*c.error) {
                EXPECT_EQ(message->text, "Can not show the picture \"" + c.path + "\". " + c.error);
            }
        }
        EXPECT_EQ(Path(), folder + "/old.png");
        EXPECT_TRUE(Loaded());
        EXPECT_EQ(Picture().size(), QSize(8, 8));
        EXPECT_EQ(QColor(Picture().pixel(1, 1)), QColor(Qt::red));
    }
}

TEST_P(BackgroundImageTest, ClearEmptiesPathAndFlagButKeepsThePicture) {
    Path() = "/some/picture.png";
    Picture() = Filled(4, 4, Qt::red);
    Loaded() = true;
    OtherPath() = "/other/picture.png";
    OtherLoaded() = true;
    ClearBackgroundImage(settings, screens, wave);
    EXPECT_EQ(Path(), "");
    EXPECT_FALSE(Loaded());
    EXPECT_FALSE(Picture().isNull());
    EXPECT_EQ(OtherPath(), "/other/picture.png");
    EXPECT_TRUE(OtherLoaded());
}

INSTANTIATE_TEST_SUITE_P(BothScreens, BackgroundImageTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Wave" : "Stream"; });

} // namespace
