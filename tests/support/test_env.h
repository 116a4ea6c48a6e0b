#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private settings directory and runtime directory for one test executable. Construct it
// before the QApplication (HARVELO_TEST_MAIN does) so every component sees the variables.
class TestEnv {
public:
    TestEnv();
    QString configDir() const { return m_config.path(); }
    QString iniPath() const;
    // A fresh, empty working directory for one test case.
    QString makeDir(const QString &name) const;
    void clearIni() const;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_runtime;
    QTemporaryDir m_cache;
    QTemporaryDir m_work;
};

TestEnv &testEnv();

// A whole file's bytes (empty when it cannot be read), and writing them (false on failure).
QByteArray fileBytes(const QString &path);
bool writeFileBytes(const QString &path, const QByteArray &bytes);

// Runs a program to its end; status -1 when it did not end normally in time.
struct ProcessResult {
    int status = -1;
    QByteArray out, err;
    QStringList outLines() const;
};
ProcessResult runProgram(const QString &program, const QStringList &args, int timeoutMs = 60000);

// After the application object exists: tests close windows freely without ending the run.
void prepareTestApplication();

// QTEST_MAIN with the test environment set up first.
#define HARVELO_TEST_MAIN(TestObject, AppClass)                                                    \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TestEnv env;                                                                               \
        AppClass app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        prepareTestApplication();                                                                  \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
