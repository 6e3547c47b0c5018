// The wizard's command line without windows: splitting, the switches, the
// checks of the paths given, how the starts of one selection combine, the
// message for what is left out, and the mailbox's form of a request.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "common/Text.h"
#include "resource.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

using Words = std::vector<std::wstring>;

StartRequest Request(StartMode mode, Words paths = {}) {
    StartRequest request;
    request.mode = mode;
    request.paths = std::move(paths);
    return request;
}

const char* ModeName(StartMode mode) {
    switch (mode) {
        case StartMode::Plain: return "Plain";
        case StartMode::Desktop: return "Desktop";
        case StartMode::Folder: return "Folder";
        case StartMode::Items: return "Items";
        case StartMode::History: return "History";
    }
    return "?";
}

}  // namespace

TEST(WizardCommandLine, SplitsWordsKeepingBackslashes) {
    struct Case {
        const wchar_t* arguments;
        Words words;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   \t ", {}},
        {L"/desktop", {L"/desktop"}},
        {L"/folder \"C:\\My Files\"", {L"/folder", L"C:\\My Files"}},
        // A drive root as Explorer gives it: the backslash before the quote stays.
        {L"/folder \"C:\\\"", {L"/folder", L"C:\\"}},
        {L"/items \"C:\\a b.txt\" C:\\c.txt\t\"D:\\\"", {L"/items", L"C:\\a b.txt", L"C:\\c.txt", L"D:\\"}},
        {L"/items \"\"", {L"/items", L""}},
        {L"/items C:\\x\" y\"z", {L"/items", L"C:\\x yz"}},
        {L"/items \"C:\\unclosed quote", {L"/items", L"C:\\unclosed quote"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        EXPECT_EQ(SplitCommandLine(c.arguments), c.words);
    }
}

TEST(WizardCommandLine, SwitchesChooseTheStart) {
    struct Case {
        const wchar_t* arguments;
        StartMode mode;
        Words paths;
    };
    const Case cases[] = {
        {L"", StartMode::Plain, {}},
        {L"/desktop", StartMode::Desktop, {}},
        {L"/DESKTOP", StartMode::Desktop, {}},
        {L"/history", StartMode::History, {}},
        {L"/History /desktop", StartMode::History, {}},
        {L"/folder \"C:\\Work\"", StartMode::Folder, {L"C:\\Work"}},
        {L"/Folder C:\\Work C:\\Other", StartMode::Folder, {L"C:\\Work"}},
        {L"/folder", StartMode::Plain, {}},
        {L"/folder /desktop", StartMode::Plain, {}},
        {L"/items \"C:\\a.txt\" \"C:\\b\"", StartMode::Items, {L"C:\\a.txt", L"C:\\b"}},
        {L"/items C:\\a.txt /other C:\\b", StartMode::Items, {L"C:\\a.txt"}},
        {L"/items", StartMode::Plain, {}},
        {L"/unknown /desktop", StartMode::Desktop, {}},
        {L"/desktop /folder C:\\Work", StartMode::Desktop, {}},
        {L"C:\\stray.txt", StartMode::Plain, {}},
        // Relative paths are kept as given: the checks refuse them with a message.
        {L"/items a.txt", StartMode::Items, {L"a.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.arguments));
        const StartRequest request = ParseStartRequest(c.arguments);
        EXPECT_STREQ(ModeName(request.mode), ModeName(c.mode));
        EXPECT_EQ(request.paths, c.paths);
    }
    EXPECT_TRUE(GathersStarts(StartMode::Folder));
    EXPECT_TRUE(GathersStarts(StartMode::Items));
    EXPECT_FALSE(GathersStarts(StartMode::Desktop));
    EXPECT_FALSE(GathersStarts(StartMode::Plain));
}

TEST(WizardCommandLine, PathsMustBeFullShortAndThere) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"a.txt", "x"));
    ASSERT_TRUE(MakeFolder(dir / L"Sub"));
    const std::wstring longest = L"C:\\" + std::wstring(256, L'n');  // 259 characters
    struct Case {
        std::wstring path;
        bool mustBeFolder;
        PathProblem problem;
    };
    const Case cases[] = {
        {dir / L"a.txt", false, PathProblem::None},
        {dir / L"Sub", false, PathProblem::None},
        {dir / L"Sub", true, PathProblem::None},
        {dir / L"Sub\\", true, PathProblem::None},
        {dir / L"a.txt", true, PathProblem::NotAFolder},
        {dir / L"gone.txt", false, PathProblem::Missing},
        {dir / L"gone", true, PathProblem::Missing},
        {L"C:\\", true, PathProblem::None},
        {L"a.txt", false, PathProblem::NotAbsolute},
        {L".\\a.txt", false, PathProblem::NotAbsolute},
        {L"C:a.txt", false, PathProblem::NotAbsolute},
        {L"\\Windows", true, PathProblem::NotAbsolute},
        {L"\\\\server", true, PathProblem::NotAbsolute},
        {L"", false, PathProblem::NotAbsolute},
        {longest, false, PathProblem::Missing},
        {longest + L"n", false, PathProblem::TooLong},
        {L"C:\\" + std::wstring(297, L'n'), false, PathProblem::TooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path.substr(0, 80)));
        EXPECT_EQ(CheckStartPath(c.path, c.mustBeFolder), c.problem);
    }
}

TEST(WizardCommandLine, StartsOfOneSelectionCombine) {
    TempDir dir;
    const std::wstring a = dir / L"a.txt", b = dir / L"b.txt", sub = dir / L"Sub", gone = dir / L"gone.txt";
    ASSERT_TRUE(WriteText(a, "x"));
    ASSERT_TRUE(WriteText(b, "x"));
    ASSERT_TRUE(MakeFolder(sub));
    const std::wstring tooLong = L"C:\\" + std::wstring(297, L'n');
    using Problems = std::vector<std::pair<PathProblem, std::wstring>>;
    struct Case {
        const char* what;
        std::vector<StartRequest> requests;
        StartMode mode;
        std::wstring folder;
        Words items;
        Problems problems;
    };
    const Case cases[] = {
        {"nothing", {}, StartMode::Plain, L"", {}, {}},
        {"plain", {Request(StartMode::Plain)}, StartMode::Plain, L"", {}, {}},
        {"the desktop", {Request(StartMode::Desktop)}, StartMode::Desktop, L"", {}, {}},
        {"a folder alone", {Request(StartMode::Folder, {sub + L"\\"})}, StartMode::Folder, sub, {}, {}},
        {"a drive root", {Request(StartMode::Folder, {L"C:\\"})}, StartMode::Folder, L"C:\\", {}, {}},
        {"a missing folder", {Request(StartMode::Folder, {gone})}, StartMode::Plain, L"", {},
         {{PathProblem::Missing, gone}}},
        {"a file as the folder", {Request(StartMode::Folder, {a})}, StartMode::Plain, L"", {},
         {{PathProblem::NotAFolder, a}}},
        {"a relative folder", {Request(StartMode::Folder, {L"Sub"})}, StartMode::Plain, L"", {},
         {{PathProblem::NotAbsolute, L"Sub"}}},
        {"one item", {Request(StartMode::Items, {a})}, StartMode::Items, L"", {a}, {}},
        {"a folder as one item", {Request(StartMode::Items, {sub})}, StartMode::Items, L"", {sub}, {}},
        {"files and a folder of one selection",
         {Request(StartMode::Items, {a}), Request(StartMode::Folder, {sub}), Request(StartMode::Items, {b})},
         StartMode::Items, L"", {a, sub, b}, {}},
        {"two folders", {Request(StartMode::Folder, {sub}), Request(StartMode::Folder, {dir.Path()})}, StartMode::Items,
         L"", {sub, dir.Path()}, {}},
        {"the same item twice, in another case",
         {Request(StartMode::Items, {a}), Request(StartMode::Items, {dir / L"A.TXT"})}, StartMode::Items, L"", {a}, {}},
        {"missing, relative and too long left out",
         {Request(StartMode::Items, {gone, a, L"b.txt", tooLong})}, StartMode::Items, L"", {a},
         {{PathProblem::Missing, gone}, {PathProblem::NotAbsolute, L"b.txt"}, {PathProblem::TooLong, tooLong}}},
        {"nothing left", {Request(StartMode::Items, {gone})}, StartMode::Plain, L"", {}, {{PathProblem::Missing, gone}}},
        {"a plain start among them is not a selection",
         {Request(StartMode::Folder, {sub}), Request(StartMode::Plain)}, StartMode::Folder, sub, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const StartTarget target = ResolveStart(c.requests);
        EXPECT_STREQ(ModeName(target.mode), ModeName(c.mode));
        EXPECT_EQ(target.folder, c.folder);
        EXPECT_EQ(target.items, c.items);
        Problems problems;
        for (const StartProblem& p : target.problems) problems.emplace_back(p.problem, p.path);
        EXPECT_EQ(problems, c.problems);
    }
}

TEST(WizardCommandLine, MessageNamesEachPathLeftOut) {
    auto text = [](unsigned id) -> std::wstring {
        switch (id) {
            case IDS_START_MISSING: return L"missing: %s";
            case IDS_START_NOT_A_FOLDER: return L"file: %s";
            case IDS_START_NOT_ABSOLUTE: return L"relative: %s";
            case IDS_START_TOO_LONG: return L"long: %s";
            case IDS_START_MORE: return L"and %s more";
        }
        return L"?";
    };
    EXPECT_EQ(StartProblemsMessage({}, text), L"");
    const std::vector<StartProblem> problems = {{PathProblem::Missing, L"C:\\a"},
                                                {PathProblem::NotAFolder, L"C:\\b"},
                                                {PathProblem::NotAbsolute, L"c"},
                                                {PathProblem::TooLong, L"C:\\d"}};
    EXPECT_EQ(StartProblemsMessage(problems, text),
              L"missing: C:\\a\r\n\r\nfile: C:\\b\r\n\r\nrelative: c\r\n\r\nlong: C:\\d");
    EXPECT_EQ(StartProblemsMessage(problems, text, 2), L"missing: C:\\a\r\n\r\nfile: C:\\b\r\n\r\nand 2 more");
    // A long path by its beginning and its end, so the box fits the screen.
    const std::wstring head = L"C:\\" + std::wstring(57, L'h'), tail = std::wstring(50, L't');
    EXPECT_EQ(StartProblemsMessage({{PathProblem::TooLong, head + std::wstring(190, L'm') + tail}}, text),
              L"long: " + head + L"..." + tail);
    const std::wstring fits(120, L'f');
    EXPECT_EQ(StartProblemsMessage({{PathProblem::Missing, fits}}, text), L"missing: " + fits);
}

TEST(WizardCommandLine, MailboxFormOfARequest) {
    const StartRequest requests[] = {
        Request(StartMode::Items, {L"C:\\a b.txt", L"D:\\\x00e9t\x00e9"}),
        Request(StartMode::Folder, {L"C:\\"}),
        Request(StartMode::Items, {}),
    };
    for (const StartRequest& request : requests) {
        const std::vector<unsigned char> bytes = EncodeStartRequest(request);
        StartRequest back;
        ASSERT_TRUE(DecodeStartRequest(bytes.data(), bytes.size(), &back));
        EXPECT_EQ(back.mode, request.mode);
        EXPECT_EQ(back.paths, request.paths);
    }
    std::vector<unsigned char> expected;
    AppendInt32(&expected, 2);
    AppendText(&expected, L"C:\\");
    AppendText(&expected, L"");
    EXPECT_EQ(EncodeStartRequest(requests[1]), expected);

    // Damaged data is refused, never read past its end.
    struct Bad {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    std::vector<unsigned char> unended = expected;
    unended.resize(unended.size() - 2);
    std::vector<unsigned char> trailing = expected;
    trailing.insert(trailing.end(), {'x', 0});
    std::vector<unsigned char> badMode = expected;
    badMode[0] = 9;
    std::vector<unsigned char> odd = expected;
    odd.push_back(0);
    const Bad bad[] = {{"empty", {}}, {"no list end", unended}, {"bytes after the end", trailing},
                       {"unknown mode", badMode}, {"odd size", odd}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        StartRequest back;
        EXPECT_FALSE(DecodeStartRequest(b.bytes.data(), b.bytes.size(), &back));
        EXPECT_TRUE(back.paths.empty());
    }
}

// Starts that come once the wizard is open: their paths alone, as a
// selection, even a lone folder.
TEST(WizardCommandLine, LateStartsAreASelection) {
    TempDir dir;
    const std::wstring sub = dir / L"Sub", gone = dir / L"gone.txt";
    ASSERT_TRUE(MakeFolder(sub));
    const std::vector<StartRequest> requests = {Request(StartMode::Folder, {dir.Path()}),
                                                Request(StartMode::Folder, {sub}), Request(StartMode::Items, {gone})};
    StartTarget late = ResolveLateStarts(requests, 1);
    EXPECT_STREQ(ModeName(late.mode), "Items");
    EXPECT_EQ(late.items, Words{sub});
    ASSERT_EQ(late.problems.size(), 1u);
    EXPECT_EQ(late.problems[0].path, gone);
    EXPECT_STREQ(ModeName(ResolveLateStarts(requests, 2).mode), "Plain");
    EXPECT_STREQ(ModeName(ResolveLateStarts(requests, 3).mode), "Plain");
}
