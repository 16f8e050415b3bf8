#include "glyphtool/OptionGroups.h"

CLI::Validator Checked(bool (*valid)(std::string_view), std::string what) {
    return CLI::Validator(
        [valid, what](std::string& text) {
            return valid(text) ? std::string() : "'" + text + "' is not " + what;
        },
        "");
}

void AddOutputOption(CLI::App* command, std::string& out, const std::string& description,
                     const char* placeholder, bool required) {
    CLI::Option* option =
        command->add_option("-o,--output", out, description)
            ->type_name(placeholder)
            ->check(CLI::Validator(
                [](std::string& text) { return text.empty() ? "-o names no file" : std::string(); },
                ""));
    option->required(required);
}

namespace {

// The flag and its alias as CLI11 takes them: "--define,-D".
std::string Names(const font::OptionSpec& spec) {
    return spec.alias.empty() ? spec.flag : spec.flag + "," + spec.alias;
}

}  // namespace

void FormatOptionsOnCommand::Add(const font::OptionGroup& group, bool checked) {
    for (const font::OptionSpec& spec : group.options) {
        if (CLI::Option* taken = command_->get_option_no_throw(spec.flag)) {
            // A flag that two formats take, each in its own way.
            if (taken->get_description() != spec.help)
                taken->description("as each format takes it: see export FORMAT --help");
            continue;
        }
        if (spec.kind == font::OptionSpec::Kind::Switch) {
            options_.emplace_back(spec.flag, command_->add_flag(Names(spec), spec.help));
            continue;
        }
        CLI::Option* option = command_->add_option(Names(spec), spec.help);
        option->type_size(1)->allow_extra_args(false);
        if (spec.repeatable) {
            option->expected(1, CLI::detail::expected_max_vector_size)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        }
        std::string choices;
        for (const std::string& choice : spec.choices)
            choices += (choices.empty() ? "" : "|") + choice;
        option->type_name(!spec.placeholder.empty()                      ? spec.placeholder
                          : spec.kind == font::OptionSpec::Kind::Integer ? "N"
                          : checked                                      ? ""
                                                                         : choices);
        if (checked) {
            using Kind = font::OptionSpec::Kind;
            if (spec.kind == Kind::Integer)
                option->check(CLI::Range(spec.low, spec.high));
            else if (spec.kind == Kind::Choice)
                option->check(CLI::IsMember(spec.choices));
            else if (spec.valid != nullptr || spec.refusal != nullptr)
                option->check(CLI::Validator(
                    [spec](std::string& text) { return spec.Refuse(text).value_or(""); }, ""));
        }
        options_.emplace_back(spec.flag, option);
    }
}

font::OptionValues FormatOptionsOnCommand::Values() const {
    font::OptionValues values;
    for (const auto& [flag, option] : options_) {
        if (option->get_expected_max() == 0) {
            if (option->count() > 0) values.Add(flag, "");
            continue;
        }
        for (const std::string& value : option->results()) values.Add(flag, value);
    }
    return values;
}
