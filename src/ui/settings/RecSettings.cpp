#include "ui/settings/RecSettings.h"

#include "audio/BassWMA.h"
#include "engine/Numbers.h"
#include "platform/Locale.h"
#include "ui/common/TextWidth.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

namespace {

int PageOf(FormatId format) {
    return FormatOf(format).Page;
}

const OutputFormat& FormatOnPage(int page) {
    const auto formats = OutputFormats();
    return *std::find_if(formats.begin(), formats.end(),
                         [page](const OutputFormat& f) { return f.Page == page; });
}

const QStringList Mp3Rates = {"32",  "40",  "48",  "56",  "64",  "80",  "96",
                              "112", "128", "160", "192", "224", "256", "320"};
const QStringList Mp3Modes = {"stereo", "joint stereo", "dual channel", "mono"};
const QStringList OggRates = {"48",  "56",  "64",  "80",  "96",  "112",
                              "128", "160", "192", "224", "256", "320"};
const QStringList ChannelChoices = {"stereo", "mono"};
const QStringList WavBits = {"16 bit", "8  bit"};
const QStringList FlacLevels = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};

QStringList NumberTexts(std::span<const std::int32_t> numbers) {
    QStringList texts;
    for (const std::int32_t number : numbers)
        texts << QString::number(number);
    return texts;
}

// Track bars whose thumbs are 15 pixels long, and page tabs with little padding so that they
// take little room in the wider fonts found here.
class DialogStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_SliderLength)
            return 15;
        if (metric == PM_TabBarTabHSpace)
            return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The WAVE_FORMAT_* bits of the 48 and 96 kHz formats for a channel count and sample width.
struct HighRateBits {
    std::uint32_t k48;
    std::uint32_t k96;
};
HighRateBits HighRateBitsFor(std::int32_t channels, std::uint16_t bits) {
    const bool mono = channels == 1;
    if (bits == 8)
        return mono ? HighRateBits{0x1000, 0x10000} : HighRateBits{0x2000, 0x20000};
    return mono ? HighRateBits{0x4000, 0x40000} : HighRateBits{0x8000, 0x80000};
}

// The sample rates offered for a channel count and sample width: 44100 always, 48000 and 96000
// as the device's flags allow, and with `lowRates` 11025 and 22050 before them.
QStringList OfferedRates(std::uint32_t flags, std::int32_t channels, std::uint16_t bits,
                         bool lowRates) {
    QStringList rates;
    if (lowRates)
        rates << "11025"
              << "22050";
    rates << "44100";
    const HighRateBits high = HighRateBitsFor(channels, bits);
    if (flags & high.k48)
        rates << "48000";
    if (flags & high.k96)
        rates << "96000";
    return rates;
}

// The rate to keep when a rate list has nothing selected: the stored one when it is offered
// now (the device may have changed since the list was built), else 44100.
std::uint32_t KeptRate(std::uint32_t stored, const QStringList& offered) {
    return offered.contains(QString::number(stored)) ? stored : 44100;
}

// FLAC is always 16-bit, whatever the WAV page's choice of bits.
constexpr std::uint16_t FlacBits = 16;

std::int32_t ChannelsOf(const QComboBox* box) {
    return box->currentIndex() == 1 ? 1 : 2;
}

// The entry of a number list that shows `value`, or -1.
int IndexOfNumber(const QComboBox* box, std::int64_t value) {
    return box->findText(QString::number(value), Qt::MatchExactly);
}

// The entry of a number list closest to `value`; the lower one of two equally close.
int IndexOfNearest(const QComboBox* box, std::int64_t value) {
    int best = -1;
    std::int64_t bestDistance = 0;
    for (int i = 0; i < box->count(); ++i) {
        const std::int64_t distance = std::abs(box->itemText(i).toLongLong() - value);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

QPixmap SixteenSquare(const QPixmap& picture) {
    if (picture.isNull()) {
        QPixmap empty(16, 16);
        empty.fill(Qt::transparent);
        return empty;
    }
    return picture.size() == QSize(16, 16)
               ? picture
               : picture.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The picture with a green tick over its lower right part, outlined in white so that it
// shows on any picture.
QPixmap WithTick(const QPixmap& picture) {
    QPixmap ticked = picture;
    QPainter painter(&ticked);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF tick[] = {{5.5, 9.5}, {8.5, 12.5}, {14.5, 4.5}};
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(tick, 3);
    painter.setPen(QPen(QColor(0, 170, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(tick, 3);
    return ticked;
}

QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QComboBox* AddList(QWidget* parent, const QStringList& entries, int left, int top, int width) {
    auto* box = new QComboBox(parent);
    box->setEditable(false);
    box->addItems(entries);
    box->setGeometry(left, top, width, 21);
    return box;
}

// A list with a caption over it; the caption's font shrinks where a wider font than the
// designed one would run into the next list.
QComboBox* AddCaptionedList(QWidget* parent, const QString& caption, const QStringList& entries,
                            int left, int top, int width, int room = 100) {
    ShrinkToWidth(AddLabel(parent, caption, left, top - 15), room);
    return AddList(parent, entries, left, top, width);
}

QSlider* AddTrackBar(QWidget* parent, QStyle* style, int maximum, int left, int top, int width) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setStyle(style);
    bar->setRange(0, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    bar->setGeometry(left, top, width, 22);
    return bar;
}

QLabel* AddPicture(QWidget* parent, const QPixmap& icon) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(icon.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setGeometry(22, 20, 32, 32);
    return picture;
}

} // namespace

TFormRecSettings::TFormRecSettings(RecordingSettings& settings, FormatFlagsReader readFormatFlags,
                                   const FormatIcons& icons, std::function<void()> endProgram,
                                   QWidget* parent, WmaRatesQuery wmaRates)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings), readFormatFlags_(std::move(readFormatFlags)),
      wmaRates_(wmaRates ? std::move(wmaRates) : WmaRatesQuery(BASS_WMA_EncodeGetRates)),
      endProgram_(std::move(endProgram)), dialogStyle_(std::make_unique<DialogStyle>()) {
    plainIcons_.resize(OutputFormats().size());
    for (const OutputFormat& format : OutputFormats()) {
        const auto icon = icons.find(format.Id);
        plainIcons_[format.Page] = SixteenSquare(icon != icons.end() ? icon->second : QPixmap());
    }
    for (const QPixmap& icon : plainIcons_)
        tickedIcons_.push_back(WithTick(icon));
    CreateControls();
    FormatFlags = readFormatFlags_ ? readFormatFlags_() : 0;
    FormCreate();
    // Connected only now, so that the pages added and selected above set no format.
    connect(PControlFormat, &QTabWidget::currentChanged, this,
            [this](int page) { ShowPage(page); });
}

TFormRecSettings::~TFormRecSettings() = default;

void TFormRecSettings::CreateControls() {
    setWindowTitle("Format Settings");
    setFixedSize(345, 271);
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);

    BitBtnOK = new QPushButton("OK", this);
    BitBtnOK->setGeometry(136, 234, 67, 23);
    BitBtnOK->setDefault(true);
    connect(BitBtnOK, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });

    PControlFormat = new QTabWidget(this);
    PControlFormat->setGeometry(18, 10, 309, 205);
    PControlFormat->setIconSize(QSize(16, 16));
    QStyle* barStyle = dialogStyle_.get();
    PControlFormat->tabBar()->setStyle(barStyle);

    TSheetMP3 = new QWidget;
    ImageMP3 = AddPicture(TSheetMP3, plainIcons_[PageOf(FormatId::Mp3)]);
    CBoxMP3BitRate = AddCaptionedList(TSheetMP3, "Bitrate, kbps", Mp3Rates, 100, 20, 81);
    CBoxMP3Mode = AddCaptionedList(TSheetMP3, "Channel mode", Mp3Modes, 202, 20, 81);
    GBoxMP3_VBR = new QGroupBox("VBR - Variable Bit Rate", TSheetMP3);
    GBoxMP3_VBR->setGeometry(4, 62, 293, 103);
    ChBoxMP3VBR = new QCheckBox("Enable VBR", GBoxMP3_VBR);
    ChBoxMP3VBR->move(8, 30);
    ChBoxMP3VBR->adjustSize();
    CBoxMP3MinBRate = AddCaptionedList(GBoxMP3_VBR, "Min Bitrate", Mp3Rates, 98, 30, 81);
    CBoxMP3MaxBRate = AddCaptionedList(GBoxMP3_VBR, "Max Bitrate", Mp3Rates, 200, 30, 81);
    AddLabel(GBoxMP3_VBR, "VBR Quality", 166, 56);
    TBarMP3_VBR_Quality = AddTrackBar(GBoxMP3_VBR, barStyle, 8, 100, 68, 177);
    AddLabel(GBoxMP3_VBR, "better", 100, 88);
    QLabel* faster = AddLabel(GBoxMP3_VBR, "faster", 0, 88);
    faster->move(100 + 177 - faster->width(), 88);
    connect(ChBoxMP3VBR, &QCheckBox::clicked, this, [this] { ChBoxMP3VBRClick(); });

    TSheetOGG = new QWidget;
    ImageOgg = AddPicture(TSheetOGG, plainIcons_[PageOf(FormatId::Ogg)]);
    CBoxOggRate = AddCaptionedList(TSheetOGG, "Nominal Bitrate, kbps", OggRates, 100, 20, 81);
    CBoxOggChannels = AddCaptionedList(TSheetOGG, "Channels", ChannelChoices, 202, 20, 81);
    GrBoxOgg_QualityMode = new QGroupBox("Quality Mode ", TSheetOGG);
    GrBoxOgg_QualityMode->setGeometry(10, 62, 283, 93);
    ChBoxOggQuality = new QCheckBox("Enable", GrBoxOgg_QualityMode);
    ChBoxOggQuality->move(6, 40);
    ChBoxOggQuality->adjustSize();
    LabOggQuality = AddLabel(GrBoxOgg_QualityMode, "Quality", 128, 24);
    LabOggQuality->resize(120, LabOggQuality->height());
    TBarOGG_Quality = AddTrackBar(GrBoxOgg_QualityMode, barStyle, 10, 74, 42, 201);
    LabOggLow = AddLabel(GrBoxOgg_QualityMode, "Low", 74, 66);
    LabOggHigh = AddLabel(GrBoxOgg_QualityMode, "High", 0, 66);
    LabOggHigh->move(74 + 201 - LabOggHigh->width(), 66);
    connect(ChBoxOggQuality, &QCheckBox::clicked, this, [this] { ChBoxOggQualityClick(); });
    connect(TBarOGG_Quality, &QSlider::valueChanged, this, [this] { TBarOGG_QualityChange(); });

    TSheetWma = new QWidget;
    ImageWma = AddPicture(TSheetWma, plainIcons_[PageOf(FormatId::Wma)]);
    CBoxWmaRate = AddCaptionedList(TSheetWma, "Bitrate, kbps", {}, 100, 20, 81);
    CBoxWmaChannels = AddCaptionedList(TSheetWma, "Channels", ChannelChoices, 202, 20, 81);
    connect(CBoxWmaChannels, &QComboBox::activated, this, [this] { CBoxWmaChannelsChange(); });

    TSheetWav = new QWidget;
    ImageWAV = AddPicture(TSheetWav, plainIcons_[PageOf(FormatId::Wav)]);
    CBoxWavSpsIn = AddCaptionedList(TSheetWav, "Sample Rate, Hz", {}, 100, 20, 81);
    CBoxWavChannel = AddCaptionedList(TSheetWav, "Channels", ChannelChoices, 202, 20, 81);
    AddLabel(TSheetWav, "Bit Per Sample", 104, 66);
    CBoxWavBits = AddList(TSheetWav, WavBits, 100, 80, 79);
    connect(CBoxWavSpsIn, &QComboBox::activated, this, [this] { CBoxWavSpsInChange(); });
    connect(CBoxWavChannel, &QComboBox::activated, this, [this] { CBoxWavChannelChange(); });
    connect(CBoxWavBits, &QComboBox::activated, this, [this] { CBoxWavBitsChange(); });

    TSheetFlac = new QWidget;
    ImageFlac = AddPicture(TSheetFlac, plainIcons_[PageOf(FormatId::Flac)]);
    CBoxFlacSpsIn = AddCaptionedList(TSheetFlac, "Sample Rate, Hz", {}, 100, 20, 81);
    CBoxFlacChannel = AddCaptionedList(TSheetFlac, "Channels", ChannelChoices, 202, 20, 81);
    AddLabel(TSheetFlac, "Compression level", 104, 66);
    CBoxFlacLevel = AddList(TSheetFlac, FlacLevels, 100, 80, 79);
    connect(CBoxFlacSpsIn, &QComboBox::activated, this, [this] { CBoxFlacSpsInChange(); });
    connect(CBoxFlacChannel, &QComboBox::activated, this, [this] { CBoxFlacChannelChange(); });

    TSheetOpus = new QWidget;
    ImageOpus = AddPicture(TSheetOpus, plainIcons_[PageOf(FormatId::Opus)]);
    CBoxOpusRate =
        AddCaptionedList(TSheetOpus, "Bitrate, kbps", NumberTexts(OpusRates), 100, 20, 81);
    CBoxOpusChannels = AddCaptionedList(TSheetOpus, "Channels", ChannelChoices, 202, 20, 81);

    AddPages();
}

TFormRecSettings::Sheet TFormRecSettings::SheetOf(FormatId format) const {
    // The older formats' captions keep the spaces that widened their tabs.
    switch (format) {
    case FormatId::Wav:
        return {TSheetWav, "WAV   "};
    case FormatId::Mp3:
        return {TSheetMP3, "MP3   "};
    case FormatId::Wma:
        return {TSheetWma, "WMA   "};
    case FormatId::Ogg:
        return {TSheetOGG, "OGG"};
    case FormatId::Flac:
        return {TSheetFlac, "FLAC"};
    case FormatId::Opus:
        return {TSheetOpus, "Opus"};
    }
    return {};
}

void TFormRecSettings::AddPages() {
    for (int page = 0; page < static_cast<int>(plainIcons_.size()); ++page) {
        const Sheet sheet = SheetOf(FormatOnPage(page).Id);
        PControlFormat->addTab(sheet.page, plainIcons_[page], sheet.caption);
    }
    // Every tab in one row: the dialog grows by what they need beyond the designed width, and
    // what it holds stays centred.
    const int grow =
        std::max(0, PControlFormat->tabBar()->sizeHint().width() - PControlFormat->width());
    if (grow == 0)
        return;
    setFixedSize(width() + grow, height());
    PControlFormat->resize(PControlFormat->width() + grow, PControlFormat->height());
    BitBtnOK->move(BitBtnOK->x() + grow / 2, BitBtnOK->y());
    for (int page = 0; page < PControlFormat->count(); ++page)
        for (QWidget* control :
             PControlFormat->widget(page)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->move(control->x() + grow / 2, control->y());
}

void TFormRecSettings::FormCreate() {
    CBoxWavSpsIn->setCurrentIndex(0);
    CBoxWavChannel->setCurrentIndex(0);
    CBoxWavBits->setCurrentIndex(0);
    CBoxMP3BitRate->setCurrentIndex(8);
    CBoxMP3Mode->setCurrentIndex(0);
    CBoxMP3MinBRate->setCurrentIndex(0);
    CBoxMP3MaxBRate->setCurrentIndex(13);
    CBoxWmaRate->setCurrentIndex(5);
    CBoxWmaChannels->setCurrentIndex(0);
    // The stored format's page, as the engine reads the flags.
    const int page = SelectedFormat(settings_).Page;
    MarkActivePage(page);
    PControlFormat->setCurrentIndex(page);
}

void TFormRecSettings::MarkActivePage(int page) {
    for (int i = 0; i < PControlFormat->count(); ++i)
        PControlFormat->setTabIcon(i, i == page ? tickedIcons_[i] : plainIcons_[i]);
}

void TFormRecSettings::ShowPage(int page) {
    MarkActivePage(page);
    SelectFormat(settings_, FormatOnPage(page).Id);
}

void TFormRecSettings::ApplyVbrRule() {
    const bool vbr = settings_.VBR;
    CBoxMP3BitRate->setEnabled(!vbr);
    CBoxMP3MinBRate->setEnabled(vbr);
    CBoxMP3MaxBRate->setEnabled(vbr);
    TBarMP3_VBR_Quality->setEnabled(vbr);
}

void TFormRecSettings::ApplyOggRule() {
    const bool quality = settings_.QualityMode;
    CBoxOggRate->setEnabled(!quality);
    TBarOGG_Quality->setEnabled(quality);
    LabOggQuality->setEnabled(quality);
    LabOggLow->setEnabled(quality);
    LabOggHigh->setEnabled(quality);
}

void TFormRecSettings::ChBoxMP3VBRClick() {
    settings_.VBR = ChBoxMP3VBR->isChecked();
    ApplyVbrRule();
}

void TFormRecSettings::ChBoxOggQualityClick() {
    settings_.QualityMode = ChBoxOggQuality->isChecked();
    ApplyOggRule();
}

void TFormRecSettings::TBarOGG_QualityChange() {
    LabOggQuality->setText("Quality - " + QString::number(TBarOGG_Quality->value()));
    settings_.OggQuality = static_cast<float>(TBarOGG_Quality->value());
}

void TFormRecSettings::CBoxWavSpsInChange() {
    CBoxFlacSpsIn->setCurrentIndex(CBoxFlacSpsIn->findText(CBoxWavSpsIn->currentText()));
}

void TFormRecSettings::CBoxWavChannelChange() {
    settings_.Channels = ChannelsOf(CBoxWavChannel);
    CBoxFlacChannel->setCurrentIndex(CBoxWavChannel->currentIndex());
}

void TFormRecSettings::CBoxFlacSpsInChange() {
    CBoxWavSpsIn->setCurrentIndex(CBoxWavSpsIn->findText(CBoxFlacSpsIn->currentText()));
}

void TFormRecSettings::CBoxFlacChannelChange() {
    settings_.Channels = ChannelsOf(CBoxFlacChannel);
    CBoxWavChannel->setCurrentIndex(CBoxFlacChannel->currentIndex());
}

void TFormRecSettings::CBoxWavBitsChange() {
    settings_.BitsPerSample = CBoxWavBits->currentIndex() == 1 ? 8 : 16;
}

void TFormRecSettings::CBoxWmaChannelsChange() {
    settings_.Channels = ChannelsOf(CBoxWmaChannels);
    if (!BuildWmaRateList())
        QDialog::done(QDialog::Rejected);
}

void TFormRecSettings::BitBtnOKClick() {
    close();
}

void TFormRecSettings::BuildSampleRateLists() {
    CBoxWavSpsIn->clear();
    CBoxWavSpsIn->addItems(
        OfferedRates(FormatFlags, settings_.Channels, settings_.BitsPerSample, true));
    CBoxWavSpsIn->setCurrentIndex(IndexOfNumber(CBoxWavSpsIn, settings_.SamplesPerSecond));
    CBoxFlacSpsIn->clear();
    CBoxFlacSpsIn->addItems(OfferedRates(FormatFlags, settings_.Channels, FlacBits, false));
    CBoxFlacSpsIn->setCurrentIndex(IndexOfNumber(CBoxFlacSpsIn, settings_.SamplesPerSecond));
}

bool TFormRecSettings::BuildWmaRateList() {
    CBoxWmaRate->clear();
    const DWORD* rates = wmaRates_(44100, static_cast<DWORD>(settings_.Channels), 0);
    if (rates == nullptr) {
        QMessageBox box(QMessageBox::NoIcon, "Error", "Can't find codec", QMessageBox::Ok, this);
        box.exec();
        ending_ = true;
        if (endProgram_)
            endProgram_();
        return false;
    }
    for (const DWORD* rate = rates; *rate != 0; ++rate)
        CBoxWmaRate->addItem(QString::number(*rate / 1000));
    CBoxWmaRate->setCurrentIndex(0);
    if (const int stored = IndexOfNumber(CBoxWmaRate, settings_.WMARate); stored >= 0)
        CBoxWmaRate->setCurrentIndex(stored);
    return true;
}

void TFormRecSettings::FormShow() {
    BuildSampleRateLists();
    CBoxWavChannel->setCurrentIndex(settings_.Channels == 1 ? 1 : 0);
    CBoxWavBits->setCurrentIndex(settings_.BitsPerSample == 8 ? 1 : 0);
    CBoxFlacChannel->setCurrentIndex(settings_.Channels == 1 ? 1 : 0);
    CBoxFlacLevel->setCurrentIndex(IndexOfNearest(CBoxFlacLevel, settings_.FlacLevel));

    const int bitRate = IndexOfNumber(CBoxMP3BitRate, settings_.BitRate);
    CBoxMP3BitRate->setCurrentIndex(bitRate >= 0 ? bitRate : 0);
    if (settings_.Mode >= 0 && settings_.Mode <= 3)
        CBoxMP3Mode->setCurrentIndex(settings_.Mode);
    const int minRate = IndexOfNumber(CBoxMP3MinBRate, settings_.MinBitRate);
    CBoxMP3MinBRate->setCurrentIndex(minRate >= 0 ? minRate : 0);
    const int maxRate = IndexOfNumber(CBoxMP3MaxBRate, settings_.MaxBitRate);
    CBoxMP3MaxBRate->setCurrentIndex(maxRate >= 0 ? maxRate : 13);
    TBarMP3_VBR_Quality->setValue(settings_.VBRQuality);
    ChBoxMP3VBR->setChecked(settings_.VBR);
    ApplyVbrRule();

    CBoxWmaChannels->setCurrentIndex(settings_.Channels == 1 ? 1 : 0);
    if (!BuildWmaRateList())
        return;

    // A rate a hand-edited file brings shows as the nearest one offered, which closing keeps.
    const int oggRate = IndexOfNumber(CBoxOggRate, settings_.OggRate);
    CBoxOggRate->setCurrentIndex(oggRate >= 0 ? oggRate
                                              : IndexOfNearest(CBoxOggRate, settings_.OggRate));
    CBoxOggChannels->setCurrentIndex(settings_.Channels == 1 ? 1 : 0);
    ChBoxOggQuality->setChecked(settings_.QualityMode);

    TBarOGG_Quality->setValue(RoundHalfEven(settings_.OggQuality));
    LabOggQuality->setText("Quality - " + QString::fromStdString(ShortestDecimal(
                                              settings_.OggQuality, platform::DecimalSeparator())));
    ApplyOggRule();

    CBoxOpusRate->setCurrentIndex(IndexOfNearest(CBoxOpusRate, settings_.OpusRate));
    CBoxOpusChannels->setCurrentIndex(settings_.Channels == 1 ? 1 : 0);
}

bool TFormRecSettings::Prepare() {
    applied_ = false;
    ending_ = false;
    // The device may have changed since the last close (the device watch reopens the capture).
    if (readFormatFlags_)
        FormatFlags = readFormatFlags_();
    FormShow();
    if (ending_)
        return false;
    // The page active as the dialog opens is shown, so its format is the one chosen.
    ShowPage(PControlFormat->currentIndex());
    return true;
}

bool TFormRecSettings::Execute() {
    if (!Prepare())
        return false;
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    exec();
    return !ending_;
}

void TFormRecSettings::done(int result) {
    if (!ending_ && !applied_) {
        applied_ = true;
        FormClose();
    }
    QDialog::done(result);
}

void TFormRecSettings::FormClose() {
    if (readFormatFlags_)
        FormatFlags = readFormatFlags_();
    settings_.Channels = 2;
    const std::uint16_t wavBits = CBoxWavBits->currentIndex() == 1 ? 8 : 16;
    settings_.SamplesPerSecond =
        CBoxWavSpsIn->currentIndex() >= 0
            ? CBoxWavSpsIn->currentText().toUInt()
            : KeptRate(settings_.SamplesPerSecond,
                       OfferedRates(FormatFlags, ChannelsOf(CBoxWavChannel), wavBits, true));
    if (settings_.Wav) {
        settings_.Channels = ChannelsOf(CBoxWavChannel);
        settings_.BitsPerSample = wavBits;
    }
    if (settings_.MP3) {
        settings_.BitRate = CBoxMP3BitRate->currentText().toInt();
        settings_.Mode = std::max(0, CBoxMP3Mode->currentIndex());
        settings_.VBR = ChBoxMP3VBR->isChecked();
        settings_.MinBitRate = CBoxMP3MinBRate->currentText().toInt();
        settings_.MaxBitRate = CBoxMP3MaxBRate->currentText().toInt();
        settings_.VBRQuality = TBarMP3_VBR_Quality->value();
        settings_.Channels = settings_.Mode == 3 ? 1 : 2;
    }
    if (settings_.WMA) {
        // An encoder that offers an empty list leaves nothing to choose: the rate stays.
        if (CBoxWmaRate->currentIndex() >= 0)
            settings_.WMARate = CBoxWmaRate->currentText().toInt();
        settings_.Channels = ChannelsOf(CBoxWmaChannels);
    }
    if (settings_.OGG) {
        settings_.OggRate = CBoxOggRate->currentText().toInt();
        settings_.Channels = ChannelsOf(CBoxOggChannels);
        settings_.QualityMode = ChBoxOggQuality->isChecked();
        settings_.OggQuality = static_cast<float>(TBarOGG_Quality->value());
    }
    if (settings_.FLAC) {
        settings_.Channels = ChannelsOf(CBoxFlacChannel);
        settings_.SamplesPerSecond =
            CBoxFlacSpsIn->currentIndex() >= 0
                ? CBoxFlacSpsIn->currentText().toUInt()
                : KeptRate(settings_.SamplesPerSecond,
                           OfferedRates(FormatFlags, settings_.Channels, FlacBits, false));
        settings_.FlacLevel = CBoxFlacLevel->currentText().toInt();
    }
    if (settings_.Opus) {
        settings_.OpusRate = CBoxOpusRate->currentText().toInt();
        settings_.Channels = ChannelsOf(CBoxOpusChannels);
    }
}
