// The built programs stand side by side and carry what callers rely on.
#include <gtest/gtest.h>

#include "common/AppPaths.h"
#include "common/TidyJob.h"
#include "engine/Export.h"
#include "ResourceLint.h"
#include "TestSupport.h"
#include "wizard/resource.h"

using namespace ordvale;
using namespace testing_support;

TEST(Deliverables, AllProgramsSitInOneFolder) {
    for (const wchar_t* name : {L"OrdvaleWizard.exe", L"zelk.dll", L"qz.exe"})
        EXPECT_TRUE(FileExists(BinFolder() + L"\\" + name)) << Narrow(name);
}

TEST(Deliverables, EngineExportsExecuteOperationsUndecorated) {
    HMODULE engine = LoadLibraryW((BinFolder() + L"\\zelk.dll").c_str());
    ASSERT_NE(engine, nullptr);
    EXPECT_NE(GetProcAddress(engine, "ExecuteOperations"), nullptr);
    EXPECT_NE(GetProcAddress(engine, "ExecuteOperationsUnattended"), nullptr);
    FreeLibrary(engine);
}

// Every program's version resource carries the build's one version and the
// same product and publisher.
TEST(Deliverables, VersionResourcesCarryTheBuildsVersion) {
    const std::wstring version = L"" ORDVALE_BUILD_VERSION;
    const std::pair<const wchar_t*, const wchar_t*> programs[] = {
        {L"OrdvaleWizard.exe", L"OrdvaleWizard"}, {L"zelk.dll", L"zelk"},
        {L"qz.exe", L"qz"}, {L"OrdvaleConfigure.exe", L"OrdvaleConfigure"},
        {L"OrdvaleWatch.exe", L"OrdvaleWatch"}};
    for (const auto& program : programs) {
        SCOPED_TRACE(Narrow(program.first));
        VersionResource resource = ReadVersionResource(BinFolder() + L"\\" + program.first);
        EXPECT_EQ(resource.fileVersion, version + L".0");
        EXPECT_EQ(resource.productVersion, version + L".0");
        EXPECT_EQ(resource.texts[L"FileVersion"], version);
        EXPECT_EQ(resource.texts[L"ProductVersion"], version);
        EXPECT_EQ(resource.texts[L"ProductName"], L"Ordvale");
        EXPECT_EQ(resource.texts[L"CompanyName"], L"Pelvantor");
        EXPECT_EQ(resource.texts[L"OriginalFilename"], program.first);
        EXPECT_EQ(resource.texts[L"InternalName"], program.second);
    }
}

// Alt with a letter reaches one control: within each dialog of every program
// (a wizard page with its frame, a profile editor pane with its page) and
// each popup of its menus, no letter is the mnemonic of two.
TEST(Deliverables, NoMnemonicIsUsedTwiceInOneDialogOrMenu) {
    std::vector<ShownTogether> wizardPages;
    for (int page : {IDD_PAGE_TARGET, IDD_PAGE_ITEMS, IDD_PAGE_METHOD, IDD_PAGE_SUMMARY})
        wizardPages.push_back({IDD_WIZARD_FRAME, page});
    for (int pane : {IDD_FOLDER_CONTENTS, IDD_FOLDER_PROPERTY, IDD_TYPE_PROPERTY, IDD_NAME_PROPERTY,
                     IDD_TIME_PROPERTY, IDD_SIZE_PROPERTY})
        wizardPages.push_back({IDD_WIZARD_FRAME, IDD_PAGE_PROFILE, pane});
    const std::pair<const wchar_t*, std::vector<ShownTogether>> programs[] = {
        {L"OrdvaleWizard.exe", wizardPages}, {L"zelk.dll", {}}, {L"qz.exe", {}},
        {L"OrdvaleConfigure.exe", {}}, {L"OrdvaleWatch.exe", {}}};
    for (const auto& [name, together] : programs) {
        SCOPED_TRACE(Narrow(name));
        HMODULE program = LoadLibraryExW((BinFolder() + L"\\" + name).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(program, nullptr);
        for (const std::wstring& clash : MnemonicClashes(program, together)) ADD_FAILURE() << Narrow(clash);
        FreeLibrary(program);
    }
}

// Every item a menu of a program shows can be picked by its letter.
TEST(Deliverables, EveryMenuItemHasAMnemonic) {
    for (const wchar_t* name : {L"OrdvaleWizard.exe", L"zelk.dll", L"qz.exe", L"OrdvaleConfigure.exe", L"OrdvaleWatch.exe"}) {
        SCOPED_TRACE(Narrow(name));
        HMODULE program = LoadLibraryExW((BinFolder() + L"\\" + name).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(program, nullptr);
        for (const std::wstring& fault : MenuItemsWithoutMnemonic(program)) ADD_FAILURE() << Narrow(fault);
        FreeLibrary(program);
    }
}

TEST(Deliverables, MnemonicIsTheLetterAfterASingleAmpersand) {
    const std::pair<const wchar_t*, wchar_t> cases[] = {
        {L"Pre&view...", L'V'}, {L"&Keep", L'K'}, {L"Files && Folders", 0}, {L"A && B &c", L'C'},
        {L"Exit", 0}, {L"End &", 0}};
    for (const auto& [caption, letter] : cases) EXPECT_EQ(MnemonicOf(caption), letter) << Narrow(caption);
}
