#include "ui/main/main.h"

#include "app/HotKeyIds.h"
#include "app/LevelControl.h"
#include "engine/OutputFormats.h"
#include "platform/DesktopSession.h"
#include "platform/PortalRequest.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/MouseLabel.h"
#include "ui/common/PictureView.h"
#include "ui/common/PlainText.h"
#include "ui/common/TextWidth.h"
#include "ui/main/FileListHandlers.h"
#include "ui/main/Images.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int ClientWidth = 548;
constexpr int FileListHeight = 280;

QColor ToQColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The status tick gives the labels the same texts, colours and hints most of the time; a
// label is touched only when one changes, so an unchanged one costs no layout and no repaint.
void SetTextColour(QLabel* label, const QColor& colour) {
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void ShowText(QLabel* label, const QString& text) {
    if (label->text() == text)
        return;
    label->setText(text);
    label->adjustSize();
}

void SetHint(QWidget* widget, const QString& hint) {
    if (widget->toolTip() != hint)
        widget->setToolTip(hint);
}

template <class Label = QLabel>
Label* MakeLabel(QWidget* parent, int left, int top, const QString& hint) {
    auto* label = new Label(parent);
    PlainLabel(label);
    label->move(left, top);
    label->setToolTip(hint);
    return label;
}

template <class Picture = QLabel>
Picture* MakePicture(QWidget* parent, int left, int top, int width, int height) {
    auto* picture = new Picture(parent);
    picture->setGeometry(left, top, width, height);
    return picture;
}

QFont ArialPixels(int pixels, bool bold) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

TForm1::TForm1(std::string settingsFile, std::unique_ptr<WaveIn> device, Recorder::TickSource tick)
    : core_(std::move(settingsFile), *this, std::move(device), std::move(tick)),
      hotKeys_([this](int id) { HotKeyPressed(id); }),
      portalKeys_({[this](const QString& id) { PortalKeyPressed(id); },
                   [this](const auto& triggers) { PortalKeysBound(triggers); },
                   [this] { TellNoGlobalKeys(); }}),
      controlBus_({[this] { HotKeyPressed(HotKeyRecord); }, [this] { HotKeyPressed(HotKeyPause); },
                   [this] { HotKeyPressed(HotKeyStop); }, [this] { return DesktopState(); },
                   [this] { HotKeyPressed(HotKeyMarker); }}) {
    CreateControls();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::CreateControls() {
    setWindowTitle(QString::fromStdString(BaseTitle));
    // A single fixed border with the system menu and the minimise box only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);

    auto* client = new MouseLabel(this);
    client->OnMouseMove = [this](QMouseEvent*) { ResetButtonImages(); };
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(224, 232, 232));
    client->setPalette(palette);
    setCentralWidget(client);

    ImageStatus = MakePicture<MouseLabel>(client, 0, 0, 546, 30);
    LabSource = MakeLabel<MouseLabel>(client, 12, 8, "");
    LabSource->setCursor(Qt::PointingHandCursor);
    LabSource->OnClick = [this] { LabSourceClick(); };
    ImageFormat = MakePicture<MouseLabel>(client, 170, 7, 16, 16);
    ImageFormat->setToolTip("Format Settings");
    ImageFormat->setCursor(Qt::PointingHandCursor);
    LabFormat = MakeLabel<MouseLabel>(client, 195, 8, "Format Settings");
    LabFormat->setCursor(Qt::PointingHandCursor);

    LabStatus0 = MakeLabel(client, 351, 7, "");
    LabStatus = MakeLabel(client, 350, 6, "Program Status");
    for (QLabel* label : {LabStatus0, LabStatus})
        label->setFont(ArialPixels(15, true));
    LabTime0 = MakeLabel(client, 440, 5, "");
    LabTime = MakeLabel(client, 439, 4, "Recording Time");
    for (QLabel* label : {LabTime0, LabTime}) {
        label->setFont(ArialPixels(21, false));
        label->setText("00:00:00");
        label->adjustSize();
    }
    SetTextColour(LabTime0, QColor(192, 192, 192));
    SetTextColour(LabTime, QColor(0, 0, 128));
    // The shadows lie behind their labels.
    LabStatus->raise();
    LabTime->raise();

    ImageScreen1 = MakePicture<MouseLabel>(client, 0, 31, 274, 163);
    ImageScreen2 = MakePicture<MouseLabel>(client, 275, 31, 273, 163);
    for (MouseLabel* area : {ImageStatus, ImageScreen1, ImageScreen2})
        area->OnMouseMove = [this](QMouseEvent*) { ResetButtonImages(); };
    WaveScreen = new PictureView(client, nullptr);
    WaveScreen->setGeometry(12, 41, 250, 140);
    StreamScreen = new PictureView(client, nullptr);
    StreamScreen->setGeometry(286, 41, 250, 140);
    // The screens' frames below them take the mouse.
    for (PictureView* view : {WaveScreen, StreamScreen})
        view->setAttribute(Qt::WA_TransparentForMouseEvents);

    ImageControlRecord = MakePicture<MouseLabel>(client, 0, 193, 546, 43);
    ImageControlRecord->OnMouseMove = [this](QMouseEvent* e) { ImageControlRecordMouseMove(e); };
    ImageVolBar = MakePicture(client, VolBarLeft, 212, VolBarWidth(KnobHighest), 6);
    ImageVolBar->setToolTip("Recording Volume");
    ImageVol = MakePicture<MouseLabel>(client, KnobHighest, 206, 9, 18);
    ImageVol->setToolTip("Recording Volume");
    ImageVol->OnMouseDown = [this](QMouseEvent* e) { ImageVolMouseDown(e); };
    ImageVol->OnMouseMove = [this](QMouseEvent* e) { ImageVolMouseMove(e); };
    ImageVol->OnMouseUp = [this](QMouseEvent* e) { ImageVolMouseUp(e); };
    CreateButtons(client);
    ImageFolder = MakePicture<MouseLabel>(client, 16, 234, 19, 17);
    ImageFolder->setToolTip("Output Folder");
    ImageFolder->setCursor(Qt::PointingHandCursor);
    LabFile = MakeLabel<MouseLabel>(client, 36, 235, "Output Folder");
    LabFile->setCursor(Qt::PointingHandCursor);
    ImageList = MakePicture(client, 0, 251, 547, 280);

    for (MouseLabel* clickable : {LabFormat, ImageFormat})
        clickable->OnClick = [this] { LabFormatClick(); };

    CreateMenus();
    CreatePopupMenu();

    TimerRec = new QTimer(this);
    TimerRec->setInterval(33);
    connect(TimerRec, &QTimer::timeout, this, [this] { TimerRecTimer(); });
    TimerStatus = new QTimer(this);
    TimerStatus->setInterval(500);
    connect(TimerStatus, &QTimer::timeout, this, [this] { UpdateStatus(); });
}

void TForm1::FormCreate() {
    // Qt reports minimise and restore in changeEvent and draws every widget double-buffered.
    const MaybeMessage folderError = core_.Create();
    menuClipDetect->setChecked(core_.Settings.ClippingDetection);
    menuSplit->setChecked(core_.Settings.SplitChannels);
    if (core_.Created()) {
        platform::portal::RegisterApp(QStringLiteral(SONVERA_APP_ID));
        RegisterHotKeys();
        StartDesktopLink();
        core_.Screens.Surface = this;
    }
    // Also when creation stops early, so the window keeps its proper size.
    ApplyWindowHeight();
    menuRecDevice->setVisible(!core_.Flags.VistaMode);
    if (core_.Created()) {
        core_.StartAudio();
        ScreenPPI = logicalDpiY();
    }
    TimerRec->start();
    TimerStatus->start();
    if (folderError)
        QTimer::singleShot(0, this, [this, folderError] { ShowMessage(*folderError); });
}

void TForm1::RegisterHotKeys() {
    const struct {
        int id;
        platform::HotKey key;
        Qt::Key qtKey;
    } keys[] = {{HotKeyRecord, platform::HotKey::F5, Qt::Key_F5},
                {HotKeyPause, platform::HotKey::F7, Qt::Key_F7},
                {HotKeyStop, platform::HotKey::F9, Qt::Key_F9},
                {HotKeyMarker, platform::HotKey::F8, Qt::Key_F8}};
    // A grab under XWayland sees only the keys of X11 windows: there the desktop's portal binds
    // them, and the window's own keys stand in until it has.
    const bool wayland = platform::WaylandSession();
    for (const auto& key : keys) {
        // Where the desktop offers no grab (or another program holds the key), the window's
        // own key does the same while it has the focus.
        if (wayland || !hotKeys_.Register(key.id, key.key))
            AddWindowKey(key.id, key.qtKey);
    }
    if (wayland)
        BindPortalKeys();
}

void TForm1::HotKeyPressed(int id) {
    if (id == HotKeyRecord)
        core_.session.StartRecording();
    else if (id == HotKeyPause)
        core_.session.PauseResume();
    else if (id == HotKeyStop)
        core_.Stop();
    else if (id == HotKeyMarker)
        core_.AddMarker();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - frameGeometry().center() + pos());
        FormShow();
    }
}

void TForm1::FormShow() {
    core_.RescanAndSort();
    UpdateFormatLabel();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::CloseWithoutAsking() {
    // An open message box runs a loop of its own: end it (its answer is "No"), then close from
    // the main loop, so a kill never waits for someone to answer.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(0, this, [this] { CloseWithoutAsking(); });
        return;
    }
    askBeforeClosing_ = false;
    close();
}

bool TForm1::FormCloseQuery() {
    const bool ask = std::exchange(askBeforeClosing_, true);
    if (core_.State().IsRecording && ask &&
        !AskConfirm(this, "Are you sure you want to interrupt recording?"))
        return false;
    // A conversion lets events run; closing in one of them ends it first.
    if (CancelConversion)
        CancelConversion();
    // Closing by a signal must not wait on a message box nobody may see: what there is to tell
    // goes to the session's log only.
    const MaybeMessage failure = core_.Finish(!ask);
    if (ask && failure)
        ShowMessage(*failure);
    if (!ask) {
        std::vector<UserMessage> untold = core_.TakeUntoldMessages();
        if (failure)
            untold.push_back(*failure);
        for (const UserMessage& message : untold)
            LogMessage(QString::fromStdString(message.text));
    }
    TimerRec->stop();
    TimerStatus->stop();
    return true;
}

void TForm1::FormDestroy() {
    for (const HotKeyName& name : HotKeyNames)
        hotKeys_.Unregister(name.id);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        monitor_.Minimized = true;
    } else if (monitor_.Minimized) {
        monitor_.ApplicationTitle = BaseTitle;
        monitor_.Minimized = false;
        setWindowTitle(QString::fromStdString(BaseTitle));
    }
}

void TForm1::LabFormatClick() {
    ChangeFormat();
}

void TForm1::TimerRecTimer() {
    if (core_.PollTick()) {
        LabTime->setText(QString::fromStdString(FormatElapsed(core_.State().Elapsed)));
        LabTime0->setText(LabTime->text());
    }
}

void TForm1::UpdateStatus() {
    core_.WatchTick();
    PublishDesktopState();
    PlaceLevelKnob();
    const StatusView view = UpdateStatusMonitor(
        monitor_, {core_.State(), core_.State().IsPlaying ? core_.Player.PositionSeconds() : 0.0,
                   core_.Library.CurrentFile, core_.Settings.OutputFolder, core_.Watch.SourceText,
                   core_.State().IsRecording ? core_.LostAudioMs() : 0, core_.UnattendedStatus()});
    if (view.ResetTime || view.PlayerTime) {
        const QString time = QString::fromStdString(view.PlayerTime.value_or("00:00:00"));
        LabTime->setText(time);
        LabTime0->setText(time);
    }
    SetTextColour(LabStatus0, ToQColor(view.ShadowColour));
    SetTextColour(LabStatus, ToQColor(view.StatusColour));
    SetHint(LabStatus, QString::fromStdString(view.StatusHint));
    for (QLabel* label : {LabStatus, LabStatus0})
        ShowText(label, QString::fromStdString(monitor_.StatusText));
    ShowText(LabFile, ShownText(view.FileText));
    SetTextColour(LabFile, ToQColor(view.FileColour));
    SetHint(LabSource, PlainHint(ShownText(view.SourceHint)));
    const QString source = ShownText(view.SourceText);
    if (source != sourceText_) {
        sourceText_ = source;
        ShowText(LabSource, CutToWidth(source, QFontMetrics(font()), 150));
    }
    setWindowTitle(ShownText(view.Caption));
}

void TForm1::ShowCurrentFile() {
    ShowText(LabFile, QString::fromStdString(
                          FileLabelText(core_.Library.CurrentFile, core_.Settings.OutputFolder)));
}

void TForm1::UpdateFormatLabel() {
    const OutputFormat& format = SelectedFormat(core_.Settings);
    LabFormat->setFont(font());
    LabFormat->setText(QString::fromStdString(format.Label(core_.Settings)));
    LabFormat->adjustSize();
    // A long label (FLAC's) gets a smaller font rather than running under the status panel.
    ShrinkToWidth(LabFormat, LabStatus->x() - LabFormat->x());
    if (!skins_)
        return;
    ImageFormat->setPixmap(skins_->FormatIcons.at(format.Id));
}

void TForm1::ChangeFormat() {
    if (core_.State().IsRecording || core_.State().IsPlaying)
        return;
    const std::int32_t channels = core_.Settings.Channels;
    if (ShowFormatSettings && !ShowFormatSettings())
        return;
    UpdateFormatLabel();
    core_.ReopenCaptureAfterFormatChange(channels);
}

void TForm1::ApplyWindowHeight() {
    const int base = ScreenPPI <= 96 ? 248 : 286;
    const int list = core_.Settings.FileList ? FileListHeight : 0;
    setFixedSize(ClientWidth, base + list + (menuWidget() ? menuWidget()->sizeHint().height() : 0));
    centralWidget()->setFixedSize(ClientWidth, base + list);
}

void TForm1::ToggleFileList() {
    core_.Settings.FileList = !core_.Settings.FileList;
    ApplyWindowHeight();
}

void TForm1::ShowMessage(const UserMessage& message) {
    const QString text = ShownText(message.text);
    if (message.kind == UserMessage::Kind::Error)
        ShowErrorBox(this, text);
    else
        ShowMessageBox(this, text);
}

void TForm1::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void TForm1::RunLater(std::function<void()> call) {
    QTimer::singleShot(0, this, std::move(call));
}

void TForm1::ShowBusy(bool busy) {
    if (!busy)
        busy_.reset();
    else if (!busy_)
        busy_.emplace();
}

void TForm1::ClearStatusText() {
    monitor_.StatusText.clear();
    LabStatus->clear();
    LabStatus0->clear();
}

void TForm1::RestartProgram() {
    TimerStatus->stop();
    CloseWithoutAsking();
}

void TForm1::ShowScreen(const QImage& bitmap, QPoint at) {
    PictureView* view = at == core_.Screens.WavePosition ? WaveScreen : StreamScreen;
    view->SetPicture(&bitmap);
}
