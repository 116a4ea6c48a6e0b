// Renders a dialog built from the skinned controls in each built-in theme, a popup menu and
// the program's own dialogs to PNG files, for checking them by eye:
//   harvelo_skin_gallery OUT_DIR

#include "gui/main/forms.h"
#include "gui/services/prompter.h"
#include "skin/sk_controls.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QVBoxLayout>

namespace {

const char *const kThemeNames[] = {"MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"};

QWidget *outputPage()
{
    auto *page = new QWidget;
    auto *group = new TskGroupBox(QStringLiteral("Output format"), page);
    group->setGeometry(8, 8, 170, 110);
    const char *formats[] = {"MP3", "WAV", "WMA", "OGG"};
    for (int i = 0; i < 4; ++i) {
        auto *radio = new TskRadioButton(QString::fromLatin1(formats[i]), group);
        radio->setGeometry(12, 22 + 21 * i, 80, 17);
        radio->setChecked(i == 0);
    }
    auto *normalize = new TskCheckBox(QStringLiteral("Normalize"), page);
    normalize->setGeometry(192, 16, 120, 17);
    normalize->setChecked(true);
    auto *tags = new TskCheckBox(QStringLiteral("Write tags"), page);
    tags->setGeometry(192, 38, 120, 17);
    auto *locked = new TskCheckBox(QStringLiteral("Locked"), page);
    locked->setGeometry(192, 60, 120, 17);
    locked->setChecked(true);
    locked->setEnabled(false);
    auto *dir = new TskEdit(QStringLiteral("/home/user/Music"), page);
    dir->setGeometry(192, 84, 150, 20);
    auto *rule = new TskComboBox(page);
    rule->addItems({QStringLiteral("Artist - Track name"), QStringLiteral("Track number")});
    rule->setGeometry(8, 128, 180, 21);
    auto *panel = new TskImagePanel(page);
    panel->setGeometry(192, 112, 150, 36);
    return page;
}

QDialog *themedDialog(UIStyle theme)
{
    auto *dialog = new QDialog;
    dialog->setWindowTitle(QStringLiteral("Setting"));
    auto *form = new TskForm(dialog);
    form->titleBar()->setButtons({TskTitleBar::skControlBox, TskTitleBar::skHelp,
                                  TskTitleBar::skMin, TskTitleBar::skMax, TskTitleBar::skClose});
    auto *tabs = new TskTabControl(form);
    const char *captions[] = {"CDDB", "CD Settings", "Output", "MP3", "WMA", "OGG"};
    for (const char *c : captions)
        tabs->addTab(QString::fromLatin1(c) == QLatin1String("Output") ? outputPage() : new QWidget,
                     QString::fromLatin1(c));
    tabs->setCurrentIndex(2);
    auto *bar = new TskProgressBar(form);
    bar->setValue(60);
    auto *ok = new TskButton(QStringLiteral("OK"), form);
    auto *cancel = new TskButton(QStringLiteral("Cancel"), form);
    auto *layout = new QVBoxLayout(form);
    layout->addWidget(tabs, 1);
    layout->addWidget(bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    dialog->resize(400, 330);
    form->setUIStyle(theme);
    for (QWidget *c : tabs->findChildren<QWidget *>())
        if (auto *styled = dynamic_cast<TskStyled *>(c))
            styled->setUIStyle(theme);
    return dialog;
}

QImage menuPicture(UIStyle theme)
{
    TskPopupMenu menu;
    menu.addAction(QStringLiteral("&Refresh"));
    menu.addAction(QStringLiteral("&FREEDB"));
    menu.addAction(QStringLiteral("&Rip CD"))->setEnabled(false);
    menu.addSeparator();
    QAction *checked = menu.addAction(QStringLiteral("Select &All"));
    checked->setCheckable(true);
    checked->setChecked(true);
    menu.addMenu(QStringLiteral("Select &Skin"))->addAction(QStringLiteral("Pewter"));
    menu.addAction(QStringLiteral("E&xit"));
    menu.setUIStyle(theme);
    menu.setActiveAction(menu.actions().at(1));
    menu.adjustSize();
    return menu.grab().toImage();
}

// Answers every box with No and every file dialog with Cancel: nothing may wait for a user.
class SilentPrompter : public Prompter {
public:
    Answer ask(const Box &, QWidget *) override { return Answer::No; }
    QStringList openFiles(const FileDialog &, QWidget *) override { return {}; }
};

// The windows are grabbed without being shown: showing a job window would start its job.
void grabWindows(const QDir &out)
{
    SilentPrompter prompter;
    services::setPrompter(&prompter);
    {
        Forms forms;
        const std::pair<QWidget *, const char *> windows[] = {
            {fm_setting, "setting"}, {fm_progress, "progress"}, {fm_encode, "encode"},
            {fm_decode, "decode"},   {fm_outputdir, "outputdir"}};
        for (const auto &[window, name] : windows)
            window->grab().save(out.filePath(QStringLiteral("window-%1.png").arg(name)));
    }
    services::setPrompter(nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (int t = 0; t < 5; ++t) {
        const auto theme = static_cast<UIStyle>(t + 1);
        QDialog *dialog = themedDialog(theme);
        dialog->show();
        app.processEvents();
        dialog->grab().save(out.filePath(QStringLiteral("theme-%1.png").arg(kThemeNames[t])));
        menuPicture(theme).save(out.filePath(QStringLiteral("menu-%1.png").arg(kThemeNames[t])));
        delete dialog;
    }
    grabWindows(out);
    return 0;
}
