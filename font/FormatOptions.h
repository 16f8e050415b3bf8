#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "font/CharRange.h"

namespace font {

// One option a format takes, as the command line shows and checks it. A value
// is an integer from `low` to `high`, one of `choices`, or text for which
// `valid` holds; a switch takes none.
struct OptionSpec {
    enum class Kind { Text, Integer, Choice, Switch };

    std::string flag;         // "--ascent"
    std::string alias;        // "-D", or empty
    std::string placeholder;  // "IDENT"; empty for numbers and choices
    std::string help;
    Kind kind = Kind::Text;
    long low = 0, high = 0;
    std::vector<std::string> choices;
    bool (*valid)(std::string_view) = nullptr;
    std::string what;  // what `valid` asks for: "a C identifier"
    // Instead of `valid`: why a text is refused, or nothing when it is taken.
    std::optional<std::string> (*refusal)(std::string_view) = nullptr;
    bool repeatable = false;

    static OptionSpec Integer(std::string flag, std::string help, long low, long high);
    static OptionSpec Switch(std::string flag, std::string help);
    static OptionSpec Choice(std::string flag, std::string help, std::vector<std::string> choices);
    // Text; `valid`, when given, says whether a value is `what`.
    static OptionSpec Text(std::string flag, std::string placeholder, std::string help,
                           bool (*valid)(std::string_view) = nullptr, std::string what = {});

    // Why `value` cannot be taken ("'a-b' is not a usable family name"), or
    // nothing when it can.
    std::optional<std::string> Refuse(const std::string& value) const;
};

// Options that go together, defined once and taken whole by each format that
// uses them, so that they read and fail alike everywhere.
struct OptionGroup {
    std::vector<OptionSpec> options;
    // What the group is for, said to a user who gives its options for a file
    // that takes none of them: "--ascent and --font are for C headers".
    std::string purpose;

    bool Has(std::string_view flag) const;
};

// The options given on a command line, by flag, each with its values in the
// order given.
class OptionValues {
  public:
    void Add(const std::string& flag, std::string value);
    bool Has(std::string_view flag) const;
    std::optional<std::string> Text(std::string_view flag) const;
    // The value of an integer option, which its spec has checked.
    std::optional<int> Integer(std::string_view flag) const;
    std::vector<std::string> All(std::string_view flag) const;
    std::vector<std::string> Flags() const;

  private:
    std::vector<std::pair<std::string, std::vector<std::string>>> values_;
};

// The code points --chars picks, all when it is not given.
std::vector<CharRange> ChosenRanges(const OptionValues& values);
// What --ascent, --line-height and --family give, or their defaults: 6 rows,
// 8 rows, and a family name made from `defaultName` (the folder's name).
int ChosenAscent(const OptionValues& values);
int ChosenLineHeight(const OptionValues& values);
std::string ChosenFamily(const OptionValues& values, std::string_view defaultName);

// The groups that several formats take.
const OptionGroup& AscentOption();      // --ascent N, rows above the baseline, 6 by default
const OptionGroup& CharsOption();       // --chars RANGE, repeatable
const OptionGroup& FamilyOption();      // --family NAME, the folder's name by default
const OptionGroup& LineHeightOption();  // --line-height N, 8 by default

}  // namespace font
