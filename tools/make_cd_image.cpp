// Writes CUE/BIN audio CD images: the demo disc, or a disc of given tracks filled with the
// test pattern (see cd_image_writer.h).

#include "tools/cd_image_writer.h"
#include "tools/demo_disc.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// "FRAMES[:TITLE]", "MSms[:TITLE]" or "data:FRAMES".
bool parseTrack(const QString &arg, cdimage::Track *track)
{
    QString length = arg.section(QLatin1Char(':'), 0, 0);
    track->title = arg.section(QLatin1Char(':'), 1);
    if (length == QLatin1String("data")) {
        track->data = true;
        length = track->title;
        track->title.clear();
    }
    const bool inMs = length.endsWith(QLatin1String("ms"));
    bool ok = false;
    const qint64 value = (inMs ? length.chopped(2) : length).toLongLong(&ok);
    track->frames = inMs ? value * 44100 / 1000 : value;
    return ok && value > 0;
}

int fail(const QString &message)
{
    QTextStream(stderr) << "make_cd_image: " << message << "\n";
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a CUE/BIN audio CD image."));
    parser.addHelpOption();
    parser.addOptions({{QStringLiteral("demo"), QStringLiteral("Write the demo disc.")},
                       {QStringLiteral("artist"), QStringLiteral("Disc performer."), QStringLiteral("text")},
                       {QStringLiteral("album"), QStringLiteral("Disc title."), QStringLiteral("text")},
                       {QStringLiteral("bin"), QStringLiteral("Name of the .bin file."), QStringLiteral("name")}});
    parser.addPositionalArgument(QStringLiteral("cue"), QStringLiteral("The sheet to write."));
    parser.addPositionalArgument(QStringLiteral("tracks"),
                                 QStringLiteral("FRAMES[:TITLE], MSms[:TITLE] or data:FRAMES."));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return fail(QStringLiteral("no sheet given"));

    const bool demo = parser.isSet(QStringLiteral("demo"));
    cdimage::Disc disc = demo ? cdimage::demoDisc() : cdimage::Disc{};
    if (!demo) {
        disc.artist = parser.value(QStringLiteral("artist"));
        disc.album = parser.value(QStringLiteral("album"));
        for (const QString &arg : args.mid(1)) {
            cdimage::Track track;
            if (!parseTrack(arg, &track))
                return fail(QStringLiteral("bad track %1").arg(arg));
            disc.tracks.push_back(track);
        }
        if (disc.tracks.empty())
            return fail(QStringLiteral("no tracks given"));
    }
    disc.binFileName = parser.value(QStringLiteral("bin"));
    QString error;
    const auto source = demo ? cdimage::FrameSource(cdimage::demoFrame)
                             : cdimage::FrameSource(cdimage::patternFrame);
    if (!cdimage::writeImage(args.first(), disc, source, &error))
        return fail(error);
    return 0;
}
