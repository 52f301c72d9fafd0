#pragma once
// The player TFormPlayer: a small borderless, always-on-top window that plays the current file
// with Play, Pause and Stop, a position and a volume knob, and the spectrum display.

#include "app/PlayerControl.h"
#include "display/PlayerDisplay.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <cstdint>

class MouseLabel;
class PictureButton;
class PictureView;
class QMouseEvent;
class QStyle;
class QTimer;
struct RecordingSettings;

// The player's pictures from the skin holder: buttons 24 x 20, knob 7 x 14, close mark 11 x 10;
// 1 is the normal picture, 2 the hover picture.
struct PlayerPictures {
    QPixmap ImagePPlay1, ImagePPlay2;
    QPixmap ImagePPause1, ImagePPause2;
    QPixmap ImagePStop1, ImagePStop2;
    QPixmap ImageHandle1, ImageHandle2;
    QPixmap ImageClose1, ImageClose2;
};

// What the player knows of the file it plays; positions in bytes of decoded 16-bit PCM.
struct PlayerState {
    std::uint64_t LengthBytes = 0;
    double LengthSeconds = 0;
    std::uint64_t PositionBytes = 0;
    double PositionSeconds = 0;
    float BytesPerPixel = 1.0f;
    std::int64_t SeekTarget = -1; // applied when the position knob is let go
    bool Dragging = false;
    int DragStartX = 0;
};

class TFormPlayer : public QWidget {
public:
    // Knob travel: the left edge of the position knob from the start to the end of the file,
    // of the volume knob from silent to full.
    static constexpr int PosStart = 19;
    static constexpr int PosEnd = 246;
    static constexpr int VolStart = 152;
    static constexpr int VolEnd = 244;

    // `control` plays the current file; the window shows it. `placeOn` is used only to centre
    // the window at its first showing (may be null); it does not become the parent.
    TFormPlayer(const PlayerPictures& pictures, PlayerControl& control, const SessionState& session,
                const RecordingSettings& settings, bool& hoverActive, QWidget* placeOn);
    ~TFormPlayer() override;

    // Plays the current file: resumes a paused playback, or shows the window and opens the file.
    void PlayCurrentFile();
    void OpenAndPlay();
    // The popup menu's Play and Stop; both do nothing while recording.
    void pmenuPlayClick();
    void pmenuStopClick();

    void Timer1Timer();

    PlayerState Player;
    PlayerDisplayState Display;

    // Controls, named as the handlers know them.
    MouseLabel* ImageScreen;
    MouseLabel* ImagePlayerBar;
    PictureButton* ImagePlay;
    PictureButton* ImagePause;
    PictureButton* ImageStop;
    PictureButton* ImagePos;
    PictureButton* ImageVol;
    PictureButton* ImageClose;
    PictureView* DisplayView;
    QTimer* Timer1;

    // True while the window follows the mouse by itself (no system move was offered).
    bool MovingByHand() const { return movingByHand_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls(const PlayerPictures& pictures);
    // Closing hides the window and ends the playback.
    void FormClose();
    void DrawDisplay(DisplayForm form);
    void RestoreNormalPictures();
    void ShowHover(PictureButton* image);
    void SetPosLeft(int left);
    void ShowSeekHint(QMouseEvent* event);

    void ImagePlayMouseUp();
    void ImagePauseMouseUp();
    void ImageStopMouseUp();
    void ImagePosMouseDown(QMouseEvent* event);
    void ImagePosMouseMove(QMouseEvent* event);
    void ImagePosMouseUp();
    void ImageVolMouseDown(QMouseEvent* event);
    void ImageVolMouseMove(QMouseEvent* event);
    void ImageScreenMouseDown(QMouseEvent* event);
    void ImageScreenMouseMove(QMouseEvent* event);
    void ImageScreenMouseUp();
    void ImagePlayerBarMouseMove(QMouseEvent* event);

    PlayerControl& control_;
    const SessionState& session_;
    const RecordingSettings& settings_;
    bool& HoverActive;
    QWidget* placeOn_;
    QStyle* hintStyle_;
    bool placed_ = false;
    bool movingByHand_ = false;
    QPoint moveStartMouse_;
    QPoint moveStartWindow_;
};
