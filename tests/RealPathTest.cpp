// Paths as the file system reaches them: the resolution of a path whose
// leading part exists, through a stand-in for the file system, then links,
// short names and mapped drives on the disk of the test prefix.
#include <gtest/gtest.h>

#include <map>

#include "common/PathText.h"
#include "common/RealPath.h"
#include "common/Text.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// What exists, and where each existing path really is (folded keys).
path::FinalPathLookup FakeDisk(const std::map<std::wstring, std::wstring>& finals, int* asked = nullptr) {
    return [finals, asked](const std::wstring& p, std::wstring* final) {
        if (asked) ++*asked;
        auto found = finals.find(path::FoldCase(p));
        if (found == finals.end()) return false;
        *final = found->second;
        return true;
    };
}

const std::map<std::wstring, std::wstring> kDisk = {
    {L"C:\\", L"C:\\"},
    {L"C:\\T", L"C:\\T"},
    {L"C:\\T\\SORTED", L"C:\\T\\Sorted"},
    {L"C:\\L", L"C:\\T"},                  // a link to the target
    {L"C:\\T\\SORTED~1", L"C:\\T\\Sorted"},  // a short name
    {L"Q:\\", L"C:\\T\\Sorted\\"},          // a drive mapped onto a folder
};

}  // namespace

TEST(RealPath, LongestExistingPartResolvedTheRestAsWritten) {
    struct Row {
        const wchar_t* path;
        const wchar_t* real;
    } rows[] = {
        {L"C:\\L", L"C:\\T"},
        {L"c:\\l\\", L"C:\\T"},
        {L"C:\\L\\Sorted", L"C:\\T\\Sorted"},
        {L"C:\\L\\New\\Deeper", L"C:\\T\\New\\Deeper"},
        {L"C:\\T\\SORTED~1\\Pictures", L"C:\\T\\Sorted\\Pictures"},
        {L"Q:\\", L"C:\\T\\Sorted"},
        {L"Q:\\Pictures\\", L"C:\\T\\Sorted\\Pictures"},
        {L"C:\\Elsewhere\\x", L"C:\\Elsewhere\\x"},
        {L"X:\\nothing\\here", L"X:\\nothing\\here"},  // nothing of it exists
        {L"relative\\x", L"relative\\x"},
        {L"", L""},
    };
    for (const Row& row : rows) EXPECT_EQ(path::RealPath(row.path, FakeDisk(kDisk)), row.real) << Narrow(row.path);
}

TEST(RealPath, FoldersAreLookedUpOnceAndItemsAreTheirOwnNames) {
    int asked = 0;
    path::RealFolders real(FakeDisk(kDisk, &asked));
    EXPECT_EQ(real.Of(L"C:\\L"), L"C:\\T");
    const int once = asked;
    EXPECT_EQ(real.Of(L"c:\\L\\"), L"C:\\T");
    EXPECT_EQ(real.Of(L"C:\\L"), L"C:\\T");
    EXPECT_EQ(asked, once) << "looked up again";
    // An item is its real folder and its own name: a link inside stays
    // the link.
    EXPECT_EQ(real.ItemOf(L"C:\\L\\SORTED~1"), L"C:\\T\\SORTED~1");
    EXPECT_EQ(real.ItemOf(L"Q:\\a.jpg"), L"C:\\T\\Sorted\\a.jpg");
}

// The other names of one folder on disk lead to its one real path; a
// folder not made yet lies where its existing parent really is.
TEST(RealPath, LinksShortNamesAndMappedDrivesOnDisk) {
    TempDir dir;
    const std::wstring target = dir / L"Tidied Items Folder";
    ASSERT_TRUE(MakeFolder(target));
    std::wstring final;
    ASSERT_TRUE(path::FinalPathOnDisk(target, &final));
    EXPECT_TRUE(EqualsNoCase(final, target)) << Narrow(final) << ": no \\\\?\\ left";
    const std::wstring real = path::RealPath(target);

    std::string why;
    const std::wstring link = dir / L"Link";
    if (MakeFolderLink(link, target, &why)) {
        EXPECT_TRUE(EqualsNoCase(path::RealPath(link), real));
        EXPECT_TRUE(EqualsNoCase(path::RealPath(link + L"\\Not Yet\\There"), real + L"\\Not Yet\\There"));
        EXPECT_TRUE(path::SameRealPath(link, target));
        EXPECT_TRUE(path::IsReallyInside(link + L"\\Pictures", target));
        EXPECT_FALSE(path::IsReallyInside(target, link));
    } else {
        ADD_FAILURE() << "no folder link: " << why;
    }
    const std::wstring shortPath = ShortPathOf(target, &why);
    if (!shortPath.empty())
        EXPECT_TRUE(EqualsNoCase(path::RealPath(shortPath + L"\\New"), real + L"\\New")) << Narrow(shortPath);
    else
        std::printf("[ SKIPPED  ] short names: %s\n", why.c_str());
    MappedDrive drive(target);
    if (!drive.Root().empty()) {
        EXPECT_TRUE(path::SameRealPath(drive.Root(), target)) << Narrow(drive.Root());
        EXPECT_TRUE(path::IsReallyInside(drive.Root() + L"Pictures", target));
    } else {
        std::printf("[ SKIPPED  ] mapped drive: %s\n", drive.Why().c_str());
    }
}
