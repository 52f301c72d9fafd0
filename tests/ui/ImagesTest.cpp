// The skin image holder: every picture at its size and drawn, hover pictures brighter than their
// normal ones, the main window's backgrounds fitting what lies on them, the recording-control
// family, and the loading of the background pictures.

#include "ui/main/Images.h"

#include "TestPaths.h"
#include "display/Graph.h"
#include "engine/global.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace {

struct Expected {
    const char* name;
    QPixmap TForm2::*member;
    int width;
    int height;
};

const Expected Table[] = {
    {"ImageVista1", &TForm2::ImageVista1, 33, 28},
    {"ImageVista2", &TForm2::ImageVista2, 33, 28},
    {"ImageXP1", &TForm2::ImageXP1, 33, 28},
    {"ImageXP2", &TForm2::ImageXP2, 33, 28},
    {"ImageRecord1", &TForm2::ImageRecord1, 33, 28},
    {"ImageRecord2", &TForm2::ImageRecord2, 33, 28},
    {"ImageRestart1", &TForm2::ImageRestart1, 33, 28},
    {"ImageRestart2", &TForm2::ImageRestart2, 33, 28},
    {"ImagePause1", &TForm2::ImagePause1, 33, 28},
    {"ImagePause2", &TForm2::ImagePause2, 33, 28},
    {"ImageStop1", &TForm2::ImageStop1, 33, 28},
    {"ImageStop2", &TForm2::ImageStop2, 33, 28},
    {"ImagePlay1", &TForm2::ImagePlay1, 33, 28},
    {"ImagePlay2", &TForm2::ImagePlay2, 33, 28},
    {"ImageFiles1", &TForm2::ImageFiles1, 33, 28},
    {"ImageFiles2", &TForm2::ImageFiles2, 33, 28},
    {"ImageHRec1", &TForm2::ImageHRec1, 9, 18},
    {"ImageDown", &TForm2::ImageDown, 16, 16},
    {"ImageUp", &TForm2::ImageUp, 16, 16},
    {"ImagePPlay1", &TForm2::ImagePPlay1, 24, 20},
    {"ImagePPlay2", &TForm2::ImagePPlay2, 24, 20},
    {"ImagePPause1", &TForm2::ImagePPause1, 24, 20},
    {"ImagePPause2", &TForm2::ImagePPause2, 24, 20},
    {"ImagePStop1", &TForm2::ImagePStop1, 24, 20},
    {"ImagePStop2", &TForm2::ImagePStop2, 24, 20},
    {"ImageHandle1", &TForm2::ImageHandle1, 7, 14},
    {"ImageHandle2", &TForm2::ImageHandle2, 7, 14},
    {"ImageClose1", &TForm2::ImageClose1, 11, 10},
    {"ImageClose2", &TForm2::ImageClose2, 11, 10},
};

// The main window's own backgrounds (no hover variants).
const Expected Backgrounds[] = {
    {"ImageStatus", &TForm2::ImageStatus, 546, 30},
    {"ImageScreen1", &TForm2::ImageScreen1, 274, 163},
    {"ImageScreen2", &TForm2::ImageScreen2, 273, 163},
    {"ImageControlRecord", &TForm2::ImageControlRecord, 546, 43},
    {"ImageVolBar", &TForm2::ImageVolBar, 90, 6},
    {"ImageFolder", &TForm2::ImageFolder, 19, 17},
    {"ImageList", &TForm2::ImageList, 547, 280},
};

// Mean brightness of the drawn (opaque) pixels.
double Brightness(const QImage& image) {
    double sum = 0;
    double weight = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            sum += c.alphaF() * (c.red() + c.green() + c.blue()) / 3.0;
            weight += c.alphaF();
        }
    return weight > 0 ? sum / weight : 0;
}

// Answers every error box that comes up while it lives with OK, keeping its text.
class BoxAnswerer {
public:
    BoxAnswerer() {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts.push_back(box->text());
            icons.push_back(box->icon());
            box->button(QMessageBox::Ok)->click();
        });
        timer.start();
    }
    std::vector<QString> texts;
    std::vector<QMessageBox::Icon> icons;

private:
    QTimer timer;
};

void ExpectSizedAndDrawn(const std::string& name, const QPixmap& picture, QSize size) {
    SCOPED_TRACE(name);
    const QImage image = picture.toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), size);
    int drawn = 0;
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            drawn += qAlpha(pixel) >= 128;
            colours.insert(pixel);
        }
    EXPECT_GE(drawn, 10) << "blank";
    EXPECT_GE(colours.size(), 4u) << "a flat picture";
    // Soft corners and icons leave the background showing there.
    EXPECT_LT(qAlpha(image.pixel(0, 0)), 128) << "the corner covers the background";
}

TEST(SkinPictures, EveryPictureHasItsSizeAndIsDrawnWithTransparentCorners) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(true, settings, screens, nullptr);
    for (const Expected& e : Table)
        ExpectSizedAndDrawn(e.name, skins.*e.member, QSize(e.width, e.height));
    for (const Expected& e : Backgrounds)
        ExpectSizedAndDrawn(e.name, skins.*e.member, QSize(e.width, e.height));
    for (const OutputFormat& format : OutputFormats()) {
        ExpectSizedAndDrawn(std::string("Image") + format.Icon, skins.FormatIcons.at(format.Id),
                            QSize(16, 16));
        ExpectSizedAndDrawn(std::string("ImageList") + format.Icon, skins.ListIcons.at(format.Id),
                            QSize(16, 16));
    }
}

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double Luminance(const QColor& c) {
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(SkinPictures, TheStatusWordsAndTheTimeStayReadableOnTheStatusStrip) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(true, settings, screens, nullptr);
    const QImage strip = skins.ImageStatus.toImage();
    // Monitoring, recording, playing, and the navy time; all are large text.
    const QColor inks[] = {QColor(80, 80, 200), QColor(200, 80, 80), QColor(80, 150, 100),
                           QColor(0, 0, 128)};
    double worst = 100;
    for (int y = 8; y <= 24; ++y)
        for (int x = 350; x <= 535; ++x)
            for (const QColor& ink : inks)
                worst = std::min(worst, Contrast(ink, strip.pixelColor(x, y)));
    EXPECT_GE(worst, 3.0);
}

// True when every pixel of the one-pixel ring just outside `inner` is opaque.
bool RingIsOpaque(const QImage& image, const QRect& inner) {
    const QRect ring = inner.adjusted(-1, -1, 1, 1);
    for (int x = ring.left(); x <= ring.right(); ++x)
        if (qAlpha(image.pixel(x, ring.top())) < 255 || qAlpha(image.pixel(x, ring.bottom())) < 255)
            return false;
    for (int y = ring.top(); y <= ring.bottom(); ++y)
        if (qAlpha(image.pixel(ring.left(), y)) < 255 || qAlpha(image.pixel(ring.right(), y)) < 255)
            return false;
    return true;
}

TEST(SkinPictures, FramesCloseRoundWhatIsDrawnOnThem) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(true, settings, screens, nullptr);
    const QRect screen(12, 10, 250, 140);
    EXPECT_TRUE(RingIsOpaque(skins.ImageScreen1.toImage(), screen));
    EXPECT_TRUE(RingIsOpaque(skins.ImageScreen2.toImage(), screen));
    EXPECT_TRUE(RingIsOpaque(skins.ImageList.toImage(), QRect(14, 12, 519, 253)));
    // The level bar's slot in the transport strip: bar at 18..107, 19..24.
    EXPECT_TRUE(RingIsOpaque(skins.ImageControlRecord.toImage(), QRect(18, 19, 90, 6)));
}

TEST(SkinPictures, TheLevelBarFillsEveryWidthAndWarmsFromRedToAmber) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(true, settings, screens, nullptr);
    const QImage bar = skins.ImageVolBar.toImage();
    // The bar is shown cut to any width from 2 to 90, so no column may be empty.
    for (int x = 0; x < bar.width(); ++x)
        EXPECT_EQ(qAlpha(bar.pixel(x, 3)), 255) << "column " << x;
    const QColor low = bar.pixelColor(3, 3);
    const QColor high = bar.pixelColor(bar.width() - 3, 3);
    EXPECT_GT(low.red(), 2 * low.green()) << "a red start";
    EXPECT_GT(high.green(), low.green() + 60) << "a warmer, lighter end";
}

TEST(SkinPictures, TheFormatAndFileKindIconsAreToldApart) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(true, settings, screens, nullptr);
    for (const auto* icons : {&skins.FormatIcons, &skins.ListIcons}) {
        ASSERT_EQ(icons->size(), OutputFormats().size());
        for (auto a = icons->begin(); a != icons->end(); ++a)
            for (auto b = std::next(a); b != icons->end(); ++b)
                EXPECT_NE(a->second.toImage(), b->second.toImage())
                    << FormatOf(a->first).Name << " and " << FormatOf(b->first).Name;
    }
}

TEST(SkinPictures, HoverPicturesAreBrighterVariantsOfTheNormalOnes) {
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(false, settings, screens, nullptr);
    int pairs = 0;
    for (std::size_t i = 0; i + 1 < std::size(Table); ++i) {
        const std::string normal = Table[i].name;
        if (!normal.ends_with('1') ||
            Table[i + 1].name != normal.substr(0, normal.size() - 1) + "2")
            continue;
        ++pairs;
        SCOPED_TRACE(normal);
        const QImage a = (skins.*Table[i].member).toImage();
        const QImage b = (skins.*Table[i + 1].member).toImage();
        EXPECT_NE(a, b);
        EXPECT_GT(Brightness(b), Brightness(a));
    }
    EXPECT_EQ(pairs, 13);
}

class RecordingControlFamily : public ::testing::TestWithParam<bool> {};

TEST_P(RecordingControlFamily, TheFamilysPairBecomesTheControlButtonsPictures) {
    const bool vista = GetParam();
    RecordingSettings settings;
    ScreenState screens;
    const TForm2 skins(vista, settings, screens, nullptr);
    const QPixmap& normal = vista ? skins.ImageVista1 : skins.ImageXP1;
    const QPixmap& hover = vista ? skins.ImageVista2 : skins.ImageXP2;
    const QPixmap& other = vista ? skins.ImageXP1 : skins.ImageVista1;
    EXPECT_EQ(skins.ImageControl1.toImage(), normal.toImage());
    EXPECT_EQ(skins.ImageControl2.toImage(), hover.toImage());
    EXPECT_NE(skins.ImageControl1.toImage(), other.toImage());
}

INSTANTIATE_TEST_SUITE_P(VistaAndXP, RecordingControlFamily, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Vista" : "XP"; });

// A picture of 40 x 30 pixels written in each kind the holder reads; GIF has no writer here, so
// its bytes come from a 1 x 1 picture made by hand.
std::string WritePicture(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    if (name.ends_with(".gif")) {
        static const unsigned char gif[] = {'G', 'I',  'F', '8', '9', 'a', 1, 0,   1, 0, 0x80, 0,
                                            0,   0xFF, 0,   0,   0,   0,   0, ',', 0, 0, 0,    0,
                                            1,   0,    1,   0,   0,   2,   2, 'D', 1, 0, ';'};
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(gif), sizeof gif);
        return path;
    }
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    const QString file = QString::fromStdString(path);
    const QByteArray format = name.ends_with(".ico") ? "ico" : QByteArray();
    EXPECT_TRUE(image.save(file, format.isEmpty() ? nullptr : format.constData())) << path;
    return path;
}

struct PictureKind {
    const char* label;
    const char* file;
    int width;
};

void PrintTo(const PictureKind& kind, std::ostream* out) {
    *out << kind.file;
}

class BackgroundPictureKinds : public ::testing::TestWithParam<PictureKind> {};

TEST_P(BackgroundPictureKinds, AnExistingPictureIsLoadedWithItsFlagAndNoMessage) {
    const std::string folder = test_paths::FreshDir(std::string("skins_kind_") + GetParam().label);
    RecordingSettings settings;
    settings.Image1 = WritePicture(folder, GetParam().file);
    settings.Image2 = settings.Image1;
    ScreenState screens;
    BoxAnswerer boxes;
    const TForm2 skins(true, settings, screens, nullptr);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(screens.WaveImageLoaded);
    EXPECT_TRUE(screens.StreamImageLoaded);
    EXPECT_EQ(screens.ImageWave.width(), GetParam().width);
    EXPECT_EQ(screens.ImageStream.width(), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BackgroundPictureKinds,
    ::testing::Values(PictureKind{"png", "wave.png", 40}, PictureKind{"bmp", "wave.bmp", 40},
                      PictureKind{"jpg", "wave.jpg", 40}, PictureKind{"jpeg", "wave.JPEG", 40},
                      PictureKind{"ico", "wave.ico", 40}, PictureKind{"gif", "wave.gif", 1}),
    [](const auto& info) { return std::string(info.param.label); });

struct LoadCase {
    const char* label;
    const char* image1; // "" empty setting, "missing" a deleted file, else a file written as named
    const char* image2;
    int boxes;
    bool waveLoaded;
    bool streamLoaded;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.label;
}

class BackgroundLoading : public ::testing::TestWithParam<LoadCase> {};

// Writes `name` into `folder`: a real picture, or garbage under the name for "bad." names.
std::string Prepare(const std::string& folder, const std::string& name) {
    if (name.empty())
        return {};
    if (name == "missing")
        return folder + "/deleted.png";
    if (name.starts_with("bad.")) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << "this is not a picture at all, only some text";
        return path;
    }
    return WritePicture(folder, name);
}

TEST_P(BackgroundLoading, AnUnreadableFileIsReportedAndStopsTheLoading) {
    const LoadCase& c = GetParam();
    const std::string folder = test_paths::FreshDir(std::string("skins_load_") + c.label);
    RecordingSettings settings;
    settings.Image1 = Prepare(folder, c.image1);
    settings.Image2 = Prepare(folder, c.image2);
    ScreenState screens;
    BoxAnswerer boxes;
    const TForm2 skins(false, settings, screens, nullptr);
    ASSERT_EQ(static_cast<int>(boxes.texts.size()), c.boxes);
    EXPECT_EQ(screens.WaveImageLoaded, c.waveLoaded);
    EXPECT_EQ(screens.StreamImageLoaded, c.streamLoaded);
    EXPECT_EQ(screens.ImageWave.isNull(), !c.waveLoaded);
    EXPECT_EQ(screens.ImageStream.isNull(), !c.streamLoaded);
    if (c.boxes == 1) {
        EXPECT_EQ(boxes.icons[0], QMessageBox::Critical);
        EXPECT_TRUE(boxes.texts[0].contains(QString::fromStdString(settings.Image1)) ||
                    boxes.texts[0].contains(QString::fromStdString(settings.Image2)))
            << boxes.texts[0].toStdString();
    }
    EXPECT_EQ(skins.ImageControl1.toImage(), skins.ImageXP1.toImage());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackgroundLoading,
    ::testing::Values(LoadCase{"BothEmpty", "", "", 0, false, false},
                      LoadCase{"WaveDeletedStreamLoads", "missing", "s.png", 0, false, true},
                      LoadCase{"WaveDamagedStreamNotLoaded", "bad.jpg", "s.png", 1, false, false},
                      LoadCase{"StreamDamaged", "w.bmp", "bad.gif", 1, true, false},
                      LoadCase{"MetafileRefused", "bad.emf", "s.png", 1, false, false},
                      LoadCase{"UnknownKindRefused", "w.png", "bad.txt", 1, true, false}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
