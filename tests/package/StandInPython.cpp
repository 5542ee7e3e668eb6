// Stands in for the Python interpreter when the demo test runs demo.cmd: it
// appends one line per run to the file that QX_STAND_IN_LOG names, its own
// file name and then each argument, separated by tabs, and ends with 0 as the
// interpreter does when it finds nothing wrong; with 1 instead, as a script
// that failed, when that line holds the text QX_STAND_IN_FAIL names.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    char path[MAX_PATH] = {};
    const DWORD pathLength = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) {
        return 2;
    }
    const std::string ownPath(path, pathLength);
    std::string line = ownPath.substr(ownPath.find_last_of('\\') + 1);
    for (int i = 1; i < argc; ++i) {
        line += '\t';
        line += argv[i];
    }
    line += "\r\n";

    char logPath[MAX_PATH] = {};
    const DWORD logLength = GetEnvironmentVariableA("QX_STAND_IN_LOG", logPath, MAX_PATH);
    if (logLength == 0 || logLength >= MAX_PATH) {
        return 2;
    }
    // One write to a file opened for appending only: runs that overlap (the
    // service started in the background, the wait for it) never mix lines.
    HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) {
        return 2;
    }
    DWORD written = 0;
    const BOOL wrote = WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    if (!wrote || written != line.size()) {
        return 2;
    }
    char failing[256] = {};
    const DWORD failingLength = GetEnvironmentVariableA("QX_STAND_IN_FAIL", failing, sizeof failing);
    return failingLength > 0 && failingLength < sizeof failing && line.find(failing) != std::string::npos ? 1 : 0;
}
