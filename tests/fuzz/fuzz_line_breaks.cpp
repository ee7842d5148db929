// Line-break normalisation and the one-line append of the results files: any bytes at all.
#include "common/results_file.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// Every break is CR LF: no CR without LF after it, no LF without CR before it.
bool onlyCrLf(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return false;
    }
    return true;
}

QByteArray withoutBreaks(QByteArray bytes) {
    bytes.replace('\r', QByteArray());
    bytes.replace('\n', QByteArray());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString();
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray text(first.data(), qsizetype(first.size()));

    const QByteArray normalised = cyfrolia::normaliseLineBreaks(text);
    check(onlyCrLf(normalised));
    check(cyfrolia::normaliseLineBreaks(normalised) == normalised);
    check(withoutBreaks(normalised) == withoutBreaks(text)); // every other byte stays, in order
    check(normalised.count("\r\n") ==
          text.count("\r\n") + text.count('\r') - text.count("\r\n") + text.count('\n') - text.count("\r\n"));

    // The line the program adds never holds a break of its own.
    const QByteArray line = withoutBreaks(QByteArray(rest.data(), qsizetype(rest.size())));
    const QByteArray appended = normalised + cyfrolia::appendedTail(normalised, line);
    check(appended.startsWith(normalised));
    check(onlyCrLf(appended));
    check(appended.count("\r\n") == normalised.count("\r\n") + 1);
    // The new line stands alone: after the last break, or after a new one when the last line has none.
    const QByteArray tail = cyfrolia::appendedTail(normalised, line);
    if (normalised.isEmpty() || normalised.endsWith("\r\n"))
        check(tail == line + "\r\n");
    else
        check(tail == "\r\n" + line);

    // Shown in the viewer: one character a byte, CR LF as one '\n'.
    const QString shown = cyfrolia::textForDisplay(normalised);
    check(shown.size() == normalised.size() - normalised.count("\r\n"));
    check(!shown.contains(QChar(u'\r')) && !shown.contains(QChar(u'\0')));
    return 0;
}
