#pragma once

// The templates of a multi text with header lines. Sphere's .EXTRACT can write several into one file, each
// with its four header lines and its tile lines; the game's own multi text (and UO Architect's) gives the
// version line once, at the top, and each further template three header lines of its own.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace keelwright {

struct MultiTxtTemplate {
    std::string_view text;         // its lines, up to the next template's first line
    std::int64_t linesBefore = 0;  // the file's lines before its first header line
    int headerLines = 4;           // version, template id, item version, count; 3 without the version
    std::string_view id;           // the first word of its second header line ("N template id")
    std::string_view count;        // the first word of its count line
};

// How many header lines a template that begins with this line has: 4 from a version line (a whole number
// and "version"), 3 from a template id line (a whole number, "template" and "id"), words in any letter case;
// 0 for any other line. A tile line has four words or more, so it never begins one.
int TemplateHeaderLines(std::string_view line);

// The templates of a multi text: the first begins at line 1, each further one at the first line after the
// header lines of the one before that begins a template (TemplateHeaderLines). Always one at least, which
// may be cut short.
std::vector<MultiTxtTemplate> FindTemplates(std::string_view text);

}  // namespace keelwright
