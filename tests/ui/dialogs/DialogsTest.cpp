// The background image dialog and the About box offscreen: their geometry and texts, and the
// background dialog driven through its buttons and its file dialog, as a user would.

#include "TestPaths.h"
#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/global.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/ShowImg.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Runs `answer` on the next modal window of type T once it is up.
template <typename T> void WhenModal(std::function<void(T*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(window);
        }
    });
    poll->start(20);
}

void ChooseInFileDialog(const std::string& path) {
    WhenModal<QFileDialog>([path](QFileDialog* dialog) {
        // Typed into the name box, as selectFile would leave it to the folder model.
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (edit == nullptr) {
            ADD_FAILURE() << "the file dialog has no name box";
            dialog->reject();
            return;
        }
        edit->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept"); // as the Open button does
    });
}

TEST(ShowImageDialog, GeometryCaptionsAndFilter) {
    RecordingSettings settings;
    ScreenState screens;
    bool editWaveImage = true;
    TFormShowImage form(nullptr, settings, screens, editWaveImage);
    EXPECT_EQ(form.windowTitle(), "Show Background Image");
    EXPECT_EQ(form.size(), QSize(233, 192));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.Lab1->pos(), QPoint(32, 20));
    EXPECT_EQ(form.BtnBrowse->text(), "Browse");
    EXPECT_EQ(form.BtnBrowse->geometry(), QRect(22, 48, 65, 25));
    EXPECT_EQ(form.BtnClear->text(), "Clear");
    EXPECT_EQ(form.BtnClear->geometry(), QRect(124, 48, 65, 25));
    EXPECT_EQ(form.BtnOK->text(), "OK");
    EXPECT_EQ(form.BtnOK->geometry(), QRect(74, 102, 65, 25));

    // The menus set the flag before each show; every show takes the matching caption.
    for (bool wave : {true, false, true}) {
        editWaveImage = wave;
        form.show();
        const QString caption = wave ? "Waveform Background Image" : "Stream Background Image";
        EXPECT_EQ(form.windowTitle(), caption);
        EXPECT_EQ(form.Lab1->text(), caption);
        form.BtnOK->click();
        EXPECT_FALSE(form.isVisible());
    }
}

TEST(ShowImageDialog, BrowseSetsThePictureADamagedOneGivesTheErrorAndClearEmpties) {
    const std::string folder = test_paths::FreshDir("show_image_dialog");
    const std::string good = folder + "/sky.jpg";
    QImage sky(50, 30, QImage::Format_RGB32);
    sky.fill(QColor(0, 0, 255));
    ASSERT_TRUE(sky.save(QString::fromStdString(good)));
    const std::string damaged = folder + "/damaged.bmp";
    std::ofstream(damaged, std::ios::binary) << "BM" << std::string(40, '\xFF');

    RecordingSettings settings;
    ScreenState screens;
    SetupScreens(screens);
    bool editWaveImage = false;
    TFormShowImage form(nullptr, settings, screens, editWaveImage);
    form.show();

    ChooseInFileDialog(good);
    form.BtnBrowse->click();
    EXPECT_EQ(settings.Image2, good);
    EXPECT_TRUE(screens.StreamImageLoaded);
    EXPECT_EQ(screens.ImageStream.size(), QSize(50, 30));
    EXPECT_EQ(settings.Image1, "");
    EXPECT_FALSE(screens.WaveImageLoaded);

    // The stream screen draws the new picture from its next block on.
    const auto block = std::make_unique<ConvertedBlock>();
    DrawStream(screens, settings, *block);
    const QColor drawn = screens.StreamBitmap.pixel(screens.W / 3 + 1, screens.H / 3 + 3);
    EXPECT_GT(drawn.blue(), 240);
    EXPECT_LT(drawn.red() + drawn.green(), 20);

    QString error;
    ChooseInFileDialog(damaged);
    WhenModal<QMessageBox>([&error](QMessageBox* box) {
        error = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    form.BtnBrowse->click();
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.endsWith('.'));
    EXPECT_EQ(settings.Image2, good);
    EXPECT_TRUE(screens.StreamImageLoaded);
    EXPECT_EQ(screens.ImageStream.size(), QSize(50, 30));

    // A cancelled file dialog changes nothing.
    QStringList filters;
    WhenModal<QFileDialog>([&filters](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        dialog->reject();
    });
    form.BtnBrowse->click();
    EXPECT_EQ(settings.Image2, good);
    EXPECT_EQ(filters, QStringList{"*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf (*.gif *.jpg *.jpeg "
                                   "*.bmp *.ico *.emf *.wmf )"});

    form.BtnClear->click();
    EXPECT_EQ(settings.Image2, "");
    EXPECT_FALSE(screens.StreamImageLoaded);
    form.BtnOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(AboutBox, GeometryTitleAndShadow) {
    TFormAbout form(nullptr);
    EXPECT_EQ(form.windowTitle(), "About Sonvera");
    EXPECT_EQ(form.size(), QSize(376, 238));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.ImageAbout->pos(), QPoint(7, 18));
    EXPECT_FALSE(form.ImageAbout->pixmap().isNull());
    struct Title {
        QLabel* label;
        QPoint at;
        QColor colour;
    };
    for (const Title& t : {Title{form.Lab1, {60, 27}, QColor(192, 192, 192)},
                           Title{form.Lab2, {58, 25}, QColor(0x20, 0x30, 0x70)}}) {
        EXPECT_EQ(t.label->text(), "Sonvera 4.2");
        EXPECT_EQ(t.label->pos(), t.at);
        EXPECT_EQ(t.label->palette().color(QPalette::WindowText), t.colour);
        EXPECT_EQ(t.label->font().pixelSize(), 24);
        EXPECT_TRUE(t.label->font().bold());
        EXPECT_FALSE(t.label->autoFillBackground());
    }
    // The dark blue title lies over its silver shadow.
    EXPECT_GT(form.children().indexOf(form.Lab2), form.children().indexOf(form.Lab1));
    EXPECT_EQ(form.BitBtnClose->text(), "OK");
    EXPECT_EQ(form.BitBtnClose->geometry(), QRect(142, 158, 73, 25));
    form.show();
    form.BitBtnClose->click();
    EXPECT_FALSE(form.isVisible());
}

} // namespace
