// The transport row: hover pictures and their neighbours, the reset over the other areas, the
// pressed look, and the action on a release inside or outside the button.

#include "MainWindowFixture.h"
#include "ui/common/PictureButton.h"
#include "ui/main/FileGrid.h"

#include <QTest>

namespace {

class ImageButtonsTest : public SkinnedMainWindowTest {
protected:
    static void MoveOver(QWidget* widget, QPoint at = {5, 5}) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::NoButton, {});
        QApplication::sendEvent(widget, &move);
    }
    // Which buttons show their hover picture, in the row's order.
    std::string Hovered() {
        std::string shown;
        for (PictureButton* button :
             {form->ImageControl, form->ImageRecord, form->ImageRestart, form->ImagePause,
              form->ImageStop, form->ImagePlay, form->ImageFiles})
            shown += button->ShowsHover() ? "H" : ".";
        return shown;
    }
};

TEST_F(ImageButtonsTest, HoverSetsTheNeighboursBackAndTheOtherAreasResetTheRow) {
    EXPECT_EQ(form->ImageControl->pixmap().cacheKey(), skins->ImageVista1.cacheKey());
    EXPECT_EQ(form->ImageRecord->geometry(), QRect(173, 202, 33, 28));
    EXPECT_EQ(form->ImageStop->geometry(), QRect(296, 202, 33, 29));
    EXPECT_EQ(form->ImageRestart->toolTip(), "Restart the current recording");

    MoveOver(form->ImageRecord);
    EXPECT_EQ(Hovered(), ".H.....");
    EXPECT_TRUE(form->Core().Flags.HoverActive);
    MoveOver(form->ImageRestart);
    EXPECT_EQ(Hovered(), "..H....") << "record back to normal at once";
    MoveOver(form->ImageFiles);
    EXPECT_EQ(Hovered(), "..H...H") << "the file-list button sets no neighbour back";
    MoveOver(form->ImagePlay);
    EXPECT_EQ(Hovered(), "..H..HH") << "play's only neighbour is stop";
    MoveOver(form->ImageScreen1);
    EXPECT_EQ(Hovered(), ".......");
    EXPECT_FALSE(form->Core().Flags.HoverActive);

    for (QWidget* area : std::initializer_list<QWidget*>{
             form->ImageScreen2, form->ImageStatus, form->ImageControlRecord, form->centralWidget(),
             form->SGridFiles->viewport()}) {
        MoveOver(form->ImagePause);
        ASSERT_EQ(Hovered(), "...H...");
        MoveOver(area);
        EXPECT_EQ(Hovered(), ".......") << area->metaObject()->className();
    }
    MoveOver(form->ImageControlRecord, {50, 20});
    EXPECT_EQ(form->ImageControlRecord->toolTip(), "Recording Volume");
    MoveOver(form->ImageControlRecord, {300, 20});
    EXPECT_EQ(form->ImageControlRecord->toolTip(), "");
}

TEST_F(ImageButtonsTest, APressShiftsTheButtonAndTheReleaseActsWhereverItIs) {
    const QPoint home = form->ImageRecord->pos();
    QTest::mousePress(form->ImageRecord, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form->ImageRecord->pos(), home + QPoint(1, 1));
    QTest::mouseRelease(form->ImageRecord, Qt::LeftButton, {}, QPoint(300, -100)); // outside
    EXPECT_EQ(form->ImageRecord->pos(), home);
    EXPECT_TRUE(form->Core().State().IsRecording);

    const std::string file = form->Core().Library.CurrentFile;
    QTest::mouseClick(form->ImageRecord, Qt::LeftButton);
    EXPECT_EQ(form->Core().Library.CurrentFile, file) << "a second record changes nothing";
    EXPECT_EQ(form->ImageRecord->pos(), home);

    QTest::mouseClick(form->ImagePause, Qt::RightButton);
    EXPECT_TRUE(form->Core().State().IsPaused) << "any button acts";
    QTest::mouseClick(form->ImageStop, Qt::LeftButton);
    EXPECT_FALSE(form->Core().State().IsRecording);
    EXPECT_FALSE(form->Core().State().IsPaused);

    ASSERT_TRUE(form->Core().Settings.FileList);
    QTest::mouseClick(form->ImageFiles, Qt::LeftButton);
    EXPECT_EQ(form->centralWidget()->height(), 248);
}

TEST_F(ImageButtonsTest, ADoubleClickIsTwoPressesAndTwoReleases) {
    const QPoint home = form->ImageFiles->pos();
    const int height = form->centralWidget()->height();
    std::vector<QPoint> places;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, QPointF(5, 5), form->ImageFiles->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(form->ImageFiles, &event);
        places.push_back(form->ImageFiles->pos() - home);
    }
    EXPECT_EQ(places, (std::vector<QPoint>{{1, 1}, {0, 0}, {1, 1}, {0, 0}}));
    EXPECT_EQ(form->centralWidget()->height(), height) << "the list shown and hidden again";
}

} // namespace
