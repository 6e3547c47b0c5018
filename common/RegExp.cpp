// RegExp.cpp - parser, compiler and backtracking matcher for CRegExp.
//
// Compile parses the pattern into a small tree, works out a few facts used to
// turn names away cheaply (can the pattern match empty, which characters can
// start a match, the shortest possible match, a stretch of text every match
// contains), and emits a program for a backtracking virtual machine.  A
// pattern made of plain characters skips the machine and is matched with a
// direct search.
//
// The machine keeps its choice points on an explicit stack, so matching never
// recurses (parsing and code generation do, bounded by the nesting limits:
// under 32 KB of stack).  Two mechanisms keep it from running away:
//   * Memoisation.  From an instruction where no back-reference can be
//     reached any more, a state (instruction, position) has the same outcome
//     whatever was captured on the way there, so each such state is explored
//     at most once per Matches call, across all start positions.  For a
//     pattern without back-references that is every state, which bounds the
//     work by (program size x name length).  States are recorded only at jump
//     targets: every other instruction has a single predecessor, so it cannot
//     be reached twice with the same position unless its predecessor was.
//     Recording also ends loops whose body matched nothing.  Greedy runs of
//     one character class ("x*", ".*", "[^.]*") are one instruction that gives
//     back characters one at a time; it remembers the stretch it has already
//     covered so that nested loops such as "(a*)*" stay linear.
//   * A step budget (CRegExp::kStepBudget) for every Matches call; running
//     out answers false.  Where captures still matter nothing is memoised:
//     loops over bodies that can match empty carry a guard that fails an
//     iteration which consumed nothing, and the budget bounds the rest.
//     Memoised patterns get an extra allowance proportional to program size
//     times name length, so they do not run out in practice.
//
// Negative look-ahead runs its element on the same stack above a barrier
// frame: if the element reaches its end the barrier and everything above it
// are discarded and the look-ahead fails; if the stack unwinds down to the
// barrier the element cannot match and the look-ahead succeeds.  Memoised
// states inside a look-ahead element mean "cannot reach the end of the
// element"; when an element does match, its states are forgotten, because
// those on the successful path were recorded without having failed.

#include "RegExp.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <utility>
#include <vector>

#if defined(_MSC_VER)
#define REGEXP_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define REGEXP_NOINLINE __attribute__((noinline))
#else
#define REGEXP_NOINLINE
#endif

namespace regexp_detail {

using Unit = std::uint32_t;

inline Unit ToUnit(wchar_t c) { return static_cast<Unit>(c); }

// Tallest pattern tree that compiles.  Nesting adds one or two levels per
// bracket, stacked quantifiers one each.
constexpr int kMaxTreeHeight = 160;
// Only groups \0 to \9 can be referred to, so only those are captured.
constexpr int kMaxRefGroups = 10;
// Memoisation is switched off (leaving the budget alone in charge) when its
// table would exceed this many bits; only names far longer than a file name
// get there.
constexpr std::size_t kMaxMemoBits = std::size_t(1) << 24;
// Backtrack stack frames one Matches call may hold; more counts as no match.
constexpr std::size_t kMaxFrames = std::size_t(1) << 18;

// ---------------------------------------------------------------------------
// Character sets

struct CharSet {
    std::uint64_t low[4] = {0, 0, 0, 0};  // membership of units below 256, negation applied
    std::vector<std::pair<Unit, Unit>> ranges;  // as written, inclusive
    bool negated = false;

    void Add(Unit lo, Unit hi) {
        ranges.emplace_back(lo, hi);
        for (Unit c = lo; c <= hi && c < 256; ++c)
            low[c >> 6] |= std::uint64_t(1) << (c & 63);
    }
    void Finish() {
        if (negated)
            for (std::uint64_t& word : low)
                word = ~word;
    }
    bool Contains(Unit c) const {
        if (c < 256)
            return ((low[c >> 6] >> (c & 63)) & 1) != 0;
        bool in = false;
        for (const auto& range : ranges) {
            if (c >= range.first && c <= range.second) {
                in = true;
                break;
            }
        }
        return in != negated;
    }
    bool MayContainHigh() const {
        if (negated)
            return true;
        for (const auto& range : ranges)
            if (range.second >= 256)
                return true;
        return false;
    }
};

// ---------------------------------------------------------------------------
// Program

enum Op : std::uint8_t {
    kChar,       // x: code unit
    kAny,        // any one unit
    kSet,        // x: set index
    kSplit,      // try x first, then y
    kJmp,        // x
    kOpen,       // x: group; remembers where the group started
    kClose,      // x: group; publishes start and end together
    kBackRef,    // x: group
    kMark,       // x: loop register; y = 1 for the first iteration of "+"
    kCheck,      // x: loop register; fails if the iteration consumed nothing
    kLookBegin,  // x: look-ahead index, y: continuation; element follows
    kLookEnd,    // the element of the innermost look-ahead matched
    kAssertEnd,  // position must be the end of the name
    kStarChar,   // greedy run of unit x (y: run index): longest first, then shorter
    kStarAny,    // greedy run of any characters (y: run index)
    kStarSet,    // greedy run of members of set x (y: run index)
    kMatch,
};

struct Inst {
    Op op;
    bool memoised;      // no back-reference can be reached from here
    std::int32_t x;
    std::int32_t y;
    std::int32_t memo;  // memo slot of a memoised jump target, else -1
};

struct Look {
    std::int32_t cont;    // where matching continues when the element does not match
    std::int32_t memoLo;  // memo slots of the element's instructions
    std::int32_t memoHi;
    std::int32_t runLo;   // run instructions inside the element
    std::int32_t runHi;
};

struct Program {
    std::vector<Inst> code;
    std::vector<CharSet> sets;
    std::vector<Look> looks;
    int memoSlots = 0;
    int runs = 0;
    int loopRegisters = 0;
    bool anchoredStart = false;
    bool anchoredEnd = false;
    // Plain-character patterns are matched without the machine.
    bool isLiteral = false;
    std::wstring literal;
    // Start filter: unless the pattern can match empty, a match starting at
    // position s needs name[s] in this set (units >= 256: firstHigh).
    bool nullable = true;
    std::uint64_t first[4] = {0, 0, 0, 0};
    bool firstHigh = true;
    int minLength = 0;
    // Text every match contains; a name without it is rejected at once.
    std::wstring required;
    // Plain characters the pattern starts with (only kept for "^...") and
    // ends with (only kept for "...$"), checked before anything else.
    std::wstring prefix;
    std::wstring suffix;
    // Plain characters every match starts with; start positions are found by
    // searching for them.
    std::wstring lead;
};

// ---------------------------------------------------------------------------
// Parser

enum class Kind : std::uint8_t { Empty, Char, Any, Set, Concat, Alt, Repeat, Capture, BackRef, NegLook };

struct Node {
    Kind kind = Kind::Empty;
    wchar_t rep = 0;  // '?', '*' or '+'
    bool greedy = true;
    bool nullable = false;
    int value = 0;  // Char: unit; Set: set index; Capture, BackRef: group
    int height = 1;
    int minLength = 0;
    std::vector<int> kids;
};

struct Tree {
    std::vector<Node> nodes;
    std::vector<CharSet> sets;
    int groups = 0;
    int maxBackRef = -1;
    unsigned referenced = 0;  // bit g: \g appears
};

const wchar_t* Abbreviation(wchar_t letter) {
    switch (letter) {
    case L'a': return L"([a-zA-Z0-9])";
    case L'b': return L"([ \t])";
    case L'c': return L"([a-zA-Z])";
    case L'd': return L"([0-9])";
    case L'h': return L"([0-9a-fA-F])";
    case L'n': return L"(\r|(\r?\n))";
    case L'q': return L"((\"[^\"]*\")|('[^']*'))";  // grouped so it acts as one element
    case L'w': return L"([a-zA-Z]+)";
    case L'z': return L"([0-9]+)";
    default: return nullptr;
    }
}

// Recursive descent; every function returns a node index or -1 for a syntax
// error.  Recursion depth is bounded by kMaxNesting.
class Parser {
public:
    Parser(const wchar_t* begin, const wchar_t* end, Tree& tree, int depth)
        : m_p(begin), m_end(end), m_tree(tree), m_depth(depth) {}

    int ParseAlternation() {
        std::vector<int> branches;
        for (;;) {
            const int branch = ParseSequence();
            if (branch < 0)
                return -1;
            branches.push_back(branch);
            if (m_p == m_end || *m_p != L'|')
                break;
            ++m_p;
        }
        if (branches.size() == 1)
            return branches[0];
        const int merged = MergeCharacterBranches(branches);
        if (merged >= 0)
            return merged;
        return Add(Kind::Alt, std::move(branches));
    }

    bool AtEnd() const { return m_p == m_end; }

private:
    static bool EndsSequence(wchar_t c) { return c == L'|' || c == L')' || c == L'}'; }
    static bool IsQuantifier(wchar_t c) { return c == L'?' || c == L'*' || c == L'+'; }

    int Add(Kind kind, std::vector<int> kids = {}, int value = 0) {
        Node node;
        node.kind = kind;
        node.value = value;
        int height = 0;
        for (int kid : kids)
            height = std::max(height, m_tree.nodes[static_cast<std::size_t>(kid)].height);
        node.height = height + 1;
        if (node.height > kMaxTreeHeight)
            return -1;
        node.kids = std::move(kids);
        m_tree.nodes.push_back(std::move(node));
        return static_cast<int>(m_tree.nodes.size()) - 1;
    }

    // "(a|e|i|o|u)" and "(\d|x)" are sets in disguise; as one they are
    // cheaper and let a loop over them run as a single instruction.  Returns
    // -1 when some branch is not a single character.
    int MergeCharacterBranches(const std::vector<int>& branches) {
        CharSet merged;
        for (int branch : branches) {
            const Node& node = m_tree.nodes[static_cast<std::size_t>(branch)];
            if (node.kind == Kind::Char) {
                merged.Add(static_cast<Unit>(node.value), static_cast<Unit>(node.value));
            } else if (node.kind == Kind::Set && !m_tree.sets[static_cast<std::size_t>(node.value)].negated) {
                for (const auto& range : m_tree.sets[static_cast<std::size_t>(node.value)].ranges)
                    merged.Add(range.first, range.second);
            } else {
                return -1;
            }
        }
        merged.Finish();
        m_tree.sets.push_back(std::move(merged));
        return Add(Kind::Set, {}, static_cast<int>(m_tree.sets.size()) - 1);
    }

    int ParseSequence() {
        std::vector<int> items;
        while (m_p != m_end && !EndsSequence(*m_p)) {
            const int term = ParseTerm();
            if (term < 0)
                return -1;
            items.push_back(term);
        }
        if (items.empty())
            return Add(Kind::Empty);
        if (items.size() == 1)
            return items[0];
        return Add(Kind::Concat, std::move(items));
    }

    // term := '!' term | atom quantifier*
    int ParseTerm() {
        if (*m_p == L'!') {
            ++m_p;
            if (m_p == m_end || EndsSequence(*m_p) || m_depth + 1 > CRegExp::kMaxNesting)
                return -1;
            ++m_depth;
            const int inner = ParseTerm();
            --m_depth;
            return inner < 0 ? -1 : Add(Kind::NegLook, {inner});
        }
        int atom = ParseAtom();
        while (atom >= 0 && m_p != m_end && IsQuantifier(*m_p)) {
            const wchar_t rep = *m_p++;
            bool greedy = true;
            if (m_p != m_end && *m_p == L'?') {
                greedy = false;
                ++m_p;
            }
            atom = Add(Kind::Repeat, {atom});
            if (atom >= 0) {
                m_tree.nodes.back().rep = rep;
                m_tree.nodes.back().greedy = greedy;
            }
        }
        return atom;
    }

    int ParseAtom() {
        const wchar_t c = *m_p;
        switch (c) {
        case L'?':
        case L'*':
        case L'+':
            return -1;  // nothing to repeat
        case L'(':
        case L'{': {
            ++m_p;
            if (m_depth + 1 > CRegExp::kMaxNesting)
                return -1;
            const int group = c == L'{' ? m_tree.groups++ : -1;
            ++m_depth;
            const int inner = ParseAlternation();
            --m_depth;
            const wchar_t close = c == L'(' ? L')' : L'}';
            if (inner < 0 || m_p == m_end || *m_p != close)
                return -1;
            ++m_p;
            return group < 0 ? inner : Add(Kind::Capture, {inner}, group);
        }
        case L'[':
            ++m_p;
            return ParseSet();
        case L'.':
            ++m_p;
            return Add(Kind::Any);
        case L'\\': {
            ++m_p;
            if (m_p == m_end)
                return -1;  // dangling backslash
            const wchar_t e = *m_p++;
            if (e >= L'0' && e <= L'9') {
                const int group = e - L'0';
                m_tree.maxBackRef = std::max(m_tree.maxBackRef, group);
                m_tree.referenced |= 1u << group;
                return Add(Kind::BackRef, {}, group);
            }
            if (const wchar_t* expansion = Abbreviation(e))
                return ParseAbbreviation(expansion);
            return Add(Kind::Char, {}, static_cast<int>(e));
        }
        default:
            ++m_p;
            return Add(Kind::Char, {}, static_cast<int>(c));
        }
    }

    int ParseAbbreviation(const wchar_t* text) {
        if (m_depth + 1 > CRegExp::kMaxNesting)
            return -1;
        Parser sub(text, text + std::wcslen(text), m_tree, m_depth + 1);
        const int node = sub.ParseAlternation();
        return sub.AtEnd() ? node : -1;
    }

    // Called with m_p != m_end.
    Unit ReadSetUnit() {
        if (*m_p == L'\\' && m_p + 1 != m_end)
            ++m_p;
        return ToUnit(*m_p++);
    }

    int ParseSet() {
        CharSet set;
        if (m_p != m_end && *m_p == L'^') {
            set.negated = true;
            ++m_p;
        }
        bool empty = true;
        for (;;) {
            if (m_p == m_end)
                return -1;  // unclosed set
            if (*m_p == L']') {
                ++m_p;
                break;
            }
            if (*m_p == L'\\' && m_p + 1 == m_end)
                return -1;  // dangling backslash
            const Unit lo = ReadSetUnit();
            Unit hi = lo;
            // "-" is a range only between two characters; first, last or
            // right after a range it is literal.
            if (m_end - m_p >= 2 && *m_p == L'-' && m_p[1] != L']') {
                ++m_p;
                if (*m_p == L'\\' && m_p + 1 == m_end)
                    return -1;
                hi = ReadSetUnit();
                if (hi < lo)
                    return -1;  // reversed range
            }
            set.Add(lo, hi);
            empty = false;
        }
        if (empty)
            return -1;
        set.Finish();
        m_tree.sets.push_back(std::move(set));
        return Add(Kind::Set, {}, static_cast<int>(m_tree.sets.size()) - 1);
    }

    const wchar_t* m_p;
    const wchar_t* m_end;
    Tree& m_tree;
    int m_depth;
};

// ---------------------------------------------------------------------------
// Analysis: nullable, shortest match and possible first characters.

struct FirstChars {
    std::uint64_t low[4] = {0, 0, 0, 0};
    bool high = false;

    void Merge(const FirstChars& other) {
        for (int i = 0; i < 4; ++i)
            low[i] |= other.low[i];
        high = high || other.high;
    }
    void SetAll() {
        for (std::uint64_t& word : low)
            word = ~std::uint64_t(0);
        high = true;
    }
};

// Fills nullable and minLength of every node and returns the characters a
// non-empty match of the root can start with.  A node's children are always
// created before it, so one pass in index order sees children first; no
// recursion.
FirstChars Analyse(Tree& tree, int root) {
    std::vector<FirstChars> firsts(tree.nodes.size());
    for (std::size_t index = 0; index < tree.nodes.size(); ++index) {
        Node& node = tree.nodes[index];
        FirstChars& first = firsts[index];
        switch (node.kind) {
        case Kind::Empty:
            node.nullable = true;
            node.minLength = 0;
            break;
        case Kind::Char: {
            const Unit c = static_cast<Unit>(node.value);
            if (c < 256)
                first.low[c >> 6] |= std::uint64_t(1) << (c & 63);
            else
                first.high = true;
            node.nullable = false;
            node.minLength = 1;
            break;
        }
        case Kind::Any:
            first.SetAll();
            node.nullable = false;
            node.minLength = 1;
            break;
        case Kind::Set: {
            const CharSet& set = tree.sets[static_cast<std::size_t>(node.value)];
            std::copy(set.low, set.low + 4, first.low);
            first.high = set.MayContainHigh();
            node.nullable = false;
            node.minLength = 1;
            break;
        }
        case Kind::Concat:
            node.nullable = true;
            node.minLength = 0;
            for (int kid : node.kids) {
                const Node& k = tree.nodes[static_cast<std::size_t>(kid)];
                if (node.nullable)
                    first.Merge(firsts[static_cast<std::size_t>(kid)]);
                node.nullable = node.nullable && k.nullable;
                node.minLength += k.minLength;
            }
            break;
        case Kind::Alt:
            node.nullable = false;
            node.minLength = INT_MAX;
            for (int kid : node.kids) {
                const Node& k = tree.nodes[static_cast<std::size_t>(kid)];
                first.Merge(firsts[static_cast<std::size_t>(kid)]);
                node.nullable = node.nullable || k.nullable;
                node.minLength = std::min(node.minLength, k.minLength);
            }
            break;
        case Kind::Repeat:
        case Kind::Capture: {
            const int kid = node.kids[0];
            const Node& k = tree.nodes[static_cast<std::size_t>(kid)];
            const bool optional = node.kind == Kind::Repeat && node.rep != L'+';
            first = firsts[static_cast<std::size_t>(kid)];
            node.nullable = optional || k.nullable;
            node.minLength = optional ? 0 : k.minLength;
            break;
        }
        case Kind::BackRef:
            // Unknown text, possibly empty.
            first.SetAll();
            node.nullable = true;
            node.minLength = 0;
            break;
        case Kind::NegLook:
            node.nullable = true;
            node.minLength = 0;
            break;
        }
    }
    return firsts[static_cast<std::size_t>(root)];
}

// ---------------------------------------------------------------------------
// Code generation

class Emitter {
public:
    Emitter(const Tree& tree, Program& program) : m_tree(tree), m_program(program) {}

    void Emit(int index) {
        const Node& node = m_tree.nodes[static_cast<std::size_t>(index)];
        switch (node.kind) {
        case Kind::Empty:
            break;
        case Kind::Char:
            Add(kChar, node.value);
            break;
        case Kind::Any:
            Add(kAny);
            break;
        case Kind::Set:
            Add(kSet, node.value);
            break;
        case Kind::Concat:
            for (int kid : node.kids)
                Emit(kid);
            break;
        case Kind::Alt:
            EmitAlternation(node);
            break;
        case Kind::Repeat:
            EmitRepeat(node);
            break;
        case Kind::Capture:
            EmitCapture(node);
            break;
        case Kind::BackRef:
            Add(kBackRef, node.value);
            break;
        case Kind::NegLook:
            EmitLook(node);
            break;
        }
    }

    int Add(Op op, int x = 0, int y = 0) {
        m_program.code.push_back(Inst{op, false, x, y, -1});
        return static_cast<int>(m_program.code.size()) - 1;
    }

private:
    int Here() const { return static_cast<int>(m_program.code.size()); }
    Inst& At(int pc) { return m_program.code[static_cast<std::size_t>(pc)]; }

    // The helpers below recurse through Emit; they are kept out of line so
    // that each level of nesting costs only their own small frames.
    REGEXP_NOINLINE void EmitAlternation(const Node& node) {
        // split L1,N1; L1: a; jmp end; N1: split L2,N2; ... Lk: z; end:
        std::vector<int> jumps;
        for (std::size_t i = 0; i + 1 < node.kids.size(); ++i) {
            const int split = Add(kSplit);
            At(split).x = split + 1;
            Emit(node.kids[i]);
            jumps.push_back(Add(kJmp));
            At(split).y = Here();
        }
        Emit(node.kids.back());
        for (int jump : jumps)
            At(jump).x = Here();
    }

    REGEXP_NOINLINE void EmitCapture(const Node& node) {
        const bool captured = node.value < kMaxRefGroups && (m_tree.referenced & (1u << node.value)) != 0;
        if (captured)
            Add(kOpen, node.value);
        Emit(node.kids[0]);
        if (captured)
            Add(kClose, node.value);
    }

    REGEXP_NOINLINE void EmitLook(const Node& node) {
        const int look = static_cast<int>(m_program.looks.size());
        m_program.looks.push_back(Look{0, 0, 0, m_program.runs, 0});
        const int begin = Add(kLookBegin, look);
        Emit(node.kids[0]);
        Add(kLookEnd);
        At(begin).y = Here();
        Look& entry = m_program.looks[static_cast<std::size_t>(look)];
        entry.cont = Here();
        entry.runHi = m_program.runs;
    }

    void SetSplit(int split, int body, int exit, bool greedy) {
        At(split).x = greedy ? body : exit;
        At(split).y = greedy ? exit : body;
    }

    // The single-instruction form of a one-character element, or kMatch if
    // the element is something else.
    static Op SingleStep(const Node& node) {
        switch (node.kind) {
        case Kind::Char: return kChar;
        case Kind::Any: return kAny;
        case Kind::Set: return kSet;
        default: return kMatch;
        }
    }

    REGEXP_NOINLINE void EmitRepeat(const Node& node) {
        const int body = node.kids[0];
        const Node& element = m_tree.nodes[static_cast<std::size_t>(body)];
        const Op single = SingleStep(element);
        if (single != kMatch && node.greedy && node.rep != L'?') {
            // "x*", ".*", "[...]*" (and "+" as one step and a run): consume the
            // whole run at once and give characters back one at a time.
            if (node.rep == L'+')
                Add(single, element.value);
            Add(single == kChar ? kStarChar : single == kAny ? kStarAny : kStarSet, element.value,
                m_program.runs++);
            return;
        }
        // A body that can match empty gets a guard so that an iteration which
        // consumed nothing fails instead of looping (needed when nothing is
        // memoised; a no-op otherwise).
        const bool guard = m_tree.nodes[static_cast<std::size_t>(body)].nullable;
        const int reg = guard ? m_program.loopRegisters++ : -1;
        switch (node.rep) {
        case L'?': {
            const int split = Add(kSplit);
            Emit(body);
            SetSplit(split, split + 1, Here(), node.greedy);
            break;
        }
        case L'*': {
            // loop: split next,exit; [mark]; body; [check]; jmp loop; exit:
            const int split = Add(kSplit);
            if (guard)
                Add(kMark, reg, 0);
            Emit(body);
            if (guard)
                Add(kCheck, reg);
            Add(kJmp, split);
            SetSplit(split, split + 1, Here(), node.greedy);
            break;
        }
        default: {
            // [mark first]; again: body; [check]; split more,exit; more: [mark; jmp again]; exit:
            // The first iteration is mandatory and may be empty.
            if (guard)
                Add(kMark, reg, 1);
            const int again = Here();
            Emit(body);
            if (guard)
                Add(kCheck, reg);
            const int split = Add(kSplit);
            int more = again;
            if (guard) {
                more = Add(kMark, reg, 0);
                Add(kJmp, again);
            }
            SetSplit(split, more, Here(), node.greedy);
            break;
        }
        }
    }

    const Tree& m_tree;
    Program& m_program;
};

// Marks the instructions from which no back-reference can be reached.  What
// was captured cannot change how matching goes on from those, so their
// states can be memoised even in a pattern that has back-references.
void MarkMemoisable(Program& program) {
    const std::size_t size = program.code.size();
    std::vector<std::vector<int>> predecessors(size);
    std::vector<int> pending;
    for (std::size_t pc = 0; pc < size; ++pc) {
        const Inst& inst = program.code[pc];
        const int from = static_cast<int>(pc);
        switch (inst.op) {
        case kSplit:
            predecessors[static_cast<std::size_t>(inst.x)].push_back(from);
            predecessors[static_cast<std::size_t>(inst.y)].push_back(from);
            break;
        case kJmp:
            predecessors[static_cast<std::size_t>(inst.x)].push_back(from);
            break;
        case kLookBegin:
            predecessors[pc + 1].push_back(from);
            predecessors[static_cast<std::size_t>(inst.y)].push_back(from);
            break;
        case kLookEnd:
        case kMatch:
            break;
        default:
            predecessors[pc + 1].push_back(from);
            break;
        }
        program.code[pc].memoised = true;
        if (inst.op == kBackRef)
            pending.push_back(from);
    }
    for (int pc : pending)
        program.code[static_cast<std::size_t>(pc)].memoised = false;
    while (!pending.empty()) {
        const int pc = pending.back();
        pending.pop_back();
        for (int from : predecessors[static_cast<std::size_t>(pc)]) {
            Inst& inst = program.code[static_cast<std::size_t>(from)];
            if (inst.memoised) {
                inst.memoised = false;
                pending.push_back(from);
            }
        }
    }
}

// Gives every memoised jump target (and the entry) a memo slot, numbered in
// program order so that the instructions of a look-ahead element own a
// contiguous range of slots.
void AssignMemoSlots(Program& program) {
    MarkMemoisable(program);
    const std::size_t size = program.code.size();
    std::vector<char> target(size + 1, 0);
    target[0] = 1;
    for (const Inst& inst : program.code) {
        if (inst.op == kSplit) {
            target[static_cast<std::size_t>(inst.x)] = 1;
            target[static_cast<std::size_t>(inst.y)] = 1;
        } else if (inst.op == kJmp) {
            target[static_cast<std::size_t>(inst.x)] = 1;
        } else if (inst.op == kLookBegin) {
            target[static_cast<std::size_t>(inst.y)] = 1;
        }
    }
    for (std::size_t pc = 0; pc < size; ++pc) {
        const Op op = program.code[pc].op;
        if (op == kStarChar || op == kStarAny || op == kStarSet)
            target[pc + 1] = 1;  // resumed at every length of the run
    }
    std::vector<int> slotsBefore(size + 1, 0);
    int slots = 0;
    for (std::size_t pc = 0; pc < size; ++pc) {
        slotsBefore[pc] = slots;
        if (target[pc] && program.code[pc].memoised)
            program.code[pc].memo = slots++;
    }
    slotsBefore[size] = slots;
    program.memoSlots = slots;
    for (std::size_t pc = 0; pc < size; ++pc) {
        const Inst& inst = program.code[pc];
        if (inst.op != kLookBegin)
            continue;
        Look& look = program.looks[static_cast<std::size_t>(inst.x)];
        look.memoLo = slotsBefore[pc + 1];
        look.memoHi = slotsBefore[static_cast<std::size_t>(inst.y)];
    }
}

// Finds the longest stretch of plain characters that every match contains,
// following concatenations and groups (which consume nothing themselves)
// and the mandatory first iteration of "+".
class RequiredText {
public:
    explicit RequiredText(const Tree& tree) : m_tree(tree) {}

    std::wstring Find(int root) {
        Collect(root);
        EndStretch();
        return m_best;
    }

private:
    void EndStretch() {
        if (m_current.size() > m_best.size())
            m_best = m_current;
        m_current.clear();
    }

    void Collect(int index) {
        const Node& node = m_tree.nodes[static_cast<std::size_t>(index)];
        switch (node.kind) {
        case Kind::Empty:
            break;
        case Kind::Char:
            m_current.push_back(static_cast<wchar_t>(node.value));
            break;
        case Kind::Concat:
            for (int kid : node.kids)
                Collect(kid);
            break;
        case Kind::Capture:
            Collect(node.kids[0]);
            break;
        case Kind::Repeat:
            EndStretch();
            if (node.rep == L'+') {
                Collect(node.kids[0]);
                EndStretch();
            }
            break;
        default:
            EndStretch();
            break;
        }
    }

    const Tree& m_tree;
    std::wstring m_current;
    std::wstring m_best;
};

bool IsPlainLiteral(const Tree& tree, int root, std::wstring& text) {
    const Node& node = tree.nodes[static_cast<std::size_t>(root)];
    if (node.kind == Kind::Empty)
        return true;
    if (node.kind == Kind::Char) {
        text.push_back(static_cast<wchar_t>(node.value));
        return true;
    }
    if (node.kind != Kind::Concat)
        return false;
    for (int kid : node.kids) {
        const Node& k = tree.nodes[static_cast<std::size_t>(kid)];
        if (k.kind != Kind::Char)
            return false;
        text.push_back(static_cast<wchar_t>(k.value));
    }
    return true;
}

// Works out the plain text that lets Matches turn names away before running
// the machine: text every match contains, the text a match starts with, and
// fixed text at an anchored start or end.
void SetUpTextFilters(const Tree& tree, int root, Program& program) {
    const Node& top = tree.nodes[static_cast<std::size_t>(root)];
    const auto isChar = [&tree](int kid) { return tree.nodes[static_cast<std::size_t>(kid)].kind == Kind::Char; };
    const auto unit = [&tree](int kid) { return static_cast<wchar_t>(tree.nodes[static_cast<std::size_t>(kid)].value); };
    const std::vector<int> none;
    const std::vector<int>& kids = top.kind == Kind::Concat ? top.kids : none;

    program.required = RequiredText(tree).Find(root);
    for (std::size_t i = 0; i < kids.size() && isChar(kids[i]); ++i)
        program.lead.push_back(unit(kids[i]));
    if (program.lead.empty() && !program.nullable && !program.firstHigh) {
        // A single possible first character will do as well.
        int count = 0;
        Unit only = 0;
        for (Unit c = 0; c < 256; ++c) {
            if ((program.first[c >> 6] >> (c & 63)) & 1) {
                ++count;
                only = c;
            }
        }
        if (count == 1)
            program.lead.push_back(static_cast<wchar_t>(only));
    }
    if (program.required == program.lead)
        program.required.clear();  // the search for start positions finds it anyway
    if (program.anchoredStart)
        for (std::size_t i = 0; i < kids.size() && isChar(kids[i]); ++i)
            program.prefix.push_back(unit(kids[i]));
    if (program.anchoredEnd)
        for (std::size_t i = kids.size(); i > 0 && isChar(kids[i - 1]); --i)
            program.suffix.insert(program.suffix.begin(), unit(kids[i - 1]));
}

bool Build(const wchar_t* pattern, Program& program) {
    const wchar_t* begin = pattern;
    const wchar_t* end = pattern + std::wcslen(pattern);
    if (begin != end && *begin == L'^') {
        program.anchoredStart = true;
        ++begin;
    }
    if (begin != end && end[-1] == L'$') {
        // An odd run of backslashes before it makes the "$" literal.
        std::size_t backslashes = 0;
        for (const wchar_t* q = end - 1; q != begin && q[-1] == L'\\'; --q)
            ++backslashes;
        if (backslashes % 2 == 0) {
            program.anchoredEnd = true;
            --end;
        }
    }

    Tree tree;
    Parser parser(begin, end, tree, 0);
    const int root = parser.ParseAlternation();
    if (root < 0 || !parser.AtEnd())
        return false;  // syntax error, or an unmatched ')' / '}'
    if (tree.maxBackRef >= tree.groups)
        return false;  // refers to a group the pattern does not have

    const FirstChars first = Analyse(tree, root);
    const Node& top = tree.nodes[static_cast<std::size_t>(root)];
    program.nullable = top.nullable;
    program.minLength = top.minLength;
    std::copy(first.low, first.low + 4, program.first);
    program.firstHigh = first.high;

    if (IsPlainLiteral(tree, root, program.literal)) {
        program.isLiteral = true;
        return true;
    }

    SetUpTextFilters(tree, root, program);
    program.sets = std::move(tree.sets);
    Emitter emitter(tree, program);
    emitter.Emit(root);
    if (program.anchoredEnd)
        emitter.Add(kAssertEnd);
    emitter.Add(kMatch);
    AssignMemoSlots(program);
    return true;
}

// ---------------------------------------------------------------------------
// Matcher

// A vector that keeps its first N elements in the object itself, so that the
// usual Matches call allocates nothing.
template <class T, std::size_t N>
class SmallVector {
public:
    SmallVector() = default;
    SmallVector(const SmallVector&) = delete;
    SmallVector& operator=(const SmallVector&) = delete;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T& back() { return m_data[m_size - 1]; }
    void pop_back() { --m_size; }
    void push_back(const T& value) {
        if (m_size == m_capacity)
            Reserve(m_capacity * 2);
        m_data[m_size++] = value;
    }
    // Resizes to n elements, all set to value.
    void assign(std::size_t n, const T& value) {
        if (n > m_capacity)
            Reserve(n);
        std::fill(m_data, m_data + n, value);
        m_size = n;
    }

private:
    // Kept out of line so that push_back stays small enough to inline.
    REGEXP_NOINLINE void Reserve(std::size_t capacity) {
        std::vector<T> bigger(capacity);
        std::copy(m_data, m_data + m_size, bigger.begin());
        m_heap.swap(bigger);
        m_data = m_heap.data();
        m_capacity = capacity;
    }

    T m_inline[N];
    std::vector<T> m_heap;
    T* m_data = m_inline;
    std::size_t m_size = 0;
    std::size_t m_capacity = N;
};

enum FrameKind : std::int32_t {
    kRetry,        // a: pc, b: position
    kRunBack,      // a: pc after a run, b: position to resume at, c: start of the run
    kUndoOpen,     // a: group, b: previous open position
    kUndoCapture,  // a: group, b: previous start, c: previous end
    kUndoMark,     // a: register, b: previous value
    kBarrier,      // a: look-ahead, b: position, c: enclosing barrier
};

struct Frame {
    std::int32_t kind;
    std::int32_t a;
    std::int32_t b;
    std::int32_t c;
};

class Matcher {
public:
    Matcher(const Program& program, const wchar_t* name, int length)
        : m_program(program), m_name(name), m_length(length) {}

    bool Search() {
        const Program& p = m_program;
        if (m_length < p.minLength)
            return false;
        const int lastStart = p.anchoredStart ? 0 : m_length - p.minLength;
        const std::size_t lead = p.lead.size();
        for (int start = 0; start <= lastStart; ++start) {
            if (lead != 0) {
                // Jump to the next place the leading text occurs.
                const wchar_t* at = std::wmemchr(m_name + start, p.lead[0], static_cast<std::size_t>(lastStart - start) + 1);
                if (at == nullptr)
                    break;
                start = static_cast<int>(at - m_name);
                if (lead > 1 && (static_cast<std::size_t>(m_length - start) < lead ||
                                 std::wmemcmp(at + 1, p.lead.data() + 1, lead - 1) != 0))
                    continue;
            } else if (!p.nullable) {
                // A non-empty match needs a first character (minLength >= 1).
                const Unit c = ToUnit(m_name[start]);
                const bool possible = c < 256 ? ((p.first[c >> 6] >> (c & 63)) & 1) != 0 : p.firstHigh;
                if (!possible)
                    continue;
            }
            if (!m_ready)
                Prepare();
            switch (Run(start)) {
            case Outcome::kMatch:
                return true;
            case Outcome::kAbort:
                return false;
            case Outcome::kNoMatch:
                break;
            }
        }
        return false;
    }

private:
    enum class Outcome { kNoMatch, kMatch, kAbort };

    void Prepare() {
        m_ready = true;
        m_budget = CRegExp::kStepBudget;
        m_stride = static_cast<std::size_t>(m_length) + 1;
        const std::size_t bits = static_cast<std::size_t>(m_program.memoSlots) * m_stride;
        m_memo = bits <= kMaxMemoBits;
        if (m_memo) {
            // Memoised work is bounded by about one step per instruction and
            // position (look-ahead aside), so allow that much on top: within
            // file-name sizes memoised patterns then never run out.
            m_budget += 2 * static_cast<std::int64_t>(m_program.code.size()) * static_cast<std::int64_t>(m_stride);
            m_visited.assign((bits + 63) / 64, 0);
            m_runFrom.assign(static_cast<std::size_t>(m_program.runs), INT_MAX);
            m_runEnd.assign(static_cast<std::size_t>(m_program.runs), -1);
        }
        m_registers.assign(static_cast<std::size_t>(m_program.loopRegisters), -1);
        std::fill(m_open, m_open + kMaxRefGroups, -1);
        std::fill(m_start, m_start + kMaxRefGroups, -1);
        std::fill(m_end, m_end + kMaxRefGroups, -1);
    }

    // Records a state; false if it was recorded before.
    bool Visit(int slot, int position) {
        const std::size_t bit = static_cast<std::size_t>(slot) * m_stride + static_cast<std::size_t>(position);
        std::uint64_t& word = m_visited[bit >> 6];
        const std::uint64_t mask = std::uint64_t(1) << (bit & 63);
        if (word & mask)
            return false;
        word |= mask;
        return true;
    }

    // Forgets what was recorded for the states of a look-ahead element.
    void Forget(const Look& look) {
        for (int run = look.runLo; run < look.runHi; ++run) {
            m_runFrom[static_cast<std::size_t>(run)] = INT_MAX;
            m_runEnd[static_cast<std::size_t>(run)] = -1;
        }
        std::size_t from = static_cast<std::size_t>(look.memoLo) * m_stride;
        const std::size_t to = static_cast<std::size_t>(look.memoHi) * m_stride;
        for (; from < to && (from & 63) != 0; ++from)
            m_visited[from >> 6] &= ~(std::uint64_t(1) << (from & 63));
        for (; from + 64 <= to; from += 64)
            m_visited[from >> 6] = 0;
        for (; from < to; ++from)
            m_visited[from >> 6] &= ~(std::uint64_t(1) << (from & 63));
    }

    bool Push(FrameKind kind, int a, int b, int c = 0) {
        if (m_frames.size() >= kMaxFrames) {
            m_aborted = true;
            return false;
        }
        m_frames.push_back(Frame{kind, a, b, c});
        return true;
    }

    void Undo(const Frame& frame) {
        switch (frame.kind) {
        case kUndoOpen:
            m_open[frame.a] = frame.b;
            break;
        case kUndoCapture:
            m_start[frame.a] = frame.b;
            m_end[frame.a] = frame.c;
            break;
        case kUndoMark:
            m_registers[static_cast<std::size_t>(frame.a)] = frame.b;
            break;
        default:
            break;
        }
    }

    // Resumes at the most recent choice point; false when there is none.
    bool Backtrack(int& pc, int& position) {
        while (!m_frames.empty()) {
            const Frame frame = m_frames.back();
            m_frames.pop_back();
            switch (frame.kind) {
            case kRetry:
                pc = frame.a;
                position = frame.b;
                return true;
            case kRunBack: {
                // Give back characters of the run.  If a plain character
                // follows, only the places where it stands are worth trying.
                int at = frame.b;
                const Inst& next = m_program.code[static_cast<std::size_t>(frame.a)];
                if (next.op == kChar)
                    while (at >= frame.c && ToUnit(m_name[at]) != static_cast<Unit>(next.x))
                        --at;
                if (at < frame.c)
                    break;
                if (at > frame.c)
                    m_frames.push_back(Frame{kRunBack, frame.a, at - 1, frame.c});
                pc = frame.a;
                position = at;
                return true;
            }
            case kBarrier:
                // The look-ahead element cannot match here: the look-ahead holds.
                m_barrier = frame.c;
                pc = m_program.looks[static_cast<std::size_t>(frame.a)].cont;
                position = frame.b;
                return true;
            default:
                Undo(frame);
                break;
            }
        }
        return false;
    }

    // Length of the run of characters from position that satisfy the element
    // of a run instruction.
    int RunLength(const Inst& inst, int position) const {
        int end = position;
        switch (inst.op) {
        case kStarChar:
            while (end < m_length && ToUnit(m_name[end]) == static_cast<Unit>(inst.x))
                ++end;
            break;
        case kStarAny:
            end = m_length;
            break;
        default: {
            const CharSet& set = m_program.sets[static_cast<std::size_t>(inst.x)];
            while (end < m_length && set.Contains(ToUnit(m_name[end])))
                ++end;
            break;
        }
        }
        return end - position;
    }

    // With memoisation, a run instruction entered at position "from" whose
    // maximal run ends at "end" explores the continuations at end, end-1, ...
    // from.  Entered again inside that stretch, everything it could try is
    // already tried or still waiting on the stack, so there is nothing to do;
    // entered just before it, only the positions below the stretch are new.
    // This keeps loops such as "(a*)*" linear.
    bool RunCovered(int run, int position) const {
        return position >= m_runFrom[static_cast<std::size_t>(run)] &&
               position <= m_runEnd[static_cast<std::size_t>(run)];
    }
    // Records a new exploration from position to end; returns the highest
    // position worth trying.
    int ClaimRun(int run, int position, int end) {
        int& coveredFrom = m_runFrom[static_cast<std::size_t>(run)];
        int& coveredEnd = m_runEnd[static_cast<std::size_t>(run)];
        const int top = end == coveredEnd ? coveredFrom - 1 : end;
        coveredFrom = position;
        coveredEnd = end;
        return top;
    }

    // Runs the program from one start position.
    Outcome Run(int start) {
        const Inst* const code = m_program.code.data();
        const wchar_t* const name = m_name;
        const int length = m_length;
        int pc = 0;
        int position = start;
        for (;;) {
            if (--m_budget < 0)
                return Outcome::kAbort;
            const Inst& inst = code[pc];
            bool ok = true;
            if (m_memo && inst.memo >= 0 && !Visit(inst.memo, position)) {
                ok = false;
            } else {
                switch (inst.op) {
                case kChar:
                    ok = position < length && ToUnit(name[position]) == static_cast<Unit>(inst.x);
                    ++position;
                    ++pc;
                    break;
                case kAny:
                    ok = position < length;
                    ++position;
                    ++pc;
                    break;
                case kSet:
                    ok = position < length &&
                         m_program.sets[static_cast<std::size_t>(inst.x)].Contains(ToUnit(name[position]));
                    ++position;
                    ++pc;
                    break;
                case kStarChar:
                case kStarAny:
                case kStarSet: {
                    const bool memoised = m_memo && inst.memoised;
                    if (memoised && RunCovered(inst.y, position)) {
                        ok = false;
                        break;
                    }
                    const int run = RunLength(inst, position);
                    m_budget -= run;
                    const int top = memoised ? ClaimRun(inst.y, position, position + run) : position + run;
                    if (code[pc + 1].op == kAssertEnd) {
                        // Only the whole rest of the name can be followed by the end.
                        if (top != length) {
                            ok = false;
                            break;
                        }
                    } else if (top > position) {
                        ok = Push(kRunBack, pc + 1, top - 1, position);
                    }
                    position = top;
                    ++pc;
                    break;
                }
                case kSplit:
                    ok = Push(kRetry, inst.y, position);
                    pc = inst.x;
                    break;
                case kJmp:
                    pc = inst.x;
                    break;
                case kOpen:
                    ok = Push(kUndoOpen, inst.x, m_open[inst.x]);
                    m_open[inst.x] = position;
                    ++pc;
                    break;
                case kClose:
                    ok = Push(kUndoCapture, inst.x, m_start[inst.x], m_end[inst.x]);
                    m_start[inst.x] = m_open[inst.x];
                    m_end[inst.x] = position;
                    ++pc;
                    break;
                case kBackRef: {
                    const int from = m_start[inst.x];
                    const int count = m_end[inst.x] - from;
                    // A group that has not matched fails the reference.
                    ok = from >= 0 && count <= length - position &&
                         std::equal(name + from, name + from + count, name + position);
                    position += count;
                    ++pc;
                    break;
                }
                case kMark:
                    // Where states are memoised, revisiting one already ends
                    // a loop that makes no progress.
                    if (!(m_memo && inst.memoised)) {
                        int& reg = m_registers[static_cast<std::size_t>(inst.x)];
                        ok = Push(kUndoMark, inst.x, reg);
                        reg = inst.y != 0 ? -1 : position;
                    }
                    ++pc;
                    break;
                case kCheck:
                    ok = (m_memo && inst.memoised) || m_registers[static_cast<std::size_t>(inst.x)] != position;
                    ++pc;
                    break;
                case kLookBegin:
                    ok = Push(kBarrier, inst.x, position, m_barrier);
                    m_barrier = static_cast<int>(m_frames.size()) - 1;
                    ++pc;
                    break;
                case kLookEnd: {
                    // The element matched, so the negative look-ahead fails:
                    // drop everything the element left on the stack, barrier
                    // included.
                    const std::size_t barrierIndex = static_cast<std::size_t>(m_barrier);
                    const Frame barrier = m_frames[barrierIndex];
                    while (m_frames.size() > barrierIndex) {
                        Undo(m_frames.back());
                        m_frames.pop_back();
                    }
                    m_barrier = barrier.c;
                    if (m_memo)
                        Forget(m_program.looks[static_cast<std::size_t>(barrier.a)]);
                    ok = false;
                    break;
                }
                case kAssertEnd:
                    ok = position == length;
                    ++pc;
                    break;
                case kMatch:
                    return Outcome::kMatch;
                }
            }
            if (ok)
                continue;
            if (m_aborted)
                return Outcome::kAbort;
            if (!Backtrack(pc, position))
                return Outcome::kNoMatch;  // stack empty: captures and registers are back to unset
        }
    }

    const Program& m_program;
    const wchar_t* m_name;
    int m_length;
    bool m_ready = false;
    bool m_memo = false;
    bool m_aborted = false;
    std::int64_t m_budget = 0;
    std::size_t m_stride = 1;
    int m_barrier = -1;
    SmallVector<Frame, 64> m_frames;
    SmallVector<std::uint64_t, 64> m_visited;
    SmallVector<int, 8> m_registers;
    SmallVector<int, 8> m_runFrom;  // per run instruction: stretch already explored
    SmallVector<int, 8> m_runEnd;
    int m_open[kMaxRefGroups];
    int m_start[kMaxRefGroups];
    int m_end[kMaxRefGroups];
};

bool ContainsText(const wchar_t* name, std::size_t length, const std::wstring& text) {
    const std::size_t size = text.size();
    if (length < size)
        return false;
    if (size == 0)
        return true;
    const wchar_t* last = name + (length - size);
    for (const wchar_t* at = name; at <= last; ++at) {
        at = std::wmemchr(at, text[0], static_cast<std::size_t>(last - at) + 1);
        if (at == nullptr)
            return false;
        if (std::wmemcmp(at + 1, text.data() + 1, size - 1) == 0)
            return true;
    }
    return false;
}

bool MatchLiteral(const Program& program, const wchar_t* name, std::size_t length) {
    const std::wstring& text = program.literal;
    const std::size_t size = text.size();
    if (length < size)
        return false;
    if (program.anchoredStart && program.anchoredEnd)
        return length == size && std::wmemcmp(name, text.data(), size) == 0;
    if (program.anchoredStart)
        return std::wmemcmp(name, text.data(), size) == 0;
    if (program.anchoredEnd)
        return std::wmemcmp(name + (length - size), text.data(), size) == 0;
    return ContainsText(name, length, text);
}

}  // namespace regexp_detail

bool CRegExp::Compile(const wchar_t* pattern) {
    m_program.reset();
    if (pattern == nullptr)
        return false;
    try {
        auto program = std::make_shared<regexp_detail::Program>();
        if (!regexp_detail::Build(pattern, *program))
            return false;
        m_program = std::move(program);
        return true;
    } catch (...) {
        // Out of memory: treat as not compiled.
        m_program.reset();
        return false;
    }
}

bool CRegExp::Matches(const wchar_t* name) const {
    if (name == nullptr)
        return false;
    return MatchesRange(name, std::wcslen(name));
}

bool CRegExp::Matches(const std::wstring& name) const {
    return MatchesRange(name.c_str(), name.size());
}

bool CRegExp::MatchesRange(const wchar_t* name, std::size_t length) const {
    if (!m_program || length > static_cast<std::size_t>(INT_MAX / 2))
        return false;
    const regexp_detail::Program& program = *m_program;
    if (program.isLiteral)
        return regexp_detail::MatchLiteral(program, name, length);
    const std::size_t prefix = program.prefix.size();
    const std::size_t suffix = program.suffix.size();
    if (prefix != 0 && (length < prefix || std::wmemcmp(name, program.prefix.data(), prefix) != 0))
        return false;
    if (suffix != 0 && (length < suffix || std::wmemcmp(name + (length - suffix), program.suffix.data(), suffix) != 0))
        return false;
    if (!program.required.empty() && !regexp_detail::ContainsText(name, length, program.required))
        return false;
    try {
        regexp_detail::Matcher matcher(program, name, static_cast<int>(length));
        return matcher.Search();
    } catch (...) {
        return false;  // out of memory
    }
}

bool MatchesPattern(const wchar_t* name, const wchar_t* pattern) {
    if (name == nullptr || pattern == nullptr)
        return false;
    CRegExp regExp;
    return regExp.Compile(pattern) && regExp.Matches(name);
}
