// The results line: what the check accepts reads back as pieces that build the same line, the
// teacher's reader finds the same pieces, and whatever fields the save window can build from
// read back as themselves.
#include "common/cp1250.h"
#include "common/results_line.h"
#include "fuzz_check.h"
#include "teacher/grade_line.h"

#include <string>
#include <string_view>

using cyfrolia::ResultsLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const auto read = ResultsLine::read(input);
    if (read)
        check(read->text() == input);
    if (cyfrolia::isResultsLine(input))
        check(read && read->fits());

    // The teacher reads the decoded line at the same places.
    static const teacher::DateReader dates;
    const teacher::GradeLine line = teacher::readGradeLine(
        cyfrolia::cp1250::decode(QByteArray(input.data(), qsizetype(input.size()))), dates);
    check(line.read == read.has_value());
    if (read) {
        check(line.grade == read->grade - '0');
        check(line.nameSize == qsizetype(read->name.size()));
    }

    // Fields split at the first three newlines: built, they read back whole.
    std::string_view rest = input;
    std::string_view fields[4];
    for (int i = 0; i < 3; ++i) {
        const auto at = rest.find('\n');
        if (at == std::string_view::npos)
            return 0;
        fields[i] = rest.substr(0, at);
        rest.remove_prefix(at + 1);
    }
    fields[3] = rest;
    const auto built = cyfrolia::buildResultsLine(fields[0], fields[1], fields[2], fields[3]);
    if (!built)
        return 0;
    check(cyfrolia::isResultsLine(*built));
    const auto back = ResultsLine::read(*built);
    check(back && back->name == std::string(fields[0]) + " " + std::string(fields[1]) &&
          std::string_view(&back->grade, 1) == fields[2] && back->date == fields[3]);
    return 0;
}
