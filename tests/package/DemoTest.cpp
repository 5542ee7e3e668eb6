// Runs the packages' demo.cmd, staged as the packages hold it, with Wine's cmd:
// once with a stand-in for the Python interpreter on the PATH (named py.exe,
// then python.exe) that records its arguments instead of starting the local
// web service, while the real service runs on the program's compiled-in port
// (run-e2e.sh starts it); once with no interpreter at all.
#include "tests/e2e/ProgramCaptions.h"
#include "tests/support/LocalService.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/TestFiles.h"

#include <BuildConfig.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace qx::test {
namespace {

const DWORD kWindowLimitMs = 60000;
const DWORD kExitLimitMs = 30000;

const std::string kStage = WindowsPath(QX_PACKAGE_STAGE_DIR);
const std::string kWork = TempFile("qx-demo-test");
const std::string kStandInLog = kWork + "\\stand-in.log";

// The stand-in's runs that name a script of the local web service, one line
// each: the stand-in's file name and the arguments, separated by tabs.
std::vector<std::string> ServiceRuns() {
    std::vector<std::string> runs;
    std::ifstream in(kStandInLog, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find("\\localweb\\") != std::string::npos) {
            runs.push_back(line);
        }
    }
    return runs;
}

std::string SystemPath() {
    char system[MAX_PATH] = {};
    char windows[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(system) + ";" + windows;
}

void RemoveWork() {
    for (const char* name : {"\\bin\\py.exe", "\\bin\\python.exe", "\\stand-in.log", "\\output.txt"}) {
        DeleteFileA((kWork + name).c_str());
    }
    RemoveDirectoryA((kWork + "\\bin").c_str());
    RemoveDirectoryA(kWork.c_str());
}

// Ends the program that shows a window with this caption, if one does.
void EndProgramShowing(const std::string& caption) {
    HWND window = FindWindowA(nullptr, caption.c_str());
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
        return;
    }
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (process != nullptr) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, kExitLimitMs);
        CloseHandle(process);
    }
}

// demo.cmd run by cmd with PATH holding the system folders and, when
// interpreter names one, the stand-in under that name. Its input is empty (a
// pause returns at once) and its output goes to a file. A run that a failed
// test leaves going is ended with the object: the program by its windows,
// then cmd. Not through a job ended as a whole: under Wine that also ended
// the desktop process, started inside the job by the first process that
// needed it, and the next program's windows failed.
class DemoRun {
public:
    explicit DemoRun(const std::string& interpreter) {
        RemoveWork();
        CreateDirectoryA(kWork.c_str(), nullptr);
        CreateDirectoryA((kWork + "\\bin").c_str(), nullptr);
        std::string path = SystemPath();
        if (!interpreter.empty()) {
            CopyFileA(WindowsPath(QX_STAND_IN_PYTHON).c_str(), (kWork + "\\bin\\" + interpreter).c_str(), FALSE);
            path = kWork + "\\bin;" + path;
        }
        Start(path);
    }
    ~DemoRun() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                EndProgramShowing(kSearchCaption);
                EndProgramShowing(kMainCaption);
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, kExitLimitMs);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        RemoveWork();
    }
    DemoRun(const DemoRun&) = delete;
    DemoRun& operator=(const DemoRun&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }

    // cmd's exit code, or -1 while it still runs after limitMs.
    long WaitForExit(DWORD limitMs) const {
        DWORD code = 0;
        if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.hProcess, &code)) {
            return -1;
        }
        return static_cast<long>(code);
    }

private:
    void Start(const std::string& path) {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                   0, nullptr);
        HANDLE output = CreateFileA((kWork + "\\output.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                    CREATE_ALWAYS, 0, nullptr);
        // The child takes its environment from this process's at creation.
        SetEnvironmentVariableA("QX_STAND_IN_LOG", kStandInLog.c_str());
        char savedPath[32768] = {};
        GetEnvironmentVariableA("PATH", savedPath, sizeof savedPath);
        SetEnvironmentVariableA("PATH", path.c_str());

        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = output;
        std::string commandLine = "cmd.exe /c \"" + kStage + "\\demo.cmd\"";
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                            kWork.c_str(), &startup, &process_)) {
            process_ = PROCESS_INFORMATION{};
        }
        SetEnvironmentVariableA("PATH", savedPath);
        SetEnvironmentVariableA("QX_STAND_IN_LOG", nullptr);
        CloseHandle(input);
        CloseHandle(output);
    }

    PROCESS_INFORMATION process_{};
};

HWND VisibleWindow(const std::string& caption) {
    HWND window = FindWindowA(nullptr, caption.c_str());
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

bool ReachedTheService(std::size_t logSkip) {
    for (const LoggedRequest& request : RequestsSince(logSkip)) {
        if (request.target.find("operation=GetAreaClass") != std::string::npos &&
            request.userAgent == "LOVANTE-KOGEI") {
            return true;
        }
    }
    return false;
}

struct InterpreterCase {
    const char* file;      // the stand-in's name on the PATH
    const char* argument;  // what the script puts before the service's script
};

class DemoScript : public testing::TestWithParam<InterpreterCase> {};

TEST_P(DemoScript, StartsTheServiceOnTheProgramsPortRunsTheProgramAndStopsTheServiceWhenItEnds) {
    const InterpreterCase& interpreter = GetParam();
    const std::string port = std::to_string(build::kLocalWebPort);
    const std::string run = std::string(interpreter.file) + "\t" + interpreter.argument;
    const std::string scripts = kStage + "\\localweb\\";
    std::vector<std::string> started = {run + scripts + "server.py\t--port\t" + port + "\t--log\tNUL",
                                        run + scripts + "control.py\twait\t--port\t" + port};
    std::sort(started.begin(), started.end());
    const std::string stop = run + scripts + "control.py\tstop\t--port\t" + port;
    const std::size_t logSkip = RequestLog().size();

    DemoRun demo(interpreter.file);
    ASSERT_TRUE(demo.Started());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = VisibleWindow(kSearchCaption)) != nullptr; }, kWindowLimitMs))
        << "the program's search conditions dialog did not show";
    EXPECT_TRUE(ReachedTheService(logSkip)) << "no area request from the program reached the service";
    // The service is started in the background: its run may be recorded after the wait's.
    EXPECT_TRUE(WaitFor([&] { return ServiceRuns().size() >= started.size(); }, 10000));
    std::vector<std::string> runs = ServiceRuns();
    std::sort(runs.begin(), runs.end());
    EXPECT_EQ(runs, started) << "while the program runs, the service is started and waited for, not stopped";

    Click(dialog, IDCANCEL);
    EXPECT_EQ(demo.WaitForExit(kExitLimitMs), 0);
    runs = ServiceRuns();
    ASSERT_EQ(runs.size(), started.size() + 1);
    EXPECT_EQ(runs.back(), stop);
}

INSTANTIATE_TEST_SUITE_P(Interpreters, DemoScript,
                         testing::Values(InterpreterCase{"py.exe", "-3\t"}, InterpreterCase{"python.exe", ""}),
                         [](const testing::TestParamInfo<InterpreterCase>& tested) {
                             const std::string file = tested.param.file;
                             return file.substr(0, file.find('.'));
                         });

TEST(DemoScriptWithoutPython, SaysInJapaneseWhereToGetItAndStartsNothing) {
    const std::size_t logSkip = RequestLog().size();
    std::string output;
    {
        DemoRun demo("");
        ASSERT_TRUE(demo.Started());
        EXPECT_EQ(demo.WaitForExit(kExitLimitMs), 1);
        output = ReadWholeFile(kWork + "\\output.txt");
    }
    EXPECT_NE(output.find("Python 3 が見つからないため、デモを始められません。"), std::string::npos) << output;
    EXPECT_NE(output.find("https://www.python.org/downloads/"), std::string::npos) << output;
    EXPECT_TRUE(RequestsSince(logSkip).empty()) << "the program was started";
    EXPECT_EQ(VisibleWindow(kSearchCaption), nullptr);
}

}  // namespace
}  // namespace qx::test
