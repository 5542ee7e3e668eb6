// Stands in for the optional browser program in the tests: writes the
// parameter string it was started with to "diviravo-args.txt" beside itself,
// then signals the test's named event.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The command line without the program's own name.
const char* Parameters(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : commandLine + std::strlen(commandLine);
    } else {
        while (*p && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

}  // namespace

int main() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return 1;
    }
    std::string record(path, length);
    record = record.substr(0, record.find_last_of('\\') + 1) + "diviravo-args.txt";
    std::FILE* out = std::fopen(record.c_str(), "wb");
    if (!out) {
        return 1;
    }
    std::fputs(Parameters(GetCommandLineA()), out);
    std::fclose(out);
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, "QxBrowserStubRan");
    if (done) {
        SetEvent(done);
        CloseHandle(done);
    }
    return 0;
}
