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
    FreeLibrary(engine);
}
