// The preview's rows without the window: counts per destination folder,
// the order a column click gives, and the rows of taking a run back.
#include <gtest/gtest.h>

#include <iterator>

#include "PreviewModel.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace ordvale::wizard;
using namespace testing_support;

namespace {

PreviewRow Row(const wchar_t* item, const wchar_t* folder, Arrival arrival, const wchar_t* newName = L"") {
    return PreviewRow{item, folder, newName, arrival};
}

const std::vector<PreviewRow> kRows = {
    Row(L"C:\\D\\b.jpg", L"C:\\D\\Pictures", Arrival::Moved),
    Row(L"C:\\D\\a.txt", L"C:\\D\\Documents", Arrival::Moved),
    Row(L"C:\\D\\setup.part", L"", Arrival::BeingWritten),
    Row(L"C:\\D\\A.jpg", L"c:\\d\\pictures", Arrival::Renamed, L"A (2).jpg"),
    Row(L"C:\\D\\odd", L"", Arrival::NoRule),
    Row(L"C:\\E\\c.jpg", L"C:\\D\\Pictures", Arrival::Replaced),
};

std::vector<std::wstring> Names(const std::vector<PreviewRow>& rows, const std::vector<std::size_t>& order) {
    std::vector<std::wstring> names;
    for (std::size_t i : order) names.push_back(RowName(rows[i]));
    return names;
}

}  // namespace

// One line per destination folder (letter case aside), in path order, the
// items that stay at the end.
TEST(PreviewModel, CountsPerDestinationFolder) {
    const std::vector<FolderCount> counts = CountByFolder(kRows);
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(counts[0].folder, L"C:\\D\\Documents");
    EXPECT_EQ(counts[0].items, 1u);
    EXPECT_EQ(counts[1].folder, L"C:\\D\\Pictures");
    EXPECT_EQ(counts[1].items, 3u);
    EXPECT_EQ(counts[2].folder, L"");
    EXPECT_EQ(counts[2].items, 2u);
    EXPECT_TRUE(CountByFolder({}).empty());
}

TEST(PreviewModel, ColumnsSortAndFolderFilters) {
    using Names_ = std::vector<std::wstring>;
    struct Case {
        const char* what;
        int column;
        bool ascending;
        bool only;
        const wchar_t* folder;
        Names_ expected;
    };
    const Case cases[] = {
        {"by destination: folders in order, names within, staying last", kColumnTo, true, false, L"",
         {L"a.txt", L"A.jpg", L"b.jpg", L"c.jpg", L"odd", L"setup.part"}},
        {"by name", kColumnName, true, false, L"", {L"A.jpg", L"a.txt", L"b.jpg", L"c.jpg", L"odd", L"setup.part"}},
        {"by name, descending", kColumnName, false, false, L"",
         {L"setup.part", L"odd", L"c.jpg", L"b.jpg", L"a.txt", L"A.jpg"}},
        {"by the folder it is in", kColumnFrom, true, false, L"",
         {L"a.txt", L"A.jpg", L"b.jpg", L"odd", L"setup.part", L"c.jpg"}},
        {"by what happens", kColumnArrival, true, false, L"",
         {L"a.txt", L"b.jpg", L"A.jpg", L"c.jpg", L"odd", L"setup.part"}},
        {"one folder only, letter case aside", kColumnName, true, true, L"C:\\D\\PICTURES", {L"A.jpg", L"b.jpg", L"c.jpg"}},
        {"only what stays", kColumnName, true, true, L"", {L"odd", L"setup.part"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Names(kRows, SortRows(kRows, c.column, c.ascending, c.only, c.folder)), c.expected);
    }
}

// Steps become rows in the order they run; what stays follows with its
// reason; a taken place shows the name the item will get.
TEST(PreviewModel, RowsOfTakingARunBack) {
    UndoPlan plan;
    auto step = [&](UndoAction action, const wchar_t* from, const wchar_t* to, const wchar_t* arrival) {
        UndoStep s;
        s.action = action;
        s.from = from;
        s.to = to;
        s.arrival = arrival;
        plan.steps.push_back(s);
        return &plan.steps.back();
    };
    step(UndoAction::CreateFolder, L"C:\\D\\X", L"", L"");
    step(UndoAction::MoveBack, L"C:\\D\\P\\a.jpg", L"C:\\D\\a.jpg", L"C:\\D\\a.jpg");
    step(UndoAction::MoveBack, L"C:\\D\\P\\b.jpg", L"C:\\D\\b.jpg", L"C:\\D\\b (2).jpg");
    step(UndoAction::MoveBack, L"C:\\D\\P\\c.jpg", L"C:\\D\\c.jpg", L"C:\\D\\c.jpg")->replaced = true;
    step(UndoAction::DeleteCopy, L"C:\\D\\copy.txt", L"C:\\D\\a.txt", L"");
    step(UndoAction::RemoveFolder, L"C:\\D\\P", L"", L"");
    step(UndoAction::RemoveFolder, L"C:\\D\\Q", L"", L"")->willEmpty = false;
    plan.left.push_back(UndoLeftItem{L"C:\\D\\P\\d.jpg", L"C:\\D\\d.jpg", UndoReason::Changed});
    plan.left.push_back(UndoLeftItem{L"C:\\D\\P\\e.jpg", L"C:\\D\\e.jpg", UndoReason::Missing});
    plan.left.push_back(UndoLeftItem{L"C:\\D\\f.txt", L"C:\\D\\f.txt", UndoReason::Recycled});
    plan.left.push_back(UndoLeftItem{L"C:\\D\\P\\g.jpg", L"C:\\D\\Y\\g.jpg", UndoReason::NoFolder});

    const std::vector<PreviewRow> rows = RowsOfUndo(plan);
    struct Expected {
        const wchar_t* item;
        const wchar_t* folder;
        Arrival arrival;
        const wchar_t* newName;
    };
    const Expected expected[] = {
        {L"C:\\D\\X", L"C:\\D", Arrival::FolderMadeAgain, L""},
        {L"C:\\D\\P\\a.jpg", L"C:\\D", Arrival::MovedBack, L""},
        {L"C:\\D\\P\\b.jpg", L"C:\\D", Arrival::MovedBackRenamed, L"b (2).jpg"},
        {L"C:\\D\\P\\c.jpg", L"C:\\D", Arrival::MovedBackReplaced, L""},
        {L"C:\\D\\copy.txt", L"", Arrival::CopyRecycled, L""},
        {L"C:\\D\\P", L"", Arrival::FolderRemoved, L""},
        {L"C:\\D\\Q", L"", Arrival::FolderKept, L""},
        {L"C:\\D\\P\\d.jpg", L"", Arrival::LeftChanged, L""},
        {L"C:\\D\\P\\e.jpg", L"", Arrival::LeftMissing, L""},
        {L"C:\\D\\f.txt", L"", Arrival::LeftRecycled, L""},
        {L"C:\\D\\P\\g.jpg", L"", Arrival::LeftNoFolder, L""},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(Narrow(expected[i].item));
        EXPECT_EQ(rows[i].item, expected[i].item);
        EXPECT_EQ(rows[i].folder, expected[i].folder);
        EXPECT_EQ(static_cast<int>(rows[i].arrival), static_cast<int>(expected[i].arrival));
        EXPECT_EQ(rows[i].newName, expected[i].newName);
    }
    const PreviewTotals totals = Totals(rows);
    EXPECT_EQ(totals.moving, 4u) << "three moved back and a copy recycled; folders do not count";
    EXPECT_EQ(totals.staying, 4u);
}
