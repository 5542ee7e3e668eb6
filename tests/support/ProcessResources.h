// What a running program holds, measured from outside it (or by the program
// itself): GDI objects, USER objects, kernel handles and threads.
//
// Where the system's own counters (GetGuiResources, GetProcessHandleCount)
// answer nothing, as some versions of Wine do, the count is taken another
// way and the sample says so: GDI objects from the GDI handle table that the
// program's process environment block points to, USER objects as the
// program's windows (top-level and child, hidden ones too; menus, icons and
// cursors are then not counted), handles from the system's handle list.
#pragma once

#include <windows.h>

#include <string>

namespace qx::test {

struct ResourceSample {
    long gdiObjects = -1;  // -1: could not be measured
    long userObjects = -1;
    long handles = -1;
    long threads = -1;
    std::string gdiSource;  // with the count of each kind of object when read from the table
    std::string userSource;
    std::string handleSource;

    std::string Describe() const;
};

class ProcessResources {
public:
    ProcessResources(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}

    ResourceSample Take() const;
    // The threads alone, cheaply enough to poll.
    long ThreadCount() const;

private:
    long GdiTableCount(std::string& kinds) const;
    long WindowCount() const;
    long SystemHandleCount() const;

    HANDLE process_;
    DWORD processId_;
};

}  // namespace qx::test
