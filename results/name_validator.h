#pragma once

#include <QValidator>

// Keeps a name field to what a results file line can hold: characters of Windows-1250 that
// are text (no control characters, so no line breaks), at most `maximum` of them. Anything
// else is dropped as it is typed or pasted, never replaced. It keeps the limit itself rather
// than QLineEdit::maxLength, which would cut a paste before its unwanted characters are gone.
class NameValidator : public QValidator {
    Q_OBJECT
public:
    explicit NameValidator(int maximum, QObject* parent = nullptr) : QValidator(parent), m_maximum(maximum) {}

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

    static bool allowed(QChar c);

private:
    int m_maximum;
};
