// The name fields' check: whatever is typed or pasted, what stays is storable and within the limit.
#include "common/cp1250.h"
#include "fuzz_check.h"
#include "results/name_validator.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first byte is the limit and the second the cursor; the rest is the text, as UTF-16.
    const int maximum = data[0] % 32;
    const int length = int((size - 2) / 2);
    QString input(length, Qt::Uninitialized);
    std::memcpy(input.data(), data + 2, size_t(length) * 2);
    int pos = length ? data[1] % (length + 1) : 0;

    const NameValidator validator(maximum);
    const QString before = input;
    QString typed = input;
    check(validator.validate(typed, pos) == QValidator::Acceptable);
    check(pos >= 0 && pos <= typed.size());
    check(typed.size() <= maximum);
    for (const QChar c : typed)
        check(NameValidator::allowed(c) && cyfrolia::cp1250::canEncode(c.unicode()) && c != u'\r' &&
              c != u'\n');
    // What stays is what was given, in order, only with characters dropped.
    qsizetype from = 0;
    for (const QChar c : typed) {
        from = before.indexOf(c, from);
        check(from >= 0);
        ++from;
    }
    // Checking again changes nothing.
    QString again = typed;
    int againPos = pos;
    validator.validate(again, againPos);
    check(again == typed && againPos == pos);

    QString fixed = before;
    validator.fixup(fixed);
    check(fixed.size() <= maximum);
    return 0;
}
