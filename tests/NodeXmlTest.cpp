#include <gtest/gtest.h>

#include "common/NodeXml.h"
#include "common/ProfileDocument.h"
#include "common/win/Com.h"
#include "TestSupport.h"

using namespace NodeXml;
using namespace ordvale;
using namespace testing_support;
namespace doc = ordvale::profile_doc;

namespace {

const char kExample[] =
    "<?xml version=\"1.0\"?>\n"
    "<Ordvale>\n"
    "  <TypeProfiles default=\"Type1\">\n"
    "    <TypeConfigure id=\"Type1\" displayname=\"Profile1\">\n"
    "      <Folder displayname=\"Pictures\" location=\"\">\n"
    "        <Folder displayname=\"Raw\"><Ext t=\".nef\"/></Folder>\n"
    "        <Ext t=\".jpg\"/>\n"
    "        <Ext ti=\"\" t=\".png\"/>\n"
    "      </Folder>\n"
    "      <Ext ti=\"3\"/>\n"
    "      <Folder displayname=\"Music\"/>\n"
    "    </TypeConfigure>\n"
    "    <TypeConfigure id=\"Type2\" displayname=\"Second\"/>\n"
    "  </TypeProfiles>\n"
    "</Ordvale>\n";

class XmlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com.Result()));
        path = dir / L"profile.xml";
        ASSERT_TRUE(WriteText(path, kExample));
        ASSERT_TRUE(document.Open(path.c_str()));
    }
    win::ComInit com;
    TempDir dir;
    std::wstring path;
    CXmlDocument document;
};

}  // namespace

TEST_F(XmlFixture, OpensWithTheFirstEngineInOrder) {
    EXPECT_EQ(document.FilePath(), path);
    // Wine and every current Windows offer 6.0, the first choice.
    EXPECT_EQ(document.EngineVersion(), 60);
    CXmlNodePtr root = document.GetRoot();
    ASSERT_FALSE(root->IsNull());
}

TEST_F(XmlFixture, AbsoluteSelectionFromTheRootContext) {
    CXmlNodePtr profiles = document.SelectSingleNode(doc::ProfilesXPath(L"Type"));
    ASSERT_FALSE(profiles->IsNull());
    EXPECT_EQ(profiles->GetAttribute(L"default", L""), L"Type1");

    CXmlNodePtr second = document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type2"));
    ASSERT_FALSE(second->IsNull());
    EXPECT_EQ(second->GetAttribute(L"displayname", L""), L"Second");

    EXPECT_TRUE(document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type9"))->IsNull());
    EXPECT_TRUE(document.SelectSingleNode(doc::ProfilesXPath(L"Size"))->IsNull());
}

TEST_F(XmlFixture, IdWithADoubleQuoteSelectsNothing) {
    EXPECT_EQ(doc::ProfileXPath(L"Type", L"a\"b"), L"");
    EXPECT_TRUE(document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type1\" or \"1\"=\"1"))->IsNull());
    EXPECT_TRUE(document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Ty\"pe1"))->IsNull());
}

TEST_F(XmlFixture, SelectNodesTakesDirectChildrenInDocumentOrder) {
    CXmlNodePtr profile = document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type1"));
    CXmlNodesPtr folders = profile->SelectNodes(doc::kXPathFolders);
    ASSERT_EQ(folders->GetLength(), 2);
    EXPECT_EQ(folders->GetItem(0)->GetAttribute(L"displayname", L""), L"Pictures");
    EXPECT_EQ(folders->GetItem(1)->GetAttribute(L"displayname", L""), L"Music");
    EXPECT_TRUE(folders->GetItem(2)->IsNull());
    EXPECT_TRUE(folders->GetItem(-1)->IsNull());

    CXmlNodesPtr rules = folders->GetItem(0)->SelectNodes(doc::ChildRulesXPath(L"Ext"));
    ASSERT_EQ(rules->GetLength(), 2) << "the Raw sub-folder's rule is not a direct child";
    EXPECT_EQ(rules->GetItem(0)->GetAttribute(L"t", L""), L".jpg");

    EXPECT_EQ(folders->GetItem(1)->SelectNodes(doc::kXPathFolders)->GetLength(), 0);
}

TEST_F(XmlFixture, GetAttributeFallsBackForMissingAndEmptyValues) {
    CXmlNodePtr profile = document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type1"));
    CXmlNodesPtr pictureRules = profile->SelectNodes(L"./Folder/Ext");
    CXmlNodePtr catchAll = profile->SelectSingleNode(L"./Ext");
    EXPECT_EQ(catchAll->GetAttribute(L"ti", L"0"), L"3");
    EXPECT_EQ(pictureRules->GetItem(1)->GetAttribute(L"ti", L"0"), L"0") << "present but empty";
    EXPECT_EQ(pictureRules->GetItem(0)->GetAttribute(L"ti", L"0"), L"0") << "missing";
    EXPECT_EQ(catchAll->GetAttribute(L"t", L""), L"");
    CXmlNode null;
    EXPECT_EQ(null.GetAttribute(L"ti", L"dflt"), L"dflt");
}

TEST_F(XmlFixture, NullNodesFailQuietly) {
    CXmlNode null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null.SetAttribute(L"a", L"b"));
    EXPECT_TRUE(null.NewChild(L"X")->IsNull());
    EXPECT_FALSE(null.RemoveChildren());
    null.Remove();
    EXPECT_TRUE(null.SelectSingleNode(L"//Ordvale")->IsNull());
    EXPECT_EQ(null.SelectNodes(L"//Ordvale")->GetLength(), -1);
}

TEST_F(XmlFixture, InvalidExpressionsGiveNullAndEmptyResults) {
    CXmlNodePtr root = document.GetRoot();
    EXPECT_TRUE(root->SelectSingleNode(L"//[")->IsNull());
    EXPECT_LE(root->SelectNodes(L"//[")->GetLength(), 0);
}

TEST_F(XmlFixture, EditAndSave) {
    CXmlNodePtr root = document.GetRoot();
    CXmlNodePtr section = root->NewChild(L"NameProfiles");
    ASSERT_FALSE(section->IsNull());
    CXmlNodePtr rule = section->NewChild(L"Name");
    EXPECT_TRUE(rule->SetAttribute(L"ti", -1));
    EXPECT_TRUE(rule->SetAttribute(L"ti", 42));
    EXPECT_TRUE(rule->SetAttribute(L"regexp", L"a<b&\"c\" \u00e9\u4e2d"));
    EXPECT_EQ(rule->GetAttribute(L"ti", L""), L"42");

    CXmlNodePtr music = document.SelectSingleNode(L"//Folder[@displayname=\"Music\"]");
    music->Remove();
    EXPECT_TRUE(document.SelectSingleNode(L"//Folder[@displayname=\"Music\"]")->IsNull());

    const std::wstring copy = dir / L"copy.xml";
    ASSERT_TRUE(document.Save(copy.c_str()));
    EXPECT_EQ(document.FilePath(), copy);

    CXmlDocument again;
    ASSERT_TRUE(again.Open(copy.c_str()));
    CXmlNodePtr back = again.SelectSingleNode(L"//NameProfiles/Name");
    ASSERT_FALSE(back->IsNull());
    EXPECT_EQ(back->GetAttribute(L"ti", L""), L"42");
    EXPECT_EQ(back->GetAttribute(L"regexp", L""), L"a<b&\"c\" \u00e9\u4e2d");
    EXPECT_EQ(again.SelectSingleNode(L"//TypeProfiles")->SelectNodes(L"./TypeConfigure")->GetLength(), 2);
    std::string text = ReadUtf8(copy);
    EXPECT_EQ(text.find("<?xml version=\"1.0\""), 0u) << text.substr(0, 60);
    EXPECT_NE(text.find("\xc3\xa9\xe4\xb8\xad"), std::string::npos) << "written as UTF-8";
}

TEST_F(XmlFixture, RemoveChildrenKeepsAttributes) {
    CXmlNodePtr profile = document.SelectSingleNode(doc::ProfileXPath(L"Type", L"Type1"));
    EXPECT_TRUE(profile->RemoveChildren());
    EXPECT_EQ(profile->SelectNodes(L"./*")->GetLength(), 0);
    EXPECT_EQ(profile->GetAttribute(L"displayname", L""), L"Profile1");
}

TEST_F(XmlFixture, SaveFailuresKeepThePath) {
    EXPECT_FALSE(document.Save((dir / L"no\\such\\folder\\x.xml").c_str()));
    EXPECT_EQ(document.FilePath(), path);
    CXmlDocument empty;
    EXPECT_FALSE(empty.Save(path.c_str()));
    EXPECT_FALSE(empty.Save());
}

TEST(XmlDocument, OpenFailures) {
    win::ComInit com;
    TempDir dir;
    CXmlDocument document;
    ASSERT_TRUE(WriteText(dir / L"good.xml", kExample));
    ASSERT_TRUE(document.Open((dir / L"good.xml").c_str()));

    // Missing file: false, previous document and path untouched.
    EXPECT_FALSE(document.Open((dir / L"missing.xml").c_str()));
    EXPECT_EQ(document.FilePath(), dir / L"good.xml");
    EXPECT_FALSE(document.GetRoot()->IsNull());

    // Not well-formed: false, an empty document, the path kept.
    ASSERT_TRUE(WriteText(dir / L"bad.xml", "<Ordvale><TypeProfiles></Ordvale>"));
    EXPECT_FALSE(document.Open((dir / L"bad.xml").c_str()));
    EXPECT_EQ(document.FilePath(), dir / L"bad.xml");
    EXPECT_TRUE(document.GetRoot()->IsNull());
    EXPECT_TRUE(document.SelectSingleNode(L"//Ordvale")->IsNull());

    document.Close();
    EXPECT_EQ(document.FilePath(), L"");
    EXPECT_EQ(document.EngineVersion(), 0);
}

TEST(XmlDocument, BlankDocumentSavesAsDeclarationAndEmptyRoot) {
    win::ComInit com;
    TempDir dir;
    CXmlDocument document;
    ASSERT_TRUE(document.CreateBlank());
    EXPECT_EQ(document.FilePath(), L"");
    EXPECT_FALSE(document.Save()) << "no path yet";
    ASSERT_TRUE(document.Save((dir / L"blank.xml").c_str()));

    CXmlDocument back;
    ASSERT_TRUE(back.Open((dir / L"blank.xml").c_str()));
    CXmlNodePtr root = back.GetRoot();
    ASSERT_FALSE(root->IsNull());
    EXPECT_FALSE(back.SelectSingleNode(L"/Ordvale")->IsNull());
    EXPECT_EQ(root->SelectNodes(L"./node()")->GetLength(), 0);
    std::string text = ReadUtf8(dir / L"blank.xml");
    EXPECT_EQ(text.find("<?xml version=\"1.0\"?>"), 0u) << text;
}

TEST(XmlDocument, DetachedRootElementBelongsToTheDocument) {
    win::ComInit com;
    CXmlDocument document;
    ASSERT_TRUE(document.Create());
    CXmlNodePtr element = document.CreateRootElement();
    ASSERT_FALSE(element->IsNull());
    EXPECT_TRUE(document.GetRoot()->IsNull()) << "not attached";
    EXPECT_FALSE(element->NewChild(L"TypeProfiles")->IsNull());
}
