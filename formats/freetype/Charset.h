#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace font {

// The conversion of a font's own character codes to Unicode, done by the C
// library's iconv. A code of one byte is converted as that byte; a larger
// code as its two bytes, high byte first.
class Charset {
  public:
    // The charset iconv knows under `name` ("ISO8859-2", "KOI8-R", "CP1250"),
    // or nothing when it knows none.
    static std::optional<Charset> Open(const std::string& name);

    // The charset of an X11 font's CHARSET_REGISTRY and CHARSET_ENCODING
    // ("ISO8859", "2"), or nothing when iconv cannot convert it.
    static std::optional<Charset> OfX11Font(std::string_view registry, std::string_view encoding);

    // The charset of a Windows FNT font's charset byte.
    static std::optional<Charset> OfWindowsFont(int charsetId);

    Charset(Charset&& other) noexcept;
    Charset& operator=(Charset&& other) noexcept;
    Charset(const Charset&) = delete;
    ~Charset();

    // The one character `code` stands for, or nothing when the charset has
    // none there (or a sequence of several).
    std::optional<char32_t> ToUnicode(unsigned long code) const;

    const std::string& Name() const { return name_; }

  private:
    Charset(iconv_t conversion, std::string name, unsigned long offset);

    iconv_t conversion_;
    std::string name_;
    unsigned long offset_;  // added to each byte of a code, for 94-character sets read as EUC
};

}  // namespace font
