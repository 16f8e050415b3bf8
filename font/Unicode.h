#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace font {

// A Unicode scalar value: at most U+10FFFF and not a surrogate.
bool IsScalarValue(char32_t cp);

// The code points of `text`, or nothing when it is not valid UTF-8 (overlong
// forms, surrogates and values past U+10FFFF are invalid).
std::optional<std::u32string> DecodeUtf8(std::string_view text);
std::string EncodeUtf8(char32_t cp);

// `text` with its ASCII letters in upper or lower case, other bytes as they are.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// "U+0041": at least four upper-case hexadecimal digits.
std::string CodePointLabel(char32_t cp);

// Whether a character can be shown as itself in a message or a source comment:
// not a control, not a line or paragraph separator, not an invisible format
// character (zero-width spaces, bidirectional controls, tags).
bool IsShowable(char32_t cp);

// "'A' (U+0041)", or "U+0007" for a character that cannot be shown.
std::string DescribeCharacter(char32_t cp);

// `text` with every byte that is not part of valid UTF-8, and the bytes of
// every character that cannot be shown (controls, bidirectional and other
// invisible format characters), written as \xNN, so that a file name or an
// argument can be printed to a terminal safely.
std::string Printable(std::string_view text);

}  // namespace font
