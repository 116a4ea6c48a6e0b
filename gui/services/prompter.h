#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Every message box and file dialog of the program goes through the installed Prompter, so
// tests can script the answers. Call it on the UI thread only.
class Prompter {
public:
    enum class Kind { Information, Error, Confirmation, Plain, Warning };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Box {
        Kind kind = Kind::Information;
        QString caption; // plain boxes only; typed boxes take the application title
        QString text;
        Buttons buttons = Buttons::Ok;
    };

    struct FileDialog {
        QString title;
        QString filter;       // the filter's words, shown exactly as they are
        QStringList patterns; // the file names it lists ("*.wav")
        QString directory;
        bool multiSelect = false;
        // Filter and patterns from the "words|pattern;pattern" form.
        void setFilter(const QString &wordsAndPatterns);
    };

    virtual ~Prompter() = default;
    virtual Answer ask(const Box &box, QWidget *parent = nullptr) = 0;
    // A box that leaves every window usable while it is open (a job's question, so that Stop
    // can be pressed meanwhile). `answered` runs once, on the UI thread, with the user's answer
    // or the one closeQuestions() gives. This default asks at once and blocks.
    virtual void askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered);
    // Closes the open boxes of `parent` as if `answer` had been chosen in them.
    virtual void closeQuestions(QWidget *parent, Answer answer);
    // Existing files chosen by the user; empty when cancelled.
    virtual QStringList openFiles(const FileDialog &dialog, QWidget *parent = nullptr) = 0;

    // Shorthands for the typed boxes.
    void information(const QString &text, QWidget *parent = nullptr);
    void error(const QString &text, QWidget *parent = nullptr);
    void warning(const QString &text, QWidget *parent = nullptr);
    bool confirm(const QString &text, QWidget *parent = nullptr);         // Yes/No confirmation
    bool askInformation(const QString &text, QWidget *parent = nullptr);  // Yes/No information
    bool askError(const QString &text, QWidget *parent = nullptr);        // Yes/No error
    Answer plain(const QString &caption, const QString &text, Buttons buttons = Buttons::Ok,
                 QWidget *parent = nullptr);
};

// The system's file browser, help and restart.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void openFolder(const QString &dir) = 0;
    // The help window, on `page` of the help pages (a file name) or on their index.
    virtual void openHelp(const QString &page = QString()) = 0;
    virtual void restartProgram() = 0;
};

// The installed services. Production installs the Qt ones in main(); tests install scripted ones.
namespace services {
Prompter &prompter();
Desktop &desktop();
void setPrompter(Prompter *p); // not owned
void setDesktop(Desktop *d);   // not owned
} // namespace services
