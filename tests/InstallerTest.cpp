// The setup program run as an administrator runs it, silently, on a machine
// of its own (a Wine prefix apart from the other tests', scripts/wine-run-apart):
// what an installation puts where, that the installed programs tidy a desktop,
// that installing again keeps the user's files, and what an uninstallation
// takes away and leaves.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <iostream>
#include <memory>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/TidyJob.h"
#include "common/WatchedFolders.h"
#include "common/win/Com.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"
#include "WizardDriver.h"
#include "watch/SignIn.h"

using namespace ordvale;
using namespace testing_support;

namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ordvale";
const wchar_t kBuildVersion[] = L"" ORDVALE_BUILD_VERSION;  // "1.2.3", from the build

// What setup copies, each byte for byte from the build.
const wchar_t* const kProgramFiles[] = {L"OrdvaleWizard.exe", L"zelk.dll",    L"qz.exe",
                                        L"OrdvaleConfigure.exe", L"OrdvaleWatch.exe", L"Ordvale.chm",
                                        L"DefaultProfiles.xml"};

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

bool EntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A text of the uninstall entry; empty when it is missing.
std::wstring EntryText(const wchar_t* name) {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"";
    return text;
}

// A number of the uninstall entry; -1 when it is missing.
long long EntryNumber(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return -1;
    return value;
}

bool SameBytes(const std::wstring& a, const std::wstring& b) {
    return ReadBytes(a) == ReadBytes(b);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A visible top-level window whose title begins with `title` (the setup's
// title changes a little from page to page), or nullptr.
HWND TopWindowStartingWith(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        HWND found;
    } search = {&title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(window) && Text(window).compare(0, s->title->size(), *s->title) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible control below the window whose text is `text`, or nullptr.
HWND ControlWithText(HWND top, const std::wstring& text) {
    struct Search {
        const std::wstring* text;
        HWND found;
    } search = {&text, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(child) && Text(child) == *s->text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        programFolder = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Ordvale";
        menuFolder = ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Ordvale";
        desktopShortcut = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Ordvale Wizard.lnk";
        ASSERT_TRUE(GetAppDataFolder(&appData));
        userFolder = SettingsFolderIn(appData);
        ASSERT_TRUE(FileExists(SetupProgram())) << Narrow(SetupProgram());
        // Each test starts on a machine without Ordvale, as a user who never ran it.
        ASSERT_FALSE(EntryExists()) << "an earlier test left Ordvale installed";
        ASSERT_FALSE(FolderExists(programFolder));
        RemoveTree(userFolder);
    }
    void TearDown() override {
        if (EntryExists()) Uninstall();
        RemoveTree(userFolder);
        RemoveTree(ShellFolder(CSIDL_APPDATA) + L"\\Pelvantor");
    }

    static std::wstring SetupProgram() { return DistFolder() + L"\\OrdvaleSetup.exe"; }

    DWORD Install(const std::wstring& switches = L"") {
        Program setup(L"\"" + SetupProgram() + L"\" /S " + switches);
        EXPECT_TRUE(setup.Started());
        return setup.WaitWithChildren();
    }
    // Through the entry's quiet command, as a deployment tool would.
    DWORD Uninstall(const std::wstring& switches = L"") {
        const std::wstring command = EntryText(L"QuietUninstallString");
        EXPECT_FALSE(command.empty());
        Program uninstaller(command + L" " + switches);
        EXPECT_TRUE(uninstaller.Started());
        return uninstaller.WaitWithChildren();
    }

    std::wstring Installed(const wchar_t* name) const { return programFolder + L"\\" + name; }
    std::wstring MenuShortcut(const wchar_t* name) const { return menuFolder + L"\\" + name; }

    // A user who changed the settings and the profiles.
    void WriteUserFiles() {
        ASSERT_TRUE(MakeFolder(ShellFolder(CSIDL_APPDATA) + L"\\Pelvantor"));
        ASSERT_TRUE(MakeFolder(userFolder));
        ASSERT_TRUE(WriteText(userFolder + L"\\settings.ini", kSettings));
        ASSERT_TRUE(WriteText(userFolder + L"\\profile.xml", kProfiles));
    }
    void ExpectUserFilesKept() {
        EXPECT_EQ(ReadUtf8(userFolder + L"\\settings.ini"), kSettings);
        EXPECT_EQ(ReadUtf8(userFolder + L"\\profile.xml"), kProfiles);
    }

    const char* kSettings = "[FileOperation]\r\nFileConflict=2\r\n";
    const char* kProfiles =
        "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"Mine\">"
        "<TypeConfigure id=\"Mine\" displayname=\"My own\"/></TypeProfiles></Ordvale>";

    std::wstring programFolder, menuFolder, desktopShortcut, appData, userFolder;
    win::ComInit com;
};

}  // namespace

TEST_F(Installer, SilentInstallPutsEverythingInPlace) {
    struct Case {
        const wchar_t* switches;
        bool desktopShortcut;
    };
    for (const Case& c : {Case{L"", false}, Case{L"/DESKTOPSHORTCUT", true}}) {
        SCOPED_TRACE(Narrow(c.switches));
        ASSERT_EQ(Install(c.switches), 0u);

        long long total = 0;
        for (const wchar_t* name : kProgramFiles) {
            EXPECT_TRUE(SameBytes(Installed(name), BinFolder() + L"\\" + name)) << Narrow(name);
            total += FileSize(Installed(name));
        }
        EXPECT_TRUE(FileExists(Installed(L"Uninstall.exe")));
        EXPECT_FALSE(FolderExists(userFolder)) << "setup leaves the user's folder to the wizard";

        struct Link {
            std::wstring at;
            const wchar_t* target;
            const wchar_t* arguments;
        };
        const Link links[] = {
            {MenuShortcut(L"Ordvale Wizard.lnk"), L"OrdvaleWizard.exe", L""},
            {MenuShortcut(L"Ordvale Settings.lnk"), L"OrdvaleConfigure.exe", L"options"},
            {MenuShortcut(L"Ordvale Help.lnk"), L"Ordvale.chm", L""},
            {desktopShortcut, L"OrdvaleWizard.exe", L""},
        };
        for (const Link& link : links) {
            SCOPED_TRACE(Narrow(link.at));
            ShortcutContent content = ReadShortcut(link.at);
            if (link.at == desktopShortcut && !c.desktopShortcut) {
                EXPECT_FALSE(FileExists(link.at));
                continue;
            }
            ASSERT_TRUE(content.loaded);
            EXPECT_EQ(_wcsicmp(content.target.c_str(), Installed(link.target).c_str()), 0) << Narrow(content.target);
            EXPECT_EQ(content.arguments, link.arguments);
        }

        EXPECT_EQ(EntryText(L"DisplayName"), L"Ordvale");
        EXPECT_EQ(EntryText(L"DisplayVersion"), kBuildVersion);
        EXPECT_EQ(EntryText(L"Publisher"), L"Pelvantor");
        EXPECT_EQ(EntryText(L"DisplayIcon"), Installed(L"OrdvaleWizard.exe") + L",0");
        EXPECT_EQ(EntryText(L"InstallLocation"), programFolder);
        EXPECT_EQ(EntryText(L"UninstallString"), L"\"" + Installed(L"Uninstall.exe") + L"\"");
        EXPECT_EQ(EntryText(L"QuietUninstallString"), L"\"" + Installed(L"Uninstall.exe") + L"\" /S");
        // In KB, of the whole program folder.
        EXPECT_GE(EntryNumber(L"EstimatedSize"), total / 1024);
        EXPECT_LE(EntryNumber(L"EstimatedSize"), (total + FileSize(Installed(L"Uninstall.exe"))) / 1024 + 8);

        ASSERT_EQ(Uninstall(), 0u);
    }
}

// One version, from the build, in the setup program, the entry and the About box.
TEST_F(Installer, VersionIsTheBuildsEverywhere) {
    const std::wstring numbers = std::wstring(kBuildVersion) + L".0";
    VersionResource setup = ReadVersionResource(SetupProgram());
    EXPECT_EQ(setup.fileVersion, numbers);
    EXPECT_EQ(setup.productVersion, numbers);
    EXPECT_EQ(setup.texts[L"ProductVersion"], kBuildVersion);
    EXPECT_EQ(setup.texts[L"CompanyName"], L"Pelvantor");

    ASSERT_EQ(Install(), 0u);
    EXPECT_EQ(EntryText(L"DisplayVersion"), kBuildVersion);

    // "1.2" while the third number is 0, else "1.2.3".
    std::wstring shortVersion = kBuildVersion;
    if (shortVersion.size() > 2 && shortVersion.compare(shortVersion.size() - 2, 2, L".0") == 0)
        shortVersion.resize(shortVersion.size() - 2);
    Program wizard(L"\"" + Installed(L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    const ProgramMenu menu(Installed(L"OrdvaleWizard.exe"), IDR_WIZARD_MENU);
    ASSERT_TRUE(ChooseFromButtonMenu(wizard.Id(), GetDlgItem(frame, IDC_MENU_BUTTON), menu.Popup(0), ID_MENU_ABOUT));
    HWND about = WaitForWindow(wizard.Id(), L"About Ordvale");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about, IDC_ABOUT_TEXT), L"Ordvale, Version " + shortVersion);
    Click(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    Click(frame, IDC_BUTTON_RIGHT);  // Exit
    EXPECT_EQ(wizard.Wait(), 0u);
}

// A new user starts the wizard from the Start menu and tidies the desktop: the
// wizard makes the profiles from the installed defaults and hands the job to
// the installed runner and engine.
TEST_F(Installer, InstalledProgramsTidyTheDesktop) {
    ASSERT_EQ(Install(), 0u);
    ShortcutContent shortcut = ReadShortcut(MenuShortcut(L"Ordvale Wizard.lnk"));
    ASSERT_TRUE(shortcut.loaded);
    ExpectTypicalRunTidiesTheDesktop([&] {
        Program wizard(L"\"" + shortcut.target + L"\"");
        HWND frame = OpenMethodPage(wizard);
        if (!frame) return DWORD(STILL_ACTIVE);
        FinishFromMethodPage(frame, L"<a>File Type</a>", L"<a>By kind of file</a>");
        return wizard.Wait(60000);
    });
    EXPECT_EQ(ReadUtf8(userFolder + L"\\profile.xml"), ReadUtf8(Installed(L"DefaultProfiles.xml")))
        << "the profiles of a new user are the installed defaults";
}

// Installing over an installation replaces the programs and the shortcuts and
// keeps what belongs to the user, the desktop shortcut included.
TEST_F(Installer, InstallingAgainKeepsTheUsersFiles) {
    ASSERT_EQ(Install(L"/DESKTOPSHORTCUT"), 0u);
    WriteUserFiles();
    ASSERT_TRUE(WriteText(Installed(L"qz.exe"), "an older runner"));
    ASSERT_TRUE(DeleteFileW(MenuShortcut(L"Ordvale Help.lnk").c_str()));

    ASSERT_EQ(Install(), 0u);
    ExpectUserFilesKept();
    EXPECT_TRUE(SameBytes(Installed(L"qz.exe"), BinFolder() + L"\\qz.exe")) << "the runner is replaced";
    EXPECT_TRUE(FileExists(MenuShortcut(L"Ordvale Help.lnk")));
    EXPECT_TRUE(FileExists(desktopShortcut)) << "the desktop shortcut chosen before stays";
    EXPECT_EQ(EntryText(L"DisplayVersion"), kBuildVersion);
}

TEST_F(Installer, SilentUninstallRemovesTheProgramAndLeavesTheUsersChoice) {
    struct Case {
        const char* what;
        const wchar_t* switches;
        bool keepsUserFiles;
        bool userFileInProgramFolder;
    };
    const Case cases[] = {
        {"plain", L"", true, false},
        {"with the user's settings and profiles", L"/REMOVESETTINGS", false, false},
        {"a file setup did not put there stays", L"", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Install(L"/DESKTOPSHORTCUT"), 0u);
        WriteUserFiles();
        const std::wstring ownFile = Installed(L"my notes.txt");
        if (c.userFileInProgramFolder) {
            ASSERT_TRUE(WriteText(ownFile, "mine"));
        }

        EXPECT_EQ(Uninstall(c.switches), 0u);
        EXPECT_FALSE(EntryExists());
        for (const wchar_t* name : kProgramFiles) EXPECT_FALSE(FileExists(Installed(name))) << Narrow(name);
        EXPECT_FALSE(FileExists(Installed(L"Uninstall.exe")));
        EXPECT_FALSE(FolderExists(menuFolder));
        EXPECT_FALSE(FileExists(desktopShortcut));
        if (c.userFileInProgramFolder) {
            EXPECT_EQ(ReadUtf8(ownFile), "mine");
            RemoveTree(programFolder);
        }
        EXPECT_FALSE(FolderExists(programFolder));
        if (c.keepsUserFiles) {
            ExpectUserFilesKept();
        } else {
            EXPECT_FALSE(FolderExists(userFolder));
            EXPECT_FALSE(FolderExists(ShellFolder(CSIDL_APPDATA) + L"\\Pelvantor")) << "nothing else was in it";
        }
        RemoveTree(userFolder);
    }
}

// A watcher running from the program folder is ended by the uninstaller,
// which also removes its sign-in entry, and goes with the other programs.
TEST_F(Installer, UninstallEndsTheWatcherAndItsSignInEntry) {
    ASSERT_EQ(Install(), 0u);
    WriteUserFiles();
    TempDir watched;
    WatchedFolder folder;
    folder.folder = watched.Path();
    folder.profileId = L"Mine";
    ASSERT_TRUE(SaveWatchedFolders(userFolder + L"\\settings.ini", {folder}));
    Program watcher(Installed(L"OrdvaleWatch.exe"));
    ASSERT_TRUE(watcher.Started());
    ASSERT_TRUE(WaitUntil([] { return !watch::StartAtSignInCommand().empty(); }, 30000));
    EXPECT_EQ(watch::StartAtSignInCommand(), L"\"" + Installed(L"OrdvaleWatch.exe") + L"\"");

    EXPECT_EQ(Uninstall(), 0u);
    EXPECT_EQ(watcher.Wait(0), 0u) << "the watcher ended of itself before the uninstaller did";
    EXPECT_EQ(watch::StartAtSignInCommand(), L"");
    EXPECT_FALSE(FileExists(Installed(L"OrdvaleWatch.exe")));
}

// The uninstaller's own page: the user's files go only when the box is ticked.
TEST_F(Installer, UninstallerPageAsksAboutTheUsersFiles) {
    const std::wstring title = L"Ordvale " + std::wstring(kBuildVersion) + L" Uninstall";
    for (bool tick : {false, true}) {
        SCOPED_TRACE(tick ? "ticked" : "left alone");
        ASSERT_EQ(Install(), 0u);
        WriteUserFiles();
        Program uninstaller(EntryText(L"UninstallString"));
        ASSERT_TRUE(uninstaller.Started());
        HWND window = nullptr;
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            window = TopWindowStartingWith(title);
            box = window ? ControlWithText(window, L"&Also remove my settings and profiles") : nullptr;
            return box != nullptr;
        })) << "the page with the choice shows first";
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "keeping them is the default";
        if (tick) {
            Click(box);
            EXPECT_TRUE(WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 10000))
                << "the click ticks the box";
        }
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), tick ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(Text(window, IDOK), L"&Uninstall");
        Click(window, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return Text(window, IDOK) == L"&Finish"; }, 120000))
            << "the last page follows";
        Click(window, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }));

        EXPECT_FALSE(EntryExists());
        EXPECT_FALSE(FolderExists(programFolder));
        if (tick) {
            EXPECT_FALSE(FolderExists(userFolder));
        } else {
            ExpectUserFilesKept();
        }
        RemoveTree(userFolder);
    }
}

// ---- Explorer's menus ----

namespace {

struct Verb {
    const wchar_t* key;  // below HKEY_CLASSES_ROOT
    const wchar_t* text;
    const wchar_t* arguments;
    const wchar_t* multiSelect;  // empty: no value
};
const Verb kFileVerb = {L"*\\shell\\Ordvale.Tidy", L"Tidy with Ordvale...", L"/items \"%1\"", L"Player"};
const Verb kFolderVerb = {L"Directory\\shell\\Ordvale.Tidy", L"Tidy with Ordvale...", L"/folder \"%1\"", L"Player"};
const Verb kDriveVerb = {L"Drive\\shell\\Ordvale.Tidy", L"Tidy with Ordvale...", L"/folder \"%1\"", L""};
const Verb kBackgroundVerb = {L"Directory\\Background\\shell\\Ordvale.TidyHere", L"Tidy this folder with Ordvale...",
                              L"/folder \"%V\"", L""};
const Verb kDesktopVerb = {L"DesktopBackground\\shell\\Ordvale.TidyHere", L"Tidy this folder with Ordvale...",
                           L"/desktop", L""};
const Verb kVerbs[] = {kFileVerb, kFolderVerb, kDriveVerb, kBackgroundVerb, kDesktopVerb};

bool ClassesKeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

// A text below HKEY_CLASSES_ROOT (name nullptr: the key's default); "(none)" when missing.
std::wstring ClassesText(const std::wstring& key, const wchar_t* name) {
    wchar_t text[2048] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"(none)";
    return text;
}

// The verb's command as Explorer runs it for that item: %1 and %V replaced.
std::wstring CommandFor(const Verb& verb, const std::wstring& path) {
    std::wstring command = ClassesText(std::wstring(verb.key) + L"\\command", nullptr);
    for (const wchar_t* mark : {L"%1", L"%V"}) {
        const std::size_t at = command.find(mark);
        if (at != std::wstring::npos) command.replace(at, 2, path);
    }
    return command;
}

std::vector<unsigned char> FolderJob(const std::wstring& folder) {
    std::vector<unsigned char> job;
    AppendInt32(&job, 1);  // Folder
    AppendText(&job, folder);
    AppendInt32(&job, 1);  // By File Type
    AppendText(&job, L"Type1");
    AppendText(&job, L"");
    return job;
}

std::vector<unsigned char> DesktopJob() {
    std::vector<unsigned char> job;
    AppendInt32(&job, 0);
    AppendInt32(&job, 1);
    AppendText(&job, L"Type1");
    AppendText(&job, L"");
    return job;
}

std::vector<unsigned char> SelectionJob(const std::vector<std::wstring>& items) {
    std::vector<unsigned char> job;
    AppendInt32(&job, 2);
    for (const std::wstring& item : items) AppendText(&job, item);
    AppendText(&job, L"");
    AppendInt32(&job, 1);
    AppendText(&job, L"Type1");
    AppendText(&job, L"");
    return job;
}

class ExplorerMenu : public Installer {
protected:
    // The installed wizard hands its job to a stand-in runner that records its command line.
    void InstallWithStandInRunner() {
        ASSERT_EQ(Install(), 0u);
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\record_args.exe").c_str(), Installed(L"qz.exe").c_str(), FALSE));
    }
    // The job file the installed wizard handed over (both files removed once read).
    std::vector<unsigned char> HandedOverJob() {
        const std::wstring argsFile = Installed(L"args.txt");
        EXPECT_TRUE(WaitUntil([&] { return FileExists(argsFile); }));
        const std::string args = ReadUtf8(argsFile);
        DeleteFileW(argsFile.c_str());
        const std::size_t brace = args.rfind('{');
        EXPECT_NE(brace, std::string::npos) << args;
        if (brace == std::string::npos) return {};
        const std::wstring jobFile = JobFileIn(appData, FromUtf8(args.substr(brace)));
        std::vector<unsigned char> job = ReadBytes(jobFile);
        DeleteFileW(jobFile.c_str());
        return job;
    }
    // The wizard opened on the method page, its target chosen: through the
    // summary (which names the target) to Finish.
    void FinishFromTheMethodPage(Program& wizard, const wchar_t* targetLink) {
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the wizard opens on the method page";
        EXPECT_EQ(Text(frame, IDC_BUTTON_LEFT), L"Previous");
        FinishFromMethodPage(frame, L"<a>File Type</a>", L"<a>By kind of file</a>", targetLink);
        EXPECT_EQ(wizard.Wait(60000), 0u);
    }
};

}  // namespace

// Setup registers the commands unless told not to, an installation without
// them drops those of an earlier one, and the uninstaller removes them.
TEST_F(ExplorerMenu, CommandsAreRegisteredAndRemoved) {
    auto expectRegistered = [&](bool registered) {
        for (const Verb& verb : kVerbs) {
            SCOPED_TRACE(Narrow(verb.key));
            if (!registered) {
                EXPECT_FALSE(ClassesKeyExists(verb.key));
                continue;
            }
            EXPECT_EQ(ClassesText(verb.key, nullptr), verb.text);
            EXPECT_EQ(ClassesText(verb.key, L"Icon"), Installed(L"OrdvaleWizard.exe") + L",0");
            EXPECT_EQ(ClassesText(verb.key, L"MultiSelectModel"), *verb.multiSelect ? verb.multiSelect : L"(none)");
            EXPECT_EQ(ClassesText(std::wstring(verb.key) + L"\\command", nullptr),
                      L"\"" + Installed(L"OrdvaleWizard.exe") + L"\" " + verb.arguments);
        }
        // Only the verbs go: the classes they hang from stay.
        for (const wchar_t* key : {L"*\\shell", L"Directory\\shell", L"Directory\\Background\\shell"})
            EXPECT_TRUE(!registered || ClassesKeyExists(key)) << Narrow(key);
    };
    ASSERT_EQ(Install(), 0u);
    expectRegistered(true);
    ASSERT_EQ(Install(L"/NOEXPLORERMENU"), 0u);
    expectRegistered(false);
    ASSERT_EQ(Uninstall(), 0u);
    ASSERT_EQ(Install(), 0u);
    expectRegistered(true);
    ASSERT_EQ(Uninstall(), 0u);
    expectRegistered(false);
    EXPECT_TRUE(ClassesKeyExists(L"Directory")) << "the uninstaller removes only its own keys";
}

// Each registered command, run as Explorer runs it for a folder, a drive, a
// folder's background and the desktop's: one wizard on the method page with
// that target, which it hands over as chosen.
TEST_F(ExplorerMenu, EachCommandOpensTheWizardOnItsTarget) {
    InstallWithStandInRunner();
    TempDir dir;
    const std::wstring folder = dir / L"My Work";
    ASSERT_TRUE(MakeFolder(folder));
    struct Case {
        const char* what;
        const Verb& verb;
        std::wstring path;
        std::wstring targetLink;
        std::vector<unsigned char> job;
    };
    const Case cases[] = {
        {"a folder", kFolderVerb, folder, L"<a>" + folder + L"</a>", FolderJob(folder)},
        {"a drive", kDriveVerb, L"C:\\", L"<a>C:\\</a>", FolderJob(L"C:\\")},
        {"a folder's background", kBackgroundVerb, folder, L"<a>" + folder + L"</a>", FolderJob(folder)},
        {"the desktop's background", kDesktopVerb, L"", L"<a>Desktop</a>", DesktopJob()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Program wizard(CommandFor(c.verb, c.path));
        ASSERT_TRUE(wizard.Started());
        FinishFromTheMethodPage(wizard, c.targetLink.c_str());
        EXPECT_EQ(HandedOverJob(), c.job);
    }
}

// A selection of 200 files and a folder: Explorer starts each item's command
// once; one wizard opens with every item, in its items list and in the job
// it hands over. A wizard the user opened before is not taken over.
TEST_F(ExplorerMenu, ASelectionOpensOneWizardWithEveryItem) {
    InstallWithStandInRunner();
    TempDir dir;
    std::vector<std::wstring> items;
    for (int i = 0; i < 200; ++i) {
        items.push_back(dir / (L"file " + std::to_wstring(i) + L".txt"));
        ASSERT_TRUE(WriteText(items.back(), "x"));
    }
    items.insert(items.begin() + 100, dir / L"A folder");
    ASSERT_TRUE(MakeFolder(items[100]));

    Program byHand(L"\"" + Installed(L"OrdvaleWizard.exe") + L"\"");
    HWND handFrame = WaitForWindow(byHand.Id(), L"Ordvale Wizard");
    ASSERT_NE(handFrame, nullptr) << "the wizard started by hand: " << DescribeProgram(byHand);

    const DWORD began = GetTickCount();
    std::vector<std::unique_ptr<Program>> starts;
    for (const std::wstring& item : items)
        starts.push_back(std::make_unique<Program>(CommandFor(FolderExists(item) ? kFolderVerb : kFileVerb, item)));
    Program* wizard = nullptr;
    int running = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            running = 0;
            for (auto& start : starts)
                if (start->Wait(0) == STILL_ACTIVE) {
                    ++running;
                    wizard = start.get();
                }
            return running == 1;
        },
        300000))
        << "all starts but one hand their item over and end; still running: " << running;
    for (auto& start : starts) {
        if (start.get() != wizard) {
            EXPECT_EQ(start->Wait(0), 0u);
        }
    }
    HWND frame = WaitForWindow(wizard->Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
    std::cout << "[ measured ] " << items.size() << " starts to one wizard in " << (GetTickCount() - began)
              << " ms\n";

    Click(frame, IDC_BUTTON_LEFT);  // Previous: the items page lists the selection
    ASSERT_TRUE(WaitForControl(frame, IDC_ITEMS_LIST));
    HWND list = VisibleControl(frame, IDC_ITEMS_LIST);
    EXPECT_EQ(RowCount(list), static_cast<int>(items.size()));
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
    FinishFromMethodPage(frame, L"<a>File Type</a>", L"<a>By kind of file</a>", L"<a>Custom</a>");
    EXPECT_EQ(wizard->Wait(60000), 0u);

    const std::vector<unsigned char> bytes = HandedOverJob();
    TidyJob job;
    ASSERT_EQ(DeserializeTidyJob(bytes.data(), bytes.size(), &job), JobFileStatus::Ok);
    std::vector<std::wstring> handed;
    for (int32_t i = 0; i < job.itemCount; ++i) handed.push_back(job.items[i].text);
    EXPECT_EQ(bytes, SelectionJob(handed)) << "a selection job, byte for byte";
    std::vector<std::wstring> sortedHanded = handed, sortedItems = items;
    std::sort(sortedHanded.begin(), sortedHanded.end());
    std::sort(sortedItems.begin(), sortedItems.end());
    EXPECT_EQ(sortedHanded, sortedItems) << "every item once";

    EXPECT_TRUE(IsWindowVisible(handFrame));
    EXPECT_NE(VisibleControl(handFrame, IDC_LINK_DESKTOP), nullptr) << "the wizard opened by hand is left as it was";
    Click(handFrame, IDC_BUTTON_RIGHT);  // Exit
    EXPECT_EQ(byHand.Wait(), 0u);
}
