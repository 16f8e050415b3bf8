#include "formats/csource/CPreprocessor.h"

#include <algorithm>
#include <cctype>

namespace font {
namespace {

// A macro expands to at most this many tokens, so that macros defined by
// each other cannot grow without end.
constexpr std::size_t MaxExpansion = 1 << 16;
// And its strings hold at most this many bytes: each copy of a string is
// kept whole.
constexpr std::size_t MaxExpansionBytes = 1 << 20;
constexpr std::size_t MaxNesting = 256;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

// The identifier at the start of `text`, which is taken off it.
std::string_view TakeIdentifier(std::string_view& text) {
    std::size_t length = 0;
    if (!text.empty() && !std::isdigit(static_cast<unsigned char>(text.front())))
        while (length < text.size() && IsIdentifierChar(text[length])) ++length;
    const std::string_view name = text.substr(0, length);
    text.remove_prefix(length);
    return name;
}

bool IsPunct(const CToken& token, std::string_view text) {
    return token.kind == CToken::Kind::Punct && token.text == text;
}

// "\r\n" and a lone "\r" made "\n"; the text itself when it has no '\r'.
std::string_view UnixLines(std::string_view text, std::string& owned) {
    if (text.find('\r') == std::string_view::npos) return text;
    owned.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            owned += text[i];
        } else {
            owned += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return owned;
}

// The tokens of one directive, read for #if.
class TokenList final : public CTokenSource {
  public:
    TokenList(std::deque<CToken> tokens, int line) : tokens_(std::move(tokens)) {
        end_.line = line;
    }
    const CToken& Peek(std::size_t ahead) override {
        return next_ + ahead < tokens_.size() ? tokens_[next_ + ahead] : end_;
    }
    void Advance() override { ++next_; }

  private:
    std::deque<CToken> tokens_;
    std::size_t next_ = 0;
    CToken end_;
};

// An #if's expression: a name left after expansion is 0 (true is 1), and a
// name with arguments cannot be evaluated.
class IfExpression final : public CExpression {
  public:
    IfExpression(CTokenSource& tokens, const CPreprocessor& macros)
        : CExpression(tokens), macros_(macros) {}

  protected:
    CNumber Identifier(const CToken& token) override {
        tokens_.Advance();
        if (IsPunct(tokens_.Peek(), "(")) {
            if (macros_.IsFunctionMacro(token.text))
                RefuseAt(token.line, "#if uses the function-like macro " + token.text +
                                         ", which glyphtool does not evaluate");
            RefuseAt(token.line,
                     "#if calls " + token.text + "(…), which glyphtool cannot evaluate");
        }
        return {token.text == "true" ? 1u : 0u, false};
    }

  private:
    const CPreprocessor& macros_;
};

}  // namespace

CPreprocessor::CPreprocessor(std::string_view text, const std::vector<std::string>& defines) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    at_.text = UnixLines(text, owned_);
    for (const std::string& define : defines) {
        const std::size_t equals = define.find('=');
        Define(define.substr(0, equals) + " " +
                   (equals == std::string::npos ? "1" : define.substr(equals + 1)),
               0, true);
    }
}

const CToken& CPreprocessor::Peek(std::size_t ahead) {
    try {
        while (window_.size() <= ahead) window_.push_back(Produce());
    } catch (...) {
        failed_ = true;
        throw;
    }
    return window_[ahead];
}

void CPreprocessor::Advance() {
    Peek();
    window_.pop_front();
}

bool CPreprocessor::IsFunctionMacro(const std::string& name) const {
    const auto macro = macros_.find(name);
    return macro != macros_.end() && macro->second.takesArguments;
}

CToken CPreprocessor::Produce() {
    for (;;) {
        if (!expansion_.empty()) {
            CToken token = std::move(expansion_.front());
            expansion_.pop_front();
            return token;
        }
        if (at_.AtEnd()) {
            if (!groups_.empty()) RefuseAt(groups_.back().line, "an #if without its #endif");
            CToken end;
            end.line = at_.line;
            return end;
        }
        const char c = at_.text[at_.pos];
        if (c == '\n') {
            ++at_.pos, ++at_.line, lineStart_ = true;
        } else if (IsSpace(c) || SkipLineJoin(at_)) {
            if (IsSpace(c)) ++at_.pos;
        } else if (at_.Starts("/*") || at_.Starts("//")) {
            const std::string_view comment =
                at_.Starts("/*") ? SkipBlockComment(at_) : SkipLineComment(at_);
            if (Active() && !seenComment_) firstComment_ = comment, seenComment_ = true;
        } else if (c == '#' && lineStart_) {
            Directive();
        } else if (!Active()) {
            SkipLine();
        } else {
            lineStart_ = false;
            CToken token = ScanToken(at_);
            const auto macro = macros_.find(token.text);
            if (token.kind != CToken::Kind::Identifier || macro == macros_.end() ||
                macro->second.takesArguments)
                return token;
            std::vector<std::string> open;
            ExpansionSize size;
            Expand(token, open, expansion_, size);
        }
    }
}

// The rest of a line in a group not taken, read only for where comments and
// quotes start and end.
void CPreprocessor::SkipLine() {
    while (!at_.AtEnd() && at_.text[at_.pos] != '\n') {
        if (SkipLineJoin(at_)) continue;
        if (at_.Starts("/*"))
            SkipBlockComment(at_);
        else if (at_.Starts("//"))
            SkipLineComment(at_);
        else if (at_.text[at_.pos] == '"' || at_.text[at_.pos] == '\'')
            SkipQuoted(at_);
        else
            ++at_.pos;
    }
}

// The directive from after its '#' to the end of its line, lines joined,
// each comment a space; the cursor is left at the '\n' that ends it.
std::string CPreprocessor::DirectiveText() {
    ++at_.pos;  // '#'
    std::string text;
    while (!at_.AtEnd() && at_.text[at_.pos] != '\n') {
        if (SkipLineJoin(at_)) continue;
        if (at_.Starts("/*")) {
            SkipBlockComment(at_);
            text += ' ';
        } else if (at_.Starts("//")) {
            SkipLineComment(at_);
        } else if (at_.text[at_.pos] == '"' || at_.text[at_.pos] == '\'') {
            const std::size_t start = at_.pos;
            SkipQuoted(at_);
            text += at_.text.substr(start, at_.pos - start);
        } else {
            text += at_.text[at_.pos++];
        }
    }
    return text;
}

void CPreprocessor::Directive() {
    const int line = at_.line;
    const std::string text = DirectiveText();
    std::string_view rest = Trimmed(text);
    const std::string name(TakeIdentifier(rest));
    rest = Trimmed(rest);
    static constexpr std::string_view conditionals[] = {"if",   "ifdef", "ifndef",  "elif",
                                                        "else", "endif", "elifdef", "elifndef"};
    if (std::find(std::begin(conditionals), std::end(conditionals), name) != std::end(conditionals))
        return Conditional(name, rest, line);
    if (!Active()) return;
    if (name == "define") return Define(rest, line);
    if (name == "undef") {
        const std::string_view macro = TakeIdentifier(rest);
        if (macro.empty()) RefuseAt(line, "an #undef without a name");
        const auto found = macros_.find(macro);
        if (found != macros_.end()) macros_.erase(found);
    } else if (name == "error") {
        RefuseAt(line, "#error " + std::string(rest));
    }
    // #include is not followed; #pragma, #line and the rest say nothing of the font.
}

void CPreprocessor::Conditional(const std::string& name, std::string_view rest, int line) {
    if (name.starts_with("if")) {
        const bool enclosing = Active();
        const bool value = enclosing && Condition(name, rest, line);
        groups_.push_back({line, enclosing, value, value || !enclosing, false});
        return;
    }
    if (groups_.empty()) RefuseAt(line, "#" + name + " without its #if");
    Group& group = groups_.back();
    if (name == "endif") {
        groups_.pop_back();
        return;
    }
    if (group.seenElse)
        RefuseAt(line, "#" + name + " after the #else of line " + std::to_string(group.line));
    if (name == "else") {
        group.seenElse = true;
        group.active = !group.taken;
        group.taken = true;
        return;
    }
    // #elif, #elifdef and #elifndef: evaluated only when no branch has been taken.
    group.active = false;
    if (group.taken) return;
    const bool value = Condition(name.substr(2), rest, line);
    groups_.back().active = value;
    groups_.back().taken = value;
}

// The truth of an #if, #ifdef or #ifndef (the "if" forms of the #elif ones).
bool CPreprocessor::Condition(const std::string& name, std::string_view rest, int line) {
    if (name != "if") {
        std::string_view tail = rest;
        const std::string_view macro = TakeIdentifier(tail);
        if (macro.empty()) RefuseAt(line, "#" + name + " without a name");
        return macros_.contains(macro) == (name.ends_with("ifdef"));
    }
    if (rest.empty()) RefuseAt(line, "#" + name + " without a condition");
    // `defined NAME` and `defined(NAME)` are replaced before macros are expanded.
    CCursor at{rest, 0, line};
    std::string replaced;
    while (!at.AtEnd()) {
        if (IsSpace(at.text[at.pos])) {
            replaced += at.text[at.pos++];
            continue;
        }
        const std::size_t start = at.pos;
        const CToken token = ScanToken(at);
        if (token.kind != CToken::Kind::Identifier || token.text != "defined") {
            replaced += at.text.substr(start, at.pos - start);
            continue;
        }
        std::string_view tail = Trimmed(at.text.substr(at.pos));
        const bool parenthesised = tail.starts_with('(');
        if (parenthesised) tail = Trimmed(tail.substr(1));
        const std::string_view macro = TakeIdentifier(tail);
        tail = Trimmed(tail);
        if (macro.empty() || (parenthesised && !tail.starts_with(')')))
            RefuseAt(line, "'defined' without a name");
        if (parenthesised) tail.remove_prefix(1);
        replaced += macros_.contains(macro) ? " 1 " : " 0 ";
        at.pos = at.text.size() - tail.size();
    }
    TokenList tokens(ExpandedLine(replaced, line), line);
    const CNumber value = IfExpression(tokens, *this).Evaluate();
    if (tokens.Peek(0).kind != CToken::Kind::End)
        RefuseAt(line, "cannot read #" + name + " past '" + tokens.Peek(0).text + "'");
    return value.IsTrue();
}

void CPreprocessor::Define(std::string_view rest, int line, bool given) {
    const std::string name(TakeIdentifier(rest));
    if (name.empty()) RefuseAt(line, "a #define without a name");
    Macro macro;
    macro.takesArguments = rest.starts_with('(');
    macro.given = given && macro.takesArguments;
    if (macro.takesArguments) {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos)
            RefuseAt(line, "the arguments of " + name + " do not close");
        // The file's own are never expanded and may take "...".
        std::string_view list = given ? Trimmed(rest.substr(1, close - 1)) : "";
        while (!list.empty()) {
            macro.parameters.emplace_back(TakeIdentifier(list));
            list = Trimmed(list);
            if (macro.parameters.back().empty() || (!list.empty() && !list.starts_with(',')))
                RefuseAt(line, "the parameters of " + name + " are not names");
            if (!list.empty()) list = Trimmed(list.substr(1));
        }
        rest.remove_prefix(close + 1);
    }
    macro.body = Trimmed(rest);
    macros_[name] = std::move(macro);
}

namespace {

// The tokens of `text`, each given `line`.
std::deque<CToken> TokensOf(std::string_view text, int line) {
    std::deque<CToken> tokens;
    CCursor at{text, 0, line};
    while (!at.AtEnd()) {
        if (IsSpace(at.text[at.pos])) {
            ++at.pos;
            continue;
        }
        tokens.push_back(ScanToken(at));
        tokens.back().line = line;
    }
    return tokens;
}

}  // namespace

// The tokens of `use` with every object-like macro in it expanded, except one
// that is being expanded already (as a compiler leaves it).
void CPreprocessor::Expand(const CToken& use, std::vector<std::string>& open,
                           std::deque<CToken>& out, ExpansionSize& size) const {
    const auto macro = macros_.find(use.text);
    if (use.kind != CToken::Kind::Identifier || macro == macros_.end() ||
        macro->second.takesArguments ||
        std::find(open.begin(), open.end(), use.text) != open.end()) {
        if (++size.tokens > MaxExpansion)
            RefuseAt(use.line, "a macro expands to more than 65,536 tokens");
        size.bytes += use.text.size();
        if (size.bytes > MaxExpansionBytes)
            RefuseAt(use.line, "a macro expands to more than a mebibyte of text");
        out.push_back(use);
        return;
    }
    if (open.size() >= MaxNesting) RefuseAt(use.line, "macros defined by each other too deep");
    open.push_back(use.text);
    ExpandAll(TokensOf(macro->second.body, use.line), open, out, size);
    open.pop_back();
}

// `tokens` expanded: object-like macros, and the calls of function-like
// macros given as a -D.
void CPreprocessor::ExpandAll(std::deque<CToken> tokens, std::vector<std::string>& open,
                              std::deque<CToken>& out, ExpansionSize& size) const {
    while (!tokens.empty()) {
        const CToken token = std::move(tokens.front());
        tokens.pop_front();
        const auto macro = macros_.find(token.text);
        if (token.kind == CToken::Kind::Identifier && macro != macros_.end() &&
            macro->second.given && !tokens.empty() && IsPunct(tokens.front(), "(") &&
            std::find(open.begin(), open.end(), token.text) == open.end())
            ExpandCall(token, macro->second, tokens, open, out, size);
        else
            Expand(token, open, out, size);
    }
}

// The call of `macro` at `use`, whose arguments open `rest` and are taken off
// it: each argument is expanded, put in place of its parameter, and the body
// expanded again with `macro` itself left as it stands.
void CPreprocessor::ExpandCall(const CToken& use, const Macro& macro, std::deque<CToken>& rest,
                               std::vector<std::string>& open, std::deque<CToken>& out,
                               ExpansionSize& size) const {
    std::vector<std::deque<CToken>> arguments(1);
    rest.pop_front();  // '('
    for (int depth = 0;;) {
        if (rest.empty()) RefuseAt(use.line, "the call of " + use.text + "(…) does not close");
        CToken token = std::move(rest.front());
        rest.pop_front();
        if (IsPunct(token, ")") && depth == 0) break;
        if (IsPunct(token, ",") && depth == 0) {
            arguments.emplace_back();
            continue;
        }
        if (IsPunct(token, "(")) ++depth;
        if (IsPunct(token, ")")) --depth;
        arguments.back().push_back(std::move(token));
    }
    if (macro.parameters.empty() && arguments.size() == 1 && arguments[0].empty())
        arguments.clear();
    if (arguments.size() != macro.parameters.size())
        RefuseAt(use.line, use.text + " takes " + std::to_string(macro.parameters.size()) +
                               " arguments, not " + std::to_string(arguments.size()));
    if (open.size() >= MaxNesting) RefuseAt(use.line, "macros defined by each other too deep");
    std::vector<std::deque<CToken>> expanded;
    for (std::deque<CToken>& argument : arguments) {
        expanded.emplace_back();
        ExpandAll(std::move(argument), open, expanded.back(), size);
    }
    std::deque<CToken> body;
    for (CToken& token : TokensOf(macro.body, use.line)) {
        const auto parameter =
            std::find(macro.parameters.begin(), macro.parameters.end(), token.text);
        if (token.kind != CToken::Kind::Identifier || parameter == macro.parameters.end()) {
            body.push_back(std::move(token));
            continue;
        }
        const std::deque<CToken>& argument =
            expanded[static_cast<std::size_t>(parameter - macro.parameters.begin())];
        if ((size.tokens += argument.size()) > MaxExpansion)
            RefuseAt(use.line, "a macro expands to more than 65,536 tokens");
        body.insert(body.end(), argument.begin(), argument.end());
    }
    open.push_back(use.text);
    ExpandAll(std::move(body), open, out, size);
    open.pop_back();
}

std::deque<CToken> CPreprocessor::ExpandedLine(std::string_view text, int line) const {
    std::deque<CToken> tokens;
    std::vector<std::string> open;
    ExpansionSize size;
    ExpandAll(TokensOf(text, line), open, tokens, size);
    return tokens;
}

}  // namespace font
