#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/csource/CTokens.h"

namespace font {

// A value of a C integer constant expression: intmax_t, or uintmax_t once
// an unsigned operand has made it so.
struct CNumber {
    std::uint64_t bits = 0;
    bool isUnsigned = false;

    std::int64_t Signed() const { return static_cast<std::int64_t>(bits); }
    bool IsTrue() const { return bits != 0; }
};

// Tokens read one at a time, with a look ahead.
class CTokenSource {
  public:
    virtual ~CTokenSource() = default;
    virtual const CToken& Peek(std::size_t ahead = 0) = 0;
    virtual void Advance() = 0;
};

// Evaluates the conditional expression at the head of a token source, with
// C's operators and precedence, as #if and an initialiser need it. What an
// identifier is worth, and whether a '(' opens a cast, the user decides.
// Division by zero and the like raise Failure, except in an operand that is
// not evaluated (the right of a decided && or ||, the arm ?: does not take).
class CExpression {
  public:
    explicit CExpression(CTokenSource& tokens) : tokens_(tokens) {}
    virtual ~CExpression() = default;

    CNumber Evaluate();

  protected:
    // The value of an identifier at the head of the source, consumed.
    virtual CNumber Identifier(const CToken& token) = 0;
    // Skips a cast at the head of the source and says whether there was one.
    virtual bool SkipCast() { return false; }

    CTokenSource& tokens_;

  private:
    CNumber Conditional();
    CNumber Binary(int level);
    CNumber Unary();
    CNumber Primary();
    CNumber Apply(const CToken& op, CNumber left, CNumber right) const;

    int depth_ = 0;
    int unevaluated_ = 0;
};

}  // namespace font
