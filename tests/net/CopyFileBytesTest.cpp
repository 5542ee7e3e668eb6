#include "net/CopyFileBytes.h"

#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string TempPath(const char* name) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    return std::string(directory) + name;
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE to, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

class CopyFileBytes : public ::testing::Test {
protected:
    void SetUp() override {
        HANDLE file = Open(from_, GENERIC_WRITE, CREATE_ALWAYS);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(WriteAll(file, bytes_));
        CloseHandle(file);
    }
    void TearDown() override {
        DeleteFileA(from_.c_str());
        DeleteFileA(to_.c_str());
    }
    // A target that already holds something, open for writing.
    HANDLE OpenTarget(DWORD access) {
        HANDLE file = Open(to_, GENERIC_WRITE, CREATE_ALWAYS);
        WriteAll(file, "old");
        CloseHandle(file);
        return Open(to_, access, OPEN_EXISTING);
    }

    const std::string from_ = TempPath("qx-copy-from.bin");
    const std::string to_ = TempPath("qx-copy-to.bin");
    // More than one chunk of the copy.
    const std::string bytes_ = qx::test::PatternBytes(200000);
};

TEST_F(CopyFileBytes, CopiesEveryByteOverWhatWasThere) {
    HANDLE in = Open(from_, GENERIC_READ, OPEN_EXISTING);
    HANDLE out = OpenTarget(GENERIC_WRITE);
    EXPECT_TRUE(qx::CopyFileBytes(in, out));
    CloseHandle(out);
    CloseHandle(in);
    EXPECT_EQ(qx::test::ReadWholeFile(to_), bytes_);
}

TEST_F(CopyFileBytes, ReadFailingAfterSomeBytesLeavesAnEmptyTarget) {
    // The read end of a pipe whose writer has gone: its bytes, then a failed read.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 4096));
    ASSERT_TRUE(WriteAll(writeEnd, bytes_.substr(0, 1000)));
    CloseHandle(writeEnd);
    HANDLE out = OpenTarget(GENERIC_WRITE);
    EXPECT_FALSE(qx::CopyFileBytes(readEnd, out));
    CloseHandle(out);
    CloseHandle(readEnd);
    EXPECT_EQ(qx::test::ReadWholeFile(to_), "");
}

}  // namespace
