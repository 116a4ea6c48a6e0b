#include "app/first_paint_probe.h"
#include "gui/main/forms.h"
#include "gui/main/harvelo_application.h"
#include "gui/services/qt_services.h"

#include <QCommandLineParser>
#include <csignal>
#include <exception>

namespace {

struct StartRequest {
    bool rip = false;
    bool convert = false;
    QStringList files;
};

// harvelo [--rip] [--convert] [FILE...]: what the desktop entry's actions and "open with" ask.
// --help and --version print and end the program.
StartRequest parseArguments(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Rips audio CDs to tagged files and converts audio files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("rip"), QStringLiteral("Rip the disc's tracks once the list is read.")});
    parser.addOption({QStringLiteral("convert"),
                      QStringLiteral("Choose audio files and open the encode or decode window with them.")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Audio files to encode (WAV) or decode (MP3, WMA, OGG)."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);
    return {parser.isSet(QStringLiteral("rip")), parser.isSet(QStringLiteral("convert")),
            parser.positionalArguments()};
}

// Runs after the first list refresh, which the window queued when it was shown.
void carryOut(const StartRequest &request)
{
    QMetaObject::invokeMethod(fm_main, [request] {
        if (!request.files.isEmpty())
            fm_main->openAudioFiles(request.files);
        if (request.convert)
            fm_main->ConvertFilesClick();
        if (request.rip)
            fm_main->btn_ripcdClick();
    }, Qt::QueuedConnection);
}

// --help and --version are answered without a window system, as on a console or in a script.
void answerWithoutWindows(int argc, char **argv)
{
    const QStringList console{"-h", "--help", "--help-all", "-?", "-v", "--version"};
    for (int i = 1; i < argc; ++i) {
        if (console.contains(QString::fromLocal8Bit(argv[i]))) {
            QCoreApplication app(argc, argv);
            app.setApplicationVersion(QStringLiteral(HARVELO_VERSION));
            parseArguments(app);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    // A file-size limit then fails the write, which the job tells, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // 150 % stays 1.5 rather than being rounded to 1 or 2; the skins carry pictures for 2.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    answerWithoutWindows(argc, argv);
    HarveloApplication app(argc, argv);
    app.setApplicationVersion(QStringLiteral(HARVELO_VERSION));
    const StartRequest request = parseArguments(app);
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
    carryOut(request);
    FirstPaintProbe::installIfAsked(fm_main, sinceMain);
    const int rc = app.exec();
    forms.reset();
    return rc;
}
