#include "gui/services/qt_services.h"

#include "gui/main/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <memory>

namespace {

constexpr int kLongWord = 40;
const char kOpenQuestion[] = "harveloOpenQuestion";

// A word longer than a line (a long path) would make a box as wide as the word, past the edge
// of the screen, or cut it off. Zero-width spaces let such a word break after each '/' and at
// least every kLongWord characters; shorter words are left alone.
QString breakableText(const QString &text)
{
    QString out;
    QString word;
    auto flush = [&] {
        int run = 0;
        for (qsizetype i = 0; i < word.size(); ++i) {
            out += word[i];
            ++run;
            const bool more = i + 1 < word.size();
            if (more && word.size() > kLongWord && (word[i] == QLatin1Char('/') || run >= kLongWord)) {
                out += QChar(0x200B);
                run = 0;
            }
        }
        word.clear();
    };
    for (QChar c : text) {
        if (c.isSpace()) {
            flush();
            out += c;
        } else {
            word += c;
        }
    }
    flush();
    return out;
}

QMessageBox *makeBox(const Prompter::Box &box, QWidget *parent)
{
    static const char *const typedCaptions[] = {"Information", "Error", "Confirm", "", "Warning"};
    auto *mb = new QMessageBox(parent);
    switch (box.kind) {
    case Prompter::Kind::Information: mb->setIcon(QMessageBox::Information); break;
    case Prompter::Kind::Error: mb->setIcon(QMessageBox::Critical); break;
    case Prompter::Kind::Confirmation: mb->setIcon(QMessageBox::Question); break;
    case Prompter::Kind::Warning: mb->setIcon(QMessageBox::Warning); break;
    case Prompter::Kind::Plain: break;
    }
    mb->setWindowTitle(box.kind == Prompter::Kind::Plain
                           ? box.caption
                           : QString::fromLatin1(typedCaptions[int(box.kind)]));
    mb->setTextFormat(Qt::PlainText);
    mb->setText(breakableText(box.text));
    if (box.buttons == Prompter::Buttons::YesNo)
        mb->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        mb->setStandardButtons(QMessageBox::Ok);
    return mb;
}

Prompter::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return Prompter::Answer::Yes;
    case QMessageBox::No: return Prompter::Answer::No;
    case QMessageBox::Ok: return Prompter::Answer::Ok;
    default: return Prompter::Answer::Cancel;
    }
}

} // namespace

Prompter::Answer QtPrompter::ask(const Box &box, QWidget *parent)
{
    const std::unique_ptr<QMessageBox> mb(makeBox(box, parent));
    return answerOf(mb->exec());
}

// Not modal: the box's parent and every other window take input while it is open.
void QtPrompter::askOpen(const Box &box, QWidget *parent, std::function<void(Answer)> answered)
{
    QMessageBox *mb = makeBox(box, parent);
    mb->setAttribute(Qt::WA_DeleteOnClose);
    mb->setWindowModality(Qt::NonModal);
    mb->setProperty(kOpenQuestion, true);
    QObject::connect(mb, &QMessageBox::finished, mb, [mb, answered = std::move(answered)](int button) {
        const QVariant forced = mb->property(kOpenQuestion);
        answered(forced.userType() == QMetaType::Int ? Answer(forced.toInt()) : answerOf(button));
    });
    mb->show();
}

void QtPrompter::closeQuestions(QWidget *parent, Answer answer)
{
    if (!parent)
        return;
    for (QMessageBox *mb : parent->findChildren<QMessageBox *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!mb->property(kOpenQuestion).isValid() || !mb->isVisible())
            continue;
        mb->setProperty(kOpenQuestion, int(answer));
        mb->done(QMessageBox::Cancel);
    }
}

QStringList QtPrompter::openFiles(const FileDialog &dialog, QWidget *parent)
{
    QFileDialog fd(parent, dialog.title, dialog.directory, dialog.filter);
    fd.setFileMode(dialog.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    fd.setOption(QFileDialog::ReadOnly, false);
    if (fd.exec() != QDialog::Accepted)
        return {};
    return fd.selectedFiles();
}

QtDesktop::~QtDesktop()
{
    delete m_help;
}

void QtDesktop::openFolder(const QString &dir)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(dir));
}

void QtDesktop::openHelp()
{
    if (!m_help)
        m_help = new HelpWindow;
    m_help->showMaximized();
    m_help->raise();
    m_help->activateWindow();
}

void QtDesktop::restartProgram()
{
    QProcess::startDetached(QApplication::applicationFilePath(), {});
}
