#include "app/first_paint_probe.h"
#include "gui/main/forms.h"
#include "gui/main/harvelo_application.h"
#include "gui/services/qt_services.h"

#include <csignal>
#include <exception>

int main(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    // A file-size limit then fails the write, which the job tells, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    HarveloApplication app(argc, argv);
    QtPrompter prompter;
    QtDesktop desktop;
    services::setPrompter(&prompter);
    services::setDesktop(&desktop);

    std::unique_ptr<Forms> forms;
    try {
        forms = std::make_unique<Forms>();
    } catch (const std::exception &e) {
        // Nothing is on screen yet to restart from: say why and stop.
        prompter.plain(QStringLiteral("Harvelo"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
    fm_main->show();
    FirstPaintProbe::installIfAsked(fm_main, sinceMain);
    const int rc = app.exec();
    forms.reset();
    return rc;
}
