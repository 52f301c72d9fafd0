// The main window's recording level knob and the strip under it, and the source label that
// opens the sound server's volume control.

#include "app/LevelControl.h"
#include "ui/common/MouseLabel.h"
#include "ui/main/main.h"

#include <QMouseEvent>

void TForm1::MoveLevelKnob(int x) {
    ImageVol->move(x, ImageVol->y());
    ImageVolBar->resize(VolBarWidth(x), ImageVolBar->height());
}

void TForm1::PlaceLevelKnob() {
    MoveLevelKnob(KnobLeftForLevel(core_.Inputs.InputLevel));
}

void TForm1::ImageVolMouseDown(QMouseEvent* event) {
    LevelDragging = event->button() == Qt::LeftButton;
    if (LevelDragging)
        DragStartX = static_cast<int>(event->position().x());
}

void TForm1::ImageVolMouseMove(QMouseEvent* event) {
    core_.Flags.HoverActive = true;
    if (!LevelDragging)
        return;
    const int x =
        DraggedKnobLeft(static_cast<int>(event->position().x()), ImageVol->x(), DragStartX);
    MoveLevelKnob(x);
    core_.SetInputLevel(LevelForKnob(x));
}

void TForm1::ImageVolMouseUp(QMouseEvent*) {
    LevelDragging = false;
}

void TForm1::ImageControlRecordMouseMove(QMouseEvent* event) {
    ResetButtonImages();
    const QPoint at = event->position().toPoint();
    const bool overLevel = at.x() >= 17 && at.x() <= 113 && at.y() >= 16 && at.y() <= 27;
    ImageControlRecord->setToolTip(overLevel ? "Recording Volume" : "");
}

void TForm1::LabSourceClick() {
    core_.StartMixer(Recorder::MixerTrigger::SourceLabel);
}
