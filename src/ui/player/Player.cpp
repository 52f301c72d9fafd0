#include "ui/player/Player.h"

#include "display/Graph.h"
#include "engine/Numbers.h"
#include "engine/UserMessage.h"
#include "engine/global.h"
#include "library/FileNames.h"
#include "library/ListTexts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/MouseLabel.h"
#include "ui/common/PictureButton.h"
#include "ui/common/PictureView.h"
#include "ui/common/PlainText.h"
#include "ui/player/PlayerSkin.h"

#include <QCloseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr int ScreenPictureHeight = 162;
constexpr int BarHeight = 42;
constexpr int WindowWidth = 274;
constexpr int PosTop = ScreenPictureHeight + 4;
constexpr int VolTop = ScreenPictureHeight + 20;
// The player's hints come after 500 ms and stay 2500 ms.
constexpr int HintDelay = 500;
constexpr int HintDisplayTime = 2500;
constexpr std::uint32_t WindowColour = 15263968;

// The hint delay is a style hint of the widget under the mouse.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return HintDelay;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

} // namespace

TFormPlayer::TFormPlayer(const PlayerPictures& pictures, PlayerControl& control,
                         const SessionState& session, const RecordingSettings& settings,
                         bool& hoverActive, QWidget* placeOn)
    : control_(control), session_(session), settings_(settings), HoverActive(hoverActive),
      placeOn_(placeOn) {
    CreateControls(pictures);
}

TFormPlayer::~TFormPlayer() = default;

void TFormPlayer::CreateControls(const PlayerPictures& pictures) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(WindowWidth, ScreenPictureHeight + BarHeight);
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ColourFromSetting(WindowColour));
    setPalette(colours);
    setAutoFillBackground(true);

    hintStyle_ = new HintStyle;
    hintStyle_->setParent(this);
    ImageScreen = new MouseLabel(this);
    ImageScreen->setGeometry(0, 0, WindowWidth, ScreenPictureHeight);
    ImageScreen->setPixmap(PaintPlayerScreen());
    ImageScreen->OnMouseDown = [this](QMouseEvent* e) { ImageScreenMouseDown(e); };
    ImageScreen->OnMouseMove = [this](QMouseEvent* e) { ImageScreenMouseMove(e); };
    ImageScreen->OnMouseUp = [this](QMouseEvent*) { ImageScreenMouseUp(); };
    ImageScreen->OnDoubleClick = [this](QMouseEvent*) { close(); };

    SetupPlayerDisplay(Display, font());
    // The screen picture under the display takes the mouse.
    DisplayView = new PictureView(this, &Display.Bitmap);
    DisplayView->setAttribute(Qt::WA_TransparentForMouseEvents);
    DisplayView->setGeometry(QRect(PlayerDisplayPosition, Display.Bitmap.size()));

    ImagePlayerBar = new MouseLabel(this);
    ImagePlayerBar->setGeometry(0, ScreenPictureHeight, WindowWidth, BarHeight);
    ImagePlayerBar->setPixmap(PaintPlayerBar());
    ImagePlayerBar->setStyle(hintStyle_);
    ImagePlayerBar->setToolTipDuration(HintDisplayTime);
    ImagePlayerBar->OnMouseMove = [this](QMouseEvent* e) { ImagePlayerBarMouseMove(e); };

    auto button = [this](QRect geometry, const QString& hint, const QPixmap& normal,
                         const QPixmap& hover) {
        auto* image = new PictureButton(this, geometry, hint);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->setStyle(hintStyle_);
        image->setToolTipDuration(HintDisplayTime);
        image->SetPictures(normal, hover);
        image->OnMouseMove = [this, image](QMouseEvent*) { ShowHover(image); };
        return image;
    };
    ImagePlay = button({20, 180, 24, 20}, "Play", pictures.ImagePPlay1, pictures.ImagePPlay2);
    ImagePause = button({58, 180, 24, 20}, "Pause", pictures.ImagePPause1, pictures.ImagePPause2);
    ImageStop = button({96, 180, 24, 20}, "Stop", pictures.ImagePStop1, pictures.ImagePStop2);
    for (PictureButton* image : {ImagePlay, ImagePause, ImageStop})
        image->OnMouseDown = [image](QMouseEvent*) { image->Press(); };
    ImagePlay->OnMouseUp = [this](QMouseEvent*) {
        ImagePlay->Release();
        ImagePlayMouseUp();
    };
    ImagePause->OnMouseUp = [this](QMouseEvent*) {
        ImagePause->Release();
        ImagePauseMouseUp();
    };
    ImageStop->OnMouseUp = [this](QMouseEvent*) {
        ImageStop->Release();
        ImageStopMouseUp();
    };

    ImagePos = button({PosStart, PosTop, 6, 12}, "Playback Position", pictures.ImageHandle1,
                      pictures.ImageHandle2);
    ImagePos->OnMouseDown = [this](QMouseEvent* e) { ImagePosMouseDown(e); };
    ImagePos->OnMouseMove = [this](QMouseEvent* e) { ImagePosMouseMove(e); };
    ImagePos->OnMouseUp = [this](QMouseEvent*) { ImagePosMouseUp(); };
    ImageVol = button({VolEnd, VolTop, 6, 12}, "Playback Volume", pictures.ImageHandle1,
                      pictures.ImageHandle2);
    ImageVol->OnMouseDown = [this](QMouseEvent* e) { ImageVolMouseDown(e); };
    ImageVol->OnMouseMove = [this](QMouseEvent* e) { ImageVolMouseMove(e); };
    ImageVol->OnMouseUp = [this](QMouseEvent*) { Player.Dragging = false; };

    ImageClose = button({263, 0, 10, 11}, "Close", pictures.ImageClose1, pictures.ImageClose2);
    ImageClose->OnClick = [this] { close(); };

    Timer1 = new QTimer(this);
    Timer1->setInterval(33);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    DrawDisplay(DisplayForm::Idle);
}

void TFormPlayer::DrawDisplay(DisplayForm form) {
    PlayerDisplayInputs inputs;
    inputs.Form = form;
    inputs.Settings = &settings_;
    inputs.CurrentFile = &control_.CurrentFile();
    inputs.PositionSeconds = Player.PositionSeconds;
    inputs.LengthSeconds = Player.LengthSeconds;
    DrawPlayerDisplay(Display, inputs);
    DisplayView->ShowPicture();
}

void TFormPlayer::PlayCurrentFile() {
    const PlayerControl::PlayRequest request = control_.PlayCurrentFile();
    if (request == PlayerControl::PlayRequest::NoAnswer)
        ShowMessageBox(this, ShownText(NoAnswerText(FileNameOf(control_.CurrentFile())) + "."));
    if (request != PlayerControl::PlayRequest::Open)
        return;
    show();
    raise();
    OpenAndPlay();
}

void TFormPlayer::OpenAndPlay() {
    // A file that does not open has no length: the display shows 00:00:00 for it.
    Player.LengthBytes = control_.OpenAndPlay();
    Player.LengthSeconds = std::max(0.0, control_.Seconds(Player.LengthBytes));
    Player.PositionBytes = 0;
    Player.PositionSeconds = 0;
    RestoreNormalPictures();
    Player.BytesPerPixel = static_cast<float>(double(Player.LengthBytes) / (PosEnd - PosStart));
    Player.SeekTarget = -1;
    SetPosLeft(PosStart);
    const float volume = control_.Volume();
    ImageVol->move(
        std::clamp(RoundHalfEven(std::max(0.0f, volume) * 92.0) + VolStart, VolStart, VolEnd),
        VolTop);
}

void TFormPlayer::pmenuPlayClick() {
    if (!session_.IsRecording)
        PlayCurrentFile();
}

void TFormPlayer::pmenuStopClick() {
    control_.MenuStop();
}

void TFormPlayer::Timer1Timer() {
    // Nobody sees an idle picture drawn while hidden; showing the window draws it anew.
    if (!session_.IsPlaying && isVisible())
        DrawDisplay(DisplayForm::Idle);
    switch (control_.Poll()) {
    case PlayerControl::Activity::Ended:
        SetPosLeft(PosStart);
        DrawDisplay(DisplayForm::Idle);
        break;
    case PlayerControl::Activity::Playing:
        control_.ReadSpectrum(Display.Spectrum);
        DrawDisplay(DisplayForm::Playing);
        Player.PositionBytes = control_.Position().value_or(0);
        if (Player.SeekTarget == -1 && Player.BytesPerPixel > 0)
            SetPosLeft(RoundHalfEven(double(Player.PositionBytes) / Player.BytesPerPixel) +
                       PosStart);
        Player.PositionSeconds = std::max(0.0, control_.Seconds(Player.PositionBytes));
        break;
    case PlayerControl::Activity::Other:
        break;
    }
}

void TFormPlayer::SetPosLeft(int left) {
    // Past the end would put the knob off its groove; the end is 246.
    // The tick sets it thirty times a second; even a move to where it is costs geometry work.
    const QPoint at(std::clamp(left, PosStart, PosEnd), PosTop);
    if (ImagePos->pos() != at)
        ImagePos->move(at);
}

void TFormPlayer::ImagePlayMouseUp() {
    control_.Play();
}

void TFormPlayer::ImagePauseMouseUp() {
    control_.Pause();
}

void TFormPlayer::ImageStopMouseUp() {
    control_.Stop();
}

void TFormPlayer::ShowSeekHint(QMouseEvent* event) {
    const QString hint = QString::fromStdString(DurationText(control_.Seconds(
        static_cast<std::uint64_t>(std::max<std::int64_t>(Player.SeekTarget, 0)))));
    ImagePos->setToolTip(hint);
    QToolTip::showText(event->globalPosition().toPoint(), hint, ImagePos);
}

void TFormPlayer::ImagePosMouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        Player.Dragging = false;
        return;
    }
    Player.Dragging = true;
    Player.DragStartX = RoundHalfEven(event->position().x());
    const std::optional<std::uint64_t> position = control_.Position();
    // No stream: nothing to seek to, so the release leaves the position alone.
    Player.SeekTarget = position ? static_cast<std::int64_t>(*position) : -1;
    if (Player.SeekTarget >= 0)
        ShowSeekHint(event);
}

void TFormPlayer::ImagePosMouseMove(QMouseEvent* event) {
    ShowHover(ImagePos);
    if (!Player.Dragging)
        return;
    SetPosLeft(ImagePos->x() + RoundHalfEven(event->position().x()) - Player.DragStartX);
    Player.SeekTarget = std::llrint((ImagePos->x() - PosStart) * double(Player.BytesPerPixel));
    ShowSeekHint(event);
}

void TFormPlayer::ImagePosMouseUp() {
    ImagePos->setToolTip(QString());
    QToolTip::hideText();
    Player.Dragging = false;
    if (Player.SeekTarget >= 0)
        control_.SetPosition(static_cast<std::uint64_t>(Player.SeekTarget));
    Player.SeekTarget = -1;
}

void TFormPlayer::ImageVolMouseDown(QMouseEvent* event) {
    Player.Dragging = event->button() == Qt::LeftButton;
    if (Player.Dragging)
        Player.DragStartX = RoundHalfEven(event->position().x());
}

void TFormPlayer::ImageVolMouseMove(QMouseEvent* event) {
    ShowHover(ImageVol);
    if (!Player.Dragging)
        return;
    const int left = std::clamp(
        ImageVol->x() + RoundHalfEven(event->position().x()) - Player.DragStartX, VolStart, VolEnd);
    ImageVol->move(left, VolTop);
    // In double, so that the far end gives exactly 1.0.
    control_.SetVolume(static_cast<float>((left - VolStart) * (1.0 / (VolEnd - VolStart))));
}

void TFormPlayer::ShowHover(PictureButton* image) {
    image->ShowHover();
    HoverActive = true;
}

void TFormPlayer::RestoreNormalPictures() {
    if (!HoverActive)
        return;
    for (PictureButton* image : {ImagePlay, ImagePause, ImageStop, ImagePos, ImageVol, ImageClose})
        image->ShowNormal();
    HoverActive = false;
}

void TFormPlayer::ImageScreenMouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)
        return;
    // The window system moves the window as by its caption; where it offers no such move, the
    // window follows the mouse until the button is let go.
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove())
        return;
    movingByHand_ = true;
    moveStartMouse_ = event->globalPosition().toPoint();
    moveStartWindow_ = pos();
}

void TFormPlayer::ImageScreenMouseMove(QMouseEvent* event) {
    if (movingByHand_) {
        move(moveStartWindow_ + event->globalPosition().toPoint() - moveStartMouse_);
        return;
    }
    RestoreNormalPictures();
}

void TFormPlayer::ImageScreenMouseUp() {
    movingByHand_ = false;
}

void TFormPlayer::ImagePlayerBarMouseMove(QMouseEvent* event) {
    RestoreNormalPictures();
    ImagePlayerBar->setToolTip(QString());
    const QPoint at = ImagePlayerBar->mapTo(this, event->position().toPoint());
    if (PosTop + 2 < at.y() && at.y() < PosTop + 20 && PosStart < at.x() && at.x() < PosEnd)
        ImagePlayerBar->setToolTip("Playback Position");
    if (VolTop + 2 < at.y() && at.y() < VolTop + 20 && VolStart - 1 < at.x() && at.x() < VolEnd + 1)
        ImagePlayerBar->setToolTip("Playback Volume");
}

void TFormPlayer::showEvent(QShowEvent* event) {
    if (!placed_ && placeOn_ != nullptr) {
        QRect centred(QPoint(), frameGeometry().size());
        centred.moveCenter(placeOn_->frameGeometry().center());
        move(centred.topLeft());
    }
    placed_ = true;
    DrawDisplay(DisplayForm::Idle);
    QWidget::showEvent(event);
}

void TFormPlayer::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormPlayer::FormClose() {
    control_.Close();
    movingByHand_ = false;
}
