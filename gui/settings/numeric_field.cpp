#include "gui/settings/numeric_field.h"

#include "gui/services/prompter.h"

#include <QLineEdit>
#include <QLocale>
#include <algorithm>

namespace {

bool isAllowed(QChar c, bool commasAllowed)
{
    return c.isDigit() || (commasAllowed && c == QLatin1Char(','));
}

} // namespace

NumericField::NumericField(int minimum, int maximum, int maxLength, const Check &check,
                           QWidget *parent)
    : QSpinBox(parent), m_maxLength(maxLength), m_check(check)
{
    // Grouping with commas whatever the user's locale, as the settings always showed it.
    setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    setGroupSeparatorShown(true);
    setRange(minimum, maximum);
    setKeyboardTracking(false);
    connect(lineEdit(), &QLineEdit::textEdited, this, &NumericField::checkTypedText);
}

int NumericField::committedValue()
{
    interpretText();
    return value();
}

// Anything up to the maximum length passes the editor, so that the checks can say what is
// wrong with it; only a whole number within the range becomes the value.
QValidator::State NumericField::validate(QString &input, int &pos) const
{
    QString typed = input;
    typed.remove(locale().groupSeparator());
    if (typed.size() > m_maxLength)
        return QValidator::Invalid;
    const QValidator::State state = QSpinBox::validate(input, pos);
    return state == QValidator::Invalid ? QValidator::Intermediate : state;
}

void NumericField::checkTypedText(const QString &text)
{
    if (text.isEmpty())
        return refuse("The code must not be null!", m_check.fallback);
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A leading minus belongs to a field whose range goes below zero.
        const bool sign = i == 0 && text[i] == QLatin1Char('-') && minimum() < 0;
        if (!sign && !isAllowed(text[i], m_check.commasAllowed))
            return refuse(m_check.notIntegerMessage, m_check.fallback);
    }
    if (m_check.clampsToRange)
        return clampTypedNumber(text);
    if (!m_check.tooBigMessage)
        return;
    QString digits = text;
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number > m_check.limit)
        refuse(m_check.tooBigMessage, value());
}

void NumericField::clampTypedNumber(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const qlonglong number = digits.toLongLong(&ok);
    if (!ok || (number >= minimum() && number <= maximum()))
        return;
    setValue(int(std::clamp<qlonglong>(number, minimum(), maximum())));
    lineEdit()->setText(textFromValue(value()));
}

void NumericField::refuse(const char *message, int value)
{
    services::prompter().warning(QString::fromLatin1(message), this);
    setValue(value);
    // setValue leaves the text alone when the value did not change.
    lineEdit()->setText(textFromValue(this->value()));
}
