#include "results/name_validator.h"

#include "common/results_line.h"

bool NameValidator::allowed(QChar c) {
    return cyfrolia::ResultsLine::isAllowed(c.unicode());
}

QValidator::State NameValidator::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int cursor = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (allowed(input.at(i)))
            kept.append(input.at(i));
        else if (i < pos)
            --cursor;
    }
    // Over the limit, what was just typed or pasted (it ends at the cursor) loses its tail;
    // the text that was already there stays.
    if (kept.size() > m_maximum) {
        const int excess = int(kept.size()) - m_maximum;
        const int from = qMax(0, cursor - excess);
        kept.remove(from, excess);
        cursor = from;
    }
    if (kept != input) {
        input = kept;
        pos = qBound(0, cursor, int(kept.size()));
    }
    return Acceptable;
}

void NameValidator::fixup(QString& input) const {
    int pos = int(input.size());
    validate(input, pos);
}
