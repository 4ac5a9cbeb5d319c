#pragma once

// The templates of a multi text with header lines. Sphere's .EXTRACT can write several into one file, each
// with its four header lines and its tile lines.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace keelwright {

struct MultiTxtTemplate {
    std::string_view text;         // its lines, up to the next template's first line
    std::int64_t linesBefore = 0;  // the file's lines before its first header line
    std::string_view id;           // the first word of its second header line ("N template id")
    std::string_view count;        // the first word of its count line
};

// Whether a line begins a further template: two words, a whole number and "version" in any letter case.
// A tile line has four words or more, so it never does.
bool IsTemplateStart(std::string_view line);

// The templates of a multi text: the first begins at line 1, each further one at the first line after the
// count line of the one before that IsTemplateStart. Always one at least, which may be cut short.
std::vector<MultiTxtTemplate> FindTemplates(std::string_view text);

}  // namespace keelwright
