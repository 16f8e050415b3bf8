#include <gtest/gtest.h>

#include "font/FormatOptions.h"

namespace font {
namespace {

bool IsShort(std::string_view text) {
    return text.size() <= 3;
}

// Says only the part before '=' is wrong, as a macro definition would.
std::optional<std::string> NameBeforeEquals(std::string_view text) {
    const std::string_view name = text.substr(0, text.find('='));
    if (!name.empty() && name.front() != '2') return std::nullopt;
    return "'" + std::string(name) + "' is not a name";
}

TEST(OptionSpec, RefusesWhatItsKindDoesNotTake) {
    const OptionSpec integer = OptionSpec::Integer("--n", "", 1, 255);
    const OptionSpec choice = OptionSpec::Choice("--c", "", {"rows", "columns"});
    const OptionSpec text = OptionSpec::Text("--t", "T", "", IsShort, "short");
    const OptionSpec free = OptionSpec::Text("--f", "F", "");
    const OptionSpec flag = OptionSpec::Switch("--s", "");
    OptionSpec explained = OptionSpec::Text("--d", "D", "", IsShort, "short");
    explained.refusal = NameBeforeEquals;
    const struct {
        const OptionSpec& spec;
        std::string value;
        std::optional<std::string> reason;
    } cases[] = {
        {integer, "1", std::nullopt},
        {integer, "255", std::nullopt},
        {integer, "0", "'0' is not a number from 1 to 255"},
        {integer, "256", "'256' is not a number from 1 to 255"},
        {integer, "12x", "'12x' is not a number from 1 to 255"},
        {integer, "", "'' is not a number from 1 to 255"},
        {choice, "columns", std::nullopt},
        {choice, "row", "'row' is not one of the choices"},
        {text, "abc", std::nullopt},
        {text, "abcd", "'abcd' is not short"},
        {free, "anything at all", std::nullopt},
        {flag, "", std::nullopt},
        {explained, "LONG=1", std::nullopt},
        {explained, "2X=1", "'2X' is not a name"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.spec.Refuse(c.value), c.reason) << c.value;
}

TEST(OptionValues, KeepsEveryValueOfAFlagInOrderAndAnswersWithTheLast) {
    OptionValues values;
    values.Add("--chars", "0x20-0x7E");
    values.Add("--ascent", "3");
    values.Add("--chars", "U+3040-U+309F");
    values.Add("--ascent", "5");
    values.Add("--proportional", "");
    EXPECT_EQ(values.Flags(), (std::vector<std::string>{"--chars", "--ascent", "--proportional"}));
    EXPECT_EQ(values.Integer("--ascent"), 5);
    EXPECT_EQ(values.Text("--chars"), "U+3040-U+309F");
    EXPECT_TRUE(values.Has("--proportional"));
    EXPECT_FALSE(values.Has("--name"));
    EXPECT_EQ(values.Integer("--name"), std::nullopt);
    const std::vector<CharRange> ranges = ChosenRanges(values);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].first, 0x20u);
    EXPECT_EQ(ranges[1].last, 0x309Fu);
}

// What the writers fall back on when an option is not given: 6 rows of
// ascent, 8 of line height, and the folder's name made into a family name.
TEST(OptionValues, ChosenMetricsAndFamilyFallBackOnTheirDefaults) {
    OptionValues none;
    EXPECT_EQ(ChosenAscent(none), 6);
    EXPECT_EQ(ChosenLineHeight(none), 8);
    EXPECT_EQ(ChosenFamily(none, "my-font"), "my_font");
    EXPECT_EQ(ChosenFamily(none, ""), "glyphs");

    OptionValues given;
    given.Add("--ascent", "4");
    given.Add("--line-height", "11");
    given.Add("--family", "Tiny");
    EXPECT_EQ(ChosenAscent(given), 4);
    EXPECT_EQ(ChosenLineHeight(given), 11);
    EXPECT_EQ(ChosenFamily(given, "my-font"), "Tiny");
}

}  // namespace
}  // namespace font
