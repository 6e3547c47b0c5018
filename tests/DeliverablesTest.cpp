// The built programs stand side by side and carry what callers rely on.
#include <gtest/gtest.h>

#include "common/AppPaths.h"
#include "common/TidyJob.h"
#include "engine/Export.h"
#include "TestSupport.h"

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
