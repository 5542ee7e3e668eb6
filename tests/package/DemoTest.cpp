// Runs the packages' demo.cmd, staged as the packages hold it, with Wine's cmd:
// once with a stand-in for the Python interpreter on the PATH (named py.exe,
// then python.exe) that records its arguments instead of starting the local
// web service, while the real service runs on the program's compiled-in port
// (run-e2e.sh starts it); once each with the stand-in failing the check of
// the port or the wait for the service; once with no interpreter at all.
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

// The lease file the script gave the service it started, or "" when it started none.
std::string LeaseOf(const std::vector<std::string>& runs) {
    const std::string option = "\t--lease\t";
    for (const std::string& run : runs) {
        const std::size_t at = run.find(option);
        if (run.find("\\server.py\t") != std::string::npos && at != std::string::npos) {
            return run.substr(at + option.size());
        }
    }
    return "";
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SystemPath() {
    char system[MAX_PATH] = {};
    char windows[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(system) + ";" + windows;
}

void RemoveWork(const std::string& output) {
    for (const char* name : {"\\bin\\py.exe", "\\bin\\python.exe", "\\stand-in.log"}) {
        DeleteFileA((kWork + name).c_str());
    }
    DeleteFileA(output.c_str());
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
// interpreter names one, the stand-in under that name, failing the runs that
// hold the text failing names. Its input is empty (a
// pause returns at once) and its output goes to a file. A run that a failed
// test leaves going is ended with the object: the program by its windows,
// then cmd. Not through a job ended as a whole: under Wine that also ended
// the desktop process, started inside the job by the first process that
// needed it, and the next program's windows failed.
class DemoRun {
public:
    explicit DemoRun(const std::string& interpreter, const std::string& failing = "")
        : output_(kWork + "\\output-" + std::to_string(++runs_) + ".txt") {
        RemoveWork(output_);
        CreateDirectoryA(kWork.c_str(), nullptr);
        CreateDirectoryA((kWork + "\\bin").c_str(), nullptr);
        std::string path = SystemPath();
        if (!interpreter.empty()) {
            CopyFileA(WindowsPath(QX_STAND_IN_PYTHON).c_str(), (kWork + "\\bin\\" + interpreter).c_str(), FALSE);
            path = kWork + "\\bin;" + path;
        }
        Start(path, failing);
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
        RemoveWork(output_);
    }
    DemoRun(const DemoRun&) = delete;
    DemoRun& operator=(const DemoRun&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }

    // What cmd wrote. Each run writes a file of its own: under Wine a console
    // process that has ended can hold its inherited output open a moment
    // longer, so that the next run could neither replace nor empty the file.
    std::string Output() const { return ReadWholeFile(output_); }

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
    void Start(const std::string& path, const std::string& failing) {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                   0, nullptr);
        HANDLE output = CreateFileA(output_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0,
                                    nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            CloseHandle(input);
            return;
        }
        // The child takes its environment from this process's at creation.
        SetEnvironmentVariableA("QX_STAND_IN_LOG", kStandInLog.c_str());
        SetEnvironmentVariableA("QX_STAND_IN_FAIL", failing.empty() ? nullptr : failing.c_str());
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
        SetEnvironmentVariableA("QX_STAND_IN_FAIL", nullptr);
        CloseHandle(input);
        CloseHandle(output);
    }

    static inline int runs_ = 0;
    const std::string output_;
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

// The runs the script makes to start the service, in the order it makes them;
// the service itself is started in the background, so its run may be
// recorded after the wait's. The lease is left out of the service's run.
std::vector<std::string> StartRuns(const std::string& file, const std::string& argument) {
    const std::string port = std::to_string(build::kLocalWebPort);
    const std::string run = file + "\t" + argument + kStage + "\\localweb\\";
    return {run + "control.py\tfree\t--port\t" + port, run + "server.py\t--port\t" + port + "\t--log\tNUL",
            run + "control.py\twait\t--port\t" + port};
}

// The runs as StartRuns gives them: the service's without its lease, the
// service's and the wait's in a fixed order.
std::vector<std::string> Comparable(std::vector<std::string> runs) {
    for (std::string& run : runs) {
        run = run.substr(0, run.find("\t--lease\t"));
    }
    if (runs.size() >= 3) {
        std::sort(runs.begin() + 1, runs.end(), [](const std::string& a, const std::string& b) {
            return (a.find("server.py") != std::string::npos) > (b.find("server.py") != std::string::npos);
        });
    }
    return runs;
}

TEST_P(DemoScript, StartsTheServiceOnTheProgramsPortRunsTheProgramAndStopsTheServiceWhenItEnds) {
    const InterpreterCase& interpreter = GetParam();
    const std::vector<std::string> started = StartRuns(interpreter.file, interpreter.argument);
    const std::size_t logSkip = RequestLog().size();

    DemoRun demo(interpreter.file);
    ASSERT_TRUE(demo.Started());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = VisibleWindow(kSearchCaption)) != nullptr; }, kWindowLimitMs))
        << "the program's search conditions dialog did not show";
    EXPECT_TRUE(ReachedTheService(logSkip)) << "no area request from the program reached the service";
    // The service is started in the background: its run may be recorded after the wait's.
    EXPECT_TRUE(WaitFor([&] { return ServiceRuns().size() >= started.size(); }, 10000));
    EXPECT_EQ(Comparable(ServiceRuns()), started) << "the port is checked, the service started and waited for";
    const std::string lease = LeaseOf(ServiceRuns());
    EXPECT_TRUE(FileExists(lease)) << "while the program runs, the service's lease stays: " << lease;

    Click(dialog, IDCANCEL);
    EXPECT_EQ(demo.WaitForExit(kExitLimitMs), 0);
    EXPECT_EQ(Comparable(ServiceRuns()), started) << "no other service is asked to stop";
    EXPECT_FALSE(FileExists(lease)) << "the lease stays after the program ended, and with it the service";
}

INSTANTIATE_TEST_SUITE_P(Interpreters, DemoScript,
                         testing::Values(InterpreterCase{"py.exe", "-3\t"}, InterpreterCase{"python.exe", ""}),
                         [](const testing::TestParamInfo<InterpreterCase>& tested) {
                             const std::string file = tested.param.file;
                             return file.substr(0, file.find('.'));
                         });

// A start the script gives up: the port is taken (by another demo's service,
// say), or the service does not answer in time.
struct RefusedStart {
    const char* name;
    const char* failing;        // the stand-in fails the run that holds this
    const char* message;        // the first words the script shows
    std::size_t runs;           // how many of StartRuns it makes
};

class DemoScriptGivingUp : public testing::TestWithParam<RefusedStart> {};

TEST_P(DemoScriptGivingUp, SaysWhyInJapaneseRunsNoProgramAndLeavesNoServiceOfItsOwn) {
    const RefusedStart& refused = GetParam();
    const std::size_t logSkip = RequestLog().size();
    std::string output;
    std::vector<std::string> runs;
    {
        DemoRun demo("py.exe", refused.failing);
        ASSERT_TRUE(demo.Started());
        EXPECT_EQ(demo.WaitForExit(kExitLimitMs), 1);
        output = demo.Output();
        // The service's run is made in the background and may come last.
        EXPECT_TRUE(WaitFor([&] { return ServiceRuns().size() >= refused.runs; }, 10000));
        runs = ServiceRuns();
    }
    EXPECT_NE(output.find(refused.message), std::string::npos) << output;
    std::vector<std::string> started = StartRuns("py.exe", "-3\t");
    started.resize(refused.runs);
    EXPECT_EQ(Comparable(runs), started);
    const std::string lease = LeaseOf(runs);
    EXPECT_EQ(lease.empty(), refused.runs < 2) << "a service is started exactly when the port is free";
    EXPECT_FALSE(!lease.empty() && FileExists(lease)) << "a service that comes up late would stay: " << lease;
    EXPECT_TRUE(RequestsSince(logSkip).empty()) << "the program was started";
    EXPECT_EQ(VisibleWindow(kSearchCaption), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, DemoScriptGivingUp,
    testing::Values(RefusedStart{"PortTaken", "control.py\tfree\t", "はほかのプログラム (先に始めたデモなど) が使っているため、", 1},
                    RefusedStart{"NoAnswer", "control.py\twait\t", "ローカル Web サービスを起動できませんでした。", 3}),
    [](const testing::TestParamInfo<RefusedStart>& tested) { return std::string(tested.param.name); });

TEST(DemoScriptWithoutPython, SaysInJapaneseWhereToGetItAndStartsNothing) {
    const std::size_t logSkip = RequestLog().size();
    std::string output;
    {
        DemoRun demo("");
        ASSERT_TRUE(demo.Started());
        EXPECT_EQ(demo.WaitForExit(kExitLimitMs), 1);
        output = demo.Output();
    }
    EXPECT_NE(output.find("Python 3 が見つからないため、デモを始められません。"), std::string::npos) << output;
    EXPECT_NE(output.find("https://www.python.org/downloads/"), std::string::npos) << output;
    EXPECT_TRUE(RequestsSince(logSkip).empty()) << "the program was started";
    EXPECT_EQ(VisibleWindow(kSearchCaption), nullptr);
}

}  // namespace
}  // namespace qx::test
