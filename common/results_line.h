#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cyfrolia {

// One saved grade as a line of a class file, in Windows-1250 and without its line break:
//
//     NAME ". Ocena: " GRADE ". Dnia: " DATE
//
// NAME is the first name, a blank and the last name, as typed: they may hold blanks, full stops
// and either label. The date is what follows the line's last ". Dnia: ", and the grade the digit
// before it, so whatever the save window builds reads back as the same pieces. The standard
// library only: the saving helper checks lines with it too.
struct ResultsLine {
    static constexpr std::string_view kGradeLabel = ". Ocena: ";
    static constexpr std::string_view kDateLabel = ". Dnia: ";
    static constexpr std::size_t kMaxNameLength = 15; // the first name, and the last name
    static constexpr std::size_t kMaxDateLength = 32;
    // The longest line the save window builds.
    static constexpr std::size_t kMaxLength =
        kMaxNameLength + 1 + kMaxNameLength + kGradeLabel.size() + 1 + kDateLabel.size() + kMaxDateLength;

    std::string name; // first name, blank, last name
    char grade = '0'; // '0' to '6'
    std::string date; // as the saving computer wrote it

    // Where the pieces stand in a written line; the same in bytes and in UTF-16, the labels being
    // ASCII and the code page single-byte.
    struct Places {
        std::size_t nameSize = 0;
        char grade = '0';
        std::size_t dateFrom = 0;
    };
    template <typename Char> static std::optional<Places> find(std::basic_string_view<Char> line);

    // Any line of a class file (edited by hand too, so no limit applies): its pieces, or nothing
    // when it is no grade line.
    static std::optional<ResultsLine> read(std::string_view line);

    // Whether the save window may write these pieces: a first and a last name of 1 to
    // kMaxNameLength characters, a grade "0" to "6", a date of 1 to kMaxDateLength characters
    // holding no ". Dnia: ", and only characters of the code page that are no control characters.
    bool fits() const;

    std::string text() const;

    // A character a name or a date may hold.
    static bool isAllowed(char16_t character);
};

// The line the save window writes from its fields' texts, or nothing when they don't fit.
std::optional<std::string> buildResultsLine(std::string_view firstName, std::string_view lastName,
                                            std::string_view grade, std::string_view date);

// Whether `line` is one the save window builds: it reads, and its pieces fit.
bool isResultsLine(std::string_view line);

template <typename Char>
std::optional<ResultsLine::Places> ResultsLine::find(std::basic_string_view<Char> line) {
    auto matches = [&](std::size_t at, std::string_view label) {
        if (at > line.size() || line.size() - at < label.size())
            return false;
        for (std::size_t i = 0; i < label.size(); ++i) {
            if (line[at + i] != Char(label[i]))
                return false;
        }
        return true;
    };
    // The last ". Dnia: ", with one grade digit and ". Ocena: " before it, and a name before them.
    for (std::size_t at = line.size(); at-- > 0;) {
        if (!matches(at, kDateLabel))
            continue;
        if (at < kGradeLabel.size() + 2)
            return std::nullopt;
        const Char grade = line[at - 1];
        if (grade < Char('0') || grade > Char('6') || !matches(at - 1 - kGradeLabel.size(), kGradeLabel))
            return std::nullopt;
        return Places{at - 1 - kGradeLabel.size(), char(grade), at + kDateLabel.size()};
    }
    return std::nullopt;
}

} // namespace cyfrolia
