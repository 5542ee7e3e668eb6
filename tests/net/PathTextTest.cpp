#include "net/PathText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// 表 in code page 932: its second byte is the backslash.
const std::string kOmote = "\x95\x5C";

TEST(JoinPathInto, PutsExactlyOneSeparatorBetween) {
    const struct {
        std::string directory;
        std::string joined;
    } cases[] = {
        {"C:\\Temp\\", "C:\\Temp\\x.jpg"},
        {"C:\\Temp", "C:\\Temp\\x.jpg"},
        {"C:/tmp/", "C:/tmp/x.jpg"},
        {"", "x.jpg"},
        // The trailing 0x5C belongs to a character: a separator is still needed.
        {"C:\\" + kOmote, "C:\\" + kOmote + "\\x.jpg"},
        {"C:\\" + kOmote + "\\", "C:\\" + kOmote + "\\x.jpg"},
    };
    for (const auto& c : cases) {
        char field[256];
        EXPECT_TRUE(qx::JoinPathInto(field, c.directory, "x.jpg")) << c.directory;
        EXPECT_EQ(std::string(field), c.joined) << c.directory;
    }
}

TEST(JoinPathInto, FillsTheFieldExactlyOrRefuses) {
    const std::string name = "hotel_image.jpg";
    // 255 bytes of path fit a 256-byte field; 256 do not.
    const std::string fits = "C:\\" + std::string(255 - 3 - 1 - name.size(), 'd');
    char field[256];
    ASSERT_TRUE(qx::JoinPathInto(field, fits, name));
    EXPECT_EQ(std::strlen(field), 255u);

    char guarded[260];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_FALSE(qx::JoinPathInto(guarded, 256, fits + "d", name));
    EXPECT_EQ(guarded[0], '\0');
    EXPECT_EQ(guarded[256], '#');
}

TEST(JoinPathInto, RefusesAZeroWidthField) {
    char field[1] = {'#'};
    EXPECT_FALSE(qx::JoinPathInto(field, 0, "C:\\", "x"));
    EXPECT_EQ(field[0], '#');
}

TEST(DirectoryOf, KeepsDriveAndDirectoryWithTheLastSeparator) {
    const struct {
        std::string path;
        std::string directory;
    } cases[] = {
        {"C:\\bin\\front.exe", "C:\\bin\\"},
        {"C:\\front.exe", "C:\\"},
        {"C:front.exe", "C:"},
        {"front.exe", ""},
        {"", ""},
        {"\\\\host\\share\\front.exe", "\\\\host\\share\\"},
        {"Z:/work/build/front.exe", "Z:/work/build/"},
        // A 0x5C trail byte in a file name is not a separator.
        {"C:\\bin\\" + kOmote + ".exe", "C:\\bin\\"},
        {"C:\\" + kOmote + "\\front.exe", "C:\\" + kOmote + "\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(qx::DirectoryOf(c.path)), c.directory) << c.path;
    }
}

}  // namespace
