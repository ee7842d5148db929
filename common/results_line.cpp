#include "common/results_line.h"

#include "common/code_page.h"

#include <algorithm>

namespace cyfrolia {

namespace {

bool allowedText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return ResultsLine::isAllowed(cp1250::decode(static_cast<unsigned char>(c)));
    });
}

// A blank that leaves a first and a last name of allowed lengths on either side.
bool splitsIntoNames(std::string_view name) {
    for (std::size_t blank = 1; blank <= ResultsLine::kMaxNameLength && blank < name.size(); ++blank) {
        const std::size_t last = name.size() - blank - 1;
        if (name[blank] == ' ' && last >= 1 && last <= ResultsLine::kMaxNameLength)
            return true;
    }
    return false;
}

} // namespace

bool ResultsLine::isAllowed(char16_t character) {
    return character >= 0x20 && character != 0x7F && cp1250::canEncode(character);
}

std::optional<ResultsLine> ResultsLine::read(std::string_view line) {
    const auto places = find(line);
    if (!places)
        return std::nullopt;
    return ResultsLine{std::string(line.substr(0, places->nameSize)), places->grade,
                       std::string(line.substr(places->dateFrom))};
}

bool ResultsLine::fits() const {
    return splitsIntoNames(name) && grade >= '0' && grade <= '6' && !date.empty() &&
           date.size() <= kMaxDateLength && date.find(kDateLabel) == std::string::npos && allowedText(name) &&
           allowedText(date);
}

std::string ResultsLine::text() const {
    std::string line;
    line.reserve(name.size() + kGradeLabel.size() + 1 + kDateLabel.size() + date.size());
    line.append(name).append(kGradeLabel).append(1, grade).append(kDateLabel).append(date);
    return line;
}

std::optional<std::string> buildResultsLine(std::string_view firstName, std::string_view lastName,
                                            std::string_view grade, std::string_view date) {
    if (firstName.empty() || firstName.size() > ResultsLine::kMaxNameLength || lastName.empty() ||
        lastName.size() > ResultsLine::kMaxNameLength || grade.size() != 1)
        return std::nullopt;
    ResultsLine line{std::string(firstName).append(1, ' ').append(lastName), grade.front(),
                     std::string(date)};
    if (!line.fits())
        return std::nullopt;
    return line.text();
}

bool isResultsLine(std::string_view line) {
    const auto read = ResultsLine::read(line);
    return read && read->fits();
}

} // namespace cyfrolia
