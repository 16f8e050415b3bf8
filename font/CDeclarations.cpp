#include "font/CDeclarations.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "font/Failure.h"
#include "font/Unicode.h"

namespace font {
namespace {

struct Token {
    enum class Kind { Identifier, Number, Character, String, Punct, End };
    Kind kind = Kind::End;
    std::string text;  // the identifier or punctuator
    std::int64_t value = 0;
    int line = 0;
};

[[noreturn]] void Refuse(int line, const std::string& what) {
    throw Failure("line " + std::to_string(line) + ": " + what);
}

bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Splits C source into tokens, dropping comments and preprocessor lines.
class Lexer {
  public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<Token> Run(std::string& firstComment) {
        std::vector<Token> tokens;
        bool lineStart = true;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_, ++pos_, lineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (c == '#' && lineStart) {
                SkipDirective();
            } else if (Starts("/*")) {
                Keep(firstComment, BlockComment());
            } else if (Starts("//")) {
                Keep(firstComment, LineComment());
            } else {
                lineStart = false;
                tokens.push_back(Next());
            }
        }
        tokens.push_back({Token::Kind::End, "", 0, line_});
        return tokens;
    }

  private:
    bool Starts(std::string_view what) const { return text_.substr(pos_).starts_with(what); }

    void Keep(std::string& firstComment, std::string_view comment) {
        if (!seenComment_) firstComment = comment, seenComment_ = true;
    }

    void SkipDirective() {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            if (text_[pos_] == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
                ++line_, ++pos_;
            else if (Starts("/*"))
                BlockComment();
            ++pos_;
        }
    }

    std::string_view BlockComment() {
        const int startLine = line_;
        const std::size_t start = pos_ + 2;
        const std::size_t end = text_.find("*/", start);
        if (end == std::string_view::npos) Refuse(startLine, "a comment does not end");
        line_ += static_cast<int>(std::count(text_.begin() + static_cast<long>(pos_),
                                             text_.begin() + static_cast<long>(end), '\n'));
        pos_ = end + 2;
        return text_.substr(start, end - start);
    }

    std::string_view LineComment() {
        const std::size_t start = pos_ + 2;
        const std::size_t end = std::min(text_.find('\n', start), text_.size());
        pos_ = end;
        return text_.substr(start, end - start);
    }

    Token Next() {
        const char c = text_[pos_];
        if (IsIdentifierStart(c)) {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && IsIdentifierChar(text_[pos_])) ++pos_;
            const std::string word(text_.substr(start, pos_ - start));
            // u'x', U'x', L'x' and u8'x' are character literals; the same before " a string.
            if (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '"') &&
                (word == "u" || word == "U" || word == "L" || word == "u8"))
                return text_[pos_] == '\'' ? CharacterLiteral() : StringLiteral();
            return {Token::Kind::Identifier, word, 0, line_};
        }
        if (std::isdigit(static_cast<unsigned char>(c))) return NumberLiteral();
        if (c == '\'') return CharacterLiteral();
        if (c == '"') return StringLiteral();
        if (Starts("::")) {
            pos_ += 2;
            return {Token::Kind::Punct, "::", 0, line_};
        }
        ++pos_;
        return {Token::Kind::Punct, std::string(1, c), 0, line_};
    }

    Token NumberLiteral() {
        int base = 10;
        if (Starts("0x") || Starts("0X"))
            base = 16, pos_ += 2;
        else if (Starts("0b") || Starts("0B"))
            base = 2, pos_ += 2;
        else if (text_[pos_] == '0')
            base = 8;
        std::uint64_t value = 0;
        bool digits = false;
        while (pos_ < text_.size()) {
            const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_])));
            int digit = -1;
            if (d >= '0' && d <= '9') digit = d - '0';
            if (d >= 'a' && d <= 'f' && base == 16) digit = d - 'a' + 10;
            if (d == '\'' && digits) {  // C++14 digit separator
                ++pos_;
                continue;
            }
            if (digit < 0) break;
            if (digit >= base) Refuse(line_, "a digit that its number's base does not have");
            if (value > (std::uint64_t{1} << 56)) Refuse(line_, "a number too large");
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            digits = true;
            ++pos_;
        }
        if (!digits && base != 8) Refuse(line_, "a number without digits");
        while (pos_ < text_.size() &&
               std::string_view("uUlL").find(text_[pos_]) != std::string_view::npos)
            ++pos_;
        if (pos_ < text_.size() && (IsIdentifierChar(text_[pos_]) || text_[pos_] == '.'))
            Refuse(line_, "a number that is not a whole number");
        return {Token::Kind::Number, "", static_cast<std::int64_t>(value), line_};
    }

    // One character of a literal, its escapes resolved.
    std::uint32_t LiteralCharacter() {
        if (pos_ >= text_.size() || text_[pos_] == '\n') Refuse(line_, "a literal does not end");
        if (text_[pos_] != '\\') {
            // A character beyond ASCII stands for its code point.
            std::size_t length = 1;
            const auto lead = static_cast<unsigned char>(text_[pos_]);
            if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            const auto decoded = DecodeUtf8(text_.substr(pos_, length));
            pos_ += length;
            return decoded && decoded->size() == 1 ? static_cast<std::uint32_t>(decoded->front())
                                                   : lead;
        }
        ++pos_;
        if (pos_ >= text_.size()) Refuse(line_, "a literal does not end");
        const char e = text_[pos_++];
        static constexpr std::array<std::pair<char, char>, 11> simple = {{{'n', '\n'},
                                                                          {'t', '\t'},
                                                                          {'r', '\r'},
                                                                          {'a', '\a'},
                                                                          {'b', '\b'},
                                                                          {'f', '\f'},
                                                                          {'v', '\v'},
                                                                          {'\\', '\\'},
                                                                          {'\'', '\''},
                                                                          {'"', '"'},
                                                                          {'?', '?'}}};
        for (const auto& [name, value] : simple)
            if (e == name) return static_cast<unsigned char>(value);
        if (e == 'x' || e == 'u' || e == 'U') {
            const int most = e == 'x' ? 8 : e == 'u' ? 4 : 8;
            std::uint32_t value = 0;
            int count = 0;
            while (count < most && pos_ < text_.size() &&
                   std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                const char h =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_++])));
                value = value * 16 + static_cast<std::uint32_t>(h <= '9' ? h - '0' : h - 'a' + 10);
                ++count;
            }
            if (count == 0) Refuse(line_, "an escape without digits");
            return value;
        }
        if (e >= '0' && e <= '7') {
            std::uint32_t value = static_cast<std::uint32_t>(e - '0');
            for (int count = 1;
                 count < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7';
                 ++count)
                value = value * 8 + static_cast<std::uint32_t>(text_[pos_++] - '0');
            return value;
        }
        Refuse(line_, "an escape C does not have");
    }

    Token CharacterLiteral() {
        ++pos_;  // the opening quote
        if (pos_ < text_.size() && text_[pos_] == '\'') Refuse(line_, "an empty character literal");
        const std::uint32_t value = LiteralCharacter();
        if (pos_ >= text_.size() || text_[pos_] != '\'')
            Refuse(line_, "a character literal of more than one character");
        ++pos_;
        return {Token::Kind::Character, "", value, line_};
    }

    Token StringLiteral() {
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') LiteralCharacter();
        if (pos_ >= text_.size()) Refuse(line_, "a string does not end");
        ++pos_;
        return {Token::Kind::String, "", 0, line_};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool seenComment_ = false;
};

// Words that qualify a declaration but do not name its type.
bool IsQualifier(const std::string& word) {
    static constexpr std::array<std::string_view, 10> qualifiers = {
        "const",  "static", "volatile", "extern", "constexpr",
        "inline", "struct", "register", "signed", "unsigned"};
    return std::find(qualifiers.begin(), qualifiers.end(), word) != qualifiers.end();
}

bool IsMacroLike(const std::string& word) {
    return std::all_of(word.begin(), word.end(), [](char c) {
        return std::isupper(static_cast<unsigned char>(c)) ||
               std::isdigit(static_cast<unsigned char>(c)) || c == '_';
    });
}

constexpr int MaxNesting = 64;

class Parser {
  public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    void Run(CSource& source) {
        std::size_t start = pos_;
        while (Peek().kind != Token::Kind::End) {
            const Token& token = Peek();
            if (IsPunct(token, ";")) {
                start = ++pos_;
            } else if (IsPunct(token, "}")) {  // the end of a namespace or extern "C" block
                start = ++pos_;
            } else if (IsPunct(token, "{")) {
                if (!Transparent(start))
                    SkipBalanced();
                else
                    ++pos_;
                start = pos_;
            } else if (IsPunct(token, "=")) {
                ReadDeclaration(start, source);
                start = pos_;
            } else {
                ++pos_;
            }
        }
    }

  private:
    const Token& Peek(std::size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    static bool IsPunct(const Token& token, std::string_view text) {
        return token.kind == Token::Kind::Punct && token.text == text;
    }

    // Whether the '{' that ends tokens[start, pos_) opens a block of
    // declarations: `namespace fonts {` or `extern "C" {`.
    bool Transparent(std::size_t start) const {
        if (start >= pos_) return false;
        const Token& first = tokens_[start];
        if (first.kind != Token::Kind::Identifier) return false;
        if (first.text == "namespace") return true;
        return first.text == "extern" && pos_ - start == 2 &&
               tokens_[start + 1].kind == Token::Kind::String;
    }

    void SkipBalanced() {
        int depth = 0;
        do {
            if (IsPunct(Peek(), "{")) ++depth;
            if (IsPunct(Peek(), "}")) --depth;
            ++pos_;
        } while (depth > 0 && Peek().kind != Token::Kind::End);
        if (IsPunct(Peek(), ";")) ++pos_;
    }

    // tokens[start, pos_) declare something, and pos_ is at its '='.
    void ReadDeclaration(std::size_t start, CSource& source) {
        CDeclaration declaration;
        declaration.line = tokens_[pos_].line;
        std::vector<std::string> words;
        int parens = 0;
        for (std::size_t i = start; i < pos_ && !declaration.isArray; ++i) {
            const Token& token = tokens_[i];
            // __attribute__((…)) and the like say nothing of the type or name.
            if (IsPunct(token, "(")) ++parens;
            if (IsPunct(token, ")")) --parens;
            if (parens > 0 || IsPunct(token, ")") || token.text == "__attribute__") continue;
            if (IsPunct(token, "[")) {
                declaration.isArray = true;
                if (!words.empty()) declaration.name = words.back(), words.pop_back();
            } else if (token.kind == Token::Kind::Identifier) {
                if (i > start && IsPunct(tokens_[i - 1], "::") && !words.empty())
                    words.back() += "::" + token.text;  // MD_MAX72XX::fontType_t
                else if (!IsQualifier(token.text))
                    words.push_back(token.text);
            }
        }
        if (!declaration.isArray) {
            // Macros such as PROGMEM may follow the name.
            while (words.size() > 2 && IsMacroLike(words.back())) words.pop_back();
            if (!words.empty()) declaration.name = words.back(), words.pop_back();
        }
        declaration.typeWords = words;
        ++pos_;  // the '='
        try {
            declaration.value = Value(0);
            if (!IsPunct(Peek(), ";") && !IsPunct(Peek(), ","))
                Refuse(Peek().line, "cannot read the initialiser of " + declaration.name);
        } catch (const Failure& failure) {
            if (source.problem.empty()) source.problem = failure.what();
            SkipToEnd();
            return;
        }
        SkipToEnd();
        if (!declaration.name.empty()) source.declarations.push_back(std::move(declaration));
    }

    // Past the ';' that ends the declaration, over any braces on the way.
    void SkipToEnd() {
        while (Peek().kind != Token::Kind::End && !IsPunct(Peek(), ";")) {
            if (IsPunct(Peek(), "{"))
                SkipBalanced();
            else
                ++pos_;
        }
        if (IsPunct(Peek(), ";")) ++pos_;
    }

    // A cast: '(' type words and '*' ')'.
    bool AtCast() const {
        if (!IsPunct(Peek(), "(")) return false;
        std::size_t i = 1;
        bool words = false;
        for (;; ++i) {
            const Token& token = Peek(i);
            if (token.kind == Token::Kind::Identifier)
                words = true;
            else if (!IsPunct(token, "*") && !IsPunct(token, "::"))
                break;
        }
        return words && IsPunct(Peek(i), ")");
    }

    CValue Value(int depth) {
        if (depth > MaxNesting) Refuse(Peek().line, "initialisers nested too deep");
        const Token& token = Peek();
        if (token.kind == Token::Kind::End)
            Refuse(token.line, "the file ends inside an initialiser");
        if (IsPunct(token, "{")) return List(depth);
        if (AtCast()) {
            while (!IsPunct(Peek(), ")")) ++pos_;
            ++pos_;
            return Value(depth + 1);
        }
        if (IsPunct(token, "(")) {
            ++pos_;
            CValue inner = Value(depth + 1);
            if (!IsPunct(Peek(), ")")) Refuse(Peek().line, "a parenthesis does not close");
            ++pos_;
            return inner;
        }
        if (IsPunct(token, "-") || IsPunct(token, "+") || IsPunct(token, "~")) {
            const char sign = token.text[0];
            ++pos_;
            CValue operand = Value(depth + 1);
            if (operand.kind != CValue::Kind::Number) Refuse(token.line, "a sign before no number");
            operand.number = sign == '-'   ? -operand.number
                             : sign == '~' ? ~operand.number
                                           : operand.number;
            operand.fromCharacter = false;
            return operand;
        }
        if (IsPunct(token, "&")) {
            ++pos_;
            CValue target = Value(depth + 1);
            if (target.kind != CValue::Kind::Name) Refuse(token.line, "'&' before no name");
            return target;
        }
        CValue value;
        value.line = token.line;
        switch (token.kind) {
            case Token::Kind::Number:
            case Token::Kind::Character:
                value.number = token.value;
                value.fromCharacter = token.kind == Token::Kind::Character;
                ++pos_;
                break;
            case Token::Kind::String:
                value.kind = CValue::Kind::String;
                while (Peek().kind == Token::Kind::String) ++pos_;  // "a" "b" is one string
                break;
            case Token::Kind::Identifier:
                value.kind = CValue::Kind::Name;
                value.name = token.text;
                ++pos_;
                if (IsPunct(Peek(), "[")) {  // &Foo[0]
                    while (!IsPunct(Peek(), "]") && Peek().kind != Token::Kind::End) ++pos_;
                    ++pos_;
                }
                break;
            default:
                Refuse(token.line, "cannot read '" + token.text + "' in an initialiser");
        }
        const Token& after = Peek();
        if (after.kind == Token::Kind::Punct && !IsPunct(after, ",") && !IsPunct(after, "}") &&
            !IsPunct(after, ";") && !IsPunct(after, ")"))
            Refuse(after.line, "cannot read an expression with '" + after.text + "'");
        return value;
    }

    CValue List(int depth) {
        CValue list;
        list.kind = CValue::Kind::List;
        list.line = Peek().line;
        ++pos_;  // '{'
        while (!IsPunct(Peek(), "}")) {
            std::string designator;
            if (IsPunct(Peek(), ".") && Peek(1).kind == Token::Kind::Identifier &&
                IsPunct(Peek(2), "=")) {
                designator = Peek(1).text;
                pos_ += 3;
            }
            list.items.push_back(Value(depth + 1));
            list.items.back().designator = std::move(designator);
            if (IsPunct(Peek(), ",")) {
                ++pos_;
            } else if (!IsPunct(Peek(), "}")) {
                if (Peek().kind == Token::Kind::End)
                    Refuse(Peek().line, "the file ends inside an initialiser");
                Refuse(Peek().line, "a ',' or '}' is missing");
            }
        }
        ++pos_;  // '}'
        return list;
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

}  // namespace

CSource ReadCSource(std::string_view text) {
    CSource source;
    Parser(Lexer(text).Run(source.firstComment)).Run(source);
    return source;
}

}  // namespace font
