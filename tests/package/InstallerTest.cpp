// Installs the x64 installer silently into a folder of the test prefix, checks
// the files (the demo's too), shortcuts, uninstall entry and program version it leaves, then
// uninstalls silently and checks that none of it is left. Every suite starts
// and ends by removing what an interrupted run may have left behind.
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace qx {
namespace {

const char kPackageVersion[] = QX_PACKAGE_VERSION;
const char kInstallParent[] = "C:\\qx package test";
const char kInstallDir[] = "C:\\qx package test\\QX Frontend";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX Frontend";
const char kMenuFolderName[] = "QX Frontend";
const char kUninstaller[] = "uninstall.exe";
const std::vector<std::string> kPackagedFiles = {"demo.cmd", "qx_front.chm", "qx_front.exe", "readme.txt"};
// The folder of the local web service's modules, beside the packaged files.
const char kServiceFolder[] = "localweb";
const DWORD kProcessTimeoutMs = 30000;

std::string InInstallDir(const std::string& name) {
    return std::string(kInstallDir) + "\\" + name;
}

std::string StagedPath(const std::string& name) {
    return test::WindowsPath(QX_PACKAGE_STAGE_DIR) + "\\" + name;
}

// Where the x64 installer installs when no folder is given and none is installed.
std::string ProgramFilesFolder() {
    char programFiles[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles))) {
        return std::string();
    }
    return std::string(programFiles) + "\\QX Frontend";
}

std::string MenuFolder() {
    char programs[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs))) {
        return std::string();
    }
    return std::string(programs) + "\\" + kMenuFolderName;
}

// Names of the entries of a folder matching a pattern, sorted; "." and ".." left out.
std::vector<std::string> EntriesOf(const std::string& folder, const char* pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Runs a command line to its end. Returns false when it could not be started or
// did not end in time; exitCode receives the process's exit code.
bool RunToEnd(std::string commandLine, DWORD& exitCode) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    const bool ended = WaitForSingleObject(process.hProcess, kProcessTimeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kProcessTimeoutMs);
    }
    const BOOL gotCode = GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended && gotCode;
}

// The installer takes everything after /D= as the folder, spaces included, so
// that argument is the last one and is never quoted. Without a folder the
// installer chooses its own.
testing::AssertionResult InstallSilently(const std::string& folder = kInstallDir) {
    const std::string setup = test::WindowsPath(QX_PACKAGE_SETUP);
    const std::string folderArgument = folder.empty() ? std::string() : " /D=" + folder;
    DWORD exitCode = 0;
    if (!RunToEnd("\"" + setup + "\" /S" + folderArgument, exitCode)) {
        return testing::AssertionFailure() << "the installer " << setup << " did not run to its end";
    }
    if (exitCode != 0) {
        return testing::AssertionFailure() << "the installer ended with " << exitCode;
    }
    return testing::AssertionSuccess();
}

// With _?= the uninstaller runs in place instead of from a copy in the temporary
// folder, so its end is the end of the uninstallation. It cannot delete itself
// then: that and the empty folder are left to the caller.
testing::AssertionResult UninstallSilently(const std::string& folder = kInstallDir) {
    DWORD exitCode = 0;
    if (!RunToEnd("\"" + folder + "\\" + kUninstaller + "\" /S _?=" + folder, exitCode)) {
        return testing::AssertionFailure() << "the uninstaller did not run to its end";
    }
    if (exitCode != 0) {
        return testing::AssertionFailure() << "the uninstaller ended with " << exitCode;
    }
    return testing::AssertionSuccess();
}

// Deletes the files of a folder and its subfolders, and the folder; a folder
// that could not be named (empty) is left alone rather than taken for the
// drive's root.
void RemoveFolder(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    for (const std::string& name : EntriesOf(folder)) {
        const std::string path = folder + "\\" + name;
        if (!DeleteFileA(path.c_str())) {
            RemoveFolder(path);
        }
    }
    RemoveDirectoryA(folder.c_str());
}

void RemoveInstallation(const std::string& folder) {
    if (!folder.empty() && test::FileExists(folder + "\\" + kUninstaller)) {
        EXPECT_TRUE(UninstallSilently(folder));
    }
    RemoveFolder(folder);
}

void RemoveLeftovers() {
    RemoveInstallation(kInstallDir);
    RemoveDirectoryA(kInstallParent);
    RemoveInstallation(ProgramFilesFolder());
    RemoveFolder(MenuFolder());
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
}

struct UninstallEntry {
    bool found = false;
    std::map<std::string, std::string> texts;
    std::map<std::string, DWORD> numbers;
};

UninstallEntry ReadUninstallEntry() {
    UninstallEntry entry;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return entry;
    }
    entry.found = true;
    char name[256];
    BYTE data[1024];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) {
            break;
        }
        if (type == REG_SZ) {
            data[dataLength] = 0;
            entry.texts[name] = reinterpret_cast<const char*>(data);
        } else if (type == REG_DWORD && dataLength == sizeof(DWORD)) {
            DWORD number = 0;
            std::memcpy(&number, data, sizeof number);
            entry.numbers[name] = number;
        }
    }
    RegCloseKey(key);
    return entry;
}

std::string ShortcutTarget(const std::string& linkPath) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return "(no shell link object)";
    }
    std::string target = "(unreadable shortcut)";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t widePath[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) > 0 &&
            SUCCEEDED(file->Load(widePath, STGM_READ)) &&
            link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
            target = path;
        }
        file->Release();
    }
    link->Release();
    return target;
}

struct VersionResource {
    std::array<DWORD, 4> fileVersion{};
    std::array<DWORD, 4> productVersion{};
    std::string fileVersionText;
    std::string productVersionText;
};

std::array<DWORD, 4> VersionParts(DWORD mostSignificant, DWORD leastSignificant) {
    return {HIWORD(mostSignificant), LOWORD(mostSignificant), HIWORD(leastSignificant), LOWORD(leastSignificant)};
}

std::string StringValue(const std::vector<char>& block, const char* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &size) ||
        size < sizeof(Translation)) {
        return "(no translation)";
    }
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translations[0].language,
                  translations[0].codePage, name);
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &size) || text == nullptr) {
        return "(missing)";
    }
    return text;
}

bool ReadVersionResource(const std::string& path, VersionResource& version) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE) {
        return false;
    }
    version.fileVersion = VersionParts(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    version.productVersion = VersionParts(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    version.fileVersionText = StringValue(block, "FileVersion");
    version.productVersionText = StringValue(block, "ProductVersion");
    return true;
}

// "major.minor.patch" as the four numbers of a version resource, the last 0.
bool PackageVersionParts(std::array<DWORD, 4>& parts) {
    unsigned major = 0, minor = 0, patch = 0;
    char rest = 0;
    if (std::sscanf(kPackageVersion, "%u.%u.%u%c", &major, &minor, &patch, &rest) != 3) {
        return false;
    }
    parts = {major, minor, patch, 0};
    return true;
}

class InstalledPackage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        RemoveLeftovers();
        installed_ = InstallSilently();
    }
    static void TearDownTestSuite() {
        RemoveLeftovers();
        CoUninitialize();
    }
    void SetUp() override { ASSERT_TRUE(installed_); }

    static testing::AssertionResult installed_;
};
testing::AssertionResult InstalledPackage::installed_ = testing::AssertionFailure();

// The packaged files and the service's modules, as paths relative to the folder.
std::vector<std::string> PackagedPaths() {
    std::vector<std::string> paths = kPackagedFiles;
    for (const std::string& name : EntriesOf(StagedPath(kServiceFolder))) {
        paths.push_back(std::string(kServiceFolder) + "\\" + name);
    }
    return paths;
}

TEST_F(InstalledPackage, HoldsThePackagedFilesTheServiceAndTheUninstaller) {
    std::vector<std::string> expected = kPackagedFiles;
    expected.push_back(kServiceFolder);
    expected.push_back(kUninstaller);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(EntriesOf(kInstallDir), expected);
    const std::vector<std::string> modules = EntriesOf(InInstallDir(kServiceFolder));
    EXPECT_EQ(modules, EntriesOf(StagedPath(kServiceFolder)));
    for (const char* name : {"server.py", "control.py"}) {
        EXPECT_TRUE(std::find(modules.begin(), modules.end(), name) != modules.end()) << name;
    }
    EXPECT_TRUE(std::find(modules.begin(), modules.end(), "testing.py") == modules.end());
}

TEST_F(InstalledPackage, InstalledFilesEqualTheStagedOnes) {
    for (const std::string& name : PackagedPaths()) {
        const std::string staged = test::ReadWholeFile(StagedPath(name));
        ASSERT_FALSE(staged.empty()) << name << " is not staged";
        EXPECT_TRUE(test::ReadWholeFile(InInstallDir(name)) == staged) << name << " differs from the staged file";
    }
}

TEST_F(InstalledPackage, RegistersTheUninstallEntry) {
    const UninstallEntry entry = ReadUninstallEntry();
    ASSERT_TRUE(entry.found);
    const std::map<std::string, std::string> texts = {
        {"DisplayName", "QX Frontend"},
        {"DisplayVersion", kPackageVersion},
        {"Publisher", "QX Frontend"},
        {"InstallLocation", kInstallDir},
        {"DisplayIcon", InInstallDir("qx_front.exe") + ",0"},
        {"UninstallString", "\"" + InInstallDir(kUninstaller) + "\""},
        {"QuietUninstallString", "\"" + InInstallDir(kUninstaller) + "\" /S"},
    };
    for (const auto& [name, value] : texts) {
        const auto found = entry.texts.find(name);
        ASSERT_NE(found, entry.texts.end()) << name << " is missing";
        EXPECT_EQ(found->second, value) << name;
    }
    for (const char* name : {"NoModify", "NoRepair"}) {
        const auto found = entry.numbers.find(name);
        ASSERT_NE(found, entry.numbers.end()) << name << " is missing";
        EXPECT_EQ(found->second, 1u) << name;
    }
}

TEST_F(InstalledPackage, ShortcutsOpenTheProgramItsHelpAndTheDemo) {
    const std::string folder = MenuFolder();
    std::map<std::string, std::string> targets;
    for (const std::string& name : EntriesOf(folder, "*.lnk")) {
        targets[name] = ShortcutTarget(folder + "\\" + name);
    }
    const std::map<std::string, std::string> expected = {
        {"QX Frontend.lnk", InInstallDir("qx_front.exe")},
        {"QX Frontend ヘルプ.lnk", InInstallDir("qx_front.chm")},
        {"デモ.lnk", InInstallDir("demo.cmd")},
    };
    EXPECT_EQ(targets, expected);
    EXPECT_EQ(EntriesOf(folder).size(), expected.size()) << "the Start-menu folder holds more than the shortcuts";
}

TEST_F(InstalledPackage, ProgramVersionResourceIsThePackageVersion) {
    std::array<DWORD, 4> expected{};
    ASSERT_TRUE(PackageVersionParts(expected)) << "package version " << kPackageVersion;
    VersionResource version;
    ASSERT_TRUE(ReadVersionResource(InInstallDir("qx_front.exe"), version));
    EXPECT_EQ(version.fileVersion, expected);
    EXPECT_EQ(version.productVersion, expected);
    EXPECT_EQ(version.fileVersionText, kPackageVersion);
    EXPECT_EQ(version.productVersionText, kPackageVersion);
}

// What Python leaves when the demo's service runs with the right to write
// beside its modules.
void LeaveCompiledModule() {
    const std::string cache = InInstallDir(std::string(kServiceFolder) + "\\__pycache__");
    CreateDirectoryA(cache.c_str(), nullptr);
    std::ofstream(cache + "\\server.cpython-312.pyc", std::ios::binary) << "compiled";
}

class UninstalledPackage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        RemoveLeftovers();
        installed_ = InstallSilently();
        if (installed_) {
            LeaveCompiledModule();
            uninstalled_ = UninstallSilently();
        }
    }
    static void TearDownTestSuite() {
        RemoveLeftovers();
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_TRUE(installed_);
        ASSERT_TRUE(uninstalled_);
    }

    static testing::AssertionResult installed_;
    static testing::AssertionResult uninstalled_;
};
testing::AssertionResult UninstalledPackage::installed_ = testing::AssertionFailure();
testing::AssertionResult UninstalledPackage::uninstalled_ = testing::AssertionFailure();

TEST_F(UninstalledPackage, LeavesOnlyTheUninstallerThatRanInPlace) {
    EXPECT_EQ(EntriesOf(kInstallDir), std::vector<std::string>{kUninstaller});
    EXPECT_TRUE(DeleteFileA(InInstallDir(kUninstaller).c_str())) << "the uninstaller is still running";
    const BOOL removed = RemoveDirectoryA(kInstallDir);
    const DWORD error = GetLastError();
    EXPECT_TRUE(removed) << "error " << error;
}

TEST_F(UninstalledPackage, RemovesTheShortcutsAndTheirFolder) {
    EXPECT_FALSE(test::FileExists(MenuFolder()));
}

TEST_F(UninstalledPackage, RemovesTheUninstallEntry) {
    EXPECT_FALSE(ReadUninstallEntry().found);
}

class InstallerFolderChoice : public testing::Test {
protected:
    void SetUp() override { RemoveLeftovers(); }
    void TearDown() override { RemoveLeftovers(); }
};

TEST_F(InstallerFolderChoice, FirstInstallationGoesToThe64BitProgramFiles) {
    ASSERT_TRUE(InstallSilently(std::string()));
    const std::string folder = ProgramFilesFolder();
    EXPECT_EQ(folder, "C:\\Program Files\\QX Frontend");
    EXPECT_TRUE(test::FileExists(folder + "\\qx_front.exe"));
    EXPECT_EQ(ReadUninstallEntry().texts["InstallLocation"], folder);
}

TEST_F(InstallerFolderChoice, UpdateGoesWhereTheProgramIsInstalled) {
    ASSERT_TRUE(InstallSilently(kInstallDir));
    ASSERT_TRUE(InstallSilently(std::string()));
    EXPECT_FALSE(test::FileExists(ProgramFilesFolder()));
    EXPECT_EQ(EntriesOf(kInstallDir).size(), kPackagedFiles.size() + 2) << "the files, the service, the uninstaller";
    EXPECT_EQ(ReadUninstallEntry().texts["InstallLocation"], kInstallDir);
}

}  // namespace
}  // namespace qx
