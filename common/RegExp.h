// RegExp.h - the small regular-expression engine behind Ordvale's file-name rules.
//
// The dialect is the one of the classic ATL regular-expression class
// (CAtlRegExp), always case-sensitive.  Characters are compared as exact code
// units: no case folding, no locale.
//
//   x          any character not listed here stands for itself
//   .          any one character
//   [abc]      one character of the set; "a-z" inside a set is a range
//   [^abc]     one character not in the set
//   e? e* e+   zero or one, zero or more, one or more (greedy)
//   e?? e*? e+?  the same, lazy
//   ( ... )    grouping
//   { ... }    numbered match group; groups are numbered from 0 in the order
//              of their opening braces
//   \0 .. \9   back-reference: the text the match group of that number matched
//   a|b        alternation
//   !e         negative look-ahead: e must not match here; consumes nothing
//   ^          as the first character: the match must start at the start of
//              the name
//   $          as the last character: the match must end at the end of the name
//   \x         any other character x taken literally
//
// Abbreviations (each stands for a parenthesised sub-expression):
//   \a ([a-zA-Z0-9])   \b ([ <tab>])   \c ([a-zA-Z])   \d ([0-9])
//   \h ([0-9a-fA-F])   \n (<cr>|(<cr>?<lf>))   \q (("[^"]*")|('[^']*'))
//   \w ([a-zA-Z]+)     \z ([0-9]+)
//
// Choices made where the classic class is vague:
//   * "^" and "$" anchor the whole pattern, alternation included: "^a|b" only
//     tries position 0 and "a|b$" means "(a|b)$".  Anywhere else ("a^b",
//     "a$b", "(a$)", "^^x") they are ordinary characters.  "\$" as the last
//     two characters is a literal dollar sign.
//   * "!" applies to the following element together with its quantifiers:
//     "!a*" is "!(a*)".  "!" with nothing to apply to is a compile error.
//     "!!e" is a positive look-ahead.
//   * Sets: "-" first or last (or right after a range) is literal; "\" inside a
//     set takes the next character literally, so "[\]\\\-]" is "]", "\", "-"
//     and "[\d]" is just "d".  An empty set ("[]", "[^]") and a reversed range
//     ("[z-a]") are compile errors.
//   * A back-reference to a group that has not matched yet (not taken, or
//     still open, as in "{a\0}") fails.  A back-reference to a group number the
//     pattern does not have is a compile error.  Groups beyond \9 can be
//     written but not referred to.
//   * A quantifier may follow another one: "a*+" is "(a*)+".  A loop
//     iteration that consumes nothing ends the loop, so "(a*)*" cannot spin.
//   * An empty pattern and empty alternatives are allowed and match the empty
//     string ("a|" matches every name).
//   * The tab, carriage return and line feed in \b and \n are the real
//     control characters.  Written escapes are not C escapes: "\t" is the
//     letter t and "\r" the letter r.
//
// Limits (no pattern or name can hang or crash the engine):
//   * Nesting of (), {}, "!" and abbreviations deeper than kMaxNesting, or a
//     pattern tree taller than 160 levels (e.g. 200 stacked quantifiers), does
//     not compile.  Compiling and matching then need under 32 KB of stack.
//   * One Matches call gives up after kStepBudget matcher steps and answers
//     false.  Matching is memoised wherever no back-reference lies ahead, and
//     memoised work gets an allowance on top of the budget, so in practice
//     only patterns with back-references can run out - and for names within
//     the file-system limit of 259 characters only with degenerate
//     combinations of loops before a back-reference, such as "^{(a|a)*}\0$".
//   * A Matches call may also hold at most 2^18 backtrack entries (4 MB);
//     more answers false.  Names of over a billion characters answer false.
//
// A compiled CRegExp is immutable: copies share the compiled program, and
// Matches may be called concurrently from several threads.

#ifndef ORDVALE_COMMON_REGEXP_H
#define ORDVALE_COMMON_REGEXP_H

#include <cstddef>
#include <memory>
#include <string>

namespace regexp_detail {
struct Program;
}

class CRegExp {
public:
    // Deepest nesting of (), {}, "!" and abbreviations that still compiles.
    static constexpr int kMaxNesting = 64;
    // Matcher steps one Matches call may spend before answering false.
    static constexpr long kStepBudget = 500000;

    CRegExp() = default;

    // Compiles a pattern.  Returns false (and leaves the object uncompiled, so
    // that Matches answers false) when the pattern is null or malformed.
    bool Compile(const wchar_t* pattern);
    bool IsCompiled() const { return m_program != nullptr; }

    // True when the pattern matches somewhere in the name (see above).  False
    // when nothing is compiled or the name is null.
    bool Matches(const wchar_t* name) const;
    bool Matches(const std::wstring& name) const;

private:
    bool MatchesRange(const wchar_t* name, std::size_t length) const;

    std::shared_ptr<const regexp_detail::Program> m_program;
};

// Compiles the pattern and matches the name against it.  False when either is
// null or the pattern does not compile.
bool MatchesPattern(const wchar_t* name, const wchar_t* pattern);

#endif  // ORDVALE_COMMON_REGEXP_H
