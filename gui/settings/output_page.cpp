#include "gui/settings/output_page.h"

#include "gui/services/prompter.h"
#include "settings/ini_file.h"
#include "gui/settings/numeric_field.h"
#include "gui/settings/setting_widgets.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

using namespace settings;

OutputPage::OutputPage(std::function<void(int)> formatCommand, QWidget *parent)
    : SettingPage(parent), m_formatCommand(std::move(formatCommand))
{
    auto *page = new QVBoxLayout(this);
    page->addWidget(createFormatGroup());
    page->addWidget(createNamingGroup());
    page->addWidget(createDirectoryGroup());
    page->addWidget(createReplacingGroup());
    page->addStretch();
    compactLayouts();
}

QWidget *OutputPage::createFormatGroup()
{
    TskGroupBox *box = group("Output format");
    skcd_outpputformat = new TskComboBox(box);
    fillCaptions(skcd_outpputformat, choices::outputTypes);
    // The main window follows a new choice at once, as its own format buttons do.
    connect(skcd_outpputformat, &QComboBox::activated, this,
            [this](int position) { m_formatCommand(position); });
    skcb_normalize = new TskCheckBox(QStringLiteral("Normalize to"), box);
    connect(skcb_normalize, &TskCheckBox::clicked, this, &OutputPage::skcb_normalizeClick);
    ud_normalize = new NumericField(0, 100, 3,
                                    {normalizeRatio.defaultValue, "The code must be integer!",
                                     false, 100, "The code must not be bigger than 100!"},
                                    box);
    auto *row = new QHBoxLayout(box);
    row->addWidget(skcd_outpputformat, 1);
    row->addSpacing(12);
    row->addWidget(skcb_normalize);
    row->addWidget(ud_normalize);
    row->addWidget(label("%"));
    return box;
}

QWidget *OutputPage::createNamingGroup()
{
    TskGroupBox *box = group("Naming rule for output  files");
    skcb_filenameformat = new TskComboBox(box);
    fillCaptions(skcb_filenameformat, choices::namingRules);
    auto *row = new QHBoxLayout(box);
    row->addWidget(skcb_filenameformat);
    return box;
}

QWidget *OutputPage::createDirectoryGroup()
{
    TskGroupBox *box = group("Output Directory");
    skedt_outputdir = new TskEdit(box);
    skedt_outputdir->setEnabled(false);
    skbtn_outputdir = new TskButton(QStringLiteral("Select directory"), box);
    skbtn_outputdir->setAutoDefault(false);
    auto *row = new QHBoxLayout(box);
    row->addWidget(skedt_outputdir, 1);
    row->addWidget(skbtn_outputdir);
    return box;
}

QWidget *OutputPage::createReplacingGroup()
{
    TskGroupBox *box = group("File name character replacing");
    auto *row = new QHBoxLayout(box);
    for (int i = 0; i < 9; ++i) {
        row->addWidget(new QLabel(QString(replacements[i].replaced), box));
        skedt_replace[i] = new TskEdit(box);
        skedt_replace[i]->setMaxLength(1);
        skedt_replace[i]->setFixedWidth(22);
        skedt_replace[i]->setAlignment(Qt::AlignCenter);
        row->addWidget(skedt_replace[i]);
        connect(skedt_replace[i], &QLineEdit::textEdited, this,
                [this, i](const QString &text) { checkReplacement(i, text); });
    }
    row->addStretch();
    return box;
}

// A replacement that is itself a character a file name cannot hold would defeat its purpose.
void OutputPage::checkReplacement(int field, const QString &text)
{
    const bool forbidden =
        std::any_of(replacements.begin(), replacements.end(),
                    [&](const Replacement &r) { return text == QString(r.replaced); });
    if (!forbidden)
        return;
    const bool withBlank = field == 0 || field == 7;
    services::prompter().information(text + (withBlank
                                                 ? QStringLiteral(" must not be in filename!")
                                                 : QStringLiteral("must not be in filename!")),
                                     this);
    skedt_replace[field]->clear();
}

void OutputPage::setNormalize(bool on)
{
    skcb_normalize->setChecked(on);
    skcb_normalizeClick();
}

void OutputPage::skcb_normalizeClick()
{
    ud_normalize->setEnabled(skcb_normalize->isChecked());
}

void OutputPage::load(const IniFile &ini)
{
    selectPosition(skcd_outpputformat, ini.read(outputType), outputType.defaultValue);
    setNormalize(ini.read(normalize) == QLatin1String(kNormalizeOn));
    ud_normalize->setValue(ini.read(normalizeRatio));
    selectPosition(skcb_filenameformat, ini.read(filenameFormat), filenameFormat.defaultValue);
    skedt_outputdir->setText(ini.read(outputDirectory));
    for (int i = 0; i < 9; ++i)
        skedt_replace[i]->setText(ini.read(replacements[i].key));
}

void OutputPage::save(IniFile &ini)
{
    ini.write(normalize, QLatin1String(skcb_normalize->isChecked() ? kNormalizeOn : kNormalizeOff));
    ini.write(normalizeRatio, ud_normalize->committedValue());
    ini.write(outputType, skcd_outpputformat->currentIndex());
    m_formatCommand(skcd_outpputformat->currentIndex());
    ini.write(filenameFormat, skcb_filenameformat->currentIndex());
    ini.write(outputDirectory, skedt_outputdir->text());
    for (int i = 0; i < 9; ++i)
        ini.write(replacements[i].key, skedt_replace[i]->text());
}

// "&Default" is a preset the user asks for, not the fallback of an absent key: its naming rule
// and replacements differ from those. The output directory stays: only the picker changes it.
void OutputPage::setDefaults(const IniFile &)
{
    constexpr int presetNamingRule = 1; // "<Title>-<Artist>"
    skcd_outpputformat->setCurrentIndex(outputType.defaultValue);
    m_formatCommand(outputType.defaultValue);
    setNormalize(normalize.defaultValue() == QLatin1String(kNormalizeOn));
    ud_normalize->setValue(normalizeRatio.defaultValue);
    skcb_filenameformat->setCurrentIndex(presetNamingRule);
    for (int i = 0; i < 9; ++i)
        skedt_replace[i]->setText(QStringLiteral("#"));
}
