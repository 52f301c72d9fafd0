#include "ui/main/Images.h"

#include "display/BackgroundImage.h"
#include "display/Graph.h"
#include "engine/global.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/PlainText.h"
#include "ui/main/SkinPictures.h"

#include <QFileInfo>

namespace {

struct Picture {
    const char* name;
    QPixmap TForm2::*member;
    QSize size;
};

constexpr QSize Button(33, 28);
constexpr QSize PlayerButton(24, 20);
constexpr QSize Icon(16, 16);

const Picture Pictures[] = {
    {"ImageVista1", &TForm2::ImageVista1, Button},
    {"ImageVista2", &TForm2::ImageVista2, Button},
    {"ImageXP1", &TForm2::ImageXP1, Button},
    {"ImageXP2", &TForm2::ImageXP2, Button},
    {"ImageRecord1", &TForm2::ImageRecord1, Button},
    {"ImageRecord2", &TForm2::ImageRecord2, Button},
    {"ImageRestart1", &TForm2::ImageRestart1, Button},
    {"ImageRestart2", &TForm2::ImageRestart2, Button},
    {"ImagePause1", &TForm2::ImagePause1, Button},
    {"ImagePause2", &TForm2::ImagePause2, Button},
    {"ImageStop1", &TForm2::ImageStop1, Button},
    {"ImageStop2", &TForm2::ImageStop2, Button},
    {"ImagePlay1", &TForm2::ImagePlay1, Button},
    {"ImagePlay2", &TForm2::ImagePlay2, Button},
    {"ImageFiles1", &TForm2::ImageFiles1, Button},
    {"ImageFiles2", &TForm2::ImageFiles2, Button},
    {"ImageHRec1", &TForm2::ImageHRec1, QSize(9, 18)},
    {"ImageDown", &TForm2::ImageDown, Icon},
    {"ImageUp", &TForm2::ImageUp, Icon},
    {"ImagePPlay1", &TForm2::ImagePPlay1, PlayerButton},
    {"ImagePPlay2", &TForm2::ImagePPlay2, PlayerButton},
    {"ImagePPause1", &TForm2::ImagePPause1, PlayerButton},
    {"ImagePPause2", &TForm2::ImagePPause2, PlayerButton},
    {"ImagePStop1", &TForm2::ImagePStop1, PlayerButton},
    {"ImagePStop2", &TForm2::ImagePStop2, PlayerButton},
    {"ImageHandle1", &TForm2::ImageHandle1, QSize(7, 14)},
    {"ImageHandle2", &TForm2::ImageHandle2, QSize(7, 14)},
    {"ImageClose1", &TForm2::ImageClose1, QSize(11, 10)},
    {"ImageClose2", &TForm2::ImageClose2, QSize(11, 10)},
    {"ImageStatus", &TForm2::ImageStatus, QSize(546, 30)},
    {"ImageScreen1", &TForm2::ImageScreen1, QSize(274, 163)},
    {"ImageScreen2", &TForm2::ImageScreen2, QSize(273, 163)},
    {"ImageControlRecord", &TForm2::ImageControlRecord, QSize(546, 43)},
    {"ImageVolBar", &TForm2::ImageVolBar, QSize(90, 6)},
    {"ImageFolder", &TForm2::ImageFolder, QSize(19, 17)},
    {"ImageList", &TForm2::ImageList, QSize(547, 280)},
};

// True when `path` names a file that exists (a folder does not count).
bool IsExistingFile(const std::string& path) {
    return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
}

// Loads one background picture; false after an error box.
bool LoadBackground(const std::string& path, QImage& picture, bool& loaded,
                    QWidget* messageParent) {
    if (!IsExistingFile(path))
        return true;
    std::string error;
    if (!LoadPicture(path, picture, error)) {
        ShowErrorBox(messageParent, ShownText(error));
        return false;
    }
    loaded = true;
    return true;
}

} // namespace

TForm2::TForm2(bool vistaMode, const RecordingSettings& settings, ScreenState& screens,
               QWidget* messageParent) {
    for (const Picture& picture : Pictures)
        this->*picture.member = RenderSkinPicture(picture.name, picture.size);
    for (const OutputFormat& format : OutputFormats()) {
        FormatIcons[format.Id] = RenderSkinPicture(QString("Image") + format.Icon, Icon);
        ListIcons[format.Id] = RenderSkinPicture(QString("ImageList") + format.Icon, Icon);
    }
    FormCreate(vistaMode, settings, screens, messageParent);
}

void TForm2::FormCreate(bool vistaMode, const RecordingSettings& settings, ScreenState& screens,
                        QWidget* messageParent) {
    ImageControl1 = vistaMode ? ImageVista1 : ImageXP1;
    ImageControl2 = vistaMode ? ImageVista2 : ImageXP2;

    if (!LoadBackground(settings.Image1, screens.ImageWave, screens.WaveImageLoaded, messageParent))
        return;
    LoadBackground(settings.Image2, screens.ImageStream, screens.StreamImageLoaded, messageParent);
}
