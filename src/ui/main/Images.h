#pragma once
// The skin image holder: every picture of the main window (backgrounds, buttons, list header and
// file icons, format icon) and of the player, made once at start, and the screens' backgrounds.

#include "engine/OutputFormats.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <map>
#include <string>

struct ScreenState;
class QWidget;

// A plain holder, not a window: its pictures are only ever handed to the controls that show
// them, so nothing of it is shown.
class TForm2 {
public:
    // Renders every picture, then runs `FormCreate`.
    TForm2(bool vistaMode, const RecordingSettings& settings, ScreenState& screens,
           QWidget* messageParent);

    // Picks the recording-control pair of the operating-system family and loads the background
    // pictures named by `Image1` and `Image2` into the screens, setting their flags. A file that
    // exists but cannot be read is reported in an error box over `messageParent`, and loading
    // stops there; a missing file or an empty setting is passed over silently.
    void FormCreate(bool vistaMode, const RecordingSettings& settings, ScreenState& screens,
                    QWidget* messageParent);

    // Main window buttons, 33 x 28: normal (1) and hover (2).
    QPixmap ImageControl1, ImageControl2; // the family's pair, chosen by FormCreate
    QPixmap ImageVista1, ImageVista2;
    QPixmap ImageXP1, ImageXP2;
    QPixmap ImageRecord1, ImageRecord2;
    QPixmap ImageRestart1, ImageRestart2;
    QPixmap ImagePause1, ImagePause2;
    QPixmap ImageStop1, ImageStop2;
    QPixmap ImagePlay1, ImagePlay2;
    QPixmap ImageFiles1, ImageFiles2;
    // The recording level knob, 9 x 18.
    QPixmap ImageHRec1;
    // Sort direction arrows of the list header, 16 x 16.
    QPixmap ImageDown, ImageUp;
    // Output format icons, 16 x 16, transparent: ImageWav, ImageMP3 ... by the formats' table.
    std::map<FormatId, QPixmap> FormatIcons;
    // Player buttons, 24 x 20.
    QPixmap ImagePPlay1, ImagePPlay2;
    QPixmap ImagePPause1, ImagePPause2;
    QPixmap ImagePStop1, ImagePStop2;
    // Player slider knobs, 7 x 14.
    QPixmap ImageHandle1, ImageHandle2;
    // Player close mark, 11 x 10, transparent.
    QPixmap ImageClose1, ImageClose2;
    // The main window's backgrounds: the status strip (546 x 30), the frames of the two screens
    // (274 x 163 and 273 x 163, each screen lying on top at 12, 10), the transport strip
    // (546 x 43) and the file list panel (547 x 280, the grid on top at 14, 12).
    QPixmap ImageStatus, ImageScreen1, ImageScreen2, ImageControlRecord, ImageList;
    // The level bar's fill, 90 x 6, shown cut from the left to the knob's position.
    QPixmap ImageVolBar;
    // The output folder icon, 19 x 17.
    QPixmap ImageFolder;
    // File kind icons of the list rows, 16 x 16, transparent: ImageListWav ... by the table.
    std::map<FormatId, QPixmap> ListIcons;
};
