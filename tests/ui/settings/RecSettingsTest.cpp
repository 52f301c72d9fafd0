// The format settings dialog offscreen: the page sets the format, the lists follow the device
// and the encoder, the controls fill from the settings and closing applies them.

#include "ui/settings/RecSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

constexpr std::uint32_t AllRates = 0xFFFFF; // every WAVE_FORMAT_* bit up to 96 kHz

FormatIcons BlueIcons() {
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    FormatIcons icons;
    for (const OutputFormat& format : OutputFormats())
        icons[format.Id] = blue;
    return icons;
}

QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    return entries;
}

// Picks an entry as the user does, so the list's change event runs.
void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Whether the tab's icon carries the green tick (on the blue test pictures).
bool HasTick(QTabWidget* tabs, int page) {
    const QImage icon = tabs->tabIcon(page).pixmap(16, 16).toImage();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QColor c = icon.pixelColor(x, y);
            if (c.green() > 120 && c.red() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

// The encoder's rates as a codec offers them: a different list for mono and stereo.
const DWORD StereoRates[] = {192000, 160000, 128000, 96000, 64000, 0};
const DWORD MonoRates[] = {64000, 48000, 32000, 0};

class RecSettingsTest : public ::testing::Test {
protected:
    RecordingSettings settings;
    std::uint32_t deviceFlags = AllRates;
    int endCalls = 0;
    bool codecPresent = true;
    std::vector<DWORD> askedChannels;
    std::unique_ptr<TFormRecSettings> dialog;

    void Create() {
        dialog = std::make_unique<TFormRecSettings>(
            settings, [this] { return deviceFlags; }, BlueIcons(), [this] { ++endCalls; }, nullptr,
            [this](DWORD freq, DWORD chans, DWORD) -> const DWORD* {
                EXPECT_EQ(freq, 44100u);
                askedChannels.push_back(chans);
                if (!codecPresent)
                    return nullptr;
                return chans == 1 ? MonoRates : StereoRates;
            });
    }
    void Open() {
        if (!dialog)
            Create();
        ASSERT_TRUE(dialog->Prepare());
    }
    void Close() { dialog->done(QDialog::Accepted); }

    // Answers the next modal box with its only button and keeps its caption and text.
    QString boxCaption, boxText;
    void AnswerNextBox() {
        QTimer::singleShot(100, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            boxCaption = box->windowTitle();
            boxText = box->text();
            ASSERT_EQ(box->buttons().size(), 1);
            box->buttons().front()->click();
        });
    }
};

TEST_F(RecSettingsTest, PagesListsAndWindowAreAsDesigned) {
    Create();
    EXPECT_EQ(dialog->windowTitle(), "Format Settings");
    // Wider only as far as the six tabs need, so that none is cut or scrolled away.
    EXPECT_EQ(dialog->height(), 271);
    EXPECT_GE(dialog->width(), 345);
    dialog->show();
    QApplication::processEvents();
    QTabBar* tabs = dialog->PControlFormat->tabBar();
    EXPECT_LE(tabs->tabRect(tabs->count() - 1).right(), tabs->width());
    dialog->hide();
    const int room = dialog->width() - 345;
    EXPECT_EQ(dialog->BitBtnOK->geometry(), QRect(136 + room / 2, 234, 67, 23));
    const QStringList captions = {"MP3   ", "OGG", "WMA   ", "WAV   ", "FLAC", "Opus"};
    ASSERT_EQ(dialog->PControlFormat->count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dialog->PControlFormat->tabText(i), captions[i]);
    const QStringList mp3Rates = {"32",  "40",  "48",  "56",  "64",  "80",  "96",
                                  "112", "128", "160", "192", "224", "256", "320"};
    EXPECT_EQ(Entries(dialog->CBoxMP3BitRate), mp3Rates);
    EXPECT_EQ(Entries(dialog->CBoxMP3MinBRate), mp3Rates);
    EXPECT_EQ(Entries(dialog->CBoxMP3MaxBRate), mp3Rates);
    EXPECT_EQ(Entries(dialog->CBoxMP3Mode),
              QStringList({"stereo", "joint stereo", "dual channel", "mono"}));
    EXPECT_EQ(Entries(dialog->CBoxOggRate), QStringList({"48", "56", "64", "80", "96", "112", "128",
                                                         "160", "192", "224", "256", "320"}));
    for (QComboBox* box : {dialog->CBoxOggChannels, dialog->CBoxWmaChannels, dialog->CBoxWavChannel,
                           dialog->CBoxFlacChannel, dialog->CBoxOpusChannels})
        EXPECT_EQ(Entries(box), QStringList({"stereo", "mono"}));
    EXPECT_EQ(Entries(dialog->CBoxWavBits), QStringList({"16 bit", "8  bit"}));
    EXPECT_EQ(Entries(dialog->CBoxFlacLevel),
              QStringList({"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(Entries(dialog->CBoxOpusRate),
              QStringList({"16", "24", "32", "48", "64", "96", "128", "160", "192", "256"}));
    EXPECT_EQ(dialog->TBarMP3_VBR_Quality->maximum(), 8);
    EXPECT_EQ(dialog->TBarOGG_Quality->maximum(), 10);
    EXPECT_EQ(dialog->TBarOGG_Quality->pageStep(), 1);
    // The stored format (MP3 by default) is the open page, and the only ticked tab.
    EXPECT_EQ(dialog->PControlFormat->currentIndex(), 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(HasTick(dialog->PControlFormat, i), i == 0) << i;
}

struct PageCase {
    const char* name;
    int page;
    bool RecordingSettings::*flag;
};
void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class RecSettingsPageTest : public RecSettingsTest,
                            public ::testing::WithParamInterface<PageCase> {};

TEST_P(RecSettingsPageTest, ShowingAPageChoosesItsFormatAndTicksItsTab) {
    Open();
    const PageCase c = GetParam();
    // Start from another page, so that showing this one is a change.
    dialog->PControlFormat->setCurrentIndex((c.page + 1) % 6);
    dialog->PControlFormat->setCurrentIndex(c.page);
    Close();
    bool RecordingSettings::*flags[] = {&RecordingSettings::MP3,  &RecordingSettings::OGG,
                                        &RecordingSettings::WMA,  &RecordingSettings::Wav,
                                        &RecordingSettings::FLAC, &RecordingSettings::Opus};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(settings.*flags[i], i == c.page) << i;
        EXPECT_EQ(HasTick(dialog->PControlFormat, i), i == c.page) << i;
    }
    // Opened again, the dialog shows that page.
    TFormRecSettings again(
        settings, [] { return AllRates; }, {}, [] {}, nullptr,
        [](DWORD, DWORD, DWORD) { return StereoRates; });
    EXPECT_EQ(again.PControlFormat->currentIndex(), c.page);
}

INSTANTIATE_TEST_SUITE_P(Pages, RecSettingsPageTest,
                         ::testing::Values(PageCase{"MP3", 0, &RecordingSettings::MP3},
                                           PageCase{"OGG", 1, &RecordingSettings::OGG},
                                           PageCase{"WMA", 2, &RecordingSettings::WMA},
                                           PageCase{"WAV", 3, &RecordingSettings::Wav},
                                           PageCase{"FLAC", 4, &RecordingSettings::FLAC},
                                           PageCase{"Opus", 5, &RecordingSettings::Opus}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecSettingsTest, TheMp3ModeGivesTheChannelsAndTheOtherFieldsApply) {
    const std::map<QString, std::pair<int, int>> modes = {
        {"stereo", {0, 2}}, {"joint stereo", {1, 2}}, {"dual channel", {2, 2}}, {"mono", {3, 1}}};
    for (const auto& [text, expected] : modes) {
        settings.VBR = false;
        Open();
        Choose(dialog->CBoxMP3Mode, text);
        Choose(dialog->CBoxMP3BitRate, "192");
        dialog->ChBoxMP3VBR->click();
        Choose(dialog->CBoxMP3MinBRate, "64");
        Choose(dialog->CBoxMP3MaxBRate, "256");
        dialog->TBarMP3_VBR_Quality->setValue(4);
        Close();
        EXPECT_EQ(settings.Mode, expected.first) << text.toStdString();
        EXPECT_EQ(settings.Channels, expected.second) << text.toStdString();
        EXPECT_EQ(settings.BitRate, 192);
        EXPECT_EQ(settings.MinBitRate, 64);
        EXPECT_EQ(settings.MaxBitRate, 256);
        EXPECT_EQ(settings.VBRQuality, 4);
        EXPECT_TRUE(settings.VBR);
    }
}

TEST_F(RecSettingsTest, VbrAndOggQualityBoxesSwitchWhatIsEnabled) {
    Open();
    EXPECT_TRUE(dialog->CBoxMP3BitRate->isEnabled());
    EXPECT_FALSE(dialog->CBoxMP3MinBRate->isEnabled());
    EXPECT_FALSE(dialog->TBarMP3_VBR_Quality->isEnabled());
    dialog->ChBoxMP3VBR->click();
    EXPECT_TRUE(settings.VBR) << "takes effect at once";
    EXPECT_FALSE(dialog->CBoxMP3BitRate->isEnabled());
    EXPECT_TRUE(dialog->CBoxMP3MinBRate->isEnabled());
    EXPECT_TRUE(dialog->CBoxMP3MaxBRate->isEnabled());
    EXPECT_TRUE(dialog->TBarMP3_VBR_Quality->isEnabled());

    EXPECT_TRUE(dialog->CBoxOggRate->isEnabled());
    EXPECT_FALSE(dialog->TBarOGG_Quality->isEnabled());
    EXPECT_FALSE(dialog->LabOggLow->isEnabled());
    dialog->ChBoxOggQuality->click();
    EXPECT_TRUE(settings.QualityMode);
    EXPECT_FALSE(dialog->CBoxOggRate->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{
             dialog->TBarOGG_Quality, dialog->LabOggQuality, dialog->LabOggLow, dialog->LabOggHigh})
        EXPECT_TRUE(w->isEnabled());
}

struct RateCase {
    const char* name;
    std::int32_t channels;
    std::uint16_t bits;
    std::uint32_t flags;
    QStringList rates;
};
void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

class RecSettingsRateTest : public RecSettingsTest,
                            public ::testing::WithParamInterface<RateCase> {};

TEST_P(RecSettingsRateTest, TheSampleRatesFollowTheDeviceFlagsForTheChannelsAndBits) {
    const RateCase c = GetParam();
    settings.Channels = c.channels;
    settings.BitsPerSample = c.bits;
    deviceFlags = c.flags;
    Open();
    EXPECT_EQ(Entries(dialog->CBoxWavSpsIn), c.rates);
    EXPECT_EQ(dialog->CBoxWavSpsIn->currentText(), "44100");
}

const QStringList Low = {"11025", "22050", "44100"};
INSTANTIATE_TEST_SUITE_P(
    Devices, RecSettingsRateTest,
    ::testing::Values(
        RateCase{"StereoAll", 2, 16, 0x8000 | 0x80000, Low + QStringList{"48000", "96000"}},
        RateCase{"MonoWithOnlyStereoBits", 1, 16, 0x8000 | 0x80000, Low},
        RateCase{"Mono16", 1, 16, 0x4000 | 0x40000, Low + QStringList{"48000", "96000"}},
        RateCase{"Stereo8Only96", 2, 8, 0x20000, Low + QStringList{"96000"}},
        RateCase{"Mono8Only48", 1, 8, 0x1000 | 0x8000, Low + QStringList{"48000"}},
        RateCase{"No48Or96", 2, 16, 0x800 | 0x4000 | 0x2000, Low}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecSettingsTest, WavChoicesTakeEffectAtOnceButTheRatesStayUntilTheNextShow) {
    settings.MP3 = false;
    settings.Wav = true;
    deviceFlags = 0x8000; // 48 kHz for 16-bit stereo only
    Open();
    EXPECT_EQ(Entries(dialog->CBoxWavSpsIn).size(), 4);
    Choose(dialog->CBoxWavChannel, "mono");
    EXPECT_EQ(settings.Channels, 1);
    Choose(dialog->CBoxWavBits, "8  bit");
    EXPECT_EQ(settings.BitsPerSample, 8);
    EXPECT_EQ(Entries(dialog->CBoxWavSpsIn).size(), 4) << "not rebuilt";
    Choose(dialog->CBoxWavSpsIn, "22050");
    Close();
    EXPECT_EQ(settings.SamplesPerSecond, 22050u);
    EXPECT_EQ(settings.Channels, 1);
    EXPECT_EQ(settings.BitsPerSample, 8);
    Open();
    EXPECT_EQ(Entries(dialog->CBoxWavSpsIn), Low) << "rebuilt for 8-bit mono";
    EXPECT_EQ(dialog->CBoxWavChannel->currentText(), "mono");
    EXPECT_EQ(dialog->CBoxWavBits->currentText(), "8  bit");
}

TEST_F(RecSettingsTest, AStoredRateTheListLacksIsKeptWhenTheDeviceNowOffersItElse44100) {
    settings.MP3 = false;
    settings.Wav = true;
    settings.SamplesPerSecond = 48000;
    deviceFlags = 0; // at the show the device had no 48 kHz
    Open();
    EXPECT_EQ(dialog->CBoxWavSpsIn->currentIndex(), -1);
    deviceFlags = 0x8000; // and at the close it has
    Close();
    EXPECT_EQ(settings.SamplesPerSecond, 48000u);

    deviceFlags = 0;
    Open();
    Close();
    EXPECT_EQ(settings.SamplesPerSecond, 44100u);
}

TEST_F(RecSettingsTest, TheWmaListFollowsTheChannelsAndKeepsTheStoredRateWhenOffered) {
    settings.MP3 = false;
    settings.WMA = true;
    settings.WMARate = 128;
    Open();
    EXPECT_EQ(Entries(dialog->CBoxWmaRate), QStringList({"192", "160", "128", "96", "64"}));
    EXPECT_EQ(dialog->CBoxWmaRate->currentText(), "128");
    Choose(dialog->CBoxWmaChannels, "mono");
    EXPECT_EQ(settings.Channels, 1);
    EXPECT_EQ(askedChannels.back(), 1u);
    EXPECT_EQ(Entries(dialog->CBoxWmaRate), QStringList({"64", "48", "32"}));
    EXPECT_EQ(dialog->CBoxWmaRate->currentText(), "64") << "128 is not offered: the first";
    Close();
    EXPECT_EQ(settings.WMARate, 64);
    EXPECT_EQ(settings.Channels, 1);
}

// Chosen as a user does, in the shown dialog: the FLAC page edits the WAV page's rate and
// channels (FLAC's rates are the 16-bit ones from 44100 up) and sets its own level.
TEST_F(RecSettingsTest, TheFlacPageSetsItsLevelAndTheRateAndChannelsItSharesWithWav) {
    deviceFlags = 0x8000;       // 48 kHz for 16-bit stereo only
    settings.BitsPerSample = 8; // the WAV page's bits do not narrow FLAC's rates
    Create();
    QTimer::singleShot(100, [this] {
        dialog->PControlFormat->setCurrentIndex(4);
        EXPECT_EQ(Entries(dialog->CBoxFlacSpsIn), QStringList({"44100", "48000"}));
        EXPECT_EQ(dialog->CBoxFlacLevel->currentText(), "5");
        Choose(dialog->CBoxFlacSpsIn, "48000");
        Choose(dialog->CBoxFlacChannel, "mono");
        EXPECT_EQ(settings.Channels, 1) << "at once, as on the WAV page";
        EXPECT_EQ(dialog->CBoxWavChannel->currentText(), "mono");
        Choose(dialog->CBoxFlacLevel, "8");
        dialog->BitBtnOK->click();
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(settings.FLAC);
    EXPECT_FALSE(settings.MP3 || settings.Wav || settings.WMA || settings.OGG || settings.Opus);
    EXPECT_EQ(settings.FlacLevel, 8);
    EXPECT_EQ(settings.SamplesPerSecond, 48000u);
    EXPECT_EQ(settings.Channels, 1);
    EXPECT_EQ(settings.BitsPerSample, 8) << "the WAV choice stays for WAV";
    EXPECT_EQ(SelectedFormat(settings).Label(settings), "FLAC 48000Hz 16bit mono level 8");

    // Opened again on the FLAC page, it shows what was chosen.
    ASSERT_TRUE(dialog->Prepare());
    EXPECT_EQ(dialog->PControlFormat->currentIndex(), 4);
    EXPECT_EQ(dialog->CBoxFlacLevel->currentText(), "8");
    EXPECT_EQ(dialog->CBoxFlacChannel->currentText(), "mono");
}

TEST_F(RecSettingsTest, TheWavPagesRateAndChannelsShowOnTheFlacPageAndAWavOnlyRateIsNotKept) {
    settings.MP3 = false;
    settings.Wav = true;
    Open();
    Choose(dialog->CBoxWavSpsIn, "96000");
    EXPECT_EQ(dialog->CBoxFlacSpsIn->currentText(), "96000");
    Choose(dialog->CBoxWavChannel, "mono");
    EXPECT_EQ(dialog->CBoxFlacChannel->currentText(), "mono");
    Choose(dialog->CBoxWavSpsIn, "22050");
    EXPECT_EQ(dialog->CBoxFlacSpsIn->currentIndex(), -1) << "not a FLAC rate";
    dialog->PControlFormat->setCurrentIndex(4);
    Close();
    EXPECT_TRUE(settings.FLAC);
    EXPECT_EQ(settings.SamplesPerSecond, 44100u);
    EXPECT_EQ(settings.Channels, 1);
}

TEST_F(RecSettingsTest, TheOpusPageSetsItsRateAndChannelsAndShowsAnOddRateAsTheNearest) {
    settings.MP3 = false;
    settings.Opus = true;
    settings.OpusRate = 100; // hand-edited
    Open();
    EXPECT_EQ(dialog->PControlFormat->currentIndex(), 5);
    EXPECT_EQ(dialog->CBoxOpusRate->currentText(), "96");
    Choose(dialog->CBoxOpusRate, "32");
    Choose(dialog->CBoxOpusChannels, "mono");
    Close();
    EXPECT_TRUE(settings.Opus);
    EXPECT_EQ(settings.OpusRate, 32);
    EXPECT_EQ(settings.Channels, 1);
}

TEST_F(RecSettingsTest, TheRealWmaEncoderOffersRatesForBothChannelCounts) {
    dialog = std::make_unique<TFormRecSettings>(
        settings, [] { return AllRates; }, FormatIcons{}, [this] { ++endCalls; });
    Open();
    EXPECT_GT(dialog->CBoxWmaRate->count(), 0);
    Choose(dialog->CBoxWmaChannels, "mono");
    EXPECT_GT(dialog->CBoxWmaRate->count(), 0);
    EXPECT_EQ(endCalls, 0);
}

TEST_F(RecSettingsTest, WithoutAWmaCodecItSaysSoAndTheProgramEnds) {
    codecPresent = false;
    const RecordingSettings before = settings;
    Create();
    AnswerNextBox();
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(boxCaption, "Error");
    EXPECT_EQ(boxText, "Can't find codec");
    EXPECT_EQ(endCalls, 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings.Channels, before.Channels) << "nothing applied";
}

struct OggQualityCase {
    const char* name;
    float stored;
    int bar;
    float after;
};
void PrintTo(const OggQualityCase& c, std::ostream* os) {
    *os << c.name;
}

class RecSettingsOggQualityTest : public RecSettingsTest,
                                  public ::testing::WithParamInterface<OggQualityCase> {};

TEST_P(RecSettingsOggQualityTest, TheBarRoundsHalvesToEvenAndStoresTheWholeNumber) {
    const OggQualityCase c = GetParam();
    settings.MP3 = false;
    settings.OGG = true;
    settings.OggQuality = c.stored;
    Open();
    EXPECT_EQ(dialog->TBarOGG_Quality->value(), c.bar);
    EXPECT_FLOAT_EQ(settings.OggQuality, c.after) << "through the bar's change event";
    EXPECT_EQ(dialog->LabOggQuality->text(), "Quality - " + QString::number(c.after));
    Close();
    EXPECT_FLOAT_EQ(settings.OggQuality, float(c.bar));
}

INSTANTIATE_TEST_SUITE_P(Values, RecSettingsOggQualityTest,
                         ::testing::Values(OggQualityCase{"FiveAndAHalf", 5.5f, 6, 6.f},
                                           OggQualityCase{"FourAndAHalf", 4.5f, 4, 4.f},
                                           OggQualityCase{"Seven", 7.f, 7, 7.f},
                                           OggQualityCase{"AboveTheRange", 12.f, 10, 10.f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecSettingsTest, AnUnchangedBarLeavesTheStoredQualityUntilTheClose) {
    settings.MP3 = false;
    settings.OGG = true;
    settings.OggQuality = 0.5f; // rounds to 0, where the bar already stands
    Open();
    EXPECT_FLOAT_EQ(settings.OggQuality, 0.5f);
    EXPECT_EQ(dialog->LabOggQuality->text(), "Quality - 0.5");
    Close();
    EXPECT_FLOAT_EQ(settings.OggQuality, 0.f);
}

TEST_F(RecSettingsTest, AnOggRateOutsideTheListShowsAndStoresTheNearest) {
    settings.MP3 = false;
    settings.OGG = true;
    for (const auto& [stored, shown] : std::map<int, QString>{
             {100, "96"}, {104, "96"}, {105, "112"}, {10, "48"}, {1000, "320"}, {160, "160"}}) {
        settings.OggRate = stored;
        Open();
        EXPECT_EQ(dialog->CBoxOggRate->currentText(), shown) << stored;
        Close();
        EXPECT_EQ(settings.OggRate, shown.toInt()) << stored;
    }
}

TEST_F(RecSettingsTest, ExecuteShowsModallyAndTheCloseBoxAppliesLikeOk) {
    settings.MP3 = false;
    settings.OGG = true;
    Create();
    QTimer::singleShot(100, [this] {
        ASSERT_TRUE(dialog->isVisible());
        Choose(dialog->CBoxOggChannels, "mono");
        Choose(dialog->CBoxOggRate, "192");
        dialog->close(); // the close box
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings.Channels, 1);
    EXPECT_EQ(settings.OggRate, 192);

    QTimer::singleShot(100, [this] {
        Choose(dialog->CBoxOggChannels, "stereo");
        dialog->BitBtnOK->click();
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(settings.Channels, 2);
    EXPECT_TRUE(settings.OGG);
}

} // namespace
