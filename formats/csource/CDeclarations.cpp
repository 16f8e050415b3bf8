#include "formats/csource/CDeclarations.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>

#include "font/Failure.h"
#include "formats/csource/CExpression.h"
#include "formats/csource/CPreprocessor.h"

namespace font {

CValue CValue::Item(std::size_t index) const {
    if (packed_.empty()) return items_[index];
    CValue item;
    item.number = packed_[index].number;
    item.fromCharacter = (packed_[index].lineAndCharacter & 1) != 0;
    item.line = static_cast<int>(packed_[index].lineAndCharacter >> 1);
    return item;
}

void CValue::Append(CValue item) {
    if (items_.empty() && item.kind == Kind::Number && item.designator.empty() &&
        item.number >= INT32_MIN && item.number <= INT32_MAX && item.line >= 0) {
        packed_.push_back(
            {static_cast<std::int32_t>(item.number),
             static_cast<std::uint32_t>(item.line) << 1 | (item.fromCharacter ? 1u : 0u)});
        return;
    }
    if (!packed_.empty()) {
        items_.reserve(packed_.size() + 1);
        for (std::size_t i = 0; i < packed_.size(); ++i) items_.push_back(Item(i));
        packed_ = {};
    }
    items_.push_back(std::move(item));
}

namespace {

constexpr int MaxNesting = 64;
// Tokens kept of what a declaration says before its '='.
constexpr std::size_t MaxDeclarator = 256;
// Declarations and values kept whole (not packed) in a file: far more than
// the 65,536 glyphs of the largest font, and a bound on the memory they take.
constexpr std::size_t MaxValues = std::size_t{1} << 18;
// How far a cast or an address is looked for ahead.
constexpr std::size_t MaxLookAhead = 64;

bool IsPunct(const CToken& token, std::string_view text) {
    return token.kind == CToken::Kind::Punct && token.text == text;
}

bool EndsValue(const CToken& token) {
    return IsPunct(token, ",") || IsPunct(token, "}") || IsPunct(token, ";");
}

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

// The length of the cast at `from` ahead, '(' type words and '*' ')'; 0
// when there is none.
std::size_t CastLength(CTokenSource& tokens, std::size_t from) {
    if (!IsPunct(tokens.Peek(from), "(")) return 0;
    bool words = false;
    for (std::size_t i = from + 1; i < from + MaxLookAhead; ++i) {
        const CToken& token = tokens.Peek(i);
        if (token.kind == CToken::Kind::Identifier)
            words = true;
        else if (IsPunct(token, ")"))
            return words ? i - from + 1 : 0;
        else if (!IsPunct(token, "*") && !IsPunct(token, "::"))
            return 0;
    }
    return 0;
}

// A number of an initialiser, where a name left after the file's macros
// have been expanded cannot be evaluated.
class InitialiserExpression final : public CExpression {
  public:
    InitialiserExpression(CPreprocessor& tokens) : CExpression(tokens), macros_(tokens) {}

  protected:
    CNumber Identifier(const CToken& token) override {
        if (macros_.IsFunctionMacro(token.text))
            RefuseAt(token.line, token.text +
                                     "(…) is a function-like macro, which glyphtool does not "
                                     "expand");
        RefuseAt(token.line, token.text + " is not a number this file defines; --define " +
                                 token.text + "=VALUE gives it one");
    }
    bool SkipCast() override {
        const std::size_t length = CastLength(tokens_, 0);
        for (std::size_t i = 0; i < length; ++i) tokens_.Advance();
        return length > 0;
    }

  private:
    const CPreprocessor& macros_;
};

class Parser {
  public:
    // Strings may take together at most `maxBytes`.
    Parser(CPreprocessor& tokens, std::size_t maxBytes, CKeep keep)
        : tokens_(tokens), maxBytes_(maxBytes), keep_(keep) {}

    void Run(CSource& source) {
        while (Peek().kind != CToken::Kind::End) {
            const CToken& token = Peek();
            if (IsPunct(token, ";") || IsPunct(token, "}")) {  // "}" ends a namespace
                tokens_.Advance();
                declarator_.clear();
            } else if (IsPunct(token, "{")) {
                if (Transparent())
                    tokens_.Advance();
                else
                    SkipBalanced();
                declarator_.clear();
            } else if (IsPunct(token, "=")) {
                ReadDeclaration(source);
                declarator_.clear();
            } else {
                if (declarator_.size() < MaxDeclarator) declarator_.push_back(token);
                tokens_.Advance();
            }
        }
        source.firstComment = tokens_.FirstComment();
    }

  private:
    const CToken& Peek(std::size_t ahead = 0) { return tokens_.Peek(ahead); }

    // Whether the '{' after the declarator opens a block of declarations:
    // `namespace fonts {`, `inline namespace v1 {` or `extern "C" {`.
    bool Transparent() const {
        if (declarator_.empty()) return false;
        const CToken& first = declarator_.front();
        if (first.kind != CToken::Kind::Identifier) return false;
        if (first.text == "namespace") return true;
        if (first.text == "inline")
            return declarator_.size() >= 2 && declarator_[1].text == "namespace";
        return first.text == "extern" && declarator_.size() == 2 &&
               declarator_[1].kind == CToken::Kind::String;
    }

    void SkipBalanced() {
        int depth = 0;
        do {
            if (IsPunct(Peek(), "{")) ++depth;
            if (IsPunct(Peek(), "}")) --depth;
            tokens_.Advance();
        } while (depth > 0 && Peek().kind != CToken::Kind::End);
        if (IsPunct(Peek(), ";")) tokens_.Advance();
    }

    void Count(std::size_t more, int line) {
        values_ += more;
        if (values_ > MaxValues)
            RefuseAt(line, "more declarations and initialisers than any font holds");
    }

    // A macro of a string used over and over could otherwise take memory
    // without bound; without one, strings never hold more than the text and
    // the macros given.
    void CountBytes(std::size_t more, int line) {
        bytes_ += more;
        if (bytes_ > maxBytes_)
            RefuseAt(line, "strings that macros make longer than the whole file");
    }

    // The declarator is what precedes the '=' at the head of the tokens.
    void ReadDeclaration(CSource& source) {
        CDeclaration declaration;
        declaration.line = Peek().line;
        std::vector<std::string> words;
        int parens = 0;
        for (std::size_t i = 0; i < declarator_.size() && !declaration.isArray; ++i) {
            const CToken& token = declarator_[i];
            // __attribute__((…)) and the like say nothing of the type or name.
            if (IsPunct(token, "(")) ++parens;
            if (IsPunct(token, ")")) --parens;
            if (parens > 0 || IsPunct(token, ")") || token.text == "__attribute__") continue;
            if (IsPunct(token, "[")) {
                declaration.isArray = true;
                if (!words.empty()) declaration.name = words.back(), words.pop_back();
            } else if (token.kind == CToken::Kind::Identifier) {
                if (i > 0 && IsPunct(declarator_[i - 1], "::") && !words.empty())
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
        tokens_.Advance();  // the '='
        try {
            declaration.value = Value(0);
            if (!IsPunct(Peek(), ";") && !IsPunct(Peek(), ","))
                RefuseAt(Peek().line, "cannot read the initialiser of " + declaration.name);
        } catch (const Failure& failure) {
            if (tokens_.Failed() || values_ > MaxValues || bytes_ > maxBytes_) throw;
            if (source.problem.empty()) source.problem = failure.what();
            SkipToEnd();
            return;
        }
        SkipToEnd();
        if (declaration.name.empty()) return;
        Count(1, declaration.line);
        source.declarations.push_back(std::move(declaration));
    }

    // Past the ';' that ends the declaration, over any braces on the way.
    void SkipToEnd() {
        while (Peek().kind != CToken::Kind::End && !IsPunct(Peek(), ";")) {
            if (IsPunct(Peek(), "{"))
                SkipBalanced();
            else
                tokens_.Advance();
        }
        if (IsPunct(Peek(), ";")) tokens_.Advance();
    }

    // Whether a name (an address) is ahead: casts, an optional '&', the name
    // and an optional index, and then the end of the value.
    bool NameAhead() {
        std::size_t i = 0;
        while (const std::size_t cast = CastLength(tokens_, i)) i += cast;
        if (IsPunct(Peek(i), "&")) ++i;
        if (Peek(i).kind != CToken::Kind::Identifier) return false;
        ++i;
        if (IsPunct(Peek(i), "[")) {
            const std::size_t open = i;
            while (!IsPunct(Peek(i), "]") && Peek(i).kind != CToken::Kind::End &&
                   i < open + MaxLookAhead)
                ++i;
            if (!IsPunct(Peek(i), "]")) return false;
            ++i;
        }
        return EndsValue(Peek(i));
    }

    CValue Value(int depth) {
        if (depth > MaxNesting) RefuseAt(Peek().line, "initialisers nested too deep");
        const CToken& token = Peek();
        if (token.kind == CToken::Kind::End)
            RefuseAt(token.line, "the file ends inside an initialiser");
        if (IsPunct(token, "{")) return List(depth);
        CValue value;
        value.line = token.line;
        if (token.kind == CToken::Kind::String) {
            value.kind = CValue::Kind::String;
            while (Peek().kind == CToken::Kind::String) {  // "a" "b" is one
                CountBytes(Peek().text.size(), Peek().line);
                value.bytes += Peek().text;
                tokens_.Advance();
            }
        } else if ((token.kind == CToken::Kind::Number || token.kind == CToken::Kind::Character) &&
                   token.isWhole && EndsValue(Peek(1))) {
            // The usual case, without an expression to evaluate.
            value.fromCharacter = token.singleChar;
            value.number = token.value;
            tokens_.Advance();
        } else if (NameAhead()) {
            value.kind = CValue::Kind::Name;
            while (const std::size_t cast = CastLength(tokens_, 0))
                for (std::size_t i = 0; i < cast; ++i) tokens_.Advance();
            if (IsPunct(Peek(), "&")) tokens_.Advance();
            value.name = Peek().text;
            while (!EndsValue(Peek())) tokens_.Advance();
        } else {
            value.number = InitialiserExpression(tokens_).Evaluate().Signed();
        }
        if (!EndsValue(Peek()))
            RefuseAt(Peek().line, "cannot read an expression with '" + Peek().text + "'");
        return value;
    }

    CValue List(int depth) {
        CValue list;
        list.kind = CValue::Kind::List;
        list.line = Peek().line;
        tokens_.Advance();  // '{'
        while (!IsPunct(Peek(), "}")) {
            std::string designator;
            if (IsPunct(Peek(), ".") && Peek(1).kind == CToken::Kind::Identifier &&
                IsPunct(Peek(2), "=")) {
                designator = Peek(1).text;
                for (int i = 0; i < 3; ++i) tokens_.Advance();
            }
            const std::size_t whole = list.WholeItems();
            CValue item = Value(depth + 1);
            item.designator = std::move(designator);
            if (keep_ == CKeep::Everything) list.Append(std::move(item));
            Count(list.WholeItems() - whole, list.line);
            if (IsPunct(Peek(), ",")) {
                tokens_.Advance();
            } else if (!IsPunct(Peek(), "}")) {
                if (Peek().kind == CToken::Kind::End)
                    RefuseAt(Peek().line, "the file ends inside an initialiser");
                RefuseAt(Peek().line, "a ',' or '}' is missing");
            }
        }
        tokens_.Advance();  // '}'
        return list;
    }

    CPreprocessor& tokens_;
    std::vector<CToken> declarator_;
    std::size_t values_ = 0;
    std::size_t maxBytes_;
    std::size_t bytes_ = 0;
    CKeep keep_;
};

}  // namespace

CSource ReadCSource(std::string_view text, const std::vector<std::string>& defines, CKeep keep) {
    CSource source;
    CPreprocessor tokens(text, defines);
    std::size_t maxBytes = text.size();
    for (const std::string& define : defines) maxBytes += define.size();
    Parser(tokens, maxBytes, keep).Run(source);
    return source;
}

}  // namespace font
