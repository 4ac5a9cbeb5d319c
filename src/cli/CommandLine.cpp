#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "cli/HelpFormatter.h"
#include "model/Error.h"

namespace keelwright::cli {
namespace {

// The name of an option as typed, without its dashes or a value after '='.
std::string bareName(const std::string& argument) {
    const std::size_t start = argument.rfind("--", 0) == 0 ? 2 : 1;
    return argument.substr(start, argument.find('=') - start);
}

// The options of the command line that the command does not know, in the words its users are used to. Each
// name is quoted as input is, and a long list names its first few, so that no command line floods the line.
std::string unknownOptions(const std::vector<std::string>& unknown) {
    if (unknown.size() == 1) {
        return "Unknown option " + QuoteInput(bareName(unknown.front())) + ".";
    }
    constexpr std::size_t kNamed = 8;
    std::string text = "Unknown options: ";
    for (std::size_t i = 0; i < std::min(unknown.size(), kNamed); ++i) {
        text += (i == 0 ? "" : ", ") + QuoteInput(bareName(unknown[i]));
    }
    if (unknown.size() > kNamed) {
        text += " and " + std::to_string(unknown.size() - kNamed) + " more";
    }
    return text + ".";
}

// The option an argument names, if it is an option of the command.
const CLI::Option* optionOf(const CLI::App& app, const std::string& argument) {
    if (argument.size() < 2 || argument.front() != '-') {
        return nullptr;
    }
    return app.get_option_no_throw(argument.substr(0, argument.find('=')));
}

// The usage error for what the parser refused: a value given to an option that takes none, or an option
// at the end of the line that lacks its value. Anything else in the parser's own words.
std::string refusal(const CLI::ParseError& error, const CLI::App& app,
                    const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        const CLI::Option* option = optionOf(app, argument);
        if (option != nullptr && option->get_items_expected_max() == 0 &&
            argument.find('=') != std::string::npos) {
            return "Unexpected value after '" + argument.substr(0, argument.find('=')) + "'.";
        }
    }
    if (!arguments.empty()) {
        const CLI::Option* option = optionOf(app, arguments.back());
        if (option != nullptr && option->get_items_expected_max() > 0) {
            return "Missing value after '" + arguments.back() + "'.";
        }
    }
    return error.what();
}

}  // namespace

CommandLine::CommandLine(const Invocation& invocation, const std::string& description)
    : invocation_(invocation), app_(std::make_unique<CLI::App>(description, invocation.command)) {
    app_->set_help_flag();  // an ordinary flag, added last by parse() so that the help lists it last
    app_->allow_extras();   // unknown options are reported by parse(), in the usage error's words
    // Options begin with '-' on every system: on Windows CLI11 would take a root-relative path
    // ("/designs/house.wsc") for a "/designs" option.
    app_->allow_windows_style_options(false);
    app_->formatter(std::make_shared<HelpFormatter>());
    app_->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
}

CommandLine::~CommandLine() = default;

void CommandLine::addOption(const std::string& names, const std::string& help, const std::string& valueName) {
    app_->add_option(names, help)->type_name(valueName);
}

void CommandLine::addFlag(const std::string& names, const std::string& help) {
    app_->add_flag(names)->description(help);
}

void CommandLine::addPositional(const std::string& name, const std::string& help) {
    app_->add_option(name, positionals_, help);
    positionalAdded_ = true;
}

void CommandLine::parse(std::size_t fewest, std::size_t most) {
    if (!positionalAdded_) {
        // Collects what a command without positional arguments is given anyway, to refuse it below.
        app_->add_option("ARGUMENTS", positionals_)->group("");
    }
    app_->add_flag("-h,--help")->description("Shows this help.");
    const std::vector<std::string>& arguments = invocation_.arguments;
    std::vector<std::string> reversed;  // as CLI11 takes them
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        // "--name=" gives the empty value, where CLI11 would take the next argument instead.
        if (argument->size() > 3 && argument->starts_with("--") && argument->ends_with('=') &&
            std::find(arguments.begin(), argument.base(), "--") == argument.base()) {
            reversed.push_back("");
            reversed.push_back(argument->substr(0, argument->size() - 1));
        } else {
            reversed.push_back(*argument);
        }
    }
    try {
        app_->parse(reversed);
    } catch (const CLI::ParseError& e) {
        throw UsageError(refusal(e, *app_, arguments));
    }
    std::vector<std::string> unknown = app_->remaining();
    std::erase(unknown, "--");
    if (!unknown.empty()) {
        throw UsageError(unknownOptions(unknown));
    }
    if (isSet("--help")) {
        invocation_.out.write(app_->help());
        throw HelpShown{};
    }
    if (positionals_.size() < fewest) {
        throw UsageError("missing argument");
    }
    if (positionals_.size() > most) {
        throw UsageError("too many arguments");
    }
}

bool CommandLine::isSet(const std::string& name) const {
    return app_->get_option(name)->count() > 0;
}

std::string CommandLine::value(const std::string& name) const {
    const CLI::results_t& results = app_->get_option(name)->results();
    return results.empty() ? std::string() : results.back();
}

}  // namespace keelwright::cli
