#include "engine/ListedEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ordvale;

// Enough entries of every name length to fill several pieces: each comes
// back once, in order, with its name and fields whole, also the ones at the
// end of a piece.
TEST(ListedEntries, EveryEntryComesBackWholeAcrossPieces) {
    ListedEntries entries;
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < 40000; ++i) {
        WIN32_FIND_DATAW found = {};
        const std::size_t length = 1 + (i * 7) % (MAX_PATH - 1);
        std::wstring name = std::to_wstring(i);
        name.resize(length, static_cast<wchar_t>(L'a' + i % 26));
        wcsncpy(found.cFileName, name.c_str(), MAX_PATH - 1);
        found.dwFileAttributes = static_cast<DWORD>(i);
        found.ftCreationTime.dwLowDateTime = static_cast<DWORD>(i * 3);
        found.ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(i * 5);
        found.nFileSizeHigh = static_cast<DWORD>(i % 4);
        found.nFileSizeLow = static_cast<DWORD>(i * 11);
        entries.Add(found, name.size());
        names.push_back(name);
    }
    ASSERT_EQ(entries.size(), names.size());
    std::size_t i = 0;
    entries.TakeEach([&](const ListedEntries::Entry& entry) {
        ASSERT_LT(i, names.size());
        EXPECT_EQ(std::wstring(entry.Name(), entry.nameLength), names[i]) << i;
        EXPECT_EQ(entry.attributes, static_cast<DWORD>(i));
        EXPECT_EQ(entry.creationTime.dwLowDateTime, static_cast<DWORD>(i * 3));
        EXPECT_EQ(entry.lastWriteTime.dwHighDateTime, static_cast<DWORD>(i * 5));
        EXPECT_EQ(entry.size, (static_cast<uint64_t>(i % 4) << 32) | static_cast<DWORD>(i * 11));
        ++i;
    });
    EXPECT_EQ(i, names.size());
    EXPECT_EQ(entries.size(), 0u) << "taken, the entries are gone";
    std::size_t again = 0;
    entries.TakeEach([&](const ListedEntries::Entry&) { ++again; });
    EXPECT_EQ(again, 0u);
}
