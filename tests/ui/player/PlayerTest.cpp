// The player against the test sound server's null sink: playing to the end, pause and resume,
// stop and play again, the main window's pause and stop, seeking, the knobs' travel, a file
// that does not open, a file longer than 2^31 bytes, and the window's own gestures.

#include "PlayerFixture.h"
#include "library/ListTexts.h"
#include "ui/common/PictureView.h"

#include <QStyle>
#include <QToolTip>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

using namespace player_test;

namespace {

using PlayerTest = PlayerFixture;

constexpr int PosTop = 166;
constexpr int VolTop = 182;

TEST_F(PlayerTest, PlaysTheCurrentFileToItsEndWhereTheStreamStaysOpenForPlay) {
    player->PlayCurrentFile();
    EXPECT_TRUE(player->isVisible());
    ASSERT_TRUE(state().IsPlaying);
    ASSERT_NE(stream(), 0u);
    EXPECT_EQ(player->Player.LengthBytes, 44100u * 6);
    EXPECT_DOUBLE_EQ(player->Player.LengthSeconds, 1.5);
    EXPECT_FLOAT_EQ(player->Player.BytesPerPixel, 44100 * 6 / 227.0f);

    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.5; }));
    EXPECT_GT(player->ImagePos->x(), 19);
    EXPECT_EQ(player->ImagePos->x(),
              std::lrint(player->Player.PositionBytes / player->Player.BytesPerPixel) + 19);

    ASSERT_TRUE(TickUntil([&] { return !state().IsPlaying; }));
    EXPECT_EQ(player->ImagePos->x(), 19);
    EXPECT_NE(stream(), 0u) << "the ended stream stays open";

    // PlayCurrentFile opens it anew; the player's Play restarts the open stream.
    Click(player->ImagePlay);
    EXPECT_TRUE(state().IsPlaying);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);
    EXPECT_LT(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), 44100u * 4);
}

TEST_F(PlayerTest, PauseTogglesAndHoldsTheDisplayPlayRestartsButPlayCurrentFileResumes) {
    player->PlayCurrentFile();
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.4; }));
    Click(player->ImagePause);
    EXPECT_TRUE(state().IsPaused);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PAUSED);
    const QWORD paused = BASS_ChannelGetPosition(stream(), BASS_POS_BYTE);
    const QImage picture = player->Display.Bitmap.copy();
    player->Timer1Timer();
    EXPECT_EQ(player->Display.Bitmap, picture) << "a paused tick draws nothing";

    // Resumed by PlayCurrentFile, from where it stood.
    player->PlayCurrentFile();
    EXPECT_FALSE(state().IsPaused);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);
    EXPECT_GE(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), paused);

    // Pause and resume by the button; then Play while paused starts from the beginning.
    Click(player->ImagePause);
    Click(player->ImagePause);
    EXPECT_FALSE(state().IsPaused);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);
    Click(player->ImagePause);
    Click(player->ImagePlay);
    EXPECT_FALSE(state().IsPaused);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);
    EXPECT_LT(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), paused);
}

TEST_F(PlayerTest, StopKeepsTheStreamAndTheNextTickClearsIsPlaying) {
    player->PlayCurrentFile();
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.5; }));
    Click(player->ImagePause);
    Click(player->ImageStop);
    EXPECT_FALSE(state().IsPaused);
    EXPECT_TRUE(state().IsPlaying) << "until the next tick";
    player->Timer1Timer();
    EXPECT_FALSE(state().IsPlaying);
    EXPECT_EQ(player->ImagePos->x(), 19);
    const QWORD stopped = BASS_ChannelGetPosition(stream(), BASS_POS_BYTE);
    Click(player->ImagePlay);
    EXPECT_TRUE(state().IsPlaying);
    EXPECT_LT(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), stopped);
}

TEST_F(PlayerTest, TheMainWindowsPauseAndStopActOnTheStreamAndStopFreesIt) {
    player->PlayCurrentFile();
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.2; }));
    session.PauseResume();
    EXPECT_TRUE(state().IsPaused);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PAUSED);
    session.PauseResume();
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);

    const HSTREAM playing = stream();
    session.StopAll();
    EXPECT_FALSE(state().IsPlaying);
    EXPECT_EQ(stream(), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(playing), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetLength(playing, BASS_POS_BYTE), BASS_QWORD_ERROR) << "freed";

    // The player's Play has nothing to play until a file is opened again.
    Click(player->ImagePlay);
    player->Timer1Timer();
    EXPECT_FALSE(state().IsPlaying);
    player->PlayCurrentFile();
    EXPECT_NE(stream(), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream()), BASS_ACTIVE_PLAYING);

    // The popup's Stop frees it too; its Play is refused while recording.
    player->pmenuStopClick();
    EXPECT_EQ(stream(), 0u);
    EXPECT_FALSE(state().IsPlaying);
    session.StartRecording();
    player->pmenuPlayClick();
    EXPECT_FALSE(state().IsPlaying);
    session.StopRecording();
    player->pmenuPlayClick();
    EXPECT_TRUE(state().IsPlaying);
}

TEST_F(PlayerTest, ThePlayersButtonsLeaveAPausedRecordingAlone) {
    session.StartRecording();
    session.PauseResume();
    for (PictureButton* button : {player->ImagePlay, player->ImagePause, player->ImageStop}) {
        Click(button);
        EXPECT_TRUE(state().IsPaused) << button->toolTip().toStdString();
        EXPECT_FALSE(state().IsPlaying) << button->toolTip().toStdString();
    }
    player->show();
    player->close();
    EXPECT_TRUE(state().IsPaused);
}

TEST_F(PlayerTest, DraggingThePositionKnobSeeksOnReleaseAndHoldsAtItsEnds) {
    player->PlayCurrentFile();
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.1; }));

    // Past the start: held at 19, target 0.
    DragBy(player->ImagePos, -50, false);
    EXPECT_EQ(player->ImagePos->x(), 19);
    EXPECT_EQ(player->Player.SeekTarget, 0);
    EXPECT_EQ(player->ImagePos->toolTip(), "00:00:00");

    // Past the end: held at 246; a pending target keeps the timer off the knob.
    DragBy(player->ImagePos, 400, false);
    EXPECT_EQ(player->ImagePos->x(), 246);
    const std::int64_t end = std::llrint(227 * double(player->Player.BytesPerPixel));
    EXPECT_EQ(player->Player.SeekTarget, end);
    EXPECT_EQ(player->ImagePos->toolTip(), "00:00:02") << "1.5 s rounds to the even 2";
    player->Timer1Timer();
    EXPECT_EQ(player->ImagePos->x(), 246);

    Send(player->ImagePos, QEvent::MouseButtonRelease, {3, 6}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(player->Player.SeekTarget, -1);
    EXPECT_EQ(player->ImagePos->toolTip(), "");
    ASSERT_TRUE(TickUntil([&] { return !state().IsPlaying; })) << "seeking to the end ends it";
    EXPECT_EQ(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), player->Player.LengthBytes);
}

TEST_F(PlayerTest, AClickOnTheKnobSeeksToWherePlaybackWasAtThePress) {
    player->PlayCurrentFile();
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionSeconds > 0.3; }));
    Send(player->ImagePos, QEvent::MouseButtonPress, {3, 6}, Qt::LeftButton, Qt::LeftButton);
    const std::int64_t target = player->Player.SeekTarget;
    EXPECT_GT(target, 0);
    Send(player->ImagePos, QEvent::MouseButtonRelease, {3, 6}, Qt::LeftButton, Qt::NoButton);
    EXPECT_LT(BASS_ChannelGetPosition(stream(), BASS_POS_BYTE), QWORD(target) + 44100 * 4 / 5);
    // A right press neither drags nor seeks.
    Send(player->ImagePos, QEvent::MouseButtonPress, {3, 6}, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(player->Player.Dragging);
}

struct VolumeCase {
    int dx;
    int left;
    float volume;
};
void PrintTo(const VolumeCase& c, std::ostream* os) {
    *os << "drag by " << c.dx;
}

class VolumeKnob : public PlayerFixture, public testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeKnob, TravelsFrom152To244AndSetsTheOutputVolume) {
    player->PlayCurrentFile();
    ASSERT_EQ(player->ImageVol->x(), 244) << "the knob shows the output volume";
    DragBy(player->ImageVol, GetParam().dx);
    EXPECT_EQ(player->ImageVol->x(), GetParam().left);
    EXPECT_EQ(BASS_GetVolume(), GetParam().volume);
    // The next file shows the volume as it now is.
    player->OpenAndPlay();
    EXPECT_EQ(player->ImageVol->x(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Drags, VolumeKnob,
                         testing::Values(VolumeCase{-46, 198, 0.5f}, VolumeCase{-200, 152, 0.0f},
                                         VolumeCase{-92, 152, 0.0f},
                                         VolumeCase{-91, 153, 1 / 92.0f},
                                         VolumeCase{50, 244, 1.0f}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(PlayerTest, AFileThatDoesNotOpenShowsNothingAndTheNextTickClearsIsPlaying) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "not a sound file at all";
    player->PlayCurrentFile();
    EXPECT_EQ(stream(), 0u);
    EXPECT_TRUE(state().IsPlaying);
    EXPECT_EQ(player->Player.LengthSeconds, 0);
    player->Timer1Timer();
    EXPECT_FALSE(state().IsPlaying);
    EXPECT_EQ(player->ImagePos->x(), 19);
    // Every control on the missing stream is harmless.
    DragBy(player->ImagePos, 100);
    EXPECT_EQ(player->Player.SeekTarget, -1);
    Click(player->ImagePlay);
    Click(player->ImagePause);
    Click(player->ImageStop);
    player->Timer1Timer();
    EXPECT_FALSE(state().IsPlaying);
    EXPECT_FALSE(state().IsPaused) << "no pause is left for the next recording";
}

TEST_F(PlayerTest, AFileLongerThan2To31BytesSeeksAndShowsItsTimes) {
    // 4 h of silence in a sparse file: only the header takes space on disk.
    const std::uint32_t frames = 44100u * 3600 * 4;
    const std::string path = dir + "/long.wav";
    {
        WriteKnownWav(path, 0);
        std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(4);
        Put(out, 36 + frames * 4, 4);
        out.seekp(40);
        Put(out, frames * 4, 4);
    }
    ASSERT_EQ(truncate(path.c_str(), 44 + off_t(frames) * 4), 0);
    file = path;

    player->PlayCurrentFile();
    ASSERT_EQ(player->Player.LengthBytes, QWORD(frames) * 4);
    EXPECT_DOUBLE_EQ(player->Player.LengthSeconds, 14400.0);
    DragBy(player->ImagePos, 217 - 10); // to left 236 - 10 = 226
    const QWORD target = std::llrint(207 * double(player->Player.BytesPerPixel));
    ASSERT_GT(target, QWORD{1} << 31);
    ASSERT_TRUE(TickUntil([&] { return player->Player.PositionBytes >= target; }));
    EXPECT_LT(player->Player.PositionBytes, target + 44100 * 4 * 2);
    EXPECT_EQ(player->ImagePos->x(), 226);
    EXPECT_NEAR(player->Player.PositionSeconds, target / 176400.0, 2.0);
    EXPECT_EQ(DurationText(player->Player.LengthSeconds), "04:00:00");
    EXPECT_EQ(DurationText(player->Player.PositionSeconds).substr(0, 5), "03:38");
}

TEST_F(PlayerTest, TheWindowIsFramelessOnTopCentredOnTheMainWindowAndHasItsGeometry) {
    QWidget mainWindow;
    mainWindow.setGeometry(300, 200, 548, 528);
    player = std::make_unique<TFormPlayer>(PlainPictures(), control, session.State(), settings,
                                           hoverActive, &mainWindow);
    player->Timer1->stop();
    player->show();
    EXPECT_EQ(player->size(), QSize(274, 204));
    EXPECT_TRUE(player->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(player->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(player->frameGeometry().center(), mainWindow.frameGeometry().center());
    EXPECT_EQ(player->DisplayView->geometry(), QRect(12, 12, 250, 140));
    EXPECT_EQ(player->ImagePlay->geometry(), QRect(20, 180, 24, 20));
    EXPECT_EQ(player->ImagePause->geometry(), QRect(58, 180, 24, 20));
    EXPECT_EQ(player->ImageStop->geometry(), QRect(96, 180, 24, 20));
    EXPECT_EQ(player->ImagePos->geometry(), QRect(19, PosTop, 6, 12));
    EXPECT_EQ(player->ImageVol->geometry().size(), QSize(6, 12));
    EXPECT_EQ(player->ImageClose->geometry(), QRect(263, 0, 10, 11));
    // Hints after 500 ms, for 2500 ms.
    for (QWidget* control :
         {static_cast<QWidget*>(player->ImagePos), static_cast<QWidget*>(player->ImagePlayerBar)}) {
        EXPECT_EQ(control->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, control),
                  500);
        EXPECT_EQ(control->toolTipDuration(), 2500);
    }
    // Pressing a transport button shifts it one pixel; letting go puts it back.
    Send(player->ImageStop, QEvent::MouseButtonPress, {3, 3}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(player->ImageStop->pos(), QPoint(97, 181));
    Send(player->ImageStop, QEvent::MouseButtonRelease, {3, 3}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(player->ImageStop->pos(), QPoint(96, 180));
    // The second press of a double click comes as a double click: it presses all the same, and
    // each release takes back one press.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        Send(player->ImageStop, type, {3, 3}, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton);
        EXPECT_EQ(player->ImageStop->pos(), down ? QPoint(97, 181) : QPoint(96, 180)) << type;
    }
    // Hidden and shown again, it stays where the user left it.
    player->move(10, 10);
    player->hide();
    player->show();
    EXPECT_EQ(player->pos(), QPoint(10, 10));
}

TEST_F(PlayerTest, TheScreenMovesTheWindowWithTheLeftOrMiddleButtonNotTheRight) {
    player->show();
    player->move(100, 100);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton, Qt::RightButton}) {
        const QPoint before = player->pos();
        Send(player->ImageScreen, QEvent::MouseButtonPress, {50, 50}, button, button);
        Send(player->ImageScreen, QEvent::MouseMove, {80, 70}, Qt::NoButton, button);
        const QPoint moved = button == Qt::RightButton ? QPoint(0, 0) : QPoint(30, 20);
        EXPECT_EQ(player->pos(), before + moved) << int(button);
        Send(player->ImageScreen, QEvent::MouseButtonRelease, {80, 70}, button, Qt::NoButton);
        EXPECT_FALSE(player->MovingByHand());
    }
}

TEST_F(PlayerTest, ADoubleClickOnTheScreenOrTheCloseMarkHidesTheWindowAndFreesTheStream) {
    for (int way = 0; way < 2; ++way) {
        player->PlayCurrentFile();
        Click(player->ImagePause);
        ASSERT_TRUE(player->isVisible());
        if (way == 0) {
            Send(player->ImageScreen, QEvent::MouseButtonDblClick, {50, 50}, Qt::LeftButton,
                 Qt::LeftButton);
        } else {
            Click(player->ImageClose, Qt::RightButton);
            EXPECT_TRUE(player->isVisible()) << "only a left click closes";
            Click(player->ImageClose);
        }
        EXPECT_FALSE(player->isVisible());
        EXPECT_EQ(stream(), 0u);
        EXPECT_FALSE(state().IsPlaying);
        EXPECT_FALSE(state().IsPaused);
    }
}

TEST_F(PlayerTest, HoverPicturesUntilTheMouseReachesTheScreenOrTheBar) {
    Send(player->ImagePlay, QEvent::MouseMove, {3, 3}, Qt::NoButton, Qt::NoButton);
    Send(player->ImageVol, QEvent::MouseMove, {3, 3}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(player->ImagePlay->ShowsHover());
    EXPECT_TRUE(player->ImageVol->ShowsHover());
    EXPECT_TRUE(hoverActive);
    Send(player->ImageScreen, QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(player->ImagePlay->ShowsHover());
    EXPECT_FALSE(player->ImageVol->ShowsHover());
    EXPECT_FALSE(hoverActive);

    Send(player->ImageClose, QEvent::MouseMove, {3, 3}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(player->ImageClose->ShowsHover());
    Send(player->ImagePlayerBar, QEvent::MouseMove, {200, 30}, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(player->ImageClose->ShowsHover());
    EXPECT_FALSE(hoverActive);
}

struct BarHintCase {
    QPoint at; // window coordinates
    const char* hint;
};
void PrintTo(const BarHintCase& c, std::ostream* os) {
    *os << c.at.x() << ", " << c.at.y();
}

class BarHints : public PlayerFixture, public testing::WithParamInterface<BarHintCase> {};

TEST_P(BarHints, FollowThePointerOverTheGrooves) {
    player->ImagePlayerBar->setToolTip("stale");
    Send(player->ImagePlayerBar, QEvent::MouseMove, GetParam().at - QPoint(0, 162), Qt::NoButton,
         Qt::NoButton);
    EXPECT_EQ(player->ImagePlayerBar->toolTip(), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(
    Points, BarHints,
    testing::Values(BarHintCase{{100, PosTop + 3}, "Playback Position"},
                    BarHintCase{{20, PosTop + 19}, "Playback Position"},
                    BarHintCase{{19, PosTop + 10}, ""}, BarHintCase{{246, PosTop + 10}, ""},
                    BarHintCase{{100, PosTop + 2}, ""},
                    BarHintCase{{152, VolTop + 10}, "Playback Volume"},
                    BarHintCase{{244, VolTop + 3}, "Playback Volume"},
                    BarHintCase{{151, VolTop + 10}, ""}, BarHintCase{{245, VolTop + 10}, ""},
                    // Where the two bands overlap the volume's hint wins.
                    BarHintCase{{200, PosTop + 19}, "Playback Volume"}, BarHintCase{{60, 200}, ""}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
