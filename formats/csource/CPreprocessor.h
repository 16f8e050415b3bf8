#pragma once

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "formats/csource/CExpression.h"
#include "formats/csource/CTokens.h"

namespace font {

// The tokens of a C header as a compiler compiling it alone sees them: the
// groups of #if, #ifdef, #ifndef, #elif and #else that are not taken are
// passed over without being read as C, the object-like macros the file
// #defines (and those given as a compiler's -D) are expanded, and #include
// is not followed. A UTF-8 byte order mark is passed over, and lines may end
// in "\n", "\r\n" or "\r".
//
// A function-like macro given as a -D, NAME(a, b)=BODY, stands for one that
// the headers the file includes would define (a library's version check):
// its calls in #if and in the bodies of other macros are expanded, their
// arguments first, as a compiler does; a call in the text itself is left as
// it stands.
//
// Raises Failure ("line N: …") for what a compiler would stop at: an #if it
// cannot evaluate (a function-like macro the file defines, or a call of one
// it does not, among them), an #else or #endif without its #if, an #if
// without its #endif, an active #error, and text that cannot be split into
// tokens.
class CPreprocessor final : public CTokenSource {
  public:
    // `defines` are NAME, NAME=VALUE or NAME(PARAMETERS)=VALUE; NAME alone is 1.
    CPreprocessor(std::string_view text, const std::vector<std::string>& defines);

    const CToken& Peek(std::size_t ahead = 0) override;
    void Advance() override;

    // The text of the first comment outside the groups not taken, which often
    // describes the file.
    const std::string& FirstComment() const { return firstComment_; }

    // Whether reading on has raised Failure: the text cannot be read further.
    bool Failed() const { return failed_; }

    // Whether `name` is a macro taking arguments, which the text itself
    // never has expanded.
    bool IsFunctionMacro(const std::string& name) const;

  private:
    struct Macro {
        std::string body;
        bool takesArguments = false;
        // A function-like macro given as a -D, which #if expands.
        bool given = false;
        std::vector<std::string> parameters;
    };
    // What an expansion has produced so far.
    struct ExpansionSize {
        std::size_t tokens = 0;
        std::size_t bytes = 0;  // of the tokens' text
    };
    struct Group {
        int line;           // of its #if
        bool parentActive;  // whether the group around it is compiled
        bool active;        // whether the branch being read is compiled
        bool taken;         // whether a branch of it has been compiled
        bool seenElse;
    };

    CToken Produce();
    bool Active() const { return groups_.empty() || groups_.back().active; }
    void SkipLine();
    std::string DirectiveText();
    void Directive();
    void Conditional(const std::string& name, std::string_view rest, int line);
    bool Condition(const std::string& name, std::string_view rest, int line);
    void Define(std::string_view rest, int line, bool given = false);
    void Expand(const CToken& use, std::vector<std::string>& open, std::deque<CToken>& out,
                ExpansionSize& size) const;
    void ExpandAll(std::deque<CToken> tokens, std::vector<std::string>& open,
                   std::deque<CToken>& out, ExpansionSize& size) const;
    void ExpandCall(const CToken& use, const Macro& macro, std::deque<CToken>& rest,
                    std::vector<std::string>& open, std::deque<CToken>& out,
                    ExpansionSize& size) const;
    std::deque<CToken> ExpandedLine(std::string_view text, int line) const;

    std::string owned_;  // the text with its line ends made '\n', when they were not
    CCursor at_;
    bool lineStart_ = true;
    std::map<std::string, Macro, std::less<>> macros_;
    std::vector<Group> groups_;
    std::deque<CToken> expansion_;
    std::deque<CToken> window_;
    std::string firstComment_;
    bool seenComment_ = false;
    bool failed_ = false;
};

}  // namespace font
