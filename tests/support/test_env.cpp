#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>

namespace {
TestEnv *g_env = nullptr;
}

TestEnv::TestEnv()
{
    qputenv("HARVELO_CONFIG_DIR", m_config.path().toLocal8Bit());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit()); // DriveOffsets.bin, never the user's
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("HARVELO_AUDIO_OUTPUT"))
        qputenv("HARVELO_AUDIO_OUTPUT", "null");
    // Nothing a test runs reaches past this machine, whatever server a setting names: Qt sends
    // requests for other hosts to this proxy, a loopback port where nothing listens, without
    // resolving their names. The program reaches loopback servers directly.
    for (const char *name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy"})
        qputenv(name, "http://127.0.0.1:9");
    g_env = this;
}

QString TestEnv::iniPath() const
{
    return QDir(m_config.path()).filePath(QStringLiteral("harvelo.ini"));
}

QString TestEnv::makeDir(const QString &name) const
{
    QDir dir(m_work.path());
    QDir(dir.filePath(name)).removeRecursively();
    dir.mkpath(name);
    return dir.filePath(name);
}

void TestEnv::clearIni() const
{
    QFile::remove(iniPath());
}

TestEnv &testEnv()
{
    return *g_env;
}

void prepareTestApplication()
{
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        gui->setQuitOnLastWindowClosed(false);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QStringList ProcessResult::outLines() const
{
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

ProcessResult runProgram(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
