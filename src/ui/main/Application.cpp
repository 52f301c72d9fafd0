#include "ui/main/Application.h"

#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"
#include "platform/Restart.h"
#include "platform/SettingsLocation.h"
#include "platform/TerminationSignals.h"
#include "ui/common/FixedSizeWindows.h"
#include "ui/convert/convert.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/ShowImg.h"
#include "ui/main/FileGrid.h"
#include "ui/main/Images.h"
#include "ui/main/main.h"
#include "ui/player/Player.h"
#include "ui/settings/RecSettings.h"

#include <QApplication>
#include <QTimer>
#include <memory>

namespace {

// The windows, created once in their order and kept for the whole run; the later ones are
// children of the main window for their placement and go before it.
struct Windows {
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TFormAbout> formAbout;
    std::unique_ptr<TFormRecSettings> formRecSettings;
    std::unique_ptr<TFormConvert> formConvert;
    std::unique_ptr<TFormShowImage> formShowImage;
    std::unique_ptr<TFormPlayer> formPlayer;

    Windows() {
        form1 = std::make_unique<TForm1>(platform::ChooseSettingsFile(),
                                         std::make_unique<PulseWaveIn>(platform::Pulse()));
        Recorder& core = form1->Core();
        // The skin holder reads the settings and the family that the main window's creation set.
        form2 = std::make_unique<TForm2>(core.Flags.VistaMode, core.Settings, core.Screens,
                                         form1.get());
        form1->SetSkins(*form2);
        formAbout = std::make_unique<TFormAbout>(form1.get());
        form1->ShowAbout = [this] { formAbout->exec(); };
        formRecSettings = std::make_unique<TFormRecSettings>(
            core.Settings,
            [&core] {
                WaveInCaps caps;
                return core.CaptureDevice().GetDevCaps(0, caps) == WaveOk ? caps.dwFormats : 0u;
            },
            form2->FormatIcons, [this] { form1->CloseWithoutAsking(); }, form1.get());
        form1->ShowFormatSettings = [this] { return formRecSettings->Execute(); };
        formConvert = std::make_unique<TFormConvert>(core.Settings, form1.get());
        form1->ConvertFile = [this](const std::string& source, const std::string& target) {
            const FileFormat& format = form1->Core().Library.CurrentFormat;
            formConvert->show();
            return formConvert->Convert(source, target, format.Rate, format.Channels);
        };
        form1->CancelConversion = [this] {
            if (formConvert->Converting())
                formConvert->BtnCancelClick();
        };
        formShowImage = std::make_unique<TFormShowImage>(form1.get(), core.Settings, core.Screens,
                                                         core.Flags.EditWaveImage);
        form1->ShowBackgroundImage = [this] { formShowImage->exec(); };
        const PlayerPictures pictures{form2->ImagePPlay1,  form2->ImagePPlay2,  form2->ImagePPause1,
                                      form2->ImagePPause2, form2->ImagePStop1,  form2->ImagePStop2,
                                      form2->ImageHandle1, form2->ImageHandle2, form2->ImageClose1,
                                      form2->ImageClose2};
        formPlayer =
            std::make_unique<TFormPlayer>(pictures, core.Player, core.State(), core.Settings,
                                          core.Flags.HoverActive, form1.get());
        form1->PlayCurrentFile = [this] { formPlayer->PlayCurrentFile(); };
        // The main window's and the player's 33 ms ticks, started together, fall due on the same
        // millisecond and so share one wakeup of the window thread instead of taking two.
        if (form1->TimerRec->isActive()) {
            form1->TimerRec->start();
            formPlayer->Timer1->start();
        }
    }
    ~Windows() {
        formPlayer.reset();
        formShowImage.reset();
        formConvert.reset();
        formRecSettings.reset();
        formAbout.reset();
        form2.reset();
        form1.reset();
    }
};

} // namespace

int RunApplication(int argc, char** argv) {
    bool restart = false;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName("Sonvera");
        // Names the desktop entry, so that a Wayland compositor shows the program's own icon.
        QApplication::setDesktopFileName(SONVERA_APP_ID);
        FixedSizeWindows fixedSize;
        app.installEventFilter(&fixedSize);
        // A logout, a kill, Ctrl-C or the closing of the terminal closes the window as its close
        // box does, without the question; one that comes while the windows are made (a box
        // asking for a source) ends that box.
        TForm1* form1 = nullptr;
        bool ending = false;
        platform::TerminationSignals termination([&form1, &ending] {
            if (form1) {
                form1->CloseWithoutAsking();
                return;
            }
            ending = true;
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        Windows windows;
        form1 = windows.form1.get();
        if (ending) {
            form1->CloseWithoutAsking();
        } else {
            form1->show();
            app.exec();
        }
        restart = form1->Core().RestartRequested;
    }
    // Only now, with the hot keys and the capture released, may the new instance start.
    if (restart)
        platform::StartProgramAgain();
    return 0;
}
