// The profile store against real files: what each operation leaves in the
// profile document, and that the document survives every failure intact.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "EditorScript.h"
#include "ProfileStore.h"
#include "TestSupport.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/NodeXml.h"
#include "common/Text.h"
#include "common/win/Com.h"

using namespace ordvale;
using namespace ordvale::editor;
using namespace testing_support;

namespace {

const char kDocument[] =
    "<?xml version=\"1.0\"?>\n"
    "<Ordvale>\n"
    " <TypeProfiles default=\"Type2\">\n"
    "  <TypeConfigure id=\"Type1\" displayname=\"First\"><Ext t=\".old\"/></TypeConfigure>\n"
    "  <TypeConfigure id=\"Type2\" displayname=\"Second\" rootpath=\"D:\\Sorted\" note=\"kept\">\n"
    "   <Folder displayname=\"Docs\"><Ext t=\".txt\"/></Folder>\n"
    "  </TypeConfigure>\n"
    "  <TypeConfigure id=\"Type3\" displayname=\"Profile7\"/>\n"
    " </TypeProfiles>\n"
    " <TimeProfiles default=\"Time1\"><TimeConfigure id=\"Time1\" displayname=\"Years\">"
    "<Time begin=\"2020-01-01 00:00:00\" end=\"2020-12-31 00:00:00\"/></TimeConfigure></TimeProfiles>\n"
    "</Ordvale>\n";

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(file, kDocument));
    }
    // The profile's tree as read back from the file.
    std::string Stored(int method, const wchar_t* id) {
        MethodProfile profile(ModelMethodOf(method));
        if (!profile.Load(file.c_str(), id)) return "(none)";
        return Narrow(profile.displayName) + " " + DumpTree(profile.root);
    }
    std::string Attribute(const std::wstring& xpath, const wchar_t* name) {
        win::ComInit com;
        NodeXml::CXmlDocument document;
        if (!document.Open(file.c_str())) return "(unreadable)";
        NodeXml::CXmlNodePtr node = document.SelectSingleNode(xpath);
        if (!node || node->IsNull()) return "(none)";
        return Narrow(node->GetAttribute(name, L"(empty)"));
    }
    std::vector<std::string> ProfileIds(int method) {
        std::vector<std::string> ids;
        for (const ProfileEntry& entry : wizard::LoadProfileList(file.c_str(), method))
            ids.push_back(Narrow(entry.id) + (entry.isDefault ? "*" : ""));
        return ids;
    }
    // Files in the folder other than the profile document.
    std::vector<std::wstring> Leftovers() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((dir / L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L".." && name != L"profile.xml") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    TempDir dir;
    std::wstring file;
};

}  // namespace

TEST_F(Store, SaveReplacesTheContentAndKeepsTheRest) {
    MethodProfile profile(ModelMethod::Type);
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type2"));
    ScriptedUser user;
    PlacementMode mode = PlaceSingle;
    FolderNode* docs = FolderAt(profile.root, L".\\Docs\\");
    ASSERT_TRUE(PlaceTypeRule(user, docs, L".pdf", &mode, 0));
    ASSERT_NE(AddFolder(user, docs, L"Letters", L""), nullptr);
    ASSERT_TRUE(PlaceTypeRule(user, &profile.root, L"::{.*}", &mode, kTypeOtherFiles));
    StoreText(profile.displayName, L"Not written by Save");

    StoreFailure why = StoreFailure::Missing;
    ASSERT_TRUE(SaveProfile(profile, file.c_str(), &why));
    EXPECT_EQ(why, StoreFailure::None);
    EXPECT_EQ(Stored(1, L"Type2"), "Second .[#3]{Docs[.txt,.pdf]{Letters[]}}");
    EXPECT_EQ(Attribute(L"//TypeConfigure[@id='Type2']", L"rootpath"), "D:\\Sorted");
    EXPECT_EQ(Attribute(L"//TypeConfigure[@id='Type2']", L"note"), "kept");
    EXPECT_EQ(Stored(1, L"Type1"), "First .[.old]");
    EXPECT_EQ(Stored(2, L"Time1"), "Years .[2020-01-01..2020-12-31]") << "other methods' sections stay";
    EXPECT_EQ(ProfileIds(1), (std::vector<std::string>{"Type1", "Type2*", "Type3"}));

    // Folders come before the rules in every element.
    const std::string text = ReadUtf8(file);
    const std::size_t letters = text.find("Letters"), pdf = text.find(".pdf"), other = text.find("ti=\"3\"");
    ASSERT_NE(letters, std::string::npos);
    EXPECT_LT(letters, pdf);
    EXPECT_LT(text.find("displayname=\"Docs\""), other);
    EXPECT_TRUE(Leftovers().empty()) << "no temporary file stays behind";
}

TEST_F(Store, SaveRecreatesAMissingProfileAndSection) {
    MethodProfile profile(ModelMethod::Size);
    StoreText(profile.profileId, L"Size9");
    StoreText(profile.displayName, L"Sizes");
    ScriptedUser user;
    PlacementMode mode = PlaceSingle;
    const int64_t kb = 1024;
    ASSERT_TRUE(PlaceSizeRule(user, &mode, &profile.root, kSizeRange, nullptr, &kb));
    ASSERT_TRUE(SaveProfile(profile, file.c_str()));
    EXPECT_EQ(Stored(3, nullptr), "Sizes .[0..1024]") << "the new section names it the default";
    EXPECT_EQ(Attribute(L"//SizeConfigure", L"rootpath"), "(empty)");
    EXPECT_EQ(Stored(1, nullptr), "Second .[]{Docs[.txt]}");
}

TEST_F(Store, NewBlankProfiles) {
    struct Case {
        const char* name;
        std::function<std::wstring(TempDir&)> prepare;  // the profile file to use
        bool result;
        StoreFailure why;
    };
    const Case cases[] = {
        {"into a document", [](TempDir& d) { WriteText(d / L"p.xml", kDocument); return d / L"p.xml"; }, true,
         StoreFailure::None},
        {"into a missing file and folder", [](TempDir& d) { return d / L"new\\deeper\\p.xml"; }, true,
         StoreFailure::None},
        {"into a malformed file", [](TempDir& d) { WriteText(d / L"p.xml", "<Ordvale><TypeProfiles>"); return d / L"p.xml"; },
         false, StoreFailure::Unreadable},
        {"into an empty file", [](TempDir& d) { WriteText(d / L"p.xml", ""); return d / L"p.xml"; }, false,
         StoreFailure::Unreadable},
        {"into a document of something else", [](TempDir& d) { WriteText(d / L"p.xml", "<?xml version=\"1.0\"?><Other/>"); return d / L"p.xml"; },
         false, StoreFailure::NoRootElement},
        {"into a folder's name", [](TempDir& d) { MakeFolder(d / L"p.xml"); return d / L"p.xml"; }, false,
         StoreFailure::Unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir d;
        const std::wstring target = c.prepare(d);
        const std::vector<unsigned char> before = ReadBytes(target);
        StoreFailure why = StoreFailure::None;
        EXPECT_EQ(AddBlankProfile(target.c_str(), ModelMethod::Type, L"Fresh", L"Type7", &why), c.result);
        EXPECT_EQ(why, c.why);
        if (c.result) {
            MethodProfile loaded(ModelMethod::Type);
            EXPECT_TRUE(loaded.Load(target.c_str(), L"Type7"));
            EXPECT_STREQ(loaded.displayName, L"Fresh");
            EXPECT_EQ(DumpTree(loaded.root), ".[]");
        } else {
            EXPECT_EQ(ReadBytes(target), before) << "the file is left as it was";
        }
    }
}

TEST_F(Store, NoOperationWritesADocumentItCannotRead) {
    const std::string broken = "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"Type1\">";
    ASSERT_TRUE(WriteText(file, broken));
    MethodProfile profile(ModelMethod::Type);
    StoreText(profile.profileId, L"Type1");
    StoreText(profile.displayName, L"P");
    const std::function<bool(StoreFailure*)> operations[] = {
        [&](StoreFailure* why) { return SaveProfile(profile, file.c_str(), why); },
        [&](StoreFailure* why) { return AddBlankProfile(file.c_str(), ModelMethod::Type, L"N", L"Type9", why); },
        [&](StoreFailure* why) { return RenameProfileInDocument(profile, file.c_str(), why); },
        [&](StoreFailure* why) { return DeleteProfile(file.c_str(), ModelMethod::Type, L"Type1", why); },
        [&](StoreFailure* why) { return SetDefaultProfile(file.c_str(), ModelMethod::Type, L"Type1", why); },
        [&](StoreFailure* why) {
            return AddProfileFromTemplate(file.c_str(), ModelMethod::Type, L"Type1", L"N", L"Type9", why);
        },
    };
    for (std::size_t i = 0; i < std::size(operations); ++i) {
        SCOPED_TRACE(i);
        StoreFailure why = StoreFailure::None;
        EXPECT_FALSE(operations[i](&why));
        EXPECT_EQ(why, StoreFailure::Unreadable);
        EXPECT_EQ(ReadUtf8(file), broken);
    }
}

TEST_F(Store, SaveWithoutTheOrdvaleElementRefuses) {
    const std::string other = "<?xml version=\"1.0\"?><Settings><TypeProfiles/></Settings>";
    ASSERT_TRUE(WriteText(file, other));
    MethodProfile profile(ModelMethod::Type);
    StoreText(profile.profileId, L"Type1");
    StoreFailure why = StoreFailure::None;
    EXPECT_FALSE(SaveProfile(profile, file.c_str(), &why));
    EXPECT_EQ(why, StoreFailure::NoRootElement);
    EXPECT_EQ(ReadUtf8(file), other);
    DeleteFileW(file.c_str());
    EXPECT_FALSE(SaveProfile(profile, file.c_str(), &why)) << "Save never starts a document";
    EXPECT_EQ(why, StoreFailure::Missing);
    EXPECT_FALSE(FileExists(file));
}

// A save that fails part-way: the temporary file was written, then the
// write is reported failed (disk full, say) before it could replace the
// document. The document must be the old one, byte for byte.
TEST_F(Store, ASaveFailingPartWayKeepsTheOldFile) {
    const std::vector<unsigned char> before = ReadBytes(file);
    MethodProfile profile(ModelMethod::Type);
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type2"));
    profile.root.children.clear();
    std::vector<unsigned char> seenDuringSave;
    ScopedReplaceCheck failing([&](const std::wstring& temporary) {
        EXPECT_EQ(ParentFolder(temporary), dir.Path()) << "written beside the document";
        seenDuringSave = ReadBytes(file);
        // Half of what was written, as a failing disk would leave it.
        std::vector<unsigned char> half = ReadBytes(temporary);
        half.resize(half.size() / 2);
        WriteBytes(temporary, half);
        return false;
    });
    StoreFailure why = StoreFailure::None;
    EXPECT_FALSE(SaveProfile(profile, file.c_str(), &why));
    EXPECT_EQ(why, StoreFailure::WriteFailed);
    EXPECT_EQ(seenDuringSave, before) << "the document is untouched while the new one is written";
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Store, ASaveOverAReadOnlyFileKeepsIt) {
    const std::vector<unsigned char> before = ReadBytes(file);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    MethodProfile profile(ModelMethod::Type);
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type2"));
    profile.root.children.clear();
    StoreFailure why = StoreFailure::None;
    EXPECT_FALSE(SaveProfile(profile, file.c_str(), &why));
    EXPECT_EQ(why, StoreFailure::WriteFailed);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(Leftovers().empty());
}

// Another program holding the document open without letting it be replaced
// (a scanner, an indexer, an editor reading it): a short hold is waited out
// and the save goes through; a hold that lasts fails the save and leaves the
// old document whole.
TEST_F(Store, ASaveWaitsOutAShortHoldOnTheDocument) {
    struct Case {
        const char* name;
        DWORD holdMs;
        bool saved;
    } cases[] = {
        {"held for a moment", 300, true},
        {"held throughout", INFINITE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteText(file, kDocument));
        const std::vector<unsigned char> before = ReadBytes(file);
        HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release;
        if (c.holdMs != INFINITE) release = std::thread([&] { Sleep(c.holdMs); CloseHandle(held); });
        MethodProfile profile(ModelMethod::Type);
        ASSERT_TRUE(profile.Load(file.c_str(), L"Type2"));
        profile.root.children.clear();
        StoreFailure why = StoreFailure::None;
        const bool saved = SaveProfile(profile, file.c_str(), &why);
        if (release.joinable()) release.join();
        else CloseHandle(held);
        EXPECT_EQ(saved, c.saved);
        if (c.saved) {
            EXPECT_EQ(Stored(1, L"Type2"), "Second .[]");
        } else {
            EXPECT_EQ(why, StoreFailure::WriteFailed);
            EXPECT_EQ(ReadBytes(file), before);
        }
        EXPECT_TRUE(Leftovers().empty());
    }
}

TEST_F(Store, DeleteMovesTheDefaultOnlyWhenItWasTheDefault) {
    struct Case {
        const char* name;
        std::vector<const wchar_t*> deleted;
        std::vector<std::string> left;
        std::string defaultAttribute;
    };
    const Case cases[] = {
        {"the default", {L"Type2"}, {"Type1*", "Type3"}, "Type1"},
        {"another one", {L"Type3"}, {"Type1", "Type2*"}, "Type2"},
        {"the first, not the default", {L"Type1"}, {"Type2*", "Type3"}, "Type2"},
        {"all of them", {L"Type1", L"Type2", L"Type3"}, {}, "(empty)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteText(file, kDocument));
        for (const wchar_t* id : c.deleted) EXPECT_TRUE(DeleteProfile(file.c_str(), ModelMethod::Type, id));
        EXPECT_EQ(ProfileIds(1), c.left);
        EXPECT_EQ(Attribute(L"//TypeProfiles", L"default"), c.defaultAttribute);
    }
    StoreFailure why = StoreFailure::None;
    EXPECT_FALSE(DeleteProfile(file.c_str(), ModelMethod::Type, L"Type2", &why));
    EXPECT_EQ(why, StoreFailure::NoProfile);
    EXPECT_NE(Attribute(L"//TypeProfiles", L"default"), "(none)") << "the section stays";
}

TEST_F(Store, RenameDefaultAndTemplates) {
    MethodProfile profile(ModelMethod::Type);
    ASSERT_TRUE(profile.Load(file.c_str(), L"Type1"));
    StoreText(profile.displayName, L"Renamed");
    profile.root.children.clear();  // not written by a rename
    ASSERT_TRUE(RenameProfileInDocument(profile, file.c_str()));
    EXPECT_EQ(Stored(1, L"Type1"), "Renamed .[.old]");

    EXPECT_FALSE(SetDefaultProfile(file.c_str(), ModelMethod::Type, L"Type9"));
    EXPECT_EQ(Attribute(L"//TypeProfiles", L"default"), "Type2");
    EXPECT_TRUE(SetDefaultProfile(file.c_str(), ModelMethod::Type, L"Type3"));
    EXPECT_EQ(Attribute(L"//TypeProfiles", L"default"), "Type3");

    ASSERT_TRUE(AddProfileFromTemplate(file.c_str(), ModelMethod::Type, L"Type2", L"Copy", L"Type4"));
    EXPECT_EQ(Stored(1, L"Type4"), "Copy .[]{Docs[.txt]}");
    EXPECT_EQ(Stored(1, L"Type2"), "Second .[]{Docs[.txt]}") << "the template stays as it was";
    StoreFailure why = StoreFailure::None;
    EXPECT_FALSE(AddProfileFromTemplate(file.c_str(), ModelMethod::Type, L"Type8", L"Copy", L"Type5", &why));
    EXPECT_EQ(why, StoreFailure::NoProfile);
}

TEST_F(Store, SuggestedNamesAndIdentifiers) {
    struct Case {
        const char* document;
        int method;
        const wchar_t* name;
        const wchar_t* id;
    };
    const Case cases[] = {
        {kDocument, 1, L"Profile8", L"Type4"},
        {kDocument, 3, L"Profile1", L"Size1"},
        {"<Ordvale><NameProfiles><NameConfigure id='Name2' displayname='Archive'/>"
         "<NameConfigure id='Name10a' displayname='Profile3'/><NameConfigure id='x' displayname='Profile9'/>"
         "</NameProfiles></Ordvale>",
         4, L"Profile10", L"Name11"},
        // "type5" and "profile2" read as 0, yet a proposal may not equal them in other letter case.
        {"<Ordvale><TypeProfiles><TypeConfigure id='Type4' displayname='Profile1'/>"
         "<TypeConfigure id='type5' displayname='profile2'/></TypeProfiles></Ordvale>",
         1, L"Profile3", L"Type6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.id));
        ASSERT_TRUE(WriteText(file, c.document));
        MethodProfile profile(ModelMethodOf(c.method));
        const ProfileSuggestion suggestion = SuggestProfileNameAndId(&profile, file.c_str(), L"Profile");
        EXPECT_EQ(suggestion.displayName, c.name);
        EXPECT_EQ(suggestion.id, c.id);
    }
}
