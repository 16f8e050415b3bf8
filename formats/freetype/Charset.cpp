#include "formats/freetype/Charset.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <utility>

#include "font/Unicode.h"

namespace font {
namespace {

const iconv_t NoConversion = reinterpret_cast<iconv_t>(-1);

// X11 charsets whose names iconv does not know. The double-byte sets are
// written in their 94 x 94 form (bytes 0x21 to 0x7E), which is the matching
// EUC form with the high bit of each byte clear.
struct X11Alias {
    const char* x11;
    const char* iconv;
    unsigned long offset;
};
constexpr std::array X11Aliases = {
    X11Alias{"JISX0201.1976-0", "JIS_X0201", 0},   X11Alias{"JISX0208.1983-0", "EUC-JP", 0x8080},
    X11Alias{"JISX0208.1990-0", "EUC-JP", 0x8080}, X11Alias{"GB2312.1980-0", "EUC-CN", 0x8080},
    X11Alias{"KSC5601.1987-0", "EUC-KR", 0x8080},
};

}  // namespace

Charset::Charset(iconv_t conversion, std::string name, unsigned long offset)
    : conversion_(conversion), name_(std::move(name)), offset_(offset) {}

Charset::Charset(Charset&& other) noexcept
    : conversion_(std::exchange(other.conversion_, NoConversion)),
      name_(std::move(other.name_)),
      offset_(other.offset_) {}

Charset& Charset::operator=(Charset&& other) noexcept {
    std::swap(conversion_, other.conversion_);
    std::swap(name_, other.name_);
    std::swap(offset_, other.offset_);
    return *this;
}

Charset::~Charset() {
    if (conversion_ != NoConversion) iconv_close(conversion_);
}

std::optional<Charset> Charset::Open(const std::string& name) {
    const iconv_t conversion = iconv_open("UTF-32LE", name.c_str());
    if (conversion == NoConversion) return std::nullopt;
    return Charset(conversion, name, 0);
}

std::optional<Charset> Charset::OfX11Font(std::string_view registry, std::string_view encoding) {
    const std::string name = std::string(registry) + "-" + std::string(encoding);
    for (const X11Alias& alias : X11Aliases)
        if (AsciiUpper(name) == alias.x11) {
            const iconv_t conversion = iconv_open("UTF-32LE", alias.iconv);
            if (conversion == NoConversion) return std::nullopt;
            return Charset(conversion, name, alias.offset);
        }
    if (AsciiUpper(registry) == "MICROSOFT")
        return Open(std::string(encoding));  // microsoft-cp1251
    return Open(name);
}

std::optional<Charset> Charset::OfWindowsFont(int charsetId) {
    static constexpr std::pair<int, const char*> codePages[] = {
        {0, "CP1252"},   {77, "MACINTOSH"}, {128, "CP932"},  {129, "CP949"},
        {134, "CP936"},  {136, "CP950"},    {161, "CP1253"}, {162, "CP1254"},
        {163, "CP1258"}, {177, "CP1255"},   {178, "CP1256"}, {186, "CP1257"},
        {204, "CP1251"}, {222, "CP874"},    {238, "CP1250"}, {255, "CP437"},
    };
    for (const auto& [id, name] : codePages)
        if (id == charsetId) return Open(name);
    return std::nullopt;
}

std::optional<char32_t> Charset::ToUnicode(unsigned long code) const {
    std::array<char, 2> in{};
    std::size_t inLength = 1;
    if (code > 0xFF) {
        if (code > 0xFFFF) return std::nullopt;
        code += offset_;
        in = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
        inLength = 2;
    } else {
        in[0] = static_cast<char>(code);
    }
    std::array<std::uint8_t, 8> out{};
    char* inPointer = in.data();
    char* outPointer = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size();
    iconv(conversion_, nullptr, nullptr, nullptr, nullptr);  // a fresh state for each code
    const std::size_t converted = iconv(conversion_, &inPointer, &inLength, &outPointer, &outLeft);
    if (converted == static_cast<std::size_t>(-1) || inLength != 0 || outLeft != 4)
        return std::nullopt;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                 static_cast<std::uint32_t>(out[3]) << 24);
}

}  // namespace font
