#include "glyphtool/OptionGroups.h"

#include "glyphtool/CharRanges.h"

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

void AddAscentOption(CLI::App* command, int& ascent) {
    command->add_option("--ascent", ascent, "rows above the baseline, 0 to 7 (default 6)")
        ->check(CLI::Range(0, 7));
}

void AddCharsOption(CLI::App* command, std::vector<std::string>& chars,
                    const std::string& description) {
    command->add_option("--chars", chars, description)
        ->type_name("RANGE")
        ->allow_extra_args(false)
        ->check(Checked([](std::string_view text) { return ParseCharRange(text).has_value(); },
                        "a code point or range"));
}
