// The main window's transport row: pictures that act as buttons, their hover pictures, the
// pressed look and the action on release.

#include "ui/common/PictureButton.h"
#include "ui/main/Images.h"
#include "ui/main/main.h"

#include <QApplication>

namespace {

constexpr int RowTop = 202;

struct ButtonPlace {
    PictureButton* TForm1::*button;
    int left;
    const char* hint;
    QPixmap TForm2::*normal;
    QPixmap TForm2::*hover;
};

// In the row's order; each button's neighbours are the ones beside it, which a hover over it
// sets back to normal (the recording-control button has only its right one).
const ButtonPlace Row[] = {
    {&TForm1::ImageControl, 132, "Recording Control", &TForm2::ImageControl1,
     &TForm2::ImageControl2},
    {&TForm1::ImageRecord, 173, "Record (F5)", &TForm2::ImageRecord1, &TForm2::ImageRecord2},
    {&TForm1::ImageRestart, 214, "Restart the current recording", &TForm2::ImageRestart1,
     &TForm2::ImageRestart2},
    {&TForm1::ImagePause, 255, "Pause/Resume (F7)", &TForm2::ImagePause1, &TForm2::ImagePause2},
    {&TForm1::ImageStop, 296, "Stop (F9)", &TForm2::ImageStop1, &TForm2::ImageStop2},
    {&TForm1::ImagePlay, 337, "Play", &TForm2::ImagePlay1, &TForm2::ImagePlay2},
    {&TForm1::ImageFiles, 378, "File List", &TForm2::ImageFiles1, &TForm2::ImageFiles2},
};

} // namespace

void TForm1::CreateButtons(QWidget* client) {
    for (const ButtonPlace& place : Row) {
        const int height = place.button == &TForm1::ImageStop ? 29 : 28;
        auto* button = new PictureButton(client, QRect(place.left, RowTop, 33, height), place.hint);
        this->*place.button = button;
        button->OnMouseMove = [this, button](QMouseEvent*) { ButtonMouseMove(button); };
        button->OnMouseDown = [button](QMouseEvent*) { button->Press(); };
        button->OnMouseUp = [this, button](QMouseEvent*) { ButtonMouseUp(button); };
    }
}

void TForm1::SetSkins(const TForm2& skins) {
    skins_ = &skins;
    for (const ButtonPlace& place : Row)
        (this->*place.button)->SetPictures(skins.*place.normal, skins.*place.hover);
    ImageVol->setPixmap(skins.ImageHRec1);
    ImageStatus->setPixmap(skins.ImageStatus);
    ImageScreen1->setPixmap(skins.ImageScreen1);
    ImageScreen2->setPixmap(skins.ImageScreen2);
    ImageControlRecord->setPixmap(skins.ImageControlRecord);
    ImageFolder->setPixmap(skins.ImageFolder);
    ImageList->setPixmap(skins.ImageList);
    ImageVolBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImageVolBar->setPixmap(skins.ImageVolBar);
    CreateFileList(skins);
    UpdateFormatLabel();
}

void TForm1::ButtonMouseMove(PictureButton* button) {
    const std::size_t count = std::size(Row);
    for (std::size_t i = 0; i < count; ++i) {
        if (this->*Row[i].button != button)
            continue;
        button->ShowHover();
        // The file-list button has no neighbours to set back.
        if (button == ImageFiles)
            break;
        if (i > 0)
            (this->*Row[i - 1].button)->ShowNormal();
        if (i + 1 < count && this->*Row[i + 1].button != ImageFiles)
            (this->*Row[i + 1].button)->ShowNormal();
    }
    core_.Flags.HoverActive = true;
}

void TForm1::ButtonMouseUp(PictureButton* button) {
    button->Release();
    if (button == ImageControl) {
        QCoreApplication::processEvents();
        core_.StartMixer(Recorder::MixerTrigger::ControlButton);
    } else if (button == ImageRecord) {
        core_.session.StartRecording();
    } else if (button == ImageRestart) {
        core_.session.RestartRecording();
    } else if (button == ImagePause) {
        core_.session.PauseResume();
    } else if (button == ImageStop) {
        core_.Stop();
    } else if (button == ImagePlay) {
        if (PlayCurrentFile)
            PlayCurrentFile();
    } else if (button == ImageFiles) {
        ToggleFileList();
    }
}

void TForm1::ResetButtonImages() {
    if (!core_.Flags.HoverActive)
        return;
    core_.Flags.HoverActive = false;
    for (const ButtonPlace& place : Row)
        (this->*place.button)->ShowNormal();
    if (skins_)
        ImageVol->setPixmap(skins_->ImageHRec1);
}
