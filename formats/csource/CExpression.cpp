#include "formats/csource/CExpression.h"

#include <array>
#include <climits>
#include <string_view>

namespace font {
namespace {

constexpr int MaxDepth = 200;

// Binary operators from the loosest binding to the tightest.
constexpr std::array<std::array<std::string_view, 4>, 10> Levels = {{
    {"||"},
    {"&&"},
    {"|"},
    {"^"},
    {"&"},
    {"==", "!="},
    {"<", ">", "<=", ">="},
    {"<<", ">>"},
    {"+", "-"},
    {"*", "/", "%"},
}};

bool IsPunct(const CToken& token, std::string_view text) {
    return token.kind == CToken::Kind::Punct && token.text == text;
}

bool AtLevel(const CToken& token, int level) {
    if (token.kind != CToken::Kind::Punct) return false;
    for (const std::string_view op : Levels[static_cast<std::size_t>(level)])
        if (!op.empty() && token.text == op) return true;
    return false;
}

CNumber Truth(bool value) {
    return {value ? 1u : 0u, false};
}

}  // namespace

CNumber CExpression::Evaluate() {
    return Conditional();
}

CNumber CExpression::Conditional() {
    const CNumber condition = Binary(0);
    if (!IsPunct(tokens_.Peek(), "?")) return condition;
    tokens_.Advance();
    if (!condition.IsTrue()) ++unevaluated_;
    const CNumber yes = Conditional();
    if (!condition.IsTrue()) --unevaluated_;
    if (!IsPunct(tokens_.Peek(), ":")) RefuseAt(tokens_.Peek().line, "a '?' without its ':'");
    tokens_.Advance();
    if (condition.IsTrue()) ++unevaluated_;
    const CNumber no = Conditional();
    if (condition.IsTrue()) --unevaluated_;
    CNumber result = condition.IsTrue() ? yes : no;
    result.isUnsigned = yes.isUnsigned || no.isUnsigned;
    return result;
}

CNumber CExpression::Binary(int level) {
    if (level == static_cast<int>(Levels.size())) return Unary();
    CNumber left = Binary(level + 1);
    while (AtLevel(tokens_.Peek(), level)) {
        const CToken op = tokens_.Peek();
        tokens_.Advance();
        const bool decided =
            (op.text == "&&" && !left.IsTrue()) || (op.text == "||" && left.IsTrue());
        if (decided) ++unevaluated_;
        const CNumber right = Binary(level + 1);
        if (decided) --unevaluated_;
        left = Apply(op, left, right);
    }
    return left;
}

CNumber CExpression::Apply(const CToken& op, CNumber left, CNumber right) const {
    const std::string& o = op.text;
    if (o == "&&") return Truth(left.IsTrue() && right.IsTrue());
    if (o == "||") return Truth(left.IsTrue() || right.IsTrue());
    const bool isUnsigned = left.isUnsigned || right.isUnsigned;
    const std::uint64_t a = left.bits, b = right.bits;
    const std::int64_t sa = left.Signed(), sb = right.Signed();
    if (o == "==") return Truth(a == b);
    if (o == "!=") return Truth(a != b);
    if (o == "<") return Truth(isUnsigned ? a < b : sa < sb);
    if (o == ">") return Truth(isUnsigned ? a > b : sa > sb);
    if (o == "<=") return Truth(isUnsigned ? a <= b : sa <= sb);
    if (o == ">=") return Truth(isUnsigned ? a >= b : sa >= sb);
    if (o == "<<" || o == ">>") {
        // The left operand's type is the result's; a shift past its width gives 0
        // (or all ones for a negative number shifted right), as the hardware's would not.
        const bool outOfRange = right.isUnsigned ? b >= 64 : sb < 0 || sb >= 64;
        if (o == "<<") return {outOfRange ? 0 : a << b, left.isUnsigned};
        if (left.isUnsigned) return {outOfRange ? 0 : a >> b, true};
        if (outOfRange) return {sa < 0 ? ~std::uint64_t{0} : 0, false};
        return {static_cast<std::uint64_t>(sa >> sb), false};
    }
    if (o == "/" || o == "%") {
        if (b == 0) {
            if (unevaluated_ > 0) return {0, isUnsigned};
            RefuseAt(op.line, "a division by zero");
        }
        if (isUnsigned) return {o == "/" ? a / b : a % b, true};
        if (sa == INT64_MIN && sb == -1) return {o == "/" ? a : 0, false};
        return {static_cast<std::uint64_t>(o == "/" ? sa / sb : sa % sb), false};
    }
    std::uint64_t bits = 0;
    if (o == "+") bits = a + b;
    if (o == "-") bits = a - b;
    if (o == "*") bits = a * b;
    if (o == "&") bits = a & b;
    if (o == "|") bits = a | b;
    if (o == "^") bits = a ^ b;
    return {bits, isUnsigned};
}

CNumber CExpression::Unary() {
    const CToken& token = tokens_.Peek();
    if (++depth_ > MaxDepth) RefuseAt(token.line, "an expression nested too deep");
    CNumber result;
    if (token.kind == CToken::Kind::Punct &&
        (token.text == "-" || token.text == "+" || token.text == "~" || token.text == "!")) {
        const char op = token.text[0];
        tokens_.Advance();
        const CNumber operand = Unary();
        result = op == '-'   ? CNumber{0 - operand.bits, operand.isUnsigned}
                 : op == '~' ? CNumber{~operand.bits, operand.isUnsigned}
                 : op == '!' ? Truth(!operand.IsTrue())
                             : operand;
    } else if (SkipCast()) {
        result = Unary();
    } else {
        result = Primary();
    }
    --depth_;
    return result;
}

CNumber CExpression::Primary() {
    const CToken& token = tokens_.Peek();
    switch (token.kind) {
        case CToken::Kind::Number:
            if (!token.isWhole) RefuseAt(token.line, "a number that is not a whole number");
            [[fallthrough]];
        case CToken::Kind::Character: {
            const CNumber value{static_cast<std::uint64_t>(token.value), token.isUnsigned};
            tokens_.Advance();
            return value;
        }
        case CToken::Kind::Identifier: {
            const CToken name = token;
            return Identifier(name);
        }
        case CToken::Kind::End:
            RefuseAt(token.line, "an expression ends too soon");
        default:
            break;
    }
    if (!IsPunct(token, "("))
        RefuseAt(token.line, "cannot read '" + token.text + "' in an expression");
    tokens_.Advance();
    const CNumber inner = Conditional();
    if (!IsPunct(tokens_.Peek(), ")"))
        RefuseAt(tokens_.Peek().line, "a parenthesis does not close");
    tokens_.Advance();
    return inner;
}

}  // namespace font
