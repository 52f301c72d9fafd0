#include "ui/main/Application.h"

#include "platform/Restart.h"
#include "platform/SettingsLocation.h"
#include "platform/TerminationSignals.h"
#include "ui/main/main.h"

#include <QApplication>
#include <memory>

int RunApplication(int argc, char** argv) {
    bool restart = false;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName("Sonvera");
        // The windows, created once in their order and kept for the whole run.
        auto form1 = std::make_unique<TForm1>(platform::ChooseSettingsFile());
        // A logout or a kill closes the window as its close box does, without the question.
        platform::TerminationSignals termination([&form1] { form1->CloseWithoutAsking(); });
        form1->show();
        app.exec();
        restart = form1->Core().RestartRequested;
        form1.reset();
    }
    // Only now, with the hot keys and the capture released, may the new instance start.
    if (restart)
        platform::StartProgramAgain();
    return 0;
}
