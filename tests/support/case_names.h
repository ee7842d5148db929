#pragma once

#include <cctype>
#include <string>

namespace cyfrolia::testing {

// A GoogleTest case name from free text: letters and digits stay, the few signs the tables use
// are spelt out, so that the names read well and never change between runs.
inline std::string caseName(const std::string& text) {
    if (text.empty())
        return "Empty";
    std::string name;
    for (const char ch : text) {
        if (std::isalnum(static_cast<unsigned char>(ch)))
            name += ch;
        else if (ch == ' ')
            name += "Space";
        else if (ch == '+')
            name += "Plus";
        else if (ch == '-')
            name += "Minus";
        else if (ch == '.')
            name += "Dot";
        else
            name += '_';
    }
    return name;
}

} // namespace cyfrolia::testing
