// Tests for CRegExp, the regular-expression engine behind file-name rules.

#include "RegExp.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Case {
    const wchar_t* pattern;
    const wchar_t* name;
    bool expected;
};

// Printable form of a wide string for failure messages.
std::string Show(const wchar_t* text) {
    if (text == nullptr)
        return "(null)";
    std::string out = "\"";
    for (; *text; ++text) {
        const unsigned long c = static_cast<unsigned long>(*text);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "\\x{%lx}", c);
            out += buffer;
        }
    }
    return out + "\"";
}

// Checks every case both through MatchesPattern and through a compiled
// CRegExp, which must agree.
template <std::size_t N>
void ExpectCases(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, MatchesPattern(c.name, c.pattern))
            << "pattern " << Show(c.pattern) << " name " << Show(c.name);
        CRegExp regExp;
        EXPECT_TRUE(regExp.Compile(c.pattern)) << "pattern " << Show(c.pattern);
        EXPECT_EQ(c.expected, regExp.Matches(c.name)) << "pattern " << Show(c.pattern) << " name " << Show(c.name);
    }
}

std::wstring Repeat(const wchar_t* piece, int count) {
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(RegExpSearch, LiteralsAreFoundAnywhereAndCaseSensitively) {
    const Case cases[] = {
        {L"txt", L"notes.txt", true},
        {L"txt", L"notes.txt.bak", true},
        {L"txt", L"mytxtfile", true},
        {L"txt", L"tx", false},
        {L"txt", L"", false},
        {L"Report", L"report.doc", false},
        {L"Report", L"Annual Report.doc", true},
        {L"report", L"REPORT", false},
        {L"ab", L"aab", true},  // retry after a partial match
        {L"aab", L"aaab", true},
        {L"\x00e9t\x00e9", L"\x00e9t\x00e9.txt", true},  // code units, not bytes
        {L"\x00e9", L"e", false},
        {L"\x0416", L"\x0436", false},  // no case folding outside ASCII either
        {L"\x0416", L"a\x0416", true},
    };
    ExpectCases(cases);
}

TEST(RegExpSearch, EndAnchorNeedsTheMatchToReachTheEnd) {
    const Case cases[] = {
        {L"txt$", L"notes.txt", true},
        {L"txt$", L"notes.txt.bak", false},
        {L"\\.txt$", L"notes.txt", true},
        {L"\\.txt$", L"notestxt", false},
        {L"a.c$", L"abcabd", false},
        {L"a.c$", L"abdabc", true},  // a later start position reaches the end
        {L"$", L"", true},
        {L"$", L"anything", true},
        {L"a*$", L"bbb", true},  // empty match at the end
    };
    ExpectCases(cases);
}

TEST(RegExpSearch, StartAnchorOnlyTriesTheFirstPosition) {
    const Case cases[] = {
        {L"^abc", L"abcdef", true},
        {L"^abc", L"xabc", false},
        {L"^a.c", L"xabc", false},
        {L"^[0-9]", L"2024 plan", true},
        {L"^[0-9]", L"plan 2024", false},
        {L"^abc$", L"abc", true},
        {L"^abc$", L"abcc", false},
        {L"^$", L"", true},
        {L"^$", L"a", false},
        {L"^", L"anything", true},
        {L"^.*$", L"", true},
    };
    ExpectCases(cases);
}

TEST(RegExpSearch, AnchorsApplyToTheWholePatternAndAreLiteralElsewhere) {
    const Case cases[] = {
        // "^" and "$" bind to the whole alternation.
        {L"^a|b", L"xb", false},
        {L"^a|b", L"bx", true},
        {L"a|b$", L"ax", false},
        {L"a|b$", L"xa", true},
        // Not first / not last: ordinary characters.
        {L"a^b", L"a^b", true},
        {L"a^b", L"ab", false},
        {L"a$b", L"a$b", true},
        {L"(a$)", L"a$", true},
        {L"(a$)", L"a", false},
        {L"^^x", L"^x", true},
        {L"^^x", L"x", false},
        // An escaped final "$" is a literal; an escaped backslash before it is not.
        {L"x\\$", L"x$", true},
        {L"x\\$", L"x", false},
        {L"x\\\\$", L"ax\\", true},
        {L"x\\\\$", L"x\\a", false},
        {L"\\^a", L"b^a", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, DotMatchesExactlyOneCharacter) {
    const Case cases[] = {
        {L"a.c", L"abc", true},
        {L"a.c", L"a.c", true},
        {L"a.c", L"ac", false},
        {L"^a.c$", L"abbc", false},
        {L".", L"", false},
        {L".", L"\x4e2d", true},
        {L"^...$", L"abc", true},
        {L"^...$", L"ab", false},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, Sets) {
    const Case cases[] = {
        {L"^[abc]$", L"b", true},
        {L"^[abc]$", L"d", false},
        {L"^[abc]$", L"B", false},
        {L"^[a-z]+$", L"report", true},
        {L"^[a-z]+$", L"Report", false},
        {L"^[a-zA-Z0-9_]+$", L"IMG_0042", true},
        {L"^[0-9][0-9]$", L"4x", false},
        // Negated sets.
        {L"^[^abc]$", L"d", true},
        {L"^[^abc]$", L"a", false},
        {L"^[^a-z]+$", L"ABC123", true},
        {L"^[^a-z]+$", L"ABc", false},
        {L"[^a]", L"aaaa", false},
        {L"[^a]", L"\x4e2d", true},  // beyond the ASCII table
        {L"^[^.]*$", L"noext", true},
        {L"^[^.]*$", L"has.ext", false},
        // "-" at the edges, or after a range, is literal.
        {L"^[-a]$", L"-", true},
        {L"^[a-]$", L"-", true},
        {L"^[a-]$", L"b", false},
        {L"^[^-]$", L"-", false},
        {L"^[a-c-e]$", L"-", true},
        {L"^[a-c-e]$", L"e", true},
        {L"^[a-c-e]$", L"d", false},
        // Escapes inside a set take the next character literally.
        {L"^[\\]]$", L"]", true},
        {L"^[\\\\]$", L"\\", true},
        {L"^[a\\-z]$", L"-", true},
        {L"^[a\\-z]$", L"b", false},
        {L"^[\\d]$", L"d", true},
        {L"^[\\d]$", L"5", false},
        {L"^[\\^]$", L"^", true},
        // Metacharacters are plain inside a set.
        {L"^[.*+?(){}|!$]+$", L".*+?(){}|!$", true},
        {L"^[.]$", L"x", false},
        // Ranges beyond 8 bits.
        {L"^[\x0430-\x044f]+$", L"\x0434\x043e\x043c", true},
        {L"^[\x0430-\x044f]+$", L"\x0434a", false},
        {L"[\x00e0-\x00ff]", L"caf\x00e9", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, Quantifiers) {
    const Case cases[] = {
        {L"^ab?c$", L"ac", true},
        {L"^ab?c$", L"abc", true},
        {L"^ab?c$", L"abbc", false},
        {L"^ab*c$", L"ac", true},
        {L"^ab*c$", L"abbbbc", true},
        {L"^ab*c$", L"abxc", false},
        {L"^ab+c$", L"ac", false},
        {L"^ab+c$", L"abc", true},
        {L"^ab+c$", L"abbbc", true},
        {L"^a*$", L"", true},
        {L"^a*$", L"aaaa", true},
        {L"^a*$", L"aaba", false},
        {L"^(ab)*$", L"ababab", true},
        {L"^(ab)*$", L"ababa", false},
        {L"^(ab)+$", L"", false},
        {L"^[0-9]+\\.[a-z]?$", L"123.", true},
        // The same loop entered again just before where it was tried first.
        {L"^(ab|a)c*bd$", L"abd", true},
        {L"^(ab|a)[^d]*bd$", L"abd", true},
        // Greedy loops give back what the rest of the pattern needs.
        {L"^a*ab$", L"aaab", true},
        {L"^.*\\.txt$", L"a.txt.txt", true},
        {L"^(a|ab)(c|bcd)(d*)$", L"abcd", true},
        // A quantifier may follow another.
        {L"^a*+$", L"aaa", true},
        {L"^(ab)?*$", L"abab", true},
        {L"^a+?+b$", L"aaab", true},
    };
    ExpectCases(cases);
}

// For a yes/no answer greedy and lazy loops agree whenever a match exists;
// what has to hold is that a lazy loop still extends as far as the rest of the
// pattern (an end anchor, a back-reference) requires.
TEST(RegExpElements, LazyQuantifiersStillExtendWhenNeeded) {
    const Case cases[] = {
        {L"^a+?$", L"aaaa", true},
        {L"^a*?$", L"aaaa", true},
        {L"^a*?b", L"aaab", true},
        {L"^a??b$", L"ab", true},
        {L"^a??b$", L"b", true},
        {L"^a??b$", L"aab", false},
        {L"^.*?\\.txt$", L"a.txt.txt", true},
        {L"^.+?x$", L"x", false},
        {L"^{a*?}\\0$", L"aaaa", true},
        {L"^{a*?}\\0$", L"aaa", false},
        {L"^{a+?}b\\0$", L"aabaa", true},
        {L"^{a+?}b\\0$", L"aaba", false},
        {L"^{.+?}{.+?}\\1\\0$", L"abcbca", true},
        {L"^{.*}{.*?}\\1\\0$", L"xyyx", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, GroupingAndAlternation) {
    const Case cases[] = {
        {L"cat|dog", L"hotdog", true},
        {L"cat|dog", L"cow", false},
        {L"^(cat|dog)s$", L"dogs", true},
        {L"^(cat|dog)s$", L"cats", true},
        {L"^(cat|dog)s$", L"cat", false},
        {L"^cat|dogs$", L"cats", false},  // "^(cat|dogs)$"
        {L"^cat|dogs$", L"dogs", true},
        {L"^(a|bc)*$", L"abca", true},
        {L"^(a|bc)*$", L"abcb", false},
        {L"^(a|b|c|d)+$", L"dcba", true},
        {L"\\.(jpe?g|png|gif)$", L"holiday.jpeg", true},
        {L"\\.(jpe?g|png|gif)$", L"holiday.jpg.txt", false},
        {L"\\.(jpe?g|png|gif)$", L"holiday.png", true},
        // Empty alternatives and groups match the empty string.
        {L"a|", L"", true},
        {L"a|", L"xyz", true},
        {L"^(a|)b$", L"b", true},
        {L"^(a|)b$", L"ab", true},
        {L"^(|a)b$", L"ab", true},
        {L"^()$", L"", true},
        {L"^()*x$", L"x", true},
        {L"^(a||b)c$", L"c", true},
        {L"", L"", true},
        {L"", L"anything", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, NumberedGroupsAndBackReferences) {
    const Case cases[] = {
        // Unanchored, so a match may start after the start of the name.
        {L"{a+}-\\0", L"aa-aa", true},
        {L"{a+}-\\0", L"aa-a", true},  // "a-a" from position 1
        {L"{a+}-\\0", L"a-aa", true},  // "a-a" from position 0
        {L"{a+}-\\0", L"aa-b", false},
        {L"^{a+}-\\0$", L"aa-aa", true},
        {L"^{a+}-\\0$", L"aa-a", false},
        {L"^{a+}-\\0$", L"a-aa", false},
        {L"{a+}-\\0$", L"a-aa", false},
        {L"{a+}-\\0$", L"xaa-aa", true},
        // Doubled letters.
        {L"{.}\\0", L"book", true},
        {L"{.}\\0", L"bok", false},
        {L"{[a-z]}\\0", L"AA", false},
        // Exact code units: no case folding in back-references.
        {L"^{[a-zA-Z]+}-\\0$", L"Ab-ab", false},
        {L"^{[a-zA-Z]+}-\\0$", L"Ab-Ab", true},
        // Groups are numbered by the order of their opening braces.
        {L"^{a}{b}\\1\\0$", L"abba", true},
        {L"^{a}{b}\\1\\0$", L"abab", false},
        {L"^{{a}b}\\1$", L"aba", true},
        {L"^{{a}b}\\0$", L"abab", true},
        {L"^{{a}b}\\0$", L"aba", false},
        {L"^({x})\\0$", L"xx", true},
        {L"^{\\d+}x\\0$", L"12x12", true},
        {L"^{\\d+}x\\0$", L"12x13", false},
        // A group repeated in a loop keeps its last iteration.
        {L"^{[ab]}*-\\0$", L"ab-b", true},
        {L"^{[ab]}*-\\0$", L"ab-a", false},
        // The empty string is a fine value for a group.
        {L"^{a*}b\\0$", L"b", true},
        // A group that did not take part, or is still open, makes the
        // back-reference fail.
        {L"^{a}?b\\0$", L"b", false},
        {L"^{a}?b\\0$", L"aba", true},
        {L"{a\\0}", L"aa", false},
        {L"\\0{a}", L"aa", false},
        {L"^(\\0{a}b)*$", L"abab", false},
        {L"^({a}b|\\0c)*$", L"abac", true},
        {L"^({a}b|\\0c)*$", L"ac", false},
        {L"^({a}b|\\0c)*$", L"abab", true},
        // Two paths reach the same place in the name with different
        // captures; only the second one matches.
        {L"^.?{.}.?\\0$", L"aba", true},
        {L"^.?{.}.?(y|\\0)$", L"aba", true},
        {L"^.?{.}.?(y|\\0)$", L"abc", false},
        // A back-reference after a loop of alternatives.
        {L"^{(ab|a)(bc|c)}-\\0$", L"abc-abc", true},
        // Groups past the tenth can be written, just not referenced.
        {L"^{a}{b}{c}{d}{e}{f}{g}{h}{i}{j}{k}\\9$", L"abcdefghijkj", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, NegativeLookAhead) {
    const Case cases[] = {
        {L"!a.", L"aaa", false},
        {L"!a.", L"ab", true},
        {L"!a.", L"ba", true},
        {L"!a.", L"", false},
        {L"^!a.", L"ba", true},
        {L"^!a.", L"ab", false},
        // The element is the next atom with its quantifiers.
        {L"^!(ab)..$", L"ac", true},
        {L"^!(ab)..$", L"ab", false},
        {L"^!a*", L"b", false},  // "!(a*)" can never hold
        {L"^!a+b", L"b", true},
        {L"^!a+b", L"ab", false},
        // Hidden files (leading dot) are left out; nothing is consumed.
        {L"^!\\..*$", L".profile", false},
        {L"^!\\..*$", L"profile", true},
        {L"^!(~\\$)", L"~$report.doc", false},
        {L"^!(~\\$)", L"report.doc", true},
        // Double negation is a positive look-ahead.
        {L"^!!a.", L"ab", true},
        {L"^!!a.", L"ba", false},
        {L"^!!(ab).b", L"ab", true},
        {L"^!!(ab)..b", L"ab", false},
        // Look-ahead repeated inside a loop.
        {L"^(!b.)*$", L"acd", true},
        {L"^(!b.)*$", L"abc", false},
        {L"^(!(ab).)*$", L"aabb", false},
        {L"^(!(ab).)*$", L"bbaa", true},
        // The same element is tried at several start positions after it
        // matched at an earlier one.
        {L"!(a*b)a", L"aab", false},
        {L"!(a*b)a", L"aac", true},
        {L"!({a}*b)a", L"aab", false},
        // Two paths reach the look-ahead at the same place with different
        // captures; only the second one gets past it.
        {L"^.?{.}.?!\\0.$", L"abb", true},
        {L"^.?{.}.?!\\0.$", L"bbb", false},
        // With back-references: the look-ahead must not leave captures behind.
        {L"^!({a}b)a\\0", L"aa", false},
        {L"^(!{a}x|.)\\0", L"aa", false},
        {L"^{x}!\\0.", L"xx", false},
        {L"^{x}!\\0.", L"xy", true},
        {L"^{a*}!\\0b", L"aab", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, EscapedCharactersAreLiteral) {
    const Case cases[] = {
        {L"a\\.b", L"a.b", true},
        {L"a\\.b", L"axb", false},
        {L"^\\*$", L"*", true},
        {L"^\\+\\?$", L"+?", true},
        {L"^\\(x\\)$", L"(x)", true},
        {L"^\\{x\\}$", L"{x}", true},
        {L"^\\[x\\]$", L"[x]", true},
        {L"^a\\|b$", L"a|b", true},
        {L"^a\\|b$", L"a", false},
        {L"^\\!a$", L"!a", true},
        {L"^\\\\$", L"\\", true},
        // Not C escapes: "\t" is the letter t.
        {L"^\\t$", L"t", true},
        {L"^\\t$", L"\t", false},
        {L"^\\r$", L"r", true},
        {L"^\\e\\f\\g$", L"efg", true},
        {L"^\\$x$", L"$x", true},
    };
    ExpectCases(cases);
}

TEST(RegExpElements, Abbreviations) {
    const Case cases[] = {
        // \a: one letter or digit
        {L"^\\a$", L"x", true},
        {L"^\\a$", L"Z", true},
        {L"^\\a$", L"7", true},
        {L"^\\a$", L"_", false},
        {L"^\\a$", L"xy", false},
        // \b: one blank (space or tab)
        {L"^\\b$", L" ", true},
        {L"^\\b$", L"\t", true},
        {L"^\\b$", L"t", false},
        {L"^\\b$", L"b", false},
        // \c: one letter
        {L"^\\c$", L"q", true},
        {L"^\\c$", L"Q", true},
        {L"^\\c$", L"1", false},
        // \d: one digit
        {L"^\\d$", L"0", true},
        {L"^\\d$", L"9", true},
        {L"^\\d$", L"a", false},
        {L"^\\d\\d$", L"42", true},
        // \h: one hexadecimal digit
        {L"^\\h+$", L"09afAF", true},
        {L"^\\h$", L"g", false},
        {L"^\\h$", L"G", false},
        // \n: CR, LF or CR LF
        {L"^\\n$", L"\r", true},
        {L"^\\n$", L"\n", true},
        {L"^\\n$", L"\r\n", true},
        {L"^\\n$", L"\n\r", false},
        {L"^\\n$", L"n", false},
        // \q: a quoted string, either quote
        {L"^\\q$", L"\"abc\"", true},
        {L"^\\q$", L"'abc'", true},
        {L"^\\q$", L"\"\"", true},
        {L"^\\q$", L"\"abc'", false},
        {L"^\\q$", L"'a'b'", false},
        {L"^x\\qy$", L"x'q'y", true},
        {L"^\\q+$", L"'a'\"b\"''", true},  // the quantifier covers both alternatives
        {L"^a\\q?$", L"a", true},
        {L"^a\\q?$", L"a\"", false},
        // \w: a word of letters
        {L"^\\w$", L"report", true},
        {L"^\\w$", L"report2", false},
        {L"^\\w\\.\\w$", L"notes.txt", true},
        // \z: a number
        {L"^\\z$", L"2024", true},
        {L"^\\z$", L"20x4", false},
        {L"^IMG_\\z\\.jpg$", L"IMG_0042.jpg", true},
        {L"^IMG_\\z\\.jpg$", L"IMG_.jpg", false},
        // Abbreviations work with back-references and look-ahead.
        {L"^{\\z}-\\0$", L"12-12", true},
        {L"^!\\d.*$", L"x1", true},
        {L"^!\\d.*$", L"1x", false},
    };
    ExpectCases(cases);
}

TEST(RegExpCompile, MalformedPatternsDoNotCompileOrMatch) {
    const wchar_t* const patterns[] = {
        L"(",       L"(abc",    L"((a)",    L"a)",      L")(",     L"{",       L"{a",      L"{{a}",
        L"a}",      L"(a}",     L"{a)",     L"[",       L"[a",     L"[^",      L"[a-",     L"[\\]",
        L"[]",      L"[^]",     L"[z-a]",   L"\\",      L"a\\",    L"[a\\",    L"*a",      L"+",
        L"?",       L"a|*",     L"(*)",     L"{*}",     L"^*",     L"a|+b",    L"(|?)",    L"!",
        L"a!",      L"!*",      L"a|!",     L"(!)",     L"\\0",    L"{a}\\1",  L"a\\5",
        L"a(b|c))", L"a{b}}",
    };
    const wchar_t* const names[] = {L"", L"a", L"abc", L"(abc", L"[a", L"*a", L"a)", L"\\"};
    for (const wchar_t* pattern : patterns) {
        CRegExp regExp;
        EXPECT_FALSE(regExp.Compile(pattern)) << "pattern " << Show(pattern);
        EXPECT_FALSE(regExp.IsCompiled()) << "pattern " << Show(pattern);
        for (const wchar_t* name : names) {
            EXPECT_FALSE(regExp.Matches(name)) << "pattern " << Show(pattern) << " name " << Show(name);
            EXPECT_FALSE(MatchesPattern(name, pattern)) << "pattern " << Show(pattern) << " name " << Show(name);
        }
    }
}

TEST(RegExpCompile, UnclosedParenthesisTakesNothingAndRaisesNoError) {
    const wchar_t* const names[] = {L"", L"a", L"(a", L"report(1).doc", L"((((("};
    for (const wchar_t* name : names) {
        bool result = true;
        EXPECT_NO_THROW(result = MatchesPattern(name, L"report(1"));
        EXPECT_FALSE(result) << Show(name);
        EXPECT_NO_THROW(result = MatchesPattern(name, L"(a"));
        EXPECT_FALSE(result) << Show(name);
    }
}

TEST(RegExpCompile, FailedCompileClearsThePreviousPattern) {
    CRegExp regExp;
    ASSERT_TRUE(regExp.Compile(L"a"));
    EXPECT_TRUE(regExp.Matches(L"cat"));
    EXPECT_FALSE(regExp.Compile(L"a("));
    EXPECT_FALSE(regExp.IsCompiled());
    EXPECT_FALSE(regExp.Matches(L"cat"));
    ASSERT_TRUE(regExp.Compile(L"^d"));
    EXPECT_FALSE(regExp.Matches(L"cat"));
    EXPECT_TRUE(regExp.Matches(L"dog"));
}

TEST(RegExpCompile, NullAndUncompiledInputsAnswerFalse) {
    CRegExp empty;
    EXPECT_FALSE(empty.IsCompiled());
    EXPECT_FALSE(empty.Matches(L""));
    EXPECT_FALSE(empty.Matches(L"a"));
    EXPECT_FALSE(empty.Compile(nullptr));
    CRegExp compiled;
    ASSERT_TRUE(compiled.Compile(L""));
    EXPECT_FALSE(compiled.Matches(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(MatchesPattern(nullptr, L"a"));
    EXPECT_FALSE(MatchesPattern(L"a", nullptr));
    EXPECT_FALSE(MatchesPattern(nullptr, nullptr));
}

TEST(RegExpRobustness, CatastrophicPatternsReturn) {
    static const std::wstring as = Repeat(L"a", 200);
    static const std::wstring asThenB = as + L"b";
    // Holds every character the patterns below need, just not where they
    // need it, so no quick rejection spares the matcher.
    static const std::wstring asThenCb = as + L"cb";
    static const std::wstring longest = Repeat(L"a", 259);
    const Case cases[] = {
        {L"(a*)*b", as.c_str(), false},
        {L"(a|a)*b", as.c_str(), false},
        {L"(a*)*$", as.c_str(), true},
        {L"^(a*)*$", asThenB.c_str(), false},
        {L"(a*)*b", asThenB.c_str(), true},
        {L"(a+)+b", as.c_str(), false},
        {L"(a|aa)*c", as.c_str(), false},
        {L"(a*)*(b*)*c", as.c_str(), false},
        {L"(.*)*x", longest.c_str(), false},
        {L"(a|a?)+!a.", as.c_str(), false},
        {L"(a|a?)+!a$", as.c_str(), true},
        {L"(!b(a*)*)*b", as.c_str(), false},
        {L"((a*)*|b)*c", longest.c_str(), false},
        {L"(((a*)*)*)*b", longest.c_str(), false},
        {L"^(a|a|a|a)*(a|a|a|a)*$", asThenB.c_str(), false},
        {L"^(a*)*b", asThenCb.c_str(), false},
        {L"^(a+)+$", asThenCb.c_str(), false},
        {L"^(a|aa)+c$", asThenCb.c_str(), false},
        {L"(a|a)*[bc]d", asThenCb.c_str(), false},
        {L"(.*a)*cc", asThenCb.c_str(), false},
        // With back-references.  Before the last one nothing is memoised; the
        // step budget ends the exponential ones (all genuinely no match).
        {L"{a*}*b\\0", as.c_str(), false},
        {L"{a|a}*\\0b", asThenCb.c_str(), false},
        {L"({a*})*\\0b", asThenCb.c_str(), false},
        {L"^{(a|a)*}\\0$", asThenB.c_str(), false},
        {L"^{(a|aa)*}\\0$", asThenB.c_str(), false},
        {L"^{(a|aa)+}c\\0", asThenCb.c_str(), false},
        {L"^({a}|aa)*b\\0", asThenCb.c_str(), false},
        {L"^{(a*)*}x\\0", asThenCb.c_str(), false},
        // After the last back-reference matching is memoised again.
        {L"^{a}\\0(a*)*b$", asThenCb.c_str(), false},
        {L"^{a}\\0(a*)*c", asThenCb.c_str(), true},
    };
    ExpectCases(cases);
}

TEST(RegExpRobustness, DeepNestingDoesNotCrash) {
    const std::wstring parens = Repeat(L"(", 5000) + L"a" + Repeat(L")", 5000);
    const std::wstring braces = Repeat(L"{", 5000) + L"a" + Repeat(L"}", 5000);
    const std::wstring negations = Repeat(L"!", 5000) + L"a";
    const std::wstring stars = L"a" + Repeat(L"*", 5000);
    const std::wstring lazyStars = L"a" + Repeat(L"*?", 5000);
    const std::wstring abbreviations = Repeat(L"(\\q", 3000) + Repeat(L")", 3000);
    const std::wstring unclosed = Repeat(L"(", 5000);
    const std::wstring closers = Repeat(L")", 5000);
    for (const std::wstring* pattern :
         {&parens, &braces, &negations, &stars, &lazyStars, &abbreviations, &unclosed, &closers}) {
        CRegExp regExp;
        const bool compiled = regExp.Compile(pattern->c_str());
        if (compiled) {
            // Whatever the answer, it has to come back.
            regExp.Matches(L"aaaa");
        }
        EXPECT_FALSE(MatchesPattern(L"b", pattern->c_str())) << Show(pattern->substr(0, 20).c_str());
    }

    // Moderate nesting compiles and matches as usual.
    const std::wstring nested = Repeat(L"(", 50) + L"a" + Repeat(L")", 50);
    EXPECT_TRUE(MatchesPattern(L"xa", nested.c_str()));
    const std::wstring nestedGroups = Repeat(L"{", 50) + L"a" + Repeat(L"}", 50) + L"\\9";
    EXPECT_TRUE(MatchesPattern(L"xaa", nestedGroups.c_str()));
    EXPECT_FALSE(MatchesPattern(L"xa", nestedGroups.c_str()));
    const std::wstring nestedLoops = Repeat(L"(", 50) + L"a*" + Repeat(L")*", 50) + L"b";
    EXPECT_FALSE(MatchesPattern(Repeat(L"a", 259).c_str(), nestedLoops.c_str()));
    EXPECT_TRUE(MatchesPattern((Repeat(L"a", 258) + L"b").c_str(), nestedLoops.c_str()));
}

TEST(RegExpRobustness, LongFlatPatternsAndNames) {
    // Many alternatives, each cheap.
    std::wstring alternatives;
    for (int i = 0; i < 2000; ++i)
        alternatives += L"x" + std::to_wstring(i) + L"y|";
    alternatives += L"needle";
    EXPECT_TRUE(MatchesPattern(L"a needle here", alternatives.c_str()));
    EXPECT_TRUE(MatchesPattern(L"zzx1999yzz", alternatives.c_str()));
    EXPECT_FALSE(MatchesPattern(L"x2000y", alternatives.c_str()));

    // Names far beyond a file name's length still work.
    const std::wstring huge = Repeat(L"ab", 100000) + L"c";
    EXPECT_TRUE(MatchesPattern(huge.c_str(), L"(ab)*c$"));
    EXPECT_TRUE(MatchesPattern(huge.c_str(), L"c"));
    EXPECT_FALSE(MatchesPattern(huge.c_str(), L"^b"));
}

// A compiled pattern, its copies and moved-to objects answer exactly as a
// fresh compile does, for many names in a row and in any order.
TEST(RegExpReuse, CompiledPatternAgreesWithFreshCompile) {
    const wchar_t* const patterns[] = {
        L"txt$",           L"^IMG_\\z\\.jpg$", L"{.}\\0",       L"^!\\..*",       L"(a|b)*c",
        L"^[^.]+$",        L"{a+}-\\0",        L"\\.(doc|docx)$", L"!a.",         L"^(a*)*$",
        L"\\q",            L"^\\w\\d*$",       L"[0-9]+?x",      L"^{[a-z]*}\\.\\0$", L"",
    };
    const wchar_t* const names[] = {
        L"notes.txt", L"IMG_0042.jpg", L"book",   L".profile", L"abac",     L"readme",  L"aa-aa",
        L"x.docx",    L"aaa",          L"'q'",    L"abc123",   L"12x",      L"tmp.tmp", L"",
        L"a-a",       L"aaaa",         L"IMG_.jpg", L"\"x\"",  L"report.doc", L"ba",
    };
    for (const wchar_t* pattern : patterns) {
        CRegExp compiled;
        ASSERT_TRUE(compiled.Compile(pattern)) << Show(pattern);
        const CRegExp copy(compiled);
        CRegExp assigned;
        assigned = compiled;
        CRegExp source(compiled);
        const CRegExp moved(std::move(source));
        for (int round = 0; round < 3; ++round) {
            for (const wchar_t* name : names) {
                const bool fresh = MatchesPattern(name, pattern);
                EXPECT_EQ(fresh, compiled.Matches(name)) << Show(pattern) << " " << Show(name);
                EXPECT_EQ(fresh, copy.Matches(name)) << Show(pattern) << " " << Show(name);
                EXPECT_EQ(fresh, assigned.Matches(name)) << Show(pattern) << " " << Show(name);
                EXPECT_EQ(fresh, moved.Matches(std::wstring(name))) << Show(pattern) << " " << Show(name);
            }
        }
    }
}

TEST(RegExpReuse, SharedPatternIsSafeAcrossThreads) {
    const wchar_t* const patterns[] = {L"{a+}-\\0$", L"^(a|b)*!c.$", L"[a-c]+d"};
    std::vector<std::wstring> names;
    std::mt19937 random(7);
    for (int i = 0; i < 400; ++i) {
        std::wstring name;
        const int length = static_cast<int>(random() % 12);
        for (int j = 0; j < length; ++j)
            name += L"abcd-"[random() % 5];
        names.push_back(name);
    }
    for (const wchar_t* pattern : patterns) {
        CRegExp shared;
        ASSERT_TRUE(shared.Compile(pattern));
        std::vector<char> expected;
        for (const std::wstring& name : names)
            expected.push_back(MatchesPattern(name.c_str(), pattern) ? 1 : 0);
        std::vector<int> mismatches(4, 0);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 20; ++round)
                    for (std::size_t i = 0; i < names.size(); ++i)
                        if (shared.Matches(names[i]) != (expected[i] != 0))
                            ++mismatches[static_cast<std::size_t>(t)];
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (int count : mismatches)
            EXPECT_EQ(0, count) << Show(pattern);
    }
}

// ---------------------------------------------------------------------------
// Randomised comparison against a deliberately naive matcher that computes,
// for each sub-expression, the set of positions where it can end.  It knows
// nothing about backtracking, memoisation or budgets, so it checks them.

struct Expr {
    enum Kind { Char, Any, Set, NotSet, Concat, Alt, Star, Plus, Optional, Look, Group } kind;
    wchar_t c = 0;
    bool lazy = false;
    std::unique_ptr<Expr> left;
    std::unique_ptr<Expr> right;
};

std::unique_ptr<Expr> RandomExpr(std::mt19937& random, int depth) {
    auto expr = std::make_unique<Expr>();
    const int choice = depth <= 0 ? static_cast<int>(random() % 4) : static_cast<int>(random() % 11);
    expr->kind = static_cast<Expr::Kind>(choice);
    expr->c = L"abc"[random() % 3];
    expr->lazy = random() % 3 == 0;
    if (choice >= Expr::Concat) {
        expr->left = RandomExpr(random, depth - 1);
        if (choice == Expr::Concat || choice == Expr::Alt)
            expr->right = RandomExpr(random, depth - 1);
    }
    return expr;
}

std::wstring Print(const Expr& e) {
    switch (e.kind) {
    case Expr::Char: return std::wstring(1, e.c);
    case Expr::Any: return L".";
    case Expr::Set: return std::wstring(L"[") + e.c + L"-c]";
    case Expr::NotSet: return std::wstring(L"[^") + e.c + L"]";
    case Expr::Concat: return L"(" + Print(*e.left) + Print(*e.right) + L")";
    case Expr::Alt: return L"(" + Print(*e.left) + L"|" + Print(*e.right) + L")";
    case Expr::Star: return L"(" + Print(*e.left) + (e.lazy ? L")*?" : L")*");
    case Expr::Plus: return L"(" + Print(*e.left) + (e.lazy ? L")+?" : L")+");
    case Expr::Optional: return L"(" + Print(*e.left) + (e.lazy ? L")??" : L")?");
    case Expr::Look: return L"(!" + Print(*e.left) + L")";
    case Expr::Group: return L"{" + Print(*e.left) + L"}";
    }
    return L"";
}

std::set<std::size_t> Ends(const Expr& e, const std::wstring& s, std::size_t at) {
    std::set<std::size_t> out;
    switch (e.kind) {
    case Expr::Char:
        if (at < s.size() && s[at] == e.c)
            out.insert(at + 1);
        break;
    case Expr::Any:
        if (at < s.size())
            out.insert(at + 1);
        break;
    case Expr::Set:
        if (at < s.size() && s[at] >= e.c && s[at] <= L'c')
            out.insert(at + 1);
        break;
    case Expr::NotSet:
        if (at < s.size() && s[at] != e.c)
            out.insert(at + 1);
        break;
    case Expr::Concat:
        for (std::size_t mid : Ends(*e.left, s, at))
            for (std::size_t end : Ends(*e.right, s, mid))
                out.insert(end);
        break;
    case Expr::Alt:
        out = Ends(*e.left, s, at);
        for (std::size_t end : Ends(*e.right, s, at))
            out.insert(end);
        break;
    case Expr::Star:
    case Expr::Plus: {
        // Closure of one-or-more iterations; "*" adds the empty match.
        std::set<std::size_t> frontier = Ends(*e.left, s, at);
        out = frontier;
        while (!frontier.empty()) {
            std::set<std::size_t> next;
            for (std::size_t from : frontier)
                for (std::size_t end : Ends(*e.left, s, from))
                    if (out.insert(end).second)
                        next.insert(end);
            frontier = std::move(next);
        }
        if (e.kind == Expr::Star)
            out.insert(at);
        break;
    }
    case Expr::Optional:
        out = Ends(*e.left, s, at);
        out.insert(at);
        break;
    case Expr::Look:
        if (Ends(*e.left, s, at).empty())
            out.insert(at);
        break;
    case Expr::Group:
        out = Ends(*e.left, s, at);
        break;
    }
    return out;
}

bool NaiveSearch(const Expr& e, const std::wstring& s, bool anchoredStart, bool anchoredEnd) {
    for (std::size_t start = 0; start <= (anchoredStart ? 0 : s.size()); ++start) {
        const std::set<std::size_t> ends = Ends(e, s, start);
        if (anchoredEnd ? ends.count(s.size()) != 0 : !ends.empty())
            return true;
    }
    return false;
}

TEST(RegExpRandomised, AgreesWithNaiveMatcher) {
    std::mt19937 random(20240611);
    std::vector<std::wstring> names;
    for (int i = 0; i < 40; ++i) {
        std::wstring name;
        const int length = static_cast<int>(random() % 9);
        for (int j = 0; j < length; ++j)
            name += L"abcd"[random() % 4];
        names.push_back(name);
    }
    int mismatches = 0;
    for (int round = 0; round < 1500 && mismatches < 10; ++round) {
        const std::unique_ptr<Expr> expr = RandomExpr(random, 4);
        const bool anchoredStart = random() % 3 == 0;
        const bool anchoredEnd = random() % 3 == 0;
        const std::wstring body = Print(*expr);
        const wchar_t* const start = anchoredStart ? L"^" : L"";
        const wchar_t* const end = anchoredEnd ? L"$" : L"";
        // Two variants with an empty group and a back-reference to it, which
        // change nothing about what matches: in front, the rest is still
        // memoised; at the end, nothing before it can be.
        const std::wstring patterns[] = {
            start + body + end,
            start + (L"{}\\0" + body) + end,
            start + (L"{}" + body + L"\\0") + end,
        };
        for (int variant = 0; variant < 3; ++variant) {
            CRegExp regExp;
            ASSERT_TRUE(regExp.Compile(patterns[variant].c_str())) << Show(patterns[variant].c_str());
            for (const std::wstring& name : names) {
                // Without memoisation nested loops cost exponential time; keep
                // those names short enough for the step budget.
                if (variant == 2 && name.size() > 5)
                    continue;
                const bool expected = NaiveSearch(*expr, name, anchoredStart, anchoredEnd);
                if (regExp.Matches(name) != expected) {
                    ++mismatches;
                    ADD_FAILURE() << Show(patterns[variant].c_str()) << " on " << Show(name.c_str())
                                  << " expected " << expected;
                }
            }
        }
    }
}

}  // namespace
