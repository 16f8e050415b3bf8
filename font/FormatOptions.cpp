#include "font/FormatOptions.h"

#include <algorithm>
#include <charconv>

#include "font/FamilyName.h"

namespace font {

OptionSpec OptionSpec::Integer(std::string flag, std::string help, long low, long high) {
    OptionSpec spec;
    spec.flag = std::move(flag);
    spec.help = std::move(help);
    spec.kind = Kind::Integer;
    spec.low = low;
    spec.high = high;
    return spec;
}

OptionSpec OptionSpec::Switch(std::string flag, std::string help) {
    OptionSpec spec;
    spec.flag = std::move(flag);
    spec.help = std::move(help);
    spec.kind = Kind::Switch;
    return spec;
}

OptionSpec OptionSpec::Choice(std::string flag, std::string help,
                              std::vector<std::string> choices) {
    OptionSpec spec;
    spec.flag = std::move(flag);
    spec.help = std::move(help);
    spec.kind = Kind::Choice;
    spec.choices = std::move(choices);
    return spec;
}

OptionSpec OptionSpec::Text(std::string flag, std::string placeholder, std::string help,
                            bool (*valid)(std::string_view), std::string what) {
    OptionSpec spec;
    spec.flag = std::move(flag);
    spec.placeholder = std::move(placeholder);
    spec.help = std::move(help);
    spec.valid = valid;
    spec.what = std::move(what);
    return spec;
}

std::optional<std::string> OptionSpec::Refuse(const std::string& value) const {
    switch (kind) {
        case Kind::Integer: {
            long number = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            if (error == std::errc() && end == value.data() + value.size() && number >= low &&
                number <= high)
                return std::nullopt;
            return "'" + value + "' is not a number from " + std::to_string(low) + " to " +
                   std::to_string(high);
        }
        case Kind::Choice:
            if (std::find(choices.begin(), choices.end(), value) != choices.end())
                return std::nullopt;
            return "'" + value + "' is not one of the choices";
        case Kind::Switch:
            return std::nullopt;
        case Kind::Text:
            if (refusal != nullptr) return refusal(value);
            if (valid == nullptr || valid(value)) return std::nullopt;
            return "'" + value + "' is not " + what;
    }
    return std::nullopt;
}

bool OptionGroup::Has(std::string_view flag) const {
    return std::any_of(options.begin(), options.end(),
                       [flag](const OptionSpec& spec) { return spec.flag == flag; });
}

void OptionValues::Add(const std::string& flag, std::string value) {
    for (auto& [given, values] : values_)
        if (given == flag) {
            values.push_back(std::move(value));
            return;
        }
    values_.push_back({flag, {std::move(value)}});
}

bool OptionValues::Has(std::string_view flag) const {
    return !All(flag).empty();
}

std::optional<std::string> OptionValues::Text(std::string_view flag) const {
    std::vector<std::string> values = All(flag);
    if (values.empty()) return std::nullopt;
    return values.back();
}

std::optional<int> OptionValues::Integer(std::string_view flag) const {
    const std::optional<std::string> text = Text(flag);
    if (!text) return std::nullopt;
    int number = 0;
    std::from_chars(text->data(), text->data() + text->size(), number);
    return number;
}

std::vector<std::string> OptionValues::All(std::string_view flag) const {
    for (const auto& [given, values] : values_)
        if (given == flag) return values;
    return {};
}

std::vector<std::string> OptionValues::Flags() const {
    std::vector<std::string> flags;
    for (const auto& given : values_) flags.push_back(given.first);
    return flags;
}

std::vector<CharRange> ChosenRanges(const OptionValues& values) {
    std::vector<CharRange> ranges;
    for (const std::string& text : values.All("--chars"))
        if (const auto range = ParseCharRange(text)) ranges.push_back(*range);
    return ranges;
}

const OptionGroup& AscentOption() {
    static const OptionGroup group{
        {OptionSpec::Integer("--ascent", "rows above the baseline, 0 to 7 (default 6)", 0, 7)},
        "--ascent is for the formats that place glyphs on a baseline"};
    return group;
}

const OptionGroup& CharsOption() {
    static const OptionGroup group = [] {
        OptionSpec chars = OptionSpec::Text(
            "--chars", "RANGE",
            "only these characters: 0x20-0x7E, U+3040-U+309F, 65 (repeatable; default every "
            "glyph of the folder)",
            [](std::string_view text) { return ParseCharRange(text).has_value(); },
            "a code point or range");
        chars.repeatable = true;
        return OptionGroup{{chars}, "--chars picks characters"};
    }();
    return group;
}

int ChosenAscent(const OptionValues& values) {
    return values.Integer("--ascent").value_or(6);
}

int ChosenLineHeight(const OptionValues& values) {
    return values.Integer("--line-height").value_or(8);
}

std::string ChosenFamily(const OptionValues& values, std::string_view defaultName) {
    return values.Text("--family").value_or(FamilyNameFrom(defaultName));
}

const OptionGroup& FamilyOption() {
    static const OptionGroup group{
        {OptionSpec::Text("--family", "NAME",
                          "the family name (default: the folder's name); 1 to 199 characters of "
                          "printable ASCII without - * ? , \"",
                          IsFamilyName, "a usable family name")},
        "--family names a font family"};
    return group;
}

const OptionGroup& LineHeightOption() {
    static const OptionGroup group{
        {OptionSpec::Integer("--line-height",
                             "the distance from one baseline to the next, 1 to 255 (default 8)", 1,
                             255)},
        "--line-height sets a font's line height"};
    return group;
}

}  // namespace font
