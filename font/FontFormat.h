#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "font/FontFile.h"
#include "font/FontFolder.h"
#include "font/FormatOptions.h"
#include "font/ImportReport.h"
#include "font/TextOut.h"

namespace font {

// Raised by a reader for a file that is not of its format, with what shows
// it ("nor text (a NUL byte on line 3)"), which the refusal adds to "not
// KIND". Detection goes on to the next reader.
class NotThisFormat : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a reader is asked for: the characters to read (all when empty) and
// the options of its groups that were given.
struct ReadOptions {
    std::vector<CharRange> ranges;
    const OptionValues& values;
};

struct FontReader {
    // What the format's files are, as a refusal names them: "a font FreeType
    // can read" gives "x.txt: not a font FreeType can read".
    std::string kind;
    // What import's help says of this format: what it reads and how.
    std::string help;
    std::vector<const OptionGroup*> groups;  // besides --chars, which every reader takes
    // The font in `file`, or nothing (or NotThisFormat) when the file is not
    // of this format, judged from its content alone. Raises Failure, naming
    // the file, for a file of this format that cannot be read.
    std::function<std::optional<ImportReport>(const FontFile& file, const ReadOptions& options)>
        read;
};

// What a writer is asked for: the font, the options of its groups that were
// given, and the name a font takes when no option names it (the folder's, or
// the input file's without its extensions).
struct WriteRequest {
    const Font& font;
    const OptionValues& values;
    std::string defaultName;
};

// A written font, with what the user should know about it: the file a
// binary format writes, or the text of a text format's, kept as its writer
// made it rather than copied into bytes.
struct WrittenFont {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> warnings;
    std::string text;  // the file of a text format; `bytes` then stays empty
};

// A text format's writer in the form that makes its file into `out` a piece
// at a time, giving the warnings.
using TextWriting =
    std::function<std::vector<std::string>(const WriteRequest& request, TextOut& out)>;

struct FontWriter {
    std::string help;  // what export's help says of the file it writes, with an example
    std::vector<const OptionGroup*> groups;
    // Raises Failure for a font the format cannot hold.
    std::function<WrittenFont(const WriteRequest& request)> write;
    // The font as the format draws it, in text for a terminal; null when
    // the format draws nothing a terminal can show.
    std::function<std::string(const Font& font)> text = nullptr;
    // The text `write` gives, made into `out` a piece at a time, and the
    // warnings; null for a format whose file is made whole.
    TextWriting stream = nullptr;
};

// The file of a text format that `stream` makes, kept whole.
WrittenFont StreamedWhole(const TextWriting& stream, const WriteRequest& request);

// A format of font files: its name as the user types it ("bdf"), one line
// saying what it is, the file extensions it usually has, and its reader, its
// writer or both.
struct FontFormat {
    std::string name;
    std::string description;
    std::vector<std::string> extensions;  // ".bdf", with the usual one first
    std::optional<FontReader> reader;
    std::optional<FontWriter> writer;
};

// The font a text format wrote.
WrittenFont WrittenText(std::string text, std::vector<std::string> warnings = {});

}  // namespace font
