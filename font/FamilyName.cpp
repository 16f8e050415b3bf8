#include "font/FamilyName.h"

#include <algorithm>

namespace font {
namespace {

bool IsFamilyChar(char c) {
    return c >= 0x20 && c <= 0x7E && std::string_view("-*?,\"").find(c) == std::string_view::npos;
}

}  // namespace

bool IsFamilyName(std::string_view family) {
    return !family.empty() && family.size() <= MaxFamilyLength &&
           std::all_of(family.begin(), family.end(), IsFamilyChar);
}

std::string FamilyNameFrom(std::string_view text) {
    std::string family(text.substr(0, MaxFamilyLength));
    for (char& c : family)
        if (!IsFamilyChar(c)) c = '_';
    return family.empty() ? "glyphs" : family;
}

}  // namespace font
