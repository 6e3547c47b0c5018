// The executor on real folders: name conflicts under each policy and each
// answer, items in use, probe names, long paths, and the messages of a run.
// Every test works in folders of its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "common/Journal.h"
#include "engine/EngineContext.h"
#include "engine/Executor.h"
#include "engine/UndoRun.h"
#include "engine/ShellItemShell.h"

namespace ordvale {
void PrintTo(OperationStatus status, std::ostream* os) {
    static const char* const kNames[] = {"Succeeded", "Failed", "Omitted", "Pended", "None", "Unknown"};
    const int n = static_cast<int>(status);
    *os << (n >= 0 && n <= 5 ? kNames[n] : "?") << " (" << n << ")";
}
}  // namespace ordvale

using namespace ordvale;
using namespace testing_support;
// shobjidl.h declares a ShellItem class of its own in the global namespace.
using Item = ordvale::ShellItem;

namespace {

// ---------------------------------------------------------------- fixtures

struct Asked {
    std::wstring source;
    std::wstring destination;
    bool isFolder;
    uint64_t sourceSize;
    uint64_t destinationSize;
};

struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::wstring path;  // UM_OPERATION_BEGIN's path, UM_ASK_CONFLICT's source
};

// Records every message and answers the conflict questions from a script
// (Skip once the script is used up).
class RecordingSink : public ProgressSink {
public:
    explicit RecordingSink(std::deque<int> answers = {}) : answers_(std::move(answers)) {}

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override {
        Sent entry{message, wParam, lParam, {}};
        LRESULT result = 0;
        if (message == UM_OPERATION_BEGIN && lParam)
            entry.path = reinterpret_cast<const wchar_t*>(lParam);
        if (message == UM_ASK_CONFLICT) {
            const auto* q = reinterpret_cast<const ConflictQuestion*>(lParam);
            asked.push_back({q->sourcePath, q->destinationPath, q->isFolder, q->sourceSize,
                             q->destinationSize});
            entry.path = q->sourcePath;
            result = kAnswerSkip;
            if (!answers_.empty()) {
                result = answers_.front();
                answers_.pop_front();
            }
        }
        sent.push_back(entry);
        return result;
    }

    std::vector<UINT> Messages() const {
        std::vector<UINT> out;
        for (const Sent& s : sent) out.push_back(s.message);
        return out;
    }
    int Count(UINT message) const {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(),
                                              [&](const Sent& s) { return s.message == message; }));
    }

    std::vector<Sent> sent;
    std::vector<Asked> asked;

private:
    std::deque<int> answers_;
};

OrdvaleSettings Policy(int32_t fileConflict, int32_t folderConflict, bool shellWindow = false) {
    OrdvaleSettings settings;
    InitSettings(&settings);
    settings.fileConflict = fileConflict;
    settings.folderConflict = folderConflict;
    settings.showSystemProgress = shellWindow;
    return settings;
}

Operation MakeOp(OperationKind kind, const std::wstring& source, const std::wstring& destination = L"") {
    Operation op;
    op.kind = static_cast<int8_t>(kind);
    SetPath(&op.source, source.c_str());
    SetPath(&op.destination, destination.c_str());
    return op;
}

OperationStatus Execute(const OrdvaleSettings& settings, Operation* op, RecordingSink* sink,
                    ExecutionState* state) {
    RunOperation(settings, op, sink, state);
    return static_cast<OperationStatus>(op->status);
}

// One move under a fresh state, for tests about a single operation.
OperationStatus MoveOnce(const OrdvaleSettings& settings, const std::wstring& source,
                         const std::wstring& folder, RecordingSink* sink = nullptr) {
    RecordingSink own;
    ExecutionState state;
    Operation op = MakeOp(OperationKind::Move, source, folder);
    return Execute(settings, &op, sink ? sink : &own, &state);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolderOnDisk(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in a folder, sorted.
std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        // The hidden folder of replaced files is looked at on its own.
        if (name != L"." && name != L".." && name != kSetAsideFolder) names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

using NameList = std::vector<std::wstring>;

bool AnyProbeName(const std::wstring& folder) {
    for (const std::wstring& name : Names(folder))
        if (name.find(kProbeSuffix) != std::wstring::npos) return true;
    return false;
}

// A file that nobody else may open, delete or rename while the guard lives.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path, DWORD share = 0)
        : h_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~HeldOpen() { Close(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool IsOpen() const { return h_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// A source and a destination folder side by side.
struct Folders {
    TempDir dir;
    std::wstring src = dir / L"src";
    std::wstring dst = dir / L"dst";
    Folders() {
        MakeFolder(src);
        MakeFolder(dst);
    }
};

// ------------------------------------------------------------ the basics

TEST(Executor, KindOutsideTheKnownOnesFailsWithoutAMessage) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    for (int8_t kind : {-1, 6, 7, 100}) {
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst);
        op.kind = kind;
        EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), OperationStatus::Failed) << int{kind};
        EXPECT_TRUE(sink.sent.empty()) << int{kind};
    }
    EXPECT_TRUE(Exists(f.src + L"\\a.txt"));
}

TEST(Executor, ReportsBeginWithKindAndPathThenEndWithStatus) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    ExecutionState state;

    RecordingSink nop;
    Operation none = MakeOp(OperationKind::Nop, f.src + L"\\a.txt");
    EXPECT_EQ(Execute(Policy(0, 3), &none, &nop, &state), OperationStatus::Succeeded);
    ASSERT_EQ(nop.sent.size(), 2u);
    EXPECT_EQ(nop.sent[0].message, UM_OPERATION_BEGIN);
    EXPECT_EQ(nop.sent[0].wParam, 0u);
    EXPECT_EQ(nop.sent[0].lParam, 0);
    EXPECT_EQ(nop.sent[1].message, UM_OPERATION_END);
    EXPECT_EQ(nop.sent[1].wParam, static_cast<WPARAM>(OperationStatus::Succeeded));

    RecordingSink move;
    Operation op = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst);
    EXPECT_EQ(Execute(Policy(0, 3), &op, &move, &state), OperationStatus::Succeeded);
    ASSERT_EQ(move.Messages(), (std::vector<UINT>{UM_OPERATION_BEGIN, UM_OPERATION_END}));
    EXPECT_EQ(move.sent[0].wParam, static_cast<WPARAM>(OperationKind::Move));
    EXPECT_EQ(move.sent[0].path, f.src + L"\\a.txt");
    EXPECT_EQ(move.sent[1].wParam, static_cast<WPARAM>(OperationStatus::Succeeded));

    RecordingSink missing;
    Operation gone = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst);
    EXPECT_EQ(Execute(Policy(0, 3), &gone, &missing, &state), OperationStatus::None);
    ASSERT_EQ(missing.Messages(), (std::vector<UINT>{UM_OPERATION_BEGIN, UM_OPERATION_END}));
    EXPECT_EQ(missing.sent[1].wParam, static_cast<WPARAM>(OperationStatus::None));
}

TEST(Executor, CreatesMissingFoldersOnly) {
    TempDir dir;
    ASSERT_TRUE(MakeFolder(dir / L"there"));
    ASSERT_TRUE(WriteText(dir / L"file", "x"));
    struct Row {
        std::wstring path;
        OperationStatus status;
        bool folderAfterwards;
    } rows[] = {
        {dir / L"there", OperationStatus::None, true},
        {dir / L"a\\b\\c", OperationStatus::Succeeded, true},
        {dir / L"file\\sub", OperationStatus::Failed, false},
    };
    for (const Row& row : rows) {
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(OperationKind::CreateDirectory, row.path);
        EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), row.status) << Narrow(row.path);
        EXPECT_EQ(IsFolderOnDisk(row.path), row.folderAfterwards) << Narrow(row.path);
    }
    EXPECT_EQ(ReadUtf8(dir / L"file"), "x");
}

TEST(Executor, LeavesItemsAloneWhenSourceOrDestinationIsNotThere) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    ASSERT_TRUE(WriteText(f.dst + L"\\plain", "file, not a folder"));
    struct Row {
        OperationKind kind;
        std::wstring source;
        std::wstring destination;
        OperationStatus status;
    } rows[] = {
        {OperationKind::Move, f.src + L"\\a.txt", f.dst + L"\\missing", OperationStatus::Omitted},
        {OperationKind::Move, f.src + L"\\a.txt", f.dst + L"\\plain", OperationStatus::Omitted},
        {OperationKind::Copy, f.src + L"\\a.txt", f.dst + L"\\missing", OperationStatus::Omitted},
        {OperationKind::Move, f.src + L"\\gone.txt", f.dst, OperationStatus::None},
        {OperationKind::Copy, f.src + L"\\gone.txt", f.dst, OperationStatus::None},
        {OperationKind::Rename, f.src + L"\\gone.txt", f.src + L"\\new.txt", OperationStatus::None},
        {OperationKind::Delete, f.src + L"\\gone.txt", L"", OperationStatus::None},
        // Already where it belongs.
        {OperationKind::Move, f.src + L"\\a.txt", f.src, OperationStatus::None},
    };
    for (const Row& row : rows) {
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(row.kind, row.source, row.destination);
        EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), row.status)
            << Narrow(row.source) << " -> " << Narrow(row.destination);
    }
    EXPECT_EQ(Names(f.src), NameList{L"a.txt"});
    EXPECT_EQ(ReadUtf8(f.src + L"\\a.txt"), "a");
    EXPECT_EQ(Names(f.dst), NameList{L"plain"});
}

// A destination found missing is looked at again later in the pass.
TEST(Executor, DestinationMissingOnceIsCheckedAgain) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    RecordingSink sink;
    ExecutionState state;
    state.BeginPass();
    Operation first = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst + L"\\later");
    EXPECT_EQ(Execute(Policy(0, 3), &first, &sink, &state), OperationStatus::Omitted);
    ASSERT_TRUE(MakeFolder(f.dst + L"\\later"));
    Operation second = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst + L"\\later");
    EXPECT_EQ(Execute(Policy(0, 3), &second, &sink, &state), OperationStatus::Succeeded);
    EXPECT_EQ(ReadUtf8(f.dst + L"\\later\\a.txt"), "a");
}

// Files, folders and shortcuts, with and without the shell's window.
TEST(Executor, MovesFilesFoldersAndShortcuts) {
    win::ComInit com;
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        Folders f;
        ASSERT_TRUE(WriteText(f.src + L"\\photo.jpg", "jpeg"));
        ASSERT_TRUE(MakeFolder(f.src + L"\\Album"));
        ASSERT_TRUE(MakeFolder(f.src + L"\\Album\\inner"));
        ASSERT_TRUE(WriteText(f.src + L"\\Album\\inner\\x.txt", "x"));
        ASSERT_TRUE(MakeShortcut(f.src + L"\\link.lnk", f.dir.Path()));
        Item link;
        SetPath(&link, (f.src + L"\\link.lnk").c_str());
        Refresh(&link);
        ASSERT_TRUE(IsShortcut(link));

        ExecutionState state;
        for (const wchar_t* name : {L"photo.jpg", L"Album", L"link.lnk"}) {
            RecordingSink sink;
            Operation op = MakeOp(OperationKind::Move, f.src + L"\\" + name, f.dst);
            EXPECT_EQ(Execute(Policy(0, 3, shellWindow), &op, &sink, &state), OperationStatus::Succeeded)
                << Narrow(name);
            if (shellWindow) {
                // The progress dialog's Cancel is off while the shell's window is up.
                EXPECT_EQ(sink.Messages(),
                          (std::vector<UINT>{UM_OPERATION_BEGIN, UM_ENABLE_CANCEL, UM_ENABLE_CANCEL,
                                             UM_OPERATION_END}));
                if (sink.sent.size() == 4) {
                    EXPECT_EQ(sink.sent[1].wParam, 0u);
                    EXPECT_EQ(sink.sent[2].wParam, 1u);
                }
            } else {
                EXPECT_EQ(sink.Count(UM_ENABLE_CANCEL), 0);
            }
        }
        EXPECT_TRUE(Names(f.src).empty());
        EXPECT_EQ(Names(f.dst), (NameList{L"Album", L"link.lnk", L"photo.jpg"}));
        EXPECT_EQ(ReadUtf8(f.dst + L"\\photo.jpg"), "jpeg");
        EXPECT_EQ(ReadUtf8(f.dst + L"\\Album\\inner\\x.txt"), "x");
    }
}

TEST(Executor, RenamesAndDeletes) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    ASSERT_TRUE(WriteText(f.src + L"\\b.txt", "b"));
    ASSERT_TRUE(WriteText(f.src + L"\\c.txt", "c"));
    ExecutionState state;
    RecordingSink sink;

    Operation rename = MakeOp(OperationKind::Rename, f.src + L"\\a.txt", f.src + L"\\renamed.txt");
    EXPECT_EQ(Execute(Policy(0, 3), &rename, &sink, &state), OperationStatus::Succeeded);
    // A rename never overwrites.
    Operation onto = MakeOp(OperationKind::Rename, f.src + L"\\b.txt", f.src + L"\\c.txt");
    EXPECT_EQ(Execute(Policy(1, 1), &onto, &sink, &state), OperationStatus::Failed);
    Operation remove = MakeOp(OperationKind::Delete, f.src + L"\\c.txt");
    EXPECT_EQ(Execute(Policy(0, 3), &remove, &sink, &state), OperationStatus::Succeeded);

    EXPECT_EQ(Names(f.src), (NameList{L"b.txt", L"renamed.txt"}));
    EXPECT_EQ(ReadUtf8(f.src + L"\\renamed.txt"), "a");
    EXPECT_EQ(ReadUtf8(f.src + L"\\b.txt"), "b");
}

TEST(Executor, CopiesUnderTheSameConflictRules) {
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        Folders f;
        ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "new"));
        ASSERT_TRUE(WriteText(f.dst + L"\\a.txt", "old"));
        ASSERT_TRUE(MakeFolder(f.src + L"\\F"));
        ASSERT_TRUE(WriteText(f.src + L"\\F\\in.txt", "in"));
        ExecutionState state;
        RecordingSink sink;
        Operation file = MakeOp(OperationKind::Copy, f.src + L"\\a.txt", f.dst);
        EXPECT_EQ(Execute(Policy(0, 3, shellWindow), &file, &sink, &state), OperationStatus::Succeeded);
        Operation folder = MakeOp(OperationKind::Copy, f.src + L"\\F", f.dst);
        EXPECT_EQ(Execute(Policy(0, 3, shellWindow), &folder, &sink, &state), OperationStatus::Succeeded);
        Operation replace = MakeOp(OperationKind::Copy, f.src + L"\\a.txt", f.dst);
        EXPECT_EQ(Execute(Policy(1, 3, shellWindow), &replace, &sink, &state), OperationStatus::Succeeded);

        EXPECT_EQ(Names(f.src), (NameList{L"F", L"a.txt"}));
        EXPECT_EQ(Names(f.dst), (NameList{L"F", L"a (2).txt", L"a.txt"}));
        EXPECT_EQ(ReadUtf8(f.dst + L"\\a.txt"), "new");
        EXPECT_EQ(ReadUtf8(f.dst + L"\\a (2).txt"), "new");
        EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\in.txt"), "in");
        EXPECT_EQ(ReadUtf8(f.src + L"\\F\\in.txt"), "in");
    }
}

// ------------------------------------------------------- name conflicts

TEST(FreeName, CountsUpInTheWindowsStyle) {
    TempDir dir;
    for (const wchar_t* taken : {L"a.jpg", L"A (2).JPG", L"a.tar.gz", L"README", L"F", L".profile"})
        ASSERT_TRUE(WriteText(dir / taken, "x"));
    struct Row {
        const wchar_t* name;
        bool isFolder;
        const wchar_t* expected;
    } rows[] = {
        {L"a.jpg", false, L"a (3).jpg"},  // "a (2).jpg" is taken, whatever its case
        {L"a.tar.gz", false, L"a.tar (2).gz"},
        {L"README", false, L"README (2)"},
        {L"F", true, L"F (2)"},
        {L"F.v1", true, L"F.v1 (2)"},
        {L".profile", false, L".profile (2)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FreeName(dir.Path(), row.name, row.isFolder), row.expected) << Narrow(row.name);
}

// Rename (0, and any value other than 1 and 2 for files): the arriving item
// takes a free name, whatever already stands there is kept.
TEST(Executor, RenamePolicyKeepsBothUnderAFreeName) {
    struct Row {
        int32_t fileConflict;
        int32_t folderConflict;
        const wchar_t* arriving;
        bool arrivingFolder;
        const wchar_t* standing;  // in the destination
        bool standingFolder;
        const wchar_t* newName;
    } rows[] = {
        {0, 0, L"a.jpg", false, L"a.jpg", false, L"a (2).jpg"},
        {7, 0, L"a.jpg", false, L"A.JPG", false, L"a (2).jpg"},
        {0, 0, L"a.tar.gz", false, L"a.tar.gz", false, L"a.tar (2).gz"},
        {0, 0, L"README", false, L"README", false, L"README (2)"},
        {0, 0, L"F", true, L"F", true, L"F (2)"},
        {0, 0, L"F.v1", true, L"f.V1", true, L"F.v1 (2)"},
        // A name taken by the other kind is never merged or replaced.
        {1, 1, L"a.jpg", false, L"a.jpg", true, L"a (2).jpg"},
        {1, 1, L"F", true, L"F", false, L"F (2)"},
        {2, 2, L"F", true, L"F", false, L"F (2)"},
    };
    for (bool shellWindow : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(Narrow(row.arriving) + " onto " + Narrow(row.standing) +
                         (shellWindow ? " through the shell" : ""));
            Folders f;
            const std::wstring source = f.src + L"\\" + row.arriving;
            const std::wstring standing = f.dst + L"\\" + row.standing;
            if (row.arrivingFolder) {
                ASSERT_TRUE(MakeFolder(source));
                ASSERT_TRUE(WriteText(source + L"\\new.txt", "new"));
            } else {
                ASSERT_TRUE(WriteText(source, "new"));
            }
            if (row.standingFolder) {
                ASSERT_TRUE(MakeFolder(standing));
                ASSERT_TRUE(WriteText(standing + L"\\old.txt", "old"));
            } else {
                ASSERT_TRUE(WriteText(standing, "old"));
            }
            RecordingSink sink;
            EXPECT_EQ(MoveOnce(Policy(row.fileConflict, row.folderConflict, shellWindow), source,
                               f.dst, &sink),
                      OperationStatus::Succeeded);
            EXPECT_EQ(sink.Count(UM_ASK_CONFLICT), 0);
            EXPECT_FALSE(Exists(source));
            NameList expected{row.newName, row.standing};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Names(f.dst), expected);
            const std::wstring arrived = f.dst + L"\\" + row.newName;
            EXPECT_EQ(ReadUtf8(row.arrivingFolder ? arrived + L"\\new.txt" : arrived), "new");
            EXPECT_EQ(ReadUtf8(row.standingFolder ? standing + L"\\old.txt" : standing), "old");
        }
    }
}

TEST(Executor, OverwriteReplacesOnlyASameNamedFile) {
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        Folders f;
        ASSERT_TRUE(WriteText(f.src + L"\\a.jpg", "new"));
        ASSERT_TRUE(WriteText(f.dst + L"\\a.jpg", "old"));
        ASSERT_TRUE(WriteText(f.dst + L"\\other.jpg", "other"));
        EXPECT_EQ(MoveOnce(Policy(1, 3, shellWindow), f.src + L"\\a.jpg", f.dst),
                  OperationStatus::Succeeded);
        EXPECT_TRUE(Names(f.src).empty());
        EXPECT_EQ(Names(f.dst), (NameList{L"a.jpg", L"other.jpg"}));
        EXPECT_EQ(ReadUtf8(f.dst + L"\\a.jpg"), "new");
        EXPECT_EQ(ReadUtf8(f.dst + L"\\other.jpg"), "other");
    }
}

// Merge (1, and any value other than 0 and 2 for folders): same-named
// folders merge at every depth, and a file that meets a file inside follows
// the file policy: Rename (0, and any value other than 1 and 2) keeps both,
// Overwrite replaces.
TEST(Executor, MergeJoinsSameNamedFolders) {
    struct Policies {
        int32_t fileConflict;
        bool keepsBoth;
    } policies[] = {{0, true}, {7, true}, {1, false}};
    for (const Policies& files : policies) {
        for (int32_t folderConflict : {1, 3, -5}) {
            for (bool shellWindow : {false, true}) {
                SCOPED_TRACE("fileConflict " + std::to_string(files.fileConflict) + ", folderConflict " +
                             std::to_string(folderConflict) + (shellWindow ? " through the shell" : ""));
                Folders f;
                const std::wstring from = f.src + L"\\F";
                const std::wstring into = f.dst + L"\\F";
                for (const wchar_t* folder : {L"", L"\\sub", L"\\sub\\deep", L"\\only-src"})
                    ASSERT_TRUE(MakeFolder(from + folder));
                for (const wchar_t* folder : {L"", L"\\sub", L"\\sub\\deep", L"\\only-dst"})
                    ASSERT_TRUE(MakeFolder(into + folder));
                ASSERT_TRUE(WriteText(from + L"\\same.txt", "new"));
                ASSERT_TRUE(WriteText(from + L"\\src.txt", "src"));
                ASSERT_TRUE(WriteText(from + L"\\sub\\inner.txt", "new inner"));
                ASSERT_TRUE(WriteText(from + L"\\sub\\deep\\d.txt", "new deep"));
                ASSERT_TRUE(WriteText(from + L"\\only-src\\s.txt", "s"));
                ASSERT_TRUE(WriteText(into + L"\\same.txt", "old"));
                ASSERT_TRUE(WriteText(into + L"\\dst.txt", "dst"));
                ASSERT_TRUE(WriteText(into + L"\\sub\\inner.txt", "old inner"));
                ASSERT_TRUE(WriteText(into + L"\\sub\\keep.txt", "keep"));
                ASSERT_TRUE(WriteText(into + L"\\sub\\deep\\d.txt", "old deep"));
                ASSERT_TRUE(WriteText(into + L"\\only-dst\\o.txt", "o"));
                // Hidden items travel too; the source is removed only when empty.
                ASSERT_TRUE(WriteText(from + L"\\hidden.txt", "h"));
                SetFileAttributesW((from + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

                RecordingSink sink;
                EXPECT_EQ(MoveOnce(Policy(files.fileConflict, folderConflict, shellWindow), from, f.dst, &sink),
                          OperationStatus::Succeeded);
                EXPECT_EQ(sink.Count(UM_ASK_CONFLICT), 0);
                EXPECT_FALSE(Exists(from));
                EXPECT_EQ(ReadUtf8(into + L"\\src.txt"), "src");
                EXPECT_EQ(ReadUtf8(into + L"\\dst.txt"), "dst");
                EXPECT_EQ(ReadUtf8(into + L"\\sub\\keep.txt"), "keep");
                EXPECT_EQ(ReadUtf8(into + L"\\only-src\\s.txt"), "s");
                EXPECT_EQ(ReadUtf8(into + L"\\only-dst\\o.txt"), "o");
                if (files.keepsBoth) {
                    EXPECT_EQ(Names(into), (NameList{L"dst.txt", L"hidden.txt", L"only-dst", L"only-src",
                                                     L"same (2).txt", L"same.txt", L"src.txt", L"sub"}));
                    EXPECT_EQ(ReadUtf8(into + L"\\same.txt"), "old");
                    EXPECT_EQ(ReadUtf8(into + L"\\same (2).txt"), "new");
                    EXPECT_EQ(Names(into + L"\\sub"),
                              (NameList{L"deep", L"inner (2).txt", L"inner.txt", L"keep.txt"}));
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\inner.txt"), "old inner");
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\inner (2).txt"), "new inner");
                    EXPECT_EQ(Names(into + L"\\sub\\deep"), (NameList{L"d (2).txt", L"d.txt"}));
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\deep\\d.txt"), "old deep");
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\deep\\d (2).txt"), "new deep");
                } else {
                    EXPECT_EQ(Names(into), (NameList{L"dst.txt", L"hidden.txt", L"only-dst", L"only-src",
                                                     L"same.txt", L"src.txt", L"sub"}));
                    EXPECT_EQ(ReadUtf8(into + L"\\same.txt"), "new");
                    EXPECT_EQ(Names(into + L"\\sub"), (NameList{L"deep", L"inner.txt", L"keep.txt"}));
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\inner.txt"), "new inner");
                    EXPECT_EQ(Names(into + L"\\sub\\deep"), NameList{L"d.txt"});
                    EXPECT_EQ(ReadUtf8(into + L"\\sub\\deep\\d.txt"), "new deep");
                }
            }
        }
    }
}

TEST(Executor, MergeKeepsBothWhereAFolderAndAFileShareAName) {
    Folders f;
    const std::wstring from = f.src + L"\\F";
    const std::wstring into = f.dst + L"\\F";
    ASSERT_TRUE(MakeFolder(from));
    ASSERT_TRUE(MakeFolder(into));
    ASSERT_TRUE(MakeFolder(from + L"\\x"));
    ASSERT_TRUE(WriteText(from + L"\\x\\in.txt", "in"));
    ASSERT_TRUE(WriteText(into + L"\\x", "file x"));
    ASSERT_TRUE(WriteText(from + L"\\y.txt", "file y"));
    ASSERT_TRUE(MakeFolder(into + L"\\y.txt"));
    EXPECT_EQ(MoveOnce(Policy(1, 1), from, f.dst), OperationStatus::Succeeded);
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ(Names(into), (NameList{L"x", L"x (2)", L"y (2).txt", L"y.txt"}));
    EXPECT_EQ(ReadUtf8(into + L"\\x"), "file x");
    EXPECT_EQ(ReadUtf8(into + L"\\x (2)\\in.txt"), "in");
    EXPECT_EQ(ReadUtf8(into + L"\\y (2).txt"), "file y");
    EXPECT_TRUE(IsFolderOnDisk(into + L"\\y.txt"));
}

// ------------------------------------------------------------------ Ask

TEST(Executor, AskFollowsEachAnswerForAFile) {
    struct Row {
        int answer;
        OperationStatus status;
        NameList sourceAfter;
        NameList destinationAfter;
        std::string standingAfter;  // a.jpg at the destination
        bool aborted;
    } rows[] = {
        {kAnswerReplace, OperationStatus::Succeeded, {}, {L"a.jpg"}, "new!!", false},
        {kAnswerKeepBoth, OperationStatus::Succeeded, {}, {L"a (2).jpg", L"a.jpg"}, "old", false},
        {kAnswerSkip, OperationStatus::None, {L"a.jpg"}, {L"a.jpg"}, "old", false},
        {kAnswerCancel, OperationStatus::Pended, {L"a.jpg"}, {L"a.jpg"}, "old", true},
        // An answer the dialog cannot give touches nothing.
        {0, OperationStatus::None, {L"a.jpg"}, {L"a.jpg"}, "old", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("answer " + std::to_string(row.answer));
        Folders f;
        ASSERT_TRUE(WriteText(f.src + L"\\a.jpg", "new!!"));
        ASSERT_TRUE(WriteText(f.dst + L"\\a.jpg", "old"));
        RecordingSink sink({row.answer});
        ExecutionState state;
        Operation op = MakeOp(OperationKind::Move, f.src + L"\\a.jpg", f.dst);
        EXPECT_EQ(Execute(Policy(2, 3), &op, &sink, &state), row.status);
        ASSERT_EQ(sink.asked.size(), 1u);
        EXPECT_EQ(sink.asked[0].source, f.src + L"\\a.jpg");
        EXPECT_EQ(sink.asked[0].destination, f.dst + L"\\a.jpg");
        EXPECT_FALSE(sink.asked[0].isFolder);
        EXPECT_EQ(sink.asked[0].sourceSize, 5u);
        EXPECT_EQ(sink.asked[0].destinationSize, 3u);
        EXPECT_EQ(Names(f.src), row.sourceAfter);
        EXPECT_EQ(Names(f.dst), row.destinationAfter);
        EXPECT_EQ(ReadUtf8(f.dst + L"\\a.jpg"), row.standingAfter);
        std::vector<UINT> expected{UM_OPERATION_BEGIN, UM_ASK_CONFLICT};
        if (row.aborted) expected.push_back(UM_OPERATION_ABORTED);
        expected.push_back(UM_OPERATION_END);
        EXPECT_EQ(sink.Messages(), expected);
        EXPECT_EQ(state.fileAnswerForAll, 0);
    }
}

// The user answers for the folder; a file inside that meets a file follows
// the file policy: asked too under Ask, kept beside under Rename, replaced
// under Overwrite.
TEST(Executor, AskedFolderMergeSettlesTheFilesInsideByTheFilePolicy) {
    struct Row {
        int32_t fileConflict;
        std::deque<int> answers;
        OperationStatus status;
        NameList inside;          // the destination folder afterwards
        std::string same;         // same.txt there
        bool sourceLeft;
    } rows[] = {
        {2, {kAnswerReplace, kAnswerReplace}, OperationStatus::Succeeded,
         {L"dst.txt", L"same.txt", L"src.txt"}, "new", false},
        {2, {kAnswerReplace, kAnswerKeepBoth}, OperationStatus::Succeeded,
         {L"dst.txt", L"same (2).txt", L"same.txt", L"src.txt"}, "old", false},
        // A file the user skips stays, and so does its folder.
        {2, {kAnswerReplace, kAnswerSkip}, OperationStatus::None,
         {L"dst.txt", L"same.txt", L"src.txt"}, "old", true},
        {2, {kAnswerKeepBoth}, OperationStatus::Succeeded, {L"dst.txt", L"same.txt"}, "old", false},
        {0, {kAnswerReplace}, OperationStatus::Succeeded,
         {L"dst.txt", L"same (2).txt", L"same.txt", L"src.txt"}, "old", false},
        {1, {kAnswerReplace}, OperationStatus::Succeeded, {L"dst.txt", L"same.txt", L"src.txt"}, "new", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("file policy " + std::to_string(row.fileConflict) + ", first answer " +
                     std::to_string(row.answers.front()) + ", " + std::to_string(row.answers.size()) +
                     " answers");
        Folders f;
        const std::wstring from = f.src + L"\\F";
        const std::wstring into = f.dst + L"\\F";
        ASSERT_TRUE(MakeFolder(from));
        ASSERT_TRUE(MakeFolder(into));
        ASSERT_TRUE(WriteText(from + L"\\same.txt", "new"));
        ASSERT_TRUE(WriteText(from + L"\\src.txt", "src"));
        ASSERT_TRUE(WriteText(into + L"\\same.txt", "old"));
        ASSERT_TRUE(WriteText(into + L"\\dst.txt", "dst"));
        RecordingSink sink(row.answers);
        EXPECT_EQ(MoveOnce(Policy(row.fileConflict, 2), from, f.dst, &sink), row.status);
        ASSERT_EQ(sink.asked.size(), row.answers.size());
        EXPECT_TRUE(sink.asked[0].isFolder);
        EXPECT_EQ(sink.asked[0].destination, into);
        if (sink.asked.size() > 1) {
            EXPECT_FALSE(sink.asked[1].isFolder);
            EXPECT_EQ(sink.asked[1].source, from + L"\\same.txt");
        }
        EXPECT_EQ(Names(into), row.inside);
        EXPECT_EQ(ReadUtf8(into + L"\\same.txt"), row.same);
        EXPECT_EQ(Exists(from), row.sourceLeft);
        if (row.answers.front() == kAnswerKeepBoth) {
            EXPECT_EQ(ReadUtf8(f.dst + L"\\F (2)\\same.txt"), "new");
        }
    }
}

TEST(Executor, AskedFolderCancelStopsTheOperation) {
    Folders f;
    ASSERT_TRUE(MakeFolder(f.src + L"\\F"));
    ASSERT_TRUE(MakeFolder(f.dst + L"\\F"));
    ASSERT_TRUE(WriteText(f.src + L"\\F\\a.txt", "new"));
    ASSERT_TRUE(WriteText(f.src + L"\\F\\b.txt", "b"));
    ASSERT_TRUE(WriteText(f.dst + L"\\F\\a.txt", "old"));
    // Merge, then Cancel at the file inside.
    RecordingSink sink({kAnswerReplace, kAnswerCancel});
    EXPECT_EQ(MoveOnce(Policy(2, 2), f.src + L"\\F", f.dst, &sink), OperationStatus::Pended);
    EXPECT_EQ(sink.Count(UM_OPERATION_ABORTED), 1);
    EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\a.txt"), "old");
    EXPECT_EQ(ReadUtf8(f.src + L"\\F\\a.txt"), "new");
}

TEST(Executor, AnswerForAllIsGivenOnce) {
    Folders f;
    for (const wchar_t* name : {L"a.jpg", L"b.jpg"}) {
        ASSERT_TRUE(WriteText(f.src + L"\\" + name, "new"));
        ASSERT_TRUE(WriteText(f.dst + L"\\" + name, "old"));
    }
    ASSERT_TRUE(MakeFolder(f.src + L"\\F"));
    ASSERT_TRUE(MakeFolder(f.dst + L"\\F"));
    RecordingSink sink({kAnswerKeepBoth | kAnswerForAll, kAnswerSkip});
    ExecutionState state;
    const auto settings = Policy(2, 2);
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"F"}) {
        Operation op = MakeOp(OperationKind::Move, f.src + L"\\" + name, f.dst);
        Execute(settings, &op, &sink, &state);
    }
    // Asked once for the two files; the folder is a question of its own.
    ASSERT_EQ(sink.asked.size(), 2u);
    EXPECT_FALSE(sink.asked[0].isFolder);
    EXPECT_TRUE(sink.asked[1].isFolder);
    EXPECT_EQ(state.fileAnswerForAll, kAnswerKeepBoth);
    EXPECT_EQ(state.folderAnswerForAll, 0);
    EXPECT_EQ(Names(f.dst), (NameList{L"F", L"a (2).jpg", L"a.jpg", L"b (2).jpg", L"b.jpg"}));
    EXPECT_EQ(Names(f.src), NameList{L"F"});
}

// ------------------------------------------------------------ in use

// A destination given by another name of the item's own folder, or of the
// folder being moved: a link, a short name, a mapped drive. A file that
// would arrive onto itself is left as it is, under every file policy (not
// renamed beside itself, not replacing itself); a folder is never moved
// into itself.
TEST(Executor, OtherNamesOfItsOwnPlaceLeaveAnItemWhereItIs) {
    Folders f;
    const std::wstring folder = f.src + L"\\Album Folder";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteText(folder + L"\\in.txt", "in"));
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    int link = 0;
    for (const OtherName& src : OtherNamesOf(f.src, f.dir / (L"Link" + std::to_wstring(++link)))) {
        SCOPED_TRACE("its folder by " + src.way);
        if (src.path.empty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", src.way.c_str(), src.why.c_str());
            continue;
        }
        for (int32_t filePolicy : {0, 1}) {
            EXPECT_EQ(MoveOnce(Policy(filePolicy, 1), f.src + L"\\a.txt", src.path), OperationStatus::None)
                << filePolicy;
            EXPECT_EQ(Names(f.src), (NameList{L"Album Folder", L"a.txt"})) << filePolicy;
            EXPECT_EQ(ReadUtf8(f.src + L"\\a.txt"), "a");
        }
    }
    for (const OtherName& self : OtherNamesOf(folder, f.dir / (L"Link" + std::to_wstring(++link)))) {
        SCOPED_TRACE("the folder by " + self.way);
        if (self.path.empty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", self.way.c_str(), self.why.c_str());
            continue;
        }
        EXPECT_EQ(MoveOnce(Policy(0, 1), folder, self.path), OperationStatus::Failed);
        EXPECT_EQ(Names(f.src), (NameList{L"Album Folder", L"a.txt"}));
        EXPECT_EQ(Names(folder), (NameList{L"in.txt"}));
    }
}

// A linked folder standing where a folder arrives is never merged into,
// neither at the destination nor inside a merge: the arriving folder keeps
// both under a new name, and where the link leads is left as it was.
TEST(Executor, ALinkStandingAtTheDestinationIsNeverMergedInto) {
    Folders f;
    const std::wstring elsewhere = f.dir / L"Elsewhere";
    ASSERT_TRUE(MakeFolder(elsewhere));
    ASSERT_TRUE(WriteText(elsewhere + L"\\there.txt", "there"));
    std::string why;
    ASSERT_TRUE(MakeFolderLink(f.dst + L"\\Album", elsewhere, &why)) << why;
    ASSERT_TRUE(MakeFolder(f.dst + L"\\Project"));
    ASSERT_TRUE(MakeFolderLink(f.dst + L"\\Project\\Sub", elsewhere, &why)) << why;
    for (const wchar_t* folder : {L"\\Album", L"\\Project", L"\\Project\\Sub"}) ASSERT_TRUE(MakeFolder(f.src + folder));
    ASSERT_TRUE(WriteText(f.src + L"\\Album\\a.txt", "a"));
    ASSERT_TRUE(WriteText(f.src + L"\\Project\\Sub\\b.txt", "b"));
    EXPECT_EQ(MoveOnce(Policy(0, 1), f.src + L"\\Album", f.dst), OperationStatus::Succeeded);
    EXPECT_EQ(MoveOnce(Policy(0, 1), f.src + L"\\Project", f.dst), OperationStatus::Succeeded);
    EXPECT_EQ(Names(elsewhere), (NameList{L"there.txt"})) << "nothing arrives through a link";
    EXPECT_EQ(ReadUtf8(f.dst + L"\\Album (2)\\a.txt"), "a");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\Project\\Sub (2)\\b.txt"), "b");
    RemoveDirectoryW((f.dst + L"\\Album").c_str());
    RemoveDirectoryW((f.dst + L"\\Project\\Sub").c_str());
}

TEST(Executor, FileHeldOpenIsLeftAloneAndMovedOnRetry) {
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        Folders f;
        const std::wstring path = f.src + L"\\busy.txt";
        ASSERT_TRUE(WriteText(path, "busy"));
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(OperationKind::Move, path, f.dst);
        HeldOpen held(path);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(Execute(Policy(0, 3, shellWindow), &op, &sink, &state), OperationStatus::Omitted);
        EXPECT_EQ(Names(f.src), NameList{L"busy.txt"});
        EXPECT_FALSE(AnyProbeName(f.src));
        EXPECT_TRUE(Names(f.dst).empty());
        held.Close();
        EXPECT_EQ(ReadUtf8(path), "busy");

        state.BeginPass();
        EXPECT_EQ(Execute(Policy(0, 3, shellWindow), &op, &sink, &state), OperationStatus::Succeeded);
        EXPECT_EQ(ReadUtf8(f.dst + L"\\busy.txt"), "busy");
        EXPECT_TRUE(Names(f.src).empty());
    }
}

TEST(Executor, RenameAndDeleteLeaveAFileHeldOpen) {
    Folders f;
    const std::wstring path = f.src + L"\\busy.txt";
    ASSERT_TRUE(WriteText(path, "busy"));
    ExecutionState state;
    RecordingSink sink;
    Operation rename = MakeOp(OperationKind::Rename, path, f.src + L"\\renamed.txt");
    Operation remove = MakeOp(OperationKind::Delete, path);
    {
        HeldOpen held(path);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(Execute(Policy(0, 3), &rename, &sink, &state), OperationStatus::Omitted);
        EXPECT_EQ(Execute(Policy(0, 3), &remove, &sink, &state), OperationStatus::Omitted);
        EXPECT_EQ(Names(f.src), NameList{L"busy.txt"});
    }
    EXPECT_EQ(ReadUtf8(path), "busy");
    EXPECT_EQ(Execute(Policy(0, 3), &rename, &sink, &state), OperationStatus::Succeeded);
    EXPECT_EQ(Names(f.src), NameList{L"renamed.txt"});
}

TEST(Executor, MergeLeavesAFileHeldOpenInsideForTheRetry) {
    Folders f;
    const std::wstring from = f.src + L"\\F";
    ASSERT_TRUE(MakeFolder(from));
    ASSERT_TRUE(MakeFolder(f.dst + L"\\F"));
    ASSERT_TRUE(WriteText(from + L"\\busy.txt", "busy"));
    ASSERT_TRUE(WriteText(from + L"\\free.txt", "free"));
    ASSERT_TRUE(WriteText(f.dst + L"\\F\\busy.txt", "old"));
    RecordingSink sink;
    ExecutionState state;
    Operation op = MakeOp(OperationKind::Move, from, f.dst);
    {
        HeldOpen held(from + L"\\busy.txt");
        ASSERT_TRUE(held.IsOpen());
        EXPECT_EQ(Execute(Policy(1, 1), &op, &sink, &state), OperationStatus::Omitted);
        EXPECT_TRUE(Exists(from + L"\\busy.txt"));
    }
    EXPECT_EQ(ReadUtf8(from + L"\\busy.txt"), "busy");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\busy.txt"), "old");
    state.BeginPass();
    EXPECT_EQ(Execute(Policy(1, 1), &op, &sink, &state), OperationStatus::Succeeded);
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\busy.txt"), "busy");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\free.txt"), "free");
}

// An overwrite that cannot happen leaves both files: the file there is held
// open, or read-only.
TEST(Executor, OverwriteOfAReadOnlyFileKeepsBoth) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "new"));
    ASSERT_TRUE(WriteText(f.dst + L"\\a.txt", "old"));
    ASSERT_TRUE(SetFileAttributesW((f.dst + L"\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(MoveOnce(Policy(1, 1), f.src + L"\\a.txt", f.dst), OperationStatus::Failed);
    EXPECT_EQ(ReadUtf8(f.src + L"\\a.txt"), "new");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\a.txt"), "old");
    SetFileAttributesW((f.dst + L"\\a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Executor, OverwriteOfAFileHeldOpenKeepsBoth) {
    Folders f;
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "new"));
    ASSERT_TRUE(WriteText(f.dst + L"\\a.txt", "old"));
    {
        HeldOpen held(f.dst + L"\\a.txt");
        ASSERT_TRUE(held.IsOpen());
        const OperationStatus status = MoveOnce(Policy(1, 1), f.src + L"\\a.txt", f.dst);
        EXPECT_TRUE(status == OperationStatus::Omitted || status == OperationStatus::Failed)
            << ::testing::PrintToString(status);
    }
    EXPECT_EQ(ReadUtf8(f.src + L"\\a.txt"), "new");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\a.txt"), "old");
}

// An item of a run never replaces one the same run brought, at the top or
// inside a merge, whatever the policy: the later one keeps both under the
// Rename numbering. What stood there before the run is replaced as usual.
TEST(Executor, ItemsOfOneRunNeverReplaceEachOther) {
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        TempDir dir;
        const std::wstring a = dir / L"a", b = dir / L"b", dst = dir / L"dst";
        for (const std::wstring& folder : {a, b, dst, a + L"\\F", b + L"\\F", a + L"\\G", b + L"\\G", dst + L"\\G"})
            ASSERT_TRUE(MakeFolder(folder));
        ASSERT_TRUE(WriteText(a + L"\\x.jpg", "a"));
        ASSERT_TRUE(WriteText(b + L"\\x.jpg", "b"));
        // F arrives whole from a, then b's F merges into it.
        ASSERT_TRUE(WriteText(a + L"\\F\\in.txt", "a"));
        ASSERT_TRUE(WriteText(b + L"\\F\\in.txt", "b"));
        // G stood there before the run: a's file replaces the old one,
        // b's keeps both.
        ASSERT_TRUE(WriteText(dst + L"\\G\\in.txt", "old"));
        ASSERT_TRUE(WriteText(a + L"\\G\\in.txt", "a"));
        ASSERT_TRUE(WriteText(b + L"\\G\\in.txt", "b"));

        RecordingSink sink;
        ExecutionState state;
        const OrdvaleSettings overwrite = Policy(1, 1, shellWindow);
        for (const std::wstring& from :
             {a + L"\\x.jpg", b + L"\\x.jpg", a + L"\\F", b + L"\\F", a + L"\\G", b + L"\\G"}) {
            SCOPED_TRACE(from);
            Operation op = MakeOp(OperationKind::Move, from, dst);
            EXPECT_EQ(Execute(overwrite, &op, &sink, &state), OperationStatus::Succeeded);
        }
        EXPECT_EQ(Names(dst), (NameList{L"F", L"G", L"x (2).jpg", L"x.jpg"}));
        EXPECT_EQ(ReadUtf8(dst + L"\\x.jpg"), "a");
        EXPECT_EQ(ReadUtf8(dst + L"\\x (2).jpg"), "b");
        EXPECT_EQ(Names(dst + L"\\F"), (NameList{L"in (2).txt", L"in.txt"}));
        EXPECT_EQ(ReadUtf8(dst + L"\\F\\in.txt"), "a");
        EXPECT_EQ(ReadUtf8(dst + L"\\F\\in (2).txt"), "b");
        EXPECT_EQ(Names(dst + L"\\G"), (NameList{L"in (2).txt", L"in.txt"}));
        EXPECT_EQ(ReadUtf8(dst + L"\\G\\in.txt"), "a");
        EXPECT_EQ(ReadUtf8(dst + L"\\G\\in (2).txt"), "b");
        EXPECT_EQ(sink.Count(UM_ASK_CONFLICT), 0);
    }
    // Under Ask, the user is not asked about a file of the same run.
    Folders f;
    ASSERT_TRUE(MakeFolder(f.src + L"\\b"));
    ASSERT_TRUE(WriteText(f.src + L"\\x.jpg", "a"));
    ASSERT_TRUE(WriteText(f.src + L"\\b\\x.jpg", "b"));
    RecordingSink sink({kAnswerReplace});
    ExecutionState state;
    for (const std::wstring& from : {f.src + L"\\x.jpg", f.src + L"\\b\\x.jpg"}) {
        Operation op = MakeOp(OperationKind::Move, from, f.dst);
        EXPECT_EQ(Execute(Policy(2, 2), &op, &sink, &state), OperationStatus::Succeeded);
    }
    EXPECT_EQ(sink.Count(UM_ASK_CONFLICT), 0);
    EXPECT_EQ(ReadUtf8(f.dst + L"\\x.jpg"), "a");
    EXPECT_EQ(ReadUtf8(f.dst + L"\\x (2).jpg"), "b");
}

// ------------------------------------------------------------- probing

TEST(Probe, LeavesNoProbeNameBehind) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"a.txt", "a"));
    ASSERT_TRUE(MakeFolder(dir / L"F"));
    ASSERT_TRUE(WriteText(dir / L"busy.txt", "b"));
    for (const wchar_t* name : {L"a.txt", L"F"}) {
        Item item;
        SetPath(&item, (dir / name).c_str());
        EXPECT_TRUE(ProbeNotInUse(&item)) << Narrow(name);
    }
    HeldOpen held(dir / L"busy.txt");
    ASSERT_TRUE(held.IsOpen());
    Item busy;
    SetPath(&busy, (dir / L"busy.txt").c_str());
    EXPECT_FALSE(ProbeNotInUse(&busy));
    Item missing;
    SetPath(&missing, (dir / L"missing.txt").c_str());
    EXPECT_FALSE(ProbeNotInUse(&missing));
    EXPECT_EQ(Names(dir.Path()), (NameList{L"F", L"a.txt", L"busy.txt"}));
}

// Paths too long for the probe name are probed by asking for delete access.
TEST(Probe, LongPathIsProbedWithoutARename) {
    TempDir dir;
    const std::wstring folder = dir / std::wstring(180 - dir.Path().size(), L'p');
    ASSERT_TRUE(MakeFolder(folder));
    const std::wstring path = folder + L"\\" + std::wstring(230 - folder.size() - 1, L'f');
    ASSERT_EQ(path.size(), 230u);
    ASSERT_TRUE(WriteText(path, "x"));
    struct Row {
        DWORD share;  // of a handle held meanwhile; ~0u for none
        bool free;
    } rows[] = {
        {~0u, true},
        {0, false},
        {FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {FILE_SHARE_READ | FILE_SHARE_DELETE, true},
    };
    for (const Row& row : rows) {
        HeldOpen held(row.share == ~0u ? std::wstring() : path, row.share == ~0u ? 0 : row.share);
        ASSERT_EQ(held.IsOpen(), row.share != ~0u);
        Item item;
        SetPath(&item, path.c_str());
        EXPECT_EQ(ProbeNotInUse(&item), row.free) << row.share;
        EXPECT_EQ(Names(folder).size(), 1u);
    }
    EXPECT_EQ(ReadUtf8(path), "x");
}

TEST(Probe, LeftoversGetTheirNamesBack) {
    TempDir dir;
    const std::wstring suffix = kProbeSuffix;
    ASSERT_TRUE(WriteText(dir / (L"a.txt" + suffix), "a"));
    ASSERT_TRUE(MakeFolder(dir / (L"F" + suffix)));
    // The name was taken meanwhile: both stay as they are.
    ASSERT_TRUE(WriteText(dir / (L"b.txt" + suffix), "left"));
    ASSERT_TRUE(WriteText(dir / L"b.txt", "taken"));
    RestoreProbeLeftovers(dir.Path());
    EXPECT_EQ(Names(dir.Path()), (NameList{L"F", L"a.txt", L"b.txt", L"b.txt" + suffix}));
    EXPECT_EQ(ReadUtf8(dir / L"a.txt"), "a");
    EXPECT_EQ(ReadUtf8(dir / L"b.txt"), "taken");
    EXPECT_EQ(ReadUtf8(dir / (L"b.txt" + suffix)), "left");
}

// An item its probe could not rename back stands under its probe name. On
// the retry it gets its name back and the operation goes on; when even that
// is refused, the operation fails (and is offered again), and is never
// dropped as if there had been nothing to do.
TEST(Probe, ItemLeftUnderItsProbeNameIsRecoveredOrFails) {
    struct Row {
        OperationKind kind;
        bool held;  // the probe-named file is held open meanwhile
        OperationStatus status;
    } rows[] = {
        {OperationKind::Move, false, OperationStatus::Succeeded},
        {OperationKind::Rename, false, OperationStatus::Succeeded},
        {OperationKind::Move, true, OperationStatus::Failed},
        {OperationKind::Rename, true, OperationStatus::Failed},
        {OperationKind::Delete, true, OperationStatus::Failed},
        {OperationKind::Copy, true, OperationStatus::Failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.kind)) + (row.held ? " held" : ""));
        Folders f;
        const std::wstring stuck = f.src + L"\\a.txt" + kProbeSuffix;
        ASSERT_TRUE(WriteText(stuck, "a"));
        HeldOpen held(row.held ? stuck : std::wstring());
        ASSERT_EQ(held.IsOpen(), row.held);
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(row.kind, f.src + L"\\a.txt",
                              row.kind == OperationKind::Rename ? f.src + L"\\b.txt" : f.dst);
        EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), row.status);
        held.Close();
        if (row.status == OperationStatus::Succeeded) {
            EXPECT_FALSE(AnyProbeName(f.src));
            const std::wstring arrived = row.kind == OperationKind::Rename ? f.src + L"\\b.txt" : f.dst + L"\\a.txt";
            EXPECT_EQ(ReadUtf8(arrived), "a");
        } else {
            EXPECT_EQ(ReadUtf8(stuck), "a") << "left where it stands";
        }
    }
}

// ---------------------------------------------------------- long paths

std::wstring Extended(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

bool RemoveLongTree(const std::wstring& path) {
    const std::wstring at = Extended(path);
    const DWORD a = GetFileAttributesW(at.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return true;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(at.c_str()) != FALSE;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((at + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveLongTree(path + L"\\" + name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(at.c_str()) != FALSE;
}

// Folders below `base` down to one whose path is exactly `length` long.
std::wstring MakeFolderOfLength(const std::wstring& base, std::size_t length) {
    std::wstring path = base;
    while (path.size() < length) {
        std::size_t n = std::min<std::size_t>(length - path.size() - 1, 100);
        const std::size_t rest = length - path.size() - 1 - n;
        if (rest > 0 && rest < 2) n -= 2;  // leave room for "\x"
        path += L"\\" + std::wstring(n, static_cast<wchar_t>(L'a' + path.size() % 26));
        CreateDirectoryW(Extended(path).c_str(), nullptr);
    }
    return path;
}

bool LongExists(const std::wstring& path) {
    return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class LongPaths : public ::testing::Test {
protected:
    ~LongPaths() override { RemoveLongTree(f.dir.Path()); }
    Folders f;
};

// A path cut to its field can name the parent folder: that folder must
// not be moved in the item's place.
TEST_F(LongPaths, ItemWhosePathWasCutIsNotActedOn) {
    const std::wstring folder = MakeFolderOfLength(f.src, 259);
    const std::wstring file = folder + L"\\file.txt";
    ASSERT_TRUE(WriteText(Extended(file), "deep"));
    for (OperationKind kind : {OperationKind::Move, OperationKind::Copy, OperationKind::Delete,
                               OperationKind::Rename}) {
        RecordingSink sink;
        ExecutionState state;
        Operation op = MakeOp(kind, file, kind == OperationKind::Rename ? f.src + L"\\r" : f.dst);
        ASSERT_EQ(std::wstring(op.source.path), folder);
        const OperationStatus status = Execute(Policy(0, 3), &op, &sink, &state);
        EXPECT_TRUE(status == OperationStatus::Failed || status == OperationStatus::Omitted)
            << static_cast<int>(kind) << ": " << ::testing::PrintToString(status);
    }
    EXPECT_TRUE(LongExists(file));
    EXPECT_EQ(ReadUtf8(Extended(file)), "deep");
    EXPECT_TRUE(Names(f.dst).empty());
}

TEST_F(LongPaths, ItemMarkedCutIsNotActedOn) {
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    RecordingSink sink;
    ExecutionState state;
    Operation op = MakeOp(OperationKind::Move, f.src + L"\\a.txt", f.dst);
    op.source.pathCut = true;
    EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), OperationStatus::Failed);
    EXPECT_EQ(Names(f.src), NameList{L"a.txt"});
}

// A full 259-character path is trusted when the item's name ends it.
TEST_F(LongPaths, FullLengthPathWithItsNameIsMoved) {
    const std::wstring parent = MakeFolderOfLength(f.src, 240);
    const std::wstring file = parent + L"\\" + std::wstring(259 - parent.size() - 1, L'n');
    ASSERT_EQ(file.size(), 259u);
    ASSERT_TRUE(WriteText(Extended(file), "full"));
    RecordingSink sink;
    ExecutionState state;
    Operation op = MakeOp(OperationKind::Move, file, f.dst);
    StoreText(op.source.name, file.substr(parent.size() + 1));
    EXPECT_EQ(Execute(Policy(0, 3), &op, &sink, &state), OperationStatus::Succeeded);
    EXPECT_FALSE(LongExists(file));
    EXPECT_EQ(ReadUtf8(f.dst + L"\\" + file.substr(parent.size() + 1)), "full");
}

TEST_F(LongPaths, ArrivalThatWouldNotFitIsNotMade) {
    const std::wstring deep = MakeFolderOfLength(f.dst, 250);
    ASSERT_TRUE(WriteText(f.src + L"\\twelve-chars", "a"));
    EXPECT_EQ(MoveOnce(Policy(0, 3), f.src + L"\\twelve-chars", deep), OperationStatus::Failed);
    EXPECT_EQ(ReadUtf8(f.src + L"\\twelve-chars"), "a");
    EXPECT_TRUE(Names(deep).empty());
}

TEST_F(LongPaths, FreeNameThatWouldNotFitIsNotTaken) {
    const std::wstring deep = MakeFolderOfLength(f.dst, 240);
    const std::wstring name = std::wstring(259 - 240 - 1 - 4, L'x') + L".txt";
    ASSERT_EQ((deep + L"\\" + name).size(), 259u);
    ASSERT_TRUE(WriteText(f.src + L"\\" + name, "new"));
    ASSERT_TRUE(WriteText(deep + L"\\" + name, "old"));
    EXPECT_EQ(MoveOnce(Policy(0, 0), f.src + L"\\" + name, deep), OperationStatus::Failed);
    EXPECT_EQ(ReadUtf8(f.src + L"\\" + name), "new");
    EXPECT_EQ(Names(deep), NameList{name});
    EXPECT_EQ(ReadUtf8(deep + L"\\" + name), "old");
}

// Inside a merge as well: what does not fit stays where it is, on Wine as
// on Windows.
TEST_F(LongPaths, MergeLeavesItemsWhosePathsDoNotFit) {
    ASSERT_TRUE(MakeFolder(f.src + L"\\F"));
    ASSERT_TRUE(MakeFolder(f.dst + L"\\F"));
    const std::wstring from = MakeFolderOfLength(f.src + L"\\F", 250);
    const std::wstring into = MakeFolderOfLength(f.dst + L"\\F", 250);
    ASSERT_EQ(from.substr(f.src.size()), into.substr(f.dst.size()));
    const std::wstring file = from + L"\\long-file-name.txt";
    ASSERT_TRUE(WriteText(Extended(file), "deep"));
    ASSERT_TRUE(WriteText(f.src + L"\\F\\short.txt", "short"));
    EXPECT_EQ(MoveOnce(Policy(0, 1), f.src + L"\\F", f.dst), OperationStatus::Failed);
    EXPECT_EQ(ReadUtf8(Extended(file)), "deep");
    EXPECT_FALSE(LongExists(into + L"\\long-file-name.txt"));
    EXPECT_EQ(ReadUtf8(f.dst + L"\\F\\short.txt"), "short");
}

// ------------------------------------------------------- across volumes

// Wine's shell moves nothing for a folder across file systems and says it
// did; Windows copies it over. Either way the status tells the truth.
TEST(Executor, MoveAcrossVolumesIsReportedAsItWent) {
    const std::wstring other = L"Z:\\dev\\shm";
    if (!IsFolderOnDisk(other)) GTEST_SKIP() << "no second file system at hand";
    Folders f;
    const std::wstring there = other + L"\\ordvale-executor-" + std::to_wstring(GetCurrentProcessId()) +
                               L"-" + std::to_wstring(GetTickCount());
    struct Removed {
        std::wstring path;
        ~Removed() { RemoveTree(path); }
    } removed{there};
    ASSERT_TRUE(MakeFolder(there));
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "a"));
    // A folder is made there and its items follow one by one.
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "through the shell" : "directly");
        ASSERT_TRUE(MakeFolder(f.src + L"\\F"));
        ASSERT_TRUE(MakeFolder(f.src + L"\\F\\sub"));
        ASSERT_TRUE(WriteText(f.src + L"\\F\\in.txt", "in"));
        ASSERT_TRUE(WriteText(f.src + L"\\F\\sub\\deep.txt", "deep"));
        EXPECT_EQ(MoveOnce(Policy(0, 3, shellWindow), f.src + L"\\F", there), OperationStatus::Succeeded);
        EXPECT_FALSE(Exists(f.src + L"\\F"));
        EXPECT_EQ(ReadUtf8(there + L"\\F\\in.txt"), "in");
        EXPECT_EQ(ReadUtf8(there + L"\\F\\sub\\deep.txt"), "deep");
        EXPECT_TRUE(RemoveTree(there + L"\\F"));
    }
    // Files travel by copy and delete, replacing one there too.
    EXPECT_EQ(MoveOnce(Policy(0, 3), f.src + L"\\a.txt", there), OperationStatus::Succeeded);
    EXPECT_EQ(ReadUtf8(there + L"\\a.txt"), "a");
    EXPECT_FALSE(Exists(f.src + L"\\a.txt"));
    ASSERT_TRUE(WriteText(f.src + L"\\a.txt", "newer"));
    EXPECT_EQ(MoveOnce(Policy(1, 3), f.src + L"\\a.txt", there), OperationStatus::Succeeded);
    EXPECT_EQ(ReadUtf8(there + L"\\a.txt"), "newer");
    EXPECT_FALSE(Exists(f.src + L"\\a.txt"));
    EXPECT_FALSE(AnyProbeName(there));

    // A replacement inside a merge that cannot finish (the arriving file
    // can be copied but not deleted) keeps the file that stood there.
    ASSERT_TRUE(MakeFolder(f.src + L"\\G"));
    ASSERT_TRUE(MakeFolder(there + L"\\G"));
    ASSERT_TRUE(WriteText(f.src + L"\\G\\same.txt", "new"));
    ASSERT_TRUE(WriteText(there + L"\\G\\same.txt", "old"));
    {
        HeldOpen held(f.src + L"\\G\\same.txt", FILE_SHARE_READ);
        ASSERT_TRUE(held.IsOpen());
        EXPECT_NE(MoveOnce(Policy(1, 1), f.src + L"\\G", there), OperationStatus::Succeeded);
    }
    EXPECT_EQ(ReadUtf8(f.src + L"\\G\\same.txt"), "new");
    EXPECT_EQ(ReadUtf8(there + L"\\G\\same.txt"), "old");
    EXPECT_FALSE(AnyProbeName(there + L"\\G"));
}

// ------------------------------------------- copies cut short, full disks

std::vector<unsigned char> Pattern(std::size_t size, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 31 + seed * 7) % 251);
    return bytes;
}

// A folder on another file system than the temporary folders, removed at
// the end; empty when there is none.
struct OtherVolumeFolder {
    std::wstring path;
    explicit OtherVolumeFolder(const std::wstring& root) {
        if (!IsFolderOnDisk(root)) return;
        path = root + L"\\ordvale-executor-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        if (!MakeFolder(path)) path.clear();
    }
    ~OtherVolumeFolder() {
        if (!path.empty()) RemoveTree(path);
    }
};

bool AnyPartialCopy(const std::wstring& root) {
    for (const auto& entry : FolderTree(root))
        if (entry.first.find(L".ordvale-partial") != std::wstring::npos) return true;
    return false;
}

// A copy that fails half-way (injected: the disk "fills" after 100,000
// bytes) leaves nothing cut short: the copy is removed, what stood there
// before is untouched, the source stays, the item ends Failed, and a retry
// carries it whole. Copies on one volume, moves to another volume, a
// replacement there, a folder whose files go one by one.
TEST(Executor, CopyFailingHalfWayLeavesNothingCutShort) {
    OtherVolumeFolder other(L"Z:\\dev\\shm");
    if (other.path.empty()) GTEST_SKIP() << "no second file system at hand (Z:\\dev\\shm)";
    struct Row {
        const char* what;
        OperationKind kind;
        bool acrossVolumes;
        int32_t fileConflict;
        bool standing;  // a file of the same name stands there
        bool folder;
    } rows[] = {
        {"copy, one volume", OperationKind::Copy, false, 0, false, false},
        {"copy over a file, one volume", OperationKind::Copy, false, 1, true, false},
        {"move across volumes", OperationKind::Move, true, 0, false, false},
        {"move over a file across volumes", OperationKind::Move, true, 1, true, false},
        {"move of a folder across volumes", OperationKind::Move, true, 0, false, true},
        {"copy of a folder", OperationKind::Copy, false, 0, false, true},
    };
    for (const Row& row : rows) {
        for (bool shellWindow : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (shellWindow ? ", shell window" : ""));
            Folders f;
            const std::wstring dst = row.acrossVolumes ? other.path + L"\\dst" : f.dst;
            ASSERT_TRUE(MakeFolder(dst));
            std::wstring from = f.src + L"\\big.bin";
            if (row.folder) {
                from = f.src + L"\\F";
                ASSERT_TRUE(MakeFolder(from));
                ASSERT_TRUE(WriteText(from + L"\\small.txt", "small"));
                ASSERT_TRUE(WriteBytes(from + L"\\big.bin", Pattern(300000, 1)));
            } else {
                ASSERT_TRUE(WriteBytes(from, Pattern(300000, 1)));
            }
            if (row.standing) {
                ASSERT_TRUE(WriteText(dst + L"\\big.bin", "old"));
            }
            const auto sourceBefore = FolderTree(f.src);
            const auto destinationBefore = FolderTree(dst);

            ExecutorFaults faults;
            faults.copyFailsAfterBytes = 100000;
            ExecutionState state;
            state.faults = &faults;
            RecordingSink sink;
            const OrdvaleSettings settings = Policy(row.fileConflict, 1, shellWindow);
            Operation op = MakeOp(row.kind, from, dst);
            EXPECT_EQ(Execute(settings, &op, &sink, &state), OperationStatus::Failed);
            EXPECT_FALSE(AnyPartialCopy(dst));
            if (row.folder && row.kind == OperationKind::Move) {
                // The small file went whole; the big one stays whole.
                EXPECT_EQ(ReadUtf8(dst + L"\\F\\small.txt"), "small");
                EXPECT_EQ(Names(dst + L"\\F"), NameList{L"small.txt"});
                EXPECT_EQ(ReadBytes(from + L"\\big.bin"), Pattern(300000, 1));
            } else if (row.folder) {
                EXPECT_EQ(FolderTree(f.src), sourceBefore);
                EXPECT_EQ(ReadUtf8(dst + L"\\F\\small.txt"), "small");
                EXPECT_FALSE(Exists(dst + L"\\F\\big.bin"));
            } else {
                EXPECT_EQ(FolderTree(f.src), sourceBefore);
                EXPECT_EQ(FolderTree(dst), destinationBefore);
            }

            // The retry, with nothing in the way.
            faults.copyFailsAfterBytes = -1;
            state.BeginPass();
            EXPECT_EQ(Execute(settings, &op, &sink, &state), OperationStatus::Succeeded);
            const std::wstring arrived = row.folder ? dst + L"\\F\\big.bin" : dst + L"\\big.bin";
            EXPECT_EQ(ReadBytes(arrived), Pattern(300000, 1));
            EXPECT_EQ(Exists(from), row.kind == OperationKind::Copy);
            EXPECT_FALSE(AnyPartialCopy(dst));
            if (row.folder) {
                EXPECT_EQ(ReadUtf8(dst + L"\\F\\small.txt"), "small");
            }
            if (row.acrossVolumes) RemoveTree(dst);
        }
    }
}

// The small volume D: of the test session (1 MiB, mounted when the tests
// run as root). Eight files of 300 KB moved onto it: those that fit arrive
// whole and leave their source, the others stay whole at their source with
// nothing of them at the destination, and end Failed.
TEST(Executor, FullVolumeLeavesEveryFileWholeInOnePlace) {
    ULARGE_INTEGER freeBytes = {}, totalBytes = {};
    if (!GetDiskFreeSpaceExW(L"D:\\", &freeBytes, &totalBytes, nullptr) || totalBytes.QuadPart > 4u << 20)
        GTEST_SKIP() << "D: is not the small volume of the test session (scripts/test mounts a 1 MiB one "
                        "when run as root)";
    OtherVolumeFolder other(L"D:");
    ASSERT_FALSE(other.path.empty());
    for (bool shellWindow : {false, true}) {
        SCOPED_TRACE(shellWindow ? "shell window" : "directly");
        Folders f;
        constexpr int kFiles = 8;
        for (int i = 0; i < kFiles; ++i)
            ASSERT_TRUE(WriteBytes(f.src + L"\\f" + std::to_wstring(i) + L".bin", Pattern(300 * 1024, i)));
        ExecutionState state;
        RecordingSink sink;
        std::vector<Operation> ops;
        for (int i = 0; i < kFiles; ++i)
            ops.push_back(MakeOp(OperationKind::Move, f.src + L"\\f" + std::to_wstring(i) + L".bin", other.path));
        int moved = 0;
        for (int i = 0; i < kFiles; ++i) {
            SCOPED_TRACE(i);
            const std::wstring name = L"\\f" + std::to_wstring(i) + L".bin";
            const OperationStatus status = Execute(Policy(0, 1, shellWindow), &ops[i], &sink, &state);
            if (status == OperationStatus::Succeeded) {
                ++moved;
                EXPECT_EQ(ReadBytes(other.path + name), Pattern(300 * 1024, i));
                EXPECT_FALSE(Exists(f.src + name));
            } else {
                EXPECT_EQ(status, OperationStatus::Failed);
                EXPECT_EQ(ReadBytes(f.src + name), Pattern(300 * 1024, i));
                EXPECT_FALSE(Exists(other.path + name));
            }
        }
        EXPECT_GE(moved, 1);
        EXPECT_LT(moved, kFiles);
        EXPECT_EQ(Names(other.path).size(), static_cast<std::size_t>(moved));
        for (const std::wstring& name : Names(other.path)) DeleteFileW((other.path + L"\\" + name).c_str());
    }
    // A replacement that does not fit leaves the file standing there whole,
    // even when its old aside name (the probe name) is taken.
    Folders f;
    ASSERT_TRUE(WriteBytes(other.path + L"\\big.bin", Pattern(200 * 1024, 9)));
    ASSERT_TRUE(WriteText(other.path + L"\\big.bin" + kProbeSuffix, "taken"));
    ASSERT_TRUE(WriteBytes(f.src + L"\\big.bin", Pattern(1536 * 1024, 10)));
    EXPECT_EQ(MoveOnce(Policy(1, 1), f.src + L"\\big.bin", other.path), OperationStatus::Failed);
    EXPECT_EQ(ReadBytes(other.path + L"\\big.bin"), Pattern(200 * 1024, 9));
    EXPECT_EQ(ReadBytes(f.src + L"\\big.bin"), Pattern(1536 * 1024, 10));
    EXPECT_FALSE(AnyPartialCopy(other.path));
}

// ------------------------------------------------ replaced files set aside

// Takes the run of the journal back as the engine does: its undo plan
// carried out by the executor, then the folders it made removed.
// `beforeRemoving`: what happens while the undo runs, before the folders
// the run made are removed.
void TakeBack(const std::wstring& history, const std::wstring& runId,
              const std::function<void()>& beforeRemoving = nullptr) {
    EngineContext context;
    UndoRun run;
    ASSERT_TRUE(PlanUndoOperations(&context, history, runId, &run));
    ExecutionState state;
    RecordingSink sink;
    for (const auto& op : context.operations) {
        RunOperation(context.settings, op.get(), &sink, &state);
        EXPECT_EQ(static_cast<OperationStatus>(op->status), OperationStatus::Succeeded)
            << Narrow(std::wstring(op->source.path));
    }
    if (beforeRemoving) beforeRemoving();
    RemoveEmptiedFolders(&run, nullptr);
    EXPECT_TRUE(run.partialsKept.empty()) << Narrow(run.partialsKept.front());
}

std::vector<std::wstring> KindsOf(const std::wstring& history, const std::wstring& runId) {
    RunJournal journal;
    EXPECT_TRUE(ReadJournalFile(history, runId, &journal));
    std::vector<std::wstring> kinds;
    for (const JournalEntry& e : journal.entries) kinds.push_back(JournalKindWord(e.kind));
    return kinds;
}

// Gives the file the times of an hour ago: it stood there before the run.
void MakeAnHourOld(const std::wstring& path) {
    win::UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME hourAgo;
    GetSystemTimeAsFileTime(&hourAgo);
    ULARGE_INTEGER t = {{hourAgo.dwLowDateTime, hourAgo.dwHighDateTime}};
    t.QuadPart -= 36000000000ull;
    hourAgo = {t.LowPart, t.HighPart};
    EXPECT_TRUE(SetFileTime(file.Get(), &hourAgo, &hourAgo, &hourAgo)) << Narrow(path);
}

// A tree as one line per item: its path and, for a file, its size and a
// hash of its content (large files compare without being shown).
std::string Digest(const std::map<std::wstring, std::string>& tree) {
    std::string text;
    for (const auto& entry : tree) {
        uint64_t h = 14695981039346656037ull;
        for (unsigned char c : entry.second) h = (h ^ c) * 1099511628211ull;
        text += Narrow(entry.first) + " " + std::to_string(entry.second.size()) + " " + std::to_string(h) + "\n";
    }
    return text;
}

// The runner dies in the middle of a copy to another volume (injected: once
// 100,000 bytes of the file are written), before the copy's completion is on
// the disk; the copy's temporary file stays beside where it was to arrive.
// Taking the run back deletes it and nothing else the run did not make: the
// source is where it was. A file of that name that stood there before the
// run is someone else's and stays, while the copy's own (which took the
// next name) goes; so does one the copy left under the numbered name its
// item was to arrive under, and one inside a folder moved item by item
// (whose files moved whole go back, and whose folders made go). A
// temporary file changed since the run, or while the undo runs, stays as it
// is. The run may also die once a copy stands whole, before its source
// goes: that copy goes too, while a copy of the same file that stood there
// before the run stays. On every other volume at hand.
TEST(Executor, UndoOfARunDeadMidCopyRemovesOnlyTheCopysTemporaryFile) {
    OtherVolumeFolder shm(L"Z:\\dev\\shm");
    ULARGE_INTEGER freeBytes = {}, totalBytes = {};
    const bool smallD = GetDiskFreeSpaceExW(L"D:\\", &freeBytes, &totalBytes, nullptr) && totalBytes.QuadPart <= 4u << 20;
    OtherVolumeFolder d(smallD ? L"D:" : L"");
    if (shm.path.empty() && d.path.empty()) GTEST_SKIP() << "no second file system at hand (Z:\\dev\\shm, D:)";
    enum class Written { Never, SinceRun, WhileUndoing };
    struct Row {
        const char* what;
        bool folder;    // F (a.txt, sub\big.bin) moves; otherwise big.bin
        bool merged;    // F\sub stands at the destination (with an older file) and F merges into it
        bool beside;    // the same, but F arrives beside it as "F (2)"
        bool taken;     // a file big.bin stands where big.bin arrives: it comes as "big (2).bin"
        bool standing;  // a file of the copy's first temporary name stood there before the run
        Written written;  // when the temporary file was written to after the run, past the item's size
        bool whole;     // the run dies once the copy stands whole under its name, its source not yet gone
        bool twin;      // what stands under big.bin's name is a hidden copy of it, of its size and times
    } rows[] = {
        {"nothing stood there", false, false, false, false, false, Written::Never, false, false},
        {"a file of the temporary name stood there", false, false, false, false, true, Written::Never, false, false},
        {"renamed on arrival", false, false, false, true, false, Written::Never, false, false},
        {"renamed on arrival, its temporary name taken", false, false, false, true, true, Written::Never, false, false},
        {"written to since the run", false, false, false, false, false, Written::SinceRun, false, false},
        {"written to as the undo ran", false, false, false, false, false, Written::WhileUndoing, false, false},
        {"inside a folder", true, false, false, false, false, Written::Never, false, false},
        {"inside a merged folder, its temporary name taken", true, true, false, false, true, Written::Never, false, false},
        {"inside a folder renamed on arrival", true, false, true, false, false, Written::Never, false, false},
        {"inside a merged folder, renamed on arrival", true, true, false, true, false, Written::Never, false, false},
        {"the copy whole, its source not gone", false, false, false, false, false, Written::Never, true, false},
        {"the copy whole, renamed on arrival", false, false, false, true, false, Written::Never, true, false},
        {"the copy whole, a copy of it stood there", false, false, false, true, false, Written::Never, true, true},
        {"inside a folder, a copy whole", true, false, false, false, false, Written::Never, true, false},
        {"inside a merged folder, a copy whole", true, true, false, true, false, Written::Never, true, false},
    };
    for (const std::wstring& volume : {shm.path, d.path}) {
        if (volume.empty()) continue;
        for (const Row& row : rows) {
            SCOPED_TRACE(Narrow(volume) + ", " + row.what);
            Folders f;
            const std::wstring history = f.dir / L"History";
            const std::wstring dst = volume + L"\\dst";
            ASSERT_TRUE(MakeFolder(dst));
            const std::wstring from = row.folder ? f.src + L"\\F" : f.src + L"\\big.bin";
            // Where big.bin goes.
            const std::wstring into = !row.folder ? dst : row.beside ? dst + L"\\F (2)\\sub" : dst + L"\\F\\sub";
            if (row.folder) {
                ASSERT_TRUE(MakeFolder(from));
                ASSERT_TRUE(MakeFolder(from + L"\\sub"));
                ASSERT_TRUE(WriteText(from + L"\\a.txt", "small"));
                ASSERT_TRUE(WriteBytes(from + L"\\sub\\big.bin", Pattern(300000, 5)));
            } else {
                ASSERT_TRUE(WriteBytes(from, Pattern(300000, 5)));
            }
            if (row.merged || row.beside) {
                ASSERT_TRUE(MakeFolder(dst + L"\\F"));
                ASSERT_TRUE(MakeFolder(dst + L"\\F\\sub"));
                ASSERT_TRUE(WriteText(dst + L"\\F\\sub\\old.txt", "old"));
                MakeAnHourOld(dst + L"\\F\\sub\\old.txt");
            }
            if (row.twin) {
                ASSERT_TRUE(CopyFileW(from.c_str(), (into + L"\\big.bin").c_str(), TRUE));
                ASSERT_TRUE(SetFileAttributesW((into + L"\\big.bin").c_str(), FILE_ATTRIBUTE_HIDDEN));
                Sleep(1100);  // so that the run begins after it was last changed
            } else if (row.taken) {
                ASSERT_TRUE(WriteText(into + L"\\big.bin", "theirs"));
                MakeAnHourOld(into + L"\\big.bin");
            }
            const std::wstring arrival = into + (row.taken ? L"\\big (2).bin" : L"\\big.bin");
            const std::wstring theirs = arrival + L".ordvale-partial";
            if (row.standing) {
                // Smaller than the item, written an hour before the run.
                ASSERT_TRUE(WriteBytes(theirs, Pattern(1000, 6)));
                MakeAnHourOld(theirs);
            }
            const auto sourceBefore = FolderTree(f.src);
            const auto destinationBefore = FolderTree(dst);

            std::wstring runId;
            std::vector<unsigned char> journalAtDeath;
            {
                // The run began a second ago.
                JournalWriter journal(history, RunIdSecondsAgo(1));
                ASSERT_TRUE(journal.Begin());
                JournalEntry planned;
                planned.kind = JournalKind::Move;
                planned.source = from;
                planned.destination = dst + (row.folder ? L"\\F" : L"\\big.bin");
                ReadSizeAndLastWrite(from, &planned.size, &planned.lastWrite);
                const int32_t index = journal.Plan(planned);
                ASSERT_GE(index, 0);
                ASSERT_TRUE(journal.CommitPlan());
                ExecutorFaults faults;
                faults.runDiesAfterCopiedBytes = row.whole ? -1 : 100000;
                faults.runDiesOnceCopyArrives = row.whole;
                ExecutionState state;
                state.journal = &journal;
                state.faults = &faults;
                state.planned.index = index;
                state.planned.source = planned.source;
                state.planned.destination = planned.destination;
                RecordingSink sink;
                Operation op = MakeOp(OperationKind::Move, from, dst);
                EXPECT_EQ(Execute(Policy(0, row.beside ? 0 : 1), &op, &sink, &state), OperationStatus::Failed);
                // Dead: nothing more reaches the journal, not even its end;
                // it stays as the disk holds it now.
                journal.FailFromNowOn();
                runId = journal.RunId();
                win::UniqueHandle file(CreateFileW(JournalFileIn(history, runId).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                   nullptr));
                journalAtDeath.resize(1 << 16);
                DWORD got = 0;
                if (!file || !ReadFile(file.Get(), journalAtDeath.data(), 1 << 16, &got, nullptr)) got = 0;
                journalAtDeath.resize(got);
            }
            ASSERT_FALSE(journalAtDeath.empty());
            ASSERT_TRUE(WriteBytes(JournalFileIn(history, runId), journalAtDeath));
            const std::wstring ours = row.standing ? arrival + L".1.ordvale-partial" : theirs;
            if (row.whole && row.folder) {
                EXPECT_TRUE(Exists(dst + L"\\F\\a.txt") || Exists(arrival)) << "one of its files stands whole";
            } else if (row.whole) {
                ASSERT_EQ(ReadBytes(arrival), Pattern(300000, 5)) << "the copy is left whole as the run died";
            } else {
                ASSERT_EQ(ReadBytes(ours).size(), 100000u) << "the copy cut short is left as the run died";
            }
            EXPECT_EQ(ReadBytes(from + (row.folder ? L"\\sub\\big.bin" : L"")), Pattern(300000, 5));
            if (row.folder && row.whole) {
                EXPECT_EQ(ReadUtf8(from + L"\\a.txt"), "small");
            }
            auto destinationAfter = destinationBefore;
            auto writeToIt = [&] {
                const std::vector<unsigned char> more = Pattern(300000, 7);
                {
                    win::UniqueHandle file(CreateFileW(ours.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0,
                                                       nullptr));
                    DWORD wrote = 0;
                    ASSERT_TRUE(file && WriteFile(file.Get(), more.data(), static_cast<DWORD>(more.size()), &wrote,
                                                  nullptr) && wrote == more.size());
                }
                const std::vector<unsigned char> bytes = ReadBytes(ours);
                destinationAfter[ours.substr(dst.size() + 1)] = std::string(bytes.begin(), bytes.end());
            };
            if (row.written == Written::SinceRun) writeToIt();

            TakeBack(history, runId, [&] {
                if (row.written == Written::WhileUndoing) writeToIt();
            });
            EXPECT_EQ(Digest(FolderTree(dst)), Digest(destinationAfter));
            EXPECT_EQ(Digest(FolderTree(f.src)), Digest(sourceBefore));
            if (row.standing) {
                EXPECT_EQ(ReadBytes(theirs), Pattern(1000, 6));
            }
            RemoveTree(dst);
        }
    }
}

// Overwrite never destroys: the file standing there is renamed into a
// hidden folder beside it (the same volume), the journal has it before the
// new one arrives, and the undo puts both back where they were. On one
// volume and across volumes, and inside a merge.
TEST(Executor, OverwriteSetsTheReplacedFileAsideAndTheUndoPutsItBack) {
    OtherVolumeFolder other(L"Z:\\dev\\shm");
    struct Row {
        const char* what;
        OperationKind kind;
        bool acrossVolumes;
        bool inFolder;  // a.jpg inside F, merged into the F standing there
    } rows[] = {
        {"move", OperationKind::Move, false, false},
        {"move across volumes", OperationKind::Move, true, false},
        {"merge", OperationKind::Move, false, true},
        {"merge across volumes", OperationKind::Move, true, true},
    };
    for (const Row& row : rows) {
        if (row.acrossVolumes && other.path.empty()) continue;
        SCOPED_TRACE(row.what);
        Folders f;
        const std::wstring dst = row.acrossVolumes ? other.path + L"\\dst" : f.dst;
        const std::wstring history = f.dir / L"History";
        ASSERT_TRUE(MakeFolder(dst));
        const std::wstring from = row.inFolder ? f.src + L"\\F" : f.src + L"\\a.jpg";
        const std::wstring there = row.inFolder ? dst + L"\\F" : dst;
        if (row.inFolder) {
            ASSERT_TRUE(MakeFolder(from));
            ASSERT_TRUE(MakeFolder(there));
        }
        ASSERT_TRUE(WriteText(f.src + (row.inFolder ? L"\\F\\a.jpg" : L"\\a.jpg"), "new"));
        ASSERT_TRUE(WriteText(there + L"\\a.jpg", "old"));
        const auto sourceBefore = FolderTree(f.src);
        const auto destinationBefore = FolderTree(dst);
        std::wstring runId;
        {
            JournalWriter journal(history, L"20261210-120000-000");
            ExecutionState state;
            state.journal = &journal;
            RecordingSink sink;
            Operation op = MakeOp(row.kind, from, dst);
            EXPECT_EQ(Execute(Policy(1, 1), &op, &sink, &state), OperationStatus::Succeeded);
            runId = journal.RunId();
        }
        EXPECT_EQ(ReadUtf8(there + L"\\a.jpg"), "new");
        const std::wstring aside = there + L"\\" + kSetAsideFolder;
        EXPECT_EQ(ReadUtf8(aside + L"\\a.jpg"), "old");
        EXPECT_TRUE(GetFileAttributesW(aside.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        const std::vector<std::wstring> kinds = KindsOf(history, runId);
        const auto setAside = std::find(kinds.begin(), kinds.end(), L"SetAside");
        const auto replaced = std::find(kinds.begin(), kinds.end(), L"Replace");
        EXPECT_TRUE(setAside < replaced && replaced != kinds.end()) << "the file set aside is recorded first";

        TakeBack(history, runId);
        EXPECT_EQ(FolderTree(dst), destinationBefore);
        EXPECT_EQ(FolderTree(f.src), sourceBefore);
        if (row.acrossVolumes) RemoveTree(dst);
    }
}

// The file standing there is never written over, not even when its aside
// name is taken or too long: another name is found, and a copy that fails
// leaves it as it was.
TEST(Executor, ReplacementFindsAnotherAsideNameAndNeverWritesOver) {
    OtherVolumeFolder other(L"Z:\\dev\\shm");
    if (other.path.empty()) GTEST_SKIP() << "no second file system at hand (Z:\\dev\\shm)";
    {
        SCOPED_TRACE("aside name taken, copy failing across volumes");
        Folders f;
        const std::wstring aside = other.path + L"\\" + kSetAsideFolder;
        ASSERT_TRUE(MakeFolder(aside));
        ASSERT_TRUE(WriteText(aside + L"\\a.jpg", "older"));
        ASSERT_TRUE(WriteText(other.path + L"\\a.jpg{AB025B2A-B9AC-47A6-A683-43408E63A988}", "probe"));
        ASSERT_TRUE(WriteText(other.path + L"\\a.jpg", "old"));
        ASSERT_TRUE(WriteBytes(f.src + L"\\a.jpg", Pattern(300000, 3)));
        ExecutorFaults faults;
        faults.copyFailsAfterBytes = 1000;
        ExecutionState state;
        state.faults = &faults;
        RecordingSink sink;
        Operation op = MakeOp(OperationKind::Move, f.src + L"\\a.jpg", other.path);
        EXPECT_EQ(Execute(Policy(1, 1), &op, &sink, &state), OperationStatus::Failed);
        EXPECT_EQ(ReadUtf8(other.path + L"\\a.jpg"), "old");
        EXPECT_EQ(ReadUtf8(aside + L"\\a.jpg"), "older");
        EXPECT_EQ(Names(aside), NameList{L"a.jpg"});
        EXPECT_EQ(ReadBytes(f.src + L"\\a.jpg"), Pattern(300000, 3));
        // Without the fault it goes, and the old one is kept under the next name.
        faults.copyFailsAfterBytes = -1;
        EXPECT_EQ(Execute(Policy(1, 1), &op, &sink, &state), OperationStatus::Succeeded);
        EXPECT_EQ(ReadBytes(other.path + L"\\a.jpg"), Pattern(300000, 3));
        EXPECT_EQ(ReadUtf8(aside + L"\\a.jpg"), "older");
        EXPECT_EQ(ReadUtf8(aside + L"\\a (2).jpg"), "old");
    }
    {
        SCOPED_TRACE("aside path too long for the name");
        Folders f;
        // "<folder>\~ordvale-replaced\<name>" is longer than 259; a short
        // name fits.
        const std::wstring folder = MakeFolderOfLength(f.dst, 200);
        const std::wstring name = std::wstring(40, L'n') + L".jpg";
        ASSERT_TRUE(WriteText(folder + L"\\" + name, "old"));
        ASSERT_TRUE(WriteText(f.src + L"\\" + name, "new"));
        EXPECT_EQ(MoveOnce(Policy(1, 1), f.src + L"\\" + name, folder), OperationStatus::Succeeded);
        EXPECT_EQ(ReadUtf8(folder + L"\\" + name), "new");
        EXPECT_EQ(ReadUtf8(folder + L"\\" + kSetAsideFolder + L"\\~1.jpg"), "old");
        RemoveLongTree(f.dir.Path());
    }
}

// ---------------------------------------------------------- shell flags

TEST(CopyMoveFlags, FollowTheConflictSettings) {
    constexpr unsigned kAlways = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    constexpr uint32_t kFile = kAttrFileSystem | kAttrStream;
    constexpr uint32_t kFolder = kAttrFileSystem | kAttrFolder;
    constexpr uint32_t kArchive = kFile | kAttrFolder;
    struct Row {
        uint32_t attributes;
        int32_t fileConflict;
        int32_t folderConflict;
        bool shellWindow;
        unsigned expected;
    } rows[] = {
        {kFile, 0, 1, false, FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION | FOF_SILENT},
        {kFile, 1, 0, false, FOF_NOCONFIRMATION | FOF_SILENT},
        {kFile, 2, 0, false, FOF_SILENT},
        {kFile, 9, 2, true, FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION | FOF_SIMPLEPROGRESS},
        {kFolder, 2, 0, false, FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION | FOF_SILENT},
        {kFolder, 0, 1, true, FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS},
        {kFolder, 0, 2, false, FOF_SILENT},
        {kFolder, 0, 3, false, FOF_NOCONFIRMATION | FOF_SILENT},
        // An archive is a file and a folder: both steps, the folder's last.
        {kArchive, 2, 0, false, FOF_RENAMEONCOLLISION | FOF_SILENT},
        {kArchive, 1, 1, false, FOF_NOCONFIRMATION | FOF_SILENT},
        {kArchive, 0, 2, true, FOF_SIMPLEPROGRESS},
        {kArchive, 0, 3, false, FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION | FOF_SILENT},
        {0, 2, 2, false, FOF_NOCONFIRMATION | FOF_SILENT},
    };
    for (const Row& row : rows) {
        Item item;
        item.attributes = row.attributes;
        EXPECT_EQ(CopyMoveFlags(Policy(row.fileConflict, row.folderConflict, row.shellWindow), item),
                  row.expected | kAlways)
            << std::hex << row.attributes << std::dec << " file " << row.fileConflict
            << " folder " << row.folderConflict << " window " << row.shellWindow;
    }
}

// ------------------------------------------------------------- timing

// Not a test of speed: prints what a move costs per file next to a bare
// MoveFileExW loop and the shell's FO_MOVE. Runs only with
// ORDVALE_EXECUTOR_TIMING=1 in the environment.
TEST(ExecutorTiming, CostPerFile) {
    wchar_t flag[8] = {};
    if (!GetEnvironmentVariableW(L"ORDVALE_EXECUTOR_TIMING", flag, 8) || flag[0] != L'1')
        GTEST_SKIP() << "set ORDVALE_EXECUTOR_TIMING=1 to measure";
    using Clock = std::chrono::steady_clock;
    const int files = 2000;
    const int shellFiles = 2000;
    TempDir dir;
    auto fill = [&](const std::wstring& folder, int n) {
        MakeFolder(folder);
        for (int i = 0; i < n; ++i) WriteText(folder + L"\\file" + std::to_wstring(i) + L".txt", "x");
    };
    auto perFile = [](Clock::time_point since, int n) {
        return std::chrono::duration<double, std::micro>(Clock::now() - since).count() / n;
    };

    fill(dir / L"bare", files);
    MakeFolder(dir / L"bare-to");
    auto t = Clock::now();
    for (int i = 0; i < files; ++i) {
        const std::wstring name = L"\\file" + std::to_wstring(i) + L".txt";
        MoveFileExW((dir / L"bare" + name).c_str(), (dir / L"bare-to" + name).c_str(),
                    MOVEFILE_COPY_ALLOWED);
    }
    const double bare = perFile(t, files);

    // The parts, in a folder of the same size.
    fill(dir / L"parts", files);
    auto partFile = [&](int i) { return dir / L"parts" + L"\\file" + std::to_wstring(i) + L".txt"; };
    t = Clock::now();
    for (int i = 0; i < files; ++i) {
        Item item;
        SetPath(&item, partFile(i).c_str());
        Refresh(&item);
    }
    const double refresh = perFile(t, files);
    t = Clock::now();
    for (int i = 0; i < files; ++i) {
        uint32_t flags = 0;
        FastAttributes(partFile(i).c_str(), &flags);
    }
    const double fast = perFile(t, files);
    t = Clock::now();
    for (int i = 0; i < files; ++i) GetFileAttributesW(partFile(i).c_str());
    const double hit = perFile(t, files);
    t = Clock::now();
    for (int i = 0; i < files; ++i) GetFileAttributesW((partFile(i) + L"-missing").c_str());
    const double miss = perFile(t, files);
    t = Clock::now();
    for (int i = 0; i < files; ++i) {
        Item item;
        SetPath(&item, partFile(i).c_str());
        ProbeNotInUse(&item);
    }
    const double probe = perFile(t, files);

    fill(dir / L"run", files);
    MakeFolder(dir / L"run-to");
    RecordingSink sink;
    ExecutionState state;
    state.BeginPass();
    int moved = 0;
    t = Clock::now();
    for (int i = 0; i < files; ++i) {
        Operation op = MakeOp(OperationKind::Move, dir / L"run" + L"\\file" + std::to_wstring(i) + L".txt",
                              dir / L"run-to");
        if (Execute(Policy(0, 3), &op, &sink, &state) == OperationStatus::Succeeded) ++moved;
        sink.sent.clear();
    }
    const double run = perFile(t, files);
    EXPECT_EQ(moved, files);

    fill(dir / L"shell", shellFiles);
    MakeFolder(dir / L"shell-to");
    t = Clock::now();
    for (int i = 0; i < shellFiles; ++i) {
        const std::wstring from = dir / L"shell" + L"\\file" + std::to_wstring(i) + L".txt";
        std::wstring fromList = from + L'\0';
        std::wstring toList = dir / L"shell-to" + L'\0';
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_MOVE;
        op.pFrom = fromList.c_str();
        op.pTo = toList.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR |
                    FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationW(&op);
    }
    const double shell = perFile(t, shellFiles);

    fill(dir / L"run-shell", shellFiles);
    MakeFolder(dir / L"run-shell-to");
    t = Clock::now();
    for (int i = 0; i < shellFiles; ++i) {
        Operation op = MakeOp(OperationKind::Move,
                              dir / L"run-shell" + L"\\file" + std::to_wstring(i) + L".txt",
                              dir / L"run-shell-to");
        Execute(Policy(0, 3, true), &op, &sink, &state);
        sink.sent.clear();
    }
    const double runShell = perFile(t, shellFiles);

    std::printf("per file, microseconds (%d files; shell rows %d files)\n", files, shellFiles);
    std::printf("  bare MoveFileExW loop        %8.0f\n", bare);
    std::printf("  RunOperation, direct         %8.0f  (%.1fx bare)\n", run, run / bare);
    std::printf("  Refresh                      %8.0f\n", refresh);
    std::printf("  FastAttributes               %8.0f\n", fast);
    std::printf("  GetFileAttributesW, found    %8.0f\n", hit);
    std::printf("  GetFileAttributesW, missing  %8.0f\n", miss);
    std::printf("  ProbeNotInUse                %8.0f\n", probe);
    std::printf("  bare SHFileOperationW FO_MOVE%8.0f\n", shell);
    std::printf("  RunOperation, shell window   %8.0f\n", runShell);
}

}  // namespace
