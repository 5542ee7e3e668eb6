#include "ProcessResources.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <map>
#include <vector>

namespace qx::test {
namespace {

// One entry of the GDI handle table, as Wine lays it out for either
// bitness. The third byte of its type word is set exactly while the entry
// holds an object.
struct GdiHandleEntry {
    unsigned long long object;
    unsigned int owner;
    unsigned int type;
    unsigned long long userPointer;
};
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr unsigned int kGdiEntryInUse = 0x00FF0000;
// Where the process environment block keeps the table's address.
#ifdef _WIN64
constexpr std::size_t kPebGdiTableOffset = 0xF8;
#else
constexpr std::size_t kPebGdiTableOffset = 0x94;
#endif

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

struct SystemHandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

template <typename Function>
Function NtdllEntry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

struct WindowTally {
    DWORD processId;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM context) {
    ++reinterpret_cast<WindowTally*>(context)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM context) {
    auto* tally = reinterpret_cast<WindowTally*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == tally->processId) {
        ++tally->count;
        EnumChildWindows(window, &CountChild, context);
    }
    return TRUE;
}

// The system counter when it works; an answer of 0 for a live GUI process
// (or ERROR_CALL_NOT_IMPLEMENTED) means it does not.
bool GuiCounter(HANDLE process, DWORD which, long& count) {
    SetLastError(ERROR_SUCCESS);
    const DWORD value = GetGuiResources(process, which);
    count = static_cast<long>(value);
    return value != 0;
}

}  // namespace

std::string ResourceSample::Describe() const {
    char text[512];
    std::snprintf(text, sizeof text, "GDI %ld (%s), USER %ld (%s), handles %ld (%s), threads %ld", gdiObjects,
                  gdiSource.c_str(), userObjects, userSource.c_str(), handles, handleSource.c_str(), threads);
    return text;
}

ResourceSample ProcessResources::Take() const {
    ResourceSample sample;
    if (GuiCounter(process_, GR_GDIOBJECTS, sample.gdiObjects)) {
        sample.gdiSource = "GetGuiResources";
    } else {
        std::string kinds;
        sample.gdiObjects = GdiTableCount(kinds);
        sample.gdiSource = "GDI handle table:" + kinds;
    }
    if (GuiCounter(process_, GR_USEROBJECTS, sample.userObjects)) {
        sample.userSource = "GetGuiResources";
    } else {
        sample.userObjects = WindowCount();
        sample.userSource = "windows only";
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(process_, &handles) && handles != 0) {
        sample.handles = static_cast<long>(handles);
        sample.handleSource = "GetProcessHandleCount";
    } else {
        sample.handles = SystemHandleCount();
        sample.handleSource = "system handle list";
    }
    sample.threads = ThreadCount();
    return sample;
}

long ProcessResources::GdiTableCount(std::string& kinds) const {
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = NtdllEntry<QueryProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query == nullptr || query(process_, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return -1;
    }
    UINT_PTR table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + kPebGdiTableOffset,
                           &table, sizeof table, &read) ||
        table == 0) {
        return -1;
    }
    std::vector<GdiHandleEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process_, reinterpret_cast<void*>(table), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), &read)) {
        return -1;
    }
    // The low byte of the type word names the kind (DC, bitmap, font, brush...).
    std::map<unsigned int, long> byKind;
    long count = 0;
    for (const GdiHandleEntry& entry : entries) {
        if ((entry.type & kGdiEntryInUse) != 0) {
            ++byKind[entry.type & 0xFF];
            ++count;
        }
    }
    for (const auto& [kind, number] : byKind) {
        kinds += " " + std::to_string(kind) + ":" + std::to_string(number);
    }
    return count;
}

long ProcessResources::WindowCount() const {
    WindowTally tally{processId_, 0};
    EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

long ProcessResources::SystemHandleCount() const {
    using QuerySystem = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = NtdllEntry<QuerySystem>("NtQuerySystemInformation");
    if (query == nullptr) {
        return -1;
    }
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
           kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) {
        return -1;
    }
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long count = 0;
    for (ULONG i = 0; i < entries; ++i) {
        count += entry[i].processId == static_cast<USHORT>(processId_) ? 1 : 0;
    }
    return count;
}

long ProcessResources::ThreadCount() const {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    long count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
        count += thread.th32OwnerProcessID == processId_ ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace qx::test
