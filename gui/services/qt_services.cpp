#include "gui/services/qt_services.h"

#include "gui/main/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
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

// Keeps an open question above its window: raising or activating that window (a click on it,
// for Stop) would otherwise put it over the question, which then seems gone.
class KeepAbove : public QObject {
public:
    KeepAbove(QWidget *box, QWidget *window) : QObject(box), m_box(box)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (m_box->isVisible() && (t == QEvent::ZOrderChange || t == QEvent::WindowActivate))
            m_box->raise();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_box;
};

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
    if (parent)
        new KeepAbove(mb, parent->window());
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

// Qt's own dialog, so that the filter shows its words exactly as given, once: Qt would take
// the patterns from the words' parentheses, so the dialog's list is filtered by ours instead.
QStringList QtPrompter::openFiles(const FileDialog &dialog, QWidget *parent)
{
    QFileDialog fd(parent, dialog.title, dialog.directory);
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setFileMode(dialog.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    fd.setOption(QFileDialog::ReadOnly, false);
    fd.setNameFilter(dialog.filter);
    if (auto *model = fd.findChild<QFileSystemModel *>()) {
        const QStringList patterns = dialog.patterns;
        model->setNameFilters(patterns);
        QObject::connect(&fd, &QFileDialog::filterSelected, model,
                         [model, patterns] { model->setNameFilters(patterns); });
    }
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

void QtDesktop::openHelp(const QString &page)
{
    if (!m_help)
        m_help = new HelpWindow;
    // A modal window open now (the settings dialog, a job) would block a window that is not
    // its own: the help window becomes one of its windows, and goes back to being on its own.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == m_help)
        modal = nullptr;
    if (m_help->parentWidget() != modal) {
        const QRect place = m_help->normalGeometry();
        m_help->setParent(modal, Qt::Window);
        m_help->setGeometry(place);
    }
    m_help->showPage(page);
    m_help->showMaximized();
    m_help->raise();
    m_help->activateWindow();
}

void QtDesktop::restartProgram()
{
    QProcess::startDetached(QApplication::applicationFilePath(), {});
}
