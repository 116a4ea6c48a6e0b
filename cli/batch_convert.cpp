#include "cli/batch_convert.h"

#include "cli/cli_command.h"
#include "convert/conversion_figures.h"
#include "settings/ini_file.h"
#include "tags/album_gain.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

QCommandLineOption normalizeOption()
{
    return {QStringLiteral("normalize"), QStringLiteral("Normalize to RATIO percent of full scale (0 to 100)."),
            QStringLiteral("RATIO")};
}

std::optional<QString> readNormalizeRatio(const QCommandLineParser &parser, std::optional<float> *ratio)
{
    if (!parser.isSet(QStringLiteral("normalize")))
        return std::nullopt;
    bool ok = false;
    *ratio = parser.value(QStringLiteral("normalize")).toFloat(&ok);
    // "nan" and "inf" read as numbers, and NaN passes every comparison.
    if (!ok || !std::isfinite(**ratio) || **ratio < 0 || **ratio > 100)
        return QStringLiteral("--normalize takes a ratio from 0 to 100");
    return std::nullopt;
}

QCommandLineOption jobsOption(const QString &what)
{
    return {{QStringLiteral("j"), QStringLiteral("jobs")}, what, QStringLiteral("N")};
}

std::optional<QString> readJobs(const QCommandLineParser &parser, std::optional<int> *jobs)
{
    if (!parser.isSet(QStringLiteral("j")))
        return std::nullopt;
    bool ok = false;
    *jobs = parser.value(QStringLiteral("j")).toInt(&ok);
    if (!ok || **jobs < 1)
        return QStringLiteral("-j takes a number from 1");
    return std::nullopt;
}

namespace {

struct BatchOptions {
    QStringList inputs;
    QString outputDir;
    QString suffix;
    int workers = 1;
    bool force = false;
    std::optional<float> ratio;
};

// The target names of the window's jobs: encoding keeps the name, decoding adds "_NOM".
std::optional<QString> targetSuffix(const QString &format)
{
    const QString f = format.toLower();
    if (f == QLatin1String("mp3") || f == QLatin1String("ogg") || f == QLatin1String("wma")
        || f == QLatin1String("flac") || f == QLatin1String("opus"))
        return QLatin1Char('.') + f;
    if (f == QLatin1String("wav"))
        return QStringLiteral("_NOM.wav");
    return std::nullopt;
}

// A message tells which of the inputs it is about.
QString namingInput(const QString &input, const QString &message)
{
    return message.contains(input) ? message : input + QStringLiteral(": ") + message;
}

void addBatchOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Converts each INPUT into DIR as the encode and decode windows name their targets\n"
        "(<name>.mp3, .ogg, .wma, .flac, .opus; <name>_NOM.wav), N files at a time."));
    parser.addPositionalArgument(QStringLiteral("INPUT..."), QStringLiteral("The files to read."));
    parser.addOptions({
        {QStringLiteral("output-dir"), QStringLiteral("Write the targets into DIR."), QStringLiteral("DIR")},
        {QStringLiteral("format"), QStringLiteral("mp3, ogg, wma, flac, opus or wav."), QStringLiteral("EXT")},
        jobsOption(QStringLiteral("Convert N files at a time (default: the number of processors).")),
        normalizeOption(),
        {QStringLiteral("force"), QStringLiteral("Overwrite existing targets.")},
    });
}

// Reads the options; the message of the first bad one.
std::optional<QString> readOptions(const QCommandLineParser &parser, BatchOptions *options)
{
    options->inputs = parser.positionalArguments();
    options->outputDir = parser.value(QStringLiteral("output-dir"));
    options->force = parser.isSet(QStringLiteral("force"));
    if (options->inputs.isEmpty())
        return QStringLiteral("expected at least one INPUT; see --help");
    if (!QFileInfo(options->outputDir).isDir())
        return options->outputDir + QStringLiteral(" is not a directory");
    const auto suffix = targetSuffix(parser.value(QStringLiteral("format")));
    if (!suffix)
        return QStringLiteral("--format takes mp3, ogg, wma, flac, opus or wav");
    options->suffix = *suffix;
    std::optional<int> jobs;
    if (const auto bad = readJobs(parser, &jobs))
        return bad;
    options->workers = jobs.value_or(int(std::max(1u, std::thread::hardware_concurrency())));
    return readNormalizeRatio(parser, &options->ratio);
}

// Runs the files on `workers` threads and reports each result in input order, as soon as it
// and every earlier one are done, so that the messages read the same for any -j.
class Batch {
public:
    explicit Batch(const BatchOptions &options) : m_options(options), m_results(options.inputs.size()) {}

    int run()
    {
        const QStringList targets = targetsOf();
        const int workers = std::min<int>(m_options.workers, int(targets.size()));
        std::vector<std::thread> threads;
        for (int i = 0; i < workers; ++i)
            threads.emplace_back([this, &targets] { work(targets); });
        for (std::thread &thread : threads)
            thread.join();
        // The album's values once every file is written; a file that failed is not in it.
        if (replayGainMode(IniFile()) == ReplayGainMode::Album) {
            for (const AlbumGain::Failure &failure : m_album.tagFiles()) {
                failWith(failure.message);
                m_failed = true;
            }
        }
        return m_failed ? 1 : 0;
    }

private:
    QStringList targetsOf() const
    {
        QStringList targets;
        for (const QString &input : m_options.inputs)
            targets << conversionTarget(input, m_options.outputDir, m_options.suffix);
        return targets;
    }

    void work(const QStringList &targets)
    {
        for (int i = m_next++; i < int(targets.size()); i = m_next++) {
            std::optional<QString> failure = collision(targets, i);
            if (!failure)
                failure = convertChecked(m_options.inputs.at(i), targets.at(i), m_options.force,
                                         m_options.ratio, &m_album);
            finish(i, failure.value_or(QString()), failure.has_value());
        }
    }

    // Two inputs with one name would write the same target at once; the later one is refused.
    std::optional<QString> collision(const QStringList &targets, int index) const
    {
        const QString target = QDir::cleanPath(targets.at(index));
        for (int i = 0; i < index; ++i)
            if (QDir::cleanPath(targets.at(i)) == target)
                return target + QStringLiteral(" is also the target of ") + m_options.inputs.at(i);
        return std::nullopt;
    }

    void finish(int index, const QString &message, bool failed)
    {
        const std::lock_guard<std::mutex> lock(m_reportMutex);
        m_results[index] = Result{true, failed, message};
        for (; m_reported < int(m_results.size()) && m_results[m_reported].done; ++m_reported) {
            const Result &r = m_results[m_reported];
            if (r.failed) {
                m_failed = true;
                failWith(namingInput(m_options.inputs.at(m_reported), r.message));
            }
        }
    }

    struct Result {
        bool done = false;
        bool failed = false;
        QString message;
    };

    const BatchOptions &m_options;
    std::atomic<int> m_next{0};
    std::mutex m_reportMutex;
    std::vector<Result> m_results;
    int m_reported = 0;
    bool m_failed = false;
    AlbumGain m_album;
};

} // namespace

bool isBatchConvert(const QStringList &args)
{
    for (const QString &arg : args) {
        if (arg == QLatin1String("--"))
            return false;
        if (arg == QLatin1String("--output-dir") || arg.startsWith(QLatin1String("--output-dir=")))
            return true;
    }
    return false;
}

int runBatchConvert(const QStringList &args)
{
    QCommandLineParser parser;
    addBatchOptions(parser);
    int status = 0;
    if (!parseArgs(parser, args, -1, &status))
        return status;
    BatchOptions options;
    if (const auto bad = readOptions(parser, &options))
        return failWith(*bad);
    return Batch(options).run();
}
