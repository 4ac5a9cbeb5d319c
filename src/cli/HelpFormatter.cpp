#include "cli/HelpFormatter.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace keelwright::cli {
namespace {

constexpr std::size_t kLineWidth = 79;
constexpr std::size_t kMaxNameWidth = 50;

// "-o, --output <FILE>": every name of the option, then its value name.
std::string namesOf(const CLI::Option& option) {
    std::string names;
    for (const std::string& name : option.get_snames()) {
        names += (names.empty() ? "-" : ", -") + name;
    }
    for (const std::string& name : option.get_lnames()) {
        names += (names.empty() ? "--" : ", --") + name;
    }
    if (option.get_items_expected_max() > 0) {
        names += " <" + option.get_type_name() + ">";
    }
    return names;
}

// The lines of `text` cut at spaces so that none is longer than `width`; a word longer than that is cut.
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, end - at);
        at = end + 1;
        while (word.size() > width) {
            if (!line.empty()) {
                lines.push_back(std::exchange(line, {}));
            }
            lines.push_back(word.substr(0, width));
            word.erase(0, width);
        }
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(std::exchange(line, {}));
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty() || lines.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// One entry of the list: the names in the first column, the description wrapped in the second.
std::string entry(const std::string& names, const std::string& description, std::size_t nameWidth) {
    const std::vector<std::string> lines = wrapped(description, kLineWidth - (nameWidth + 3));
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string first = i == 0 ? names : std::string();
        text += "  " + first + std::string(nameWidth - std::min(nameWidth, first.size()), ' ') + " " +
                lines[i] + "\n";
    }
    return text;
}

}  // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::pair<std::string, std::string>> arguments;
    std::size_t nameWidth = 0;
    for (const CLI::Option* option : app->get_options()) {
        if (option->get_group().empty()) {
            continue;  // hidden: the catch-all for arguments that the command does not take
        }
        auto& list = option->get_positional() ? arguments : options;
        list.emplace_back(option->get_positional() ? option->get_name() : namesOf(*option),
                          option->get_description());
        nameWidth = std::max(nameWidth, list.back().first.size() + 1);
    }
    nameWidth = std::min(nameWidth, kMaxNameWidth);

    std::string text = "Usage: " + app->get_name() + (options.empty() ? "" : " [options]");
    for (const auto& argument : arguments) {
        text += " " + argument.first;
    }
    text += "\n" + app->get_description() + "\n\n";
    if (!options.empty()) {
        text += "Options:\n";
    }
    for (const auto& [names, description] : options) {
        text += entry(names, description, nameWidth);
    }
    if (!arguments.empty()) {
        text += (options.empty() ? "" : "\n") + std::string("Arguments:\n");
        for (const auto& [name, description] : arguments) {
            text += entry(name, description, nameWidth);
        }
    }
    return text;
}

}  // namespace keelwright::cli
