#include "ui/main/Application.h"

#include "platform/Restart.h"
#include "platform/SettingsLocation.h"
#include "platform/TerminationSignals.h"
#include "ui/main/Images.h"
#include "ui/main/main.h"

#include <QApplication>
#include <memory>

int RunApplication(int argc, char** argv) {
    bool restart = false;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName("Sonvera");
        // The windows, created once in their order and kept for the whole run. The skin holder
        // reads the settings and the family that the main window's creation set.
        auto form1 = std::make_unique<TForm1>(platform::ChooseSettingsFile());
        Recorder& core = form1->Core();
        TForm2 form2(core.Flags.VistaMode, core.Settings, core.Screens, form1.get());
        form1->SetSkins(form2);
        // A logout or a kill closes the window as its close box does, without the question.
        platform::TerminationSignals termination([&form1] { form1->CloseWithoutAsking(); });
        form1->show();
        app.exec();
        restart = core.RestartRequested;
        form1.reset();
    }
    // Only now, with the hot keys and the capture released, may the new instance start.
    if (restart)
        platform::StartProgramAgain();
    return 0;
}
