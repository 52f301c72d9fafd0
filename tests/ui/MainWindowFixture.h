#pragma once
// The main window offscreen against the test sound server, on a settings file of its own with
// an empty output folder, and with a clock the test moves on.

#include "TestPaths.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"
#include "ui/common/MouseLabel.h"
#include "ui/main/Images.h"
#include "ui/main/main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

class MainWindowTest : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("mainwin_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string output = folder + "/recordings";
    std::uint32_t tick = 1000; // the window's clock, moved on by the tests
    std::unique_ptr<TForm1> form;

    // More settings for the file, in their sections.
    virtual std::string ExtraSettings() { return ""; }

    void SetUp() override {
        std::filesystem::create_directories(output);
        std::ofstream(folder + "/Sonvera.ini")
            << "[Folder]\nName=" << output << "\n[Record Settings]\nWav=1\nMP3=0\n"
            << ExtraSettings();
        form = std::make_unique<TForm1>(folder + "/Sonvera.ini",
                                        std::make_unique<PulseWaveIn>(platform::Pulse()),
                                        [this] { return tick; });
        form->show();
    }

    // Runs the window's events for a while (timers, capture poll).
    static void Run(int milliseconds) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < milliseconds)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    // Answers the next modal box with `button`.
    static void Answer(QMessageBox::StandardButton button) {
        QTimer::singleShot(200, [button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box->button(button)->click();
        });
    }
};

// The main window with the skin holder's pictures, and so with its buttons and file list.
class SkinnedMainWindowTest : public MainWindowTest {
protected:
    std::unique_ptr<TForm2> skins;

    void SetUp() override {
        MainWindowTest::SetUp();
        skins =
            std::make_unique<TForm2>(true, form->Core().Settings, form->Core().Screens, form.get());
        form->SetSkins(*skins);
    }
    void TearDown() override {
        form.reset();
        skins.reset();
    }
};
