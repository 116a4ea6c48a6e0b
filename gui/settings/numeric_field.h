#pragma once

#include <QSpinBox>

// A numeric setting: an edit that shows its value with digit grouping ("7,000") beside up/down
// arrows. The spin's value is what is loaded and stored; typed text becomes the value only when
// it is a whole number within the range, otherwise the last valid value stays.
//
// Text the user types is checked at once (never text set by the program). A failed check says
// why in a warning and puts a value back into the field:
// - empty: "The code must not be null!", the fallback value;
// - a character other than a digit (or a comma, where commas are allowed): notIntegerMessage,
//   the fallback value;
// - a number above the check's limit: tooBigMessage, the last valid value.
// A field that clamps takes a number beyond its range as the nearest end of it, shown at once.
class NumericField : public QSpinBox {
    Q_OBJECT
public:
    struct Check {
        int fallback;
        const char *notIntegerMessage = "The code must be integer!";
        bool commasAllowed = false;
        int limit = 0;                       // used only with tooBigMessage
        const char *tooBigMessage = nullptr; // nullptr: no limit check beyond the range
        bool clampsToRange = false;
    };

    NumericField(int minimum, int maximum, int maxLength, const Check &check,
                 QWidget *parent = nullptr);

    // The value to store: text typed since the last commit counts when it is valid.
    int committedValue();

    QValidator::State validate(QString &input, int &pos) const override;

private:
    void checkTypedText(const QString &text);
    void refuse(const char *message, int value);
    void clampTypedNumber(const QString &text);
    int m_maxLength;
    Check m_check;
};
