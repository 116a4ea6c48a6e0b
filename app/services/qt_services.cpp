#include "app/services/qt_services.h"

#include "app/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

Prompter::Answer QtPrompter::ask(const Box &box, QWidget *parent)
{
    static const char *const typedCaptions[] = {"Information", "Error", "Confirm", "", "Warning"};
    QMessageBox mb(parent);
    switch (box.kind) {
    case Kind::Information: mb.setIcon(QMessageBox::Information); break;
    case Kind::Error: mb.setIcon(QMessageBox::Critical); break;
    case Kind::Confirmation: mb.setIcon(QMessageBox::Question); break;
    case Kind::Warning: mb.setIcon(QMessageBox::Warning); break;
    case Kind::Plain: break;
    }
    mb.setWindowTitle(box.kind == Kind::Plain ? box.caption
                                              : QString::fromLatin1(typedCaptions[int(box.kind)]));
    mb.setText(box.text);
    if (box.buttons == Buttons::YesNo)
        mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        mb.setStandardButtons(QMessageBox::Ok);
    switch (mb.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
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
