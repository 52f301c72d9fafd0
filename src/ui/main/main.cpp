#include "ui/main/main.h"

#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "library/RecentFolders.h"
#include "library/SettingsFile.h"
#include "platform/Locale.h"
#include "platform/SystemCommand.h"
#include "ui/main/FormatLabel.h"
#include "ui/common/TextWidth.h"
#include "ui/main/ScreenView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <cmath>
#include <filesystem>

namespace {

constexpr int ClientWidth = 548;
constexpr int FileListHeight = 280;

QColor Rgb(int red, int green, int blue) {
    return QColor(red, green, blue);
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, int left, int top, const QString& hint) {
    auto* label = new QLabel(parent);
    label->move(left, top);
    label->setToolTip(hint);
    return label;
}

QLabel* MakePicture(QWidget* parent, int left, int top, int width, int height) {
    auto* picture = new QLabel(parent);
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

TForm1::TForm1(std::string settingsFile)
    : settingsFile(std::move(settingsFile)), hotKeys([this](int id) { HotKeyPressed(id); }) {
    CreateControls();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::CreateControls() {
    setWindowTitle(BaseTitle);
    // A single fixed border with the system menu and the minimise box only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont windowFont("MS Sans Serif");
    windowFont.setPointSize(8);
    setFont(windowFont);

    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, Rgb(224, 232, 232));
    client->setPalette(palette);
    setCentralWidget(client);

    ImageStatus = MakePicture(client, 0, 0, 546, 30);
    LabSource = MakeLabel(client, 12, 8, "");
    LabSource->setCursor(Qt::PointingHandCursor);
    ImageFormat = MakePicture(client, 170, 7, 16, 16);
    ImageFormat->setToolTip("Format Settings");
    ImageFormat->setCursor(Qt::PointingHandCursor);
    LabFormat = MakeLabel(client, 195, 8, "Format Settings");
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
    SetTextColour(LabTime0, Rgb(192, 192, 192));
    SetTextColour(LabTime, Rgb(0, 0, 128));
    // The shadows lie behind their labels.
    LabStatus->raise();
    LabTime->raise();

    ImageScreen1 = MakePicture(client, 0, 31, 274, 163);
    ImageScreen2 = MakePicture(client, 275, 31, 273, 163);
    WaveScreen = new ScreenView(client, nullptr);
    WaveScreen->setGeometry(12, 41, 250, 140);
    StreamScreen = new ScreenView(client, nullptr);
    StreamScreen->setGeometry(286, 41, 250, 140);

    ImageControlRecord = MakePicture(client, 0, 193, 546, 43);
    ImageFolder = MakePicture(client, 16, 234, 19, 17);
    ImageFolder->setToolTip("Output Folder");
    ImageFolder->setCursor(Qt::PointingHandCursor);
    LabFile = MakeLabel(client, 36, 235, "Output Folder");
    LabFile->setCursor(Qt::PointingHandCursor);
    ImageList = MakePicture(client, 0, 251, 547, 280);

    for (QLabel* clickable : {LabFormat, ImageFormat})
        clickable->installEventFilter(this);

    TimerRec = new QTimer(this);
    TimerRec->setInterval(33);
    connect(TimerRec, &QTimer::timeout, this, [this] { TimerRecTimer(); });
    TimerStatus = new QTimer(this);
    TimerStatus->setInterval(500);
    connect(TimerStatus, &QTimer::timeout, this, [this] { UpdateStatus(); });
}

void TForm1::FormCreate() {
    // 1. The minimise and restore notifications arrive in changeEvent. 2, 13. Qt draws every
    // widget double-buffered.
    // 4. The sound server reports its devices as the newer family does.
    VistaMode = true;
    // 5.
    ReadSettingsFile(settingsFile, Settings, platform::DecimalSeparator());
    // 7, 8.
    std::string error;
    const bool folderUsable = SettleOutputFolder(Settings, Library, error);
    if (folderUsable) {
        // 9.
        RegisterHotKeys();
        // 10.
        Screens.Surface = this;
        SetupScreens(Screens);
    }
    // 11. Also when creation stops early, so the window keeps its proper size.
    ApplyWindowHeight();
    if (folderUsable) {
        // 14. The program goes on whatever these return.
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        wmaPlugin = BASS_PluginLoad("basswma.dll", 0);
        // 15, 16.
        if (WaveDevice.GetNumDevs() > 0) {
            InitSource();
        } else if (VistaMode) {
            ShowMessage("Please, select and enable an audio source!");
            platform::StartSystemCommand("control mmsys.cpl,,1");
        }
        // 17.
        ScreenPPI = logicalDpiY();
        created = true;
    }
    TimerRec->start();
    TimerStatus->start();
    if (!folderUsable)
        QTimer::singleShot(0, this, [this, error] { ShowError(error); });
}

void TForm1::RegisterHotKeys() {
    const struct {
        int id;
        platform::HotKey key;
        Qt::Key qtKey;
    } keys[] = {{101, platform::HotKey::F5, Qt::Key_F5},
                {102, platform::HotKey::F7, Qt::Key_F7},
                {103, platform::HotKey::F9, Qt::Key_F9}};
    for (const auto& key : keys) {
        // Where the desktop offers no grab (or another program holds the key), the window's
        // own key does the same while it has the focus.
        if (hotKeys.Register(key.id, key.key))
            continue;
        auto* shortcut = new QShortcut(QKeySequence(key.qtKey), this);
        const int id = key.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { HotKeyPressed(id); });
    }
}

void TForm1::HotKeyPressed(int id) {
    switch (id) {
    case 101:
        StartRecording();
        break;
    case 102:
        PauseResume();
        break;
    case 103:
        StopAll();
        break;
    default:
        break;
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown) {
        shown = true;
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - frameGeometry().center() + pos());
        FormShow();
    }
}

void TForm1::FormShow() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ScanOutputFolder(Settings.OutputFolder, Library);
    QApplication::restoreOverrideCursor();
    SortFileList(Settings.Sort, Library.CurrentFile, Library);
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
    askBeforeClosing = false;
    close();
}

bool TForm1::FormCloseQuery() {
    const bool ask = std::exchange(askBeforeClosing, true);
    if (session.state.IsRecording && ask &&
        QMessageBox::question(this, "Confirm", "Are you sure you want to interrupt recording?",
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    session.StopRecording();
    if (session.state.IsPlaying) {
        StopPlayer();
        session.state.IsPlaying = false;
    }
    CloseCapture();
    const auto failure = WriteSettingsFile(settingsFile, Settings, platform::DecimalSeparator());
    // Closing by a signal must not wait on a message box nobody may see.
    if (failure && ask)
        ShowError(*failure);
    TimerRec->stop();
    TimerStatus->stop();
    return true;
}

void TForm1::FormDestroy() {
    hotKeys.Unregister(101);
    hotKeys.Unregister(102);
    hotKeys.Unregister(103);
    BASS_RecordFree();
    BASS_Free();
    BASS_PluginFree(wmaPlugin);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        Minimized = true;
    } else if (Minimized) {
        ApplicationTitle = BaseTitle;
        Minimized = false;
        setWindowTitle(BaseTitle);
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == LabFormat || watched == ImageFormat) &&
        event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            ChangeFormat();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::TimerRecTimer() {
    const SessionState& s = session.state;
    Ring.PollCapture(Settings, Block, {s.IsRecording, s.IsPaused, s.IsPlaying}, *this);
    if (session.UpdateElapsed()) {
        LabTime->setText(QString::fromStdString(FormatElapsed(session.state.Elapsed)));
        LabTime0->setText(LabTime->text());
    }
}

void TForm1::UpdateStatus() {
    const SessionState& s = session.state;
    // 1. The taskbar title; each later rule overrides the earlier ones.
    ApplicationTitle = BaseTitle;
    if (Minimized)
        ApplicationTitle = "Monitoring";
    if (Minimized && s.IsPlaying)
        ApplicationTitle = "Playing";
    if (Minimized && s.IsRecording)
        ApplicationTitle = QString::fromStdString(FormatElapsed(s.Elapsed)) + " Stop-F9";
    if (Minimized && s.IsPaused)
        ApplicationTitle = "Pause";
    // 2.
    if (!s.IsPlaying && !s.IsRecording) {
        LabTime->setText("00:00:00");
        LabTime0->setText("00:00:00");
    }
    // 3, 4. Device watch.
    if (created) {
        // A device that ended on its own (its source vanished) is closed, so the watch sees
        // the capture closed and reopens it when the device is back.
        if (WaveDevice.DeviceLost())
            Ring.CloseCapture();
        WatchDevices(*this, Watch, VistaMode);
    }
    // 6. Status words.
    SetTextColour(LabStatus0, BlinkPhase ? Rgb(192, 192, 192) : Rgb(160, 160, 160));
    StatusText = "Monitoring";
    QColor statusColour = Rgb(80, 80, 200);
    if (s.IsRecording) {
        StatusText = "Recording";
        statusColour = Rgb(200, 80, 80);
    }
    if (s.IsPlaying) {
        StatusText = "Playing";
        statusColour = Rgb(80, 150, 100);
        const QString position = QString::fromStdString(FormatElapsed(
            static_cast<std::uint32_t>(std::nearbyint(PlayerPositionSeconds() * 1000.0))));
        LabTime->setText(position);
        LabTime0->setText(position);
    }
    if (s.IsPaused)
        StatusText = "Pause";
    SetTextColour(LabStatus, statusColour);
    for (QLabel* label : {LabStatus, LabStatus0}) {
        label->setText(StatusText);
        label->adjustSize();
    }
    // 7. The file label.
    LabFile->setText(QString::fromStdString(Library.CurrentFile.empty() ? Settings.OutputFolder
                                                                        : Library.CurrentFile));
    LabFile->adjustSize();
    QColor fileColour = Qt::black;
    if (s.IsPlaying)
        fileColour = BlinkPhase ? Rgb(0, 128, 0) : Rgb(0, 80, 0);
    if (s.IsRecording)
        fileColour = BlinkPhase ? Rgb(150, 0, 0) : Qt::black;
    SetTextColour(LabFile, fileColour);
    // 8. The source label: cut to 150 pixels, no ellipsis.
    QString source = QString::fromStdString(Watch.SourceText);
    LabSource->setToolTip("Audio source: " + source);
    LabSource->setText(CutToWidth(source, QFontMetrics(font()), 150));
    LabSource->adjustSize();
    // 9. The caption; minimised, the window's title is what the taskbar shows.
    QString caption = BaseTitle;
    if (s.IsRecording || s.IsPlaying)
        caption += " - " + QString::fromStdString(
                               std::filesystem::path(Library.CurrentFile).filename().string());
    setWindowTitle(Minimized ? ApplicationTitle : caption);
    // 10.
    if (!s.IsPaused)
        BlinkPhase = !BlinkPhase;
}

void TForm1::UpdateFormatLabel() {
    const FormatLabel label = DescribeFormat(Settings);
    LabFormat->setText(QString::fromStdString(label.text));
    LabFormat->adjustSize();
}

void TForm1::ChangeFormat() {
    if (session.state.IsRecording || session.state.IsPlaying)
        return;
    const std::int32_t channels = Settings.Channels;
    UpdateFormatLabel();
    CloseCapture();
    OpenCapture();
    if (Settings.Channels != channels)
        ClearScreens();
}

void TForm1::ApplyWindowHeight() {
    const int base = ScreenPPI <= 96 ? 248 : 286;
    setFixedSize(ClientWidth, base + (Settings.FileList ? FileListHeight : 0) +
                                  (menuWidget() ? menuWidget()->sizeHint().height() : 0));
    centralWidget()->setFixedSize(ClientWidth, base + (Settings.FileList ? FileListHeight : 0));
}

void TForm1::ToggleFileList() {
    Settings.FileList = !Settings.FileList;
    ApplyWindowHeight();
}
