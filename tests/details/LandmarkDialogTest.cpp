// The landmark dialog driven for real: modal, against the local web service
// that the test command starts (QX_LOCALWEB_PORT, QX_LOCALWEB_LOG), with
// canned geocoding pages where the gazetteer cannot give the table wanted.
#include "details/LandmarkDialog.h"

#include "res/resource.h"
#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace qx {
namespace {

constexpr char kGeocodePath[] = "/php/geoscan.php";
constexpr char kMapHost[] = "maps.test:8080";

// ---- The local web service -------------------------------------------------

// The next geocoding request gets exactly these bytes as its page.
void ServePage(const std::string& page) {
    ASSERT_TRUE(test::ArmPage(kGeocodePath, page));
}

void ArmFault(const std::string& kindAndParameters) {
    ASSERT_TRUE(test::ArmFault(kGeocodePath, kindAndParameters));
}

std::vector<std::string> GeocodeTargets() {
    std::vector<std::string> targets;
    for (const test::LoggedRequest& request : test::LoggedRequests(kGeocodePath)) {
        targets.push_back(request.target);
    }
    return targets;
}

// ---- Driving the dialog --------------------------------------------------------

using Scenario = std::function<void(HWND dialog)>;

HWND ShownDialog() {
    return test::FindThreadDialogWithChild(IDC_LANDMARK_LIST);
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Search(HWND dialog, const std::string& text) {
    SetDlgItemTextA(dialog, IDC_LANDMARK_TEXT, text.c_str());
    Click(dialog, IDC_LANDMARK_SEARCH);
}

void DoubleClickList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
    NMITEMACTIVATE activate{};
    activate.hdr.hwndFrom = list;
    activate.hdr.idFrom = IDC_LANDMARK_LIST;
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    SendMessageA(dialog, WM_NOTIFY, IDC_LANDMARK_LIST, reinterpret_cast<LPARAM>(&activate));
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

std::string ItemText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// lat, lng, name, address: the list's columns in order.
using Row = std::array<std::string, 4>;

std::vector<Row> ListedRows(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
    std::vector<Row> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        Row row;
        for (int column = 0; column < 4; ++column) {
            row[static_cast<std::size_t>(column)] = test::Cell(list, i, column);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string TableRow(const std::vector<std::string>& cells, const char* tag = "td") {
    std::string row = "<tr>";
    for (const std::string& cell : cells) {
        row += std::string("<") + tag + ">" + cell + "</" + tag + ">";
    }
    return row + "</tr>\n";
}

std::string Page(const std::string& rows) {
    return "<html><body><table>\n" + TableRow({"名称", "住所", "緯度", "経度"}, "th") + rows +
           "</table></body></html>\n";
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class LandmarkDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::ServiceStartedAroundTest()) {
            GTEST_SKIP() << "the local web service is not up (run through tools/with-localweb.sh)";
        }
        test::PumpPendingMessages();
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90, 640, 480, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        test::PumpPendingMessages();
        std::strcpy(conditions_.middleClassName, "東京都");
        conditions_.radiusMetres = 1500;
        conditions_.areaMode = kAreaModeNearLandmark;
    }

    void TearDown() override {
        if (owner_ != nullptr) {
            DestroyWindow(owner_);
        }
        test::ClearFaults();
        test::PumpPendingMessages();
    }

    // Runs the dialog modally; the scenario runs once it is on screen and must
    // end it. A scenario that did not (a failed assertion, a choice that did
    // nothing) fails and cancels it.
    INT_PTR Run(const Scenario& scenario) {
        // Only the geocoding host is the local web service: a lookup on
        // another host would find nothing there.
        const ServiceHost nobody{UrlScheme::Http, "127.0.0.1:9"};
        const ServiceHosts hosts{nobody, {UrlScheme::Http, test::ServiceHost()}, {UrlScheme::Http, kMapHost}, nobody};
        LandmarkDialog dialog(conditions_, hosts);
        test::ModalDriver driver(&ShownDialog);
        driver.Add("scenario", [&scenario](HWND shown) {
            scenario(shown);
            if (IsWindowVisible(shown)) {
                ADD_FAILURE() << "the dialog is still open";
                PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
            }
            return true;
        });
        const INT_PTR code = driver.Run([&] { return dialog.DoModal(owner_, IDD_LANDMARK); });
        EXPECT_TRUE(driver.Finished());
        return code;
    }

    // Every field the dialog must leave alone is as the test set it.
    void ExpectOtherFieldsKept() const {
        EXPECT_STREQ(conditions_.middleClassName, "東京都");
        EXPECT_EQ(conditions_.radiusMetres, 1500);
        EXPECT_EQ(conditions_.areaMode, kAreaModeNearLandmark);
    }

    HWND owner_ = nullptr;
    SearchConditions conditions_;
};

TEST_F(LandmarkDialogTest, OpensCentredWithThePreviousNameAndAnEmptyFourColumnList) {
    std::strcpy(conditions_.landmarkName, "東京タワー");
    const INT_PTR code = Run([this](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_LANDMARK_TEXT), "東京タワー");
        EXPECT_FALSE(Enabled(dialog, IDOK));
        EXPECT_FALSE(Enabled(dialog, IDC_LANDMARK_MAP));
        EXPECT_TRUE(Enabled(dialog, IDC_LANDMARK_SEARCH));

        RECT ownerFrame;
        RECT dialogFrame;
        GetWindowRect(owner_, &ownerFrame);
        GetWindowRect(dialog, &dialogFrame);
        EXPECT_NEAR((dialogFrame.left + dialogFrame.right) / 2, (ownerFrame.left + ownerFrame.right) / 2, 1);
        EXPECT_NEAR((dialogFrame.top + dialogFrame.bottom) / 2, (ownerFrame.top + ownerFrame.bottom) / 2, 1);

        HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
        EXPECT_EQ(ListView_GetItemCount(list), 0);
        const DWORD extended = ListView_GetExtendedListViewStyle(list);
        EXPECT_EQ(extended & 0x420u, 0x420u);
        ASSERT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 4);
        RECT listFrame;
        GetWindowRect(list, &listFrame);
        const int addressWidth = (listFrame.right - listFrame.left) - GetSystemMetrics(SM_CXVSCROLL) -
                                 2 * GetSystemMetrics(SM_CXEDGE) - 150;
        const int widths[] = {0, 0, 150, addressWidth};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(ListView_GetColumnWidth(list, i), widths[i]) << "column " << i;
        }

        HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
        ASSERT_NE(images, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(images), 1);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ(width, 16);
        EXPECT_EQ(height, 16);
        EXPECT_EQ(ImageList_GetBkColor(images), RGB(255, 255, 255));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(code, -1);
    EXPECT_STREQ(conditions_.landmarkName, "東京タワー");
}

TEST_F(LandmarkDialogTest, FocusOnTheTextSwitchesTheInputMethodOnKeepingTheSentenceMode) {
    Run([](HWND dialog) {
        HWND edit = GetDlgItem(dialog, IDC_LANDMARK_TEXT);
        HIMC context = ImmGetContext(edit);
        ASSERT_NE(context, nullptr);
        // Leave the text with the input method closed in another mode...
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)), TRUE);
        ImmSetOpenStatus(context, FALSE);
        ImmSetConversionStatus(context, IME_CMODE_ALPHANUMERIC, IME_SMODE_PHRASEPREDICT);
        // ...and come back to it.
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        EXPECT_EQ(GetFocus(), edit);
        DWORD conversion = 0;
        DWORD sentence = 0;
        EXPECT_TRUE(ImmGetOpenStatus(context));
        ASSERT_TRUE(ImmGetConversionStatus(context, &conversion, &sentence));
        EXPECT_EQ(conversion, static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
        EXPECT_EQ(sentence, static_cast<DWORD>(IME_SMODE_PHRASEPREDICT));
        ImmReleaseContext(edit, context);
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, TypedTextReachesThePageWithEveryByteEscaped) {
    const struct {
        const char* typed;
        const char* query;
    } cases[] = {
        {"A", "q=%41"},
        {"駅", "q=%89%77"},
        {"a b&c", "q=%61%20%62%26%63"},
    };
    Run([&cases](HWND dialog) {
        for (const auto& c : cases) {
            Search(dialog, c.typed);
            const std::vector<std::string> targets = GeocodeTargets();
            ASSERT_FALSE(targets.empty());
            EXPECT_EQ(targets.back(), std::string(kGeocodePath) + "?" + c.query);
            EXPECT_TRUE(Enabled(dialog, IDC_LANDMARK_SEARCH));
        }
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, FoundPlacesAreListedFirstOneSelectedAndTheListFocused) {
    Run([](HWND dialog) {
        Search(dialog, "東京");
        HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
        const std::vector<Row> rows = ListedRows(dialog);
        ASSERT_GE(rows.size(), 2u);
        for (const Row& row : rows) {
            EXPECT_NE(row[2].find("東京"), std::string::npos) << row[2];
            EXPECT_FALSE(row[3].empty());
            EXPECT_GT(std::atof(row[0].c_str()), 20.0);
            EXPECT_GT(std::atof(row[1].c_str()), 120.0);
        }
        const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
        EXPECT_EQ(ListView_GetItemState(list, 0, both), both);
        EXPECT_EQ(ListView_GetNextItem(list, 0, LVNI_SELECTED), -1) << "only the first row is selected";
        EXPECT_EQ(GetFocus(), list);
        EXPECT_TRUE(Enabled(dialog, IDOK));
        EXPECT_TRUE(Enabled(dialog, IDC_LANDMARK_MAP));
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(rows.size()) - 1;
        ASSERT_TRUE(ListView_GetItem(list, &item));
        EXPECT_EQ(item.iImage, 0);

        // Taking the selection away disables the choice again.
        ListView_SetItemState(list, 0, 0, LVIS_SELECTED);
        EXPECT_FALSE(Enabled(dialog, IDOK));
        EXPECT_FALSE(Enabled(dialog, IDC_LANDMARK_MAP));
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, RowsOfFourCellsAnywhereInThePageAreListedVerbatim) {
    const std::string rows =
        TableRow({"東京駅", "東京都千代田区丸の内", "35.681236", "139.767125"}) +
        TableRow({"三つだけ", "住所", "35.0"}) +
        TableRow({"五つ", "大阪府大阪市", "34.7", "135.5", "余分"}) +
        TableRow({"空の住所", "", "33.5", "130.4"}) +
        TableRow({"東京駅", "同名の二つ目", "35.1", "139.1"}) +
        "<tr class=\"x\"><td>属性付き</td><td>a</td><td>1</td><td>2</td></tr>\n" +
        "<tr><TD>大文字</TD><TD>a</TD><TD>1</TD><TD>2</TD></tr>\n" +
        TableRow({"&amp; <b>太字</b>", " 空白 ", "abc", "-12.5x"});
    const std::string page = Page(rows) + "<p>" + TableRow({"表の外", "x", "1.5", "2.5"}) + "</p>";
    Run([&page](HWND dialog) {
        ServePage(page);
        Search(dialog, "x");
        const std::vector<Row> expected = {
            {"35.681236", "139.767125", "東京駅", "東京都千代田区丸の内"},
            {"34.7", "135.5", "五つ", "大阪府大阪市"},
            {"33.5", "130.4", "空の住所", ""},
            {"35.1", "139.1", "東京駅", "同名の二つ目"},
            {"abc", "-12.5x", "&amp; <b>太字</b>", " 空白 "},
            {"1.5", "2.5", "表の外", "x"},
        };
        EXPECT_EQ(ListedRows(dialog), expected);
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, ChoosingWritesTheListedPositionAndName) {
    const std::string page = Page(TableRow({"東京駅", "東京都千代田区丸の内一丁目", "35.681", "139.767"}) +
                                  TableRow({"数でない", "x", "北緯", "abc"}));
    const struct {
        const char* how;
        int row;
        double latitude;
        double longitude;
        const char* name;
    } cases[] = {
        {"OK", 0, 35.681, 139.767, "東京駅"},
        {"double click", 0, 35.681, 139.767, "東京駅"},
        {"OK", 1, 0.0, 0.0, "数でない"},
    };
    for (const auto& c : cases) {
        conditions_.latitude = 1.0;
        conditions_.longitude = 2.0;
        const INT_PTR code = Run([&](HWND dialog) {
            ServePage(page);
            Search(dialog, "x");
            HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
            ListView_SetItemState(list, c.row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            if (std::string(c.how) == "OK") {
                Click(dialog, IDOK);
            } else {
                DoubleClickList(dialog);
            }
        });
        EXPECT_EQ(code, 0) << c.how;
        EXPECT_EQ(conditions_.latitude, c.latitude) << c.how;
        EXPECT_EQ(conditions_.longitude, c.longitude) << c.how;
        EXPECT_STREQ(conditions_.landmarkName, c.name) << c.how;
        ExpectOtherFieldsKept();
    }
    // Opening again offers the chosen name for a new search.
    Run([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_LANDMARK_TEXT), "数でない");
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, ALongNameIsCutTo255BytesOnACharacterBoundary) {
    const std::string a = "あ";
    const struct {
        std::string name;
        std::string stored;
    } cases[] = {
        {Repeated("x", 400), Repeated("x", 255)},
        {Repeated(a, 150), Repeated(a, 127)},  // 128 characters would need 256 bytes
        {"x" + Repeated(a, 150), "x" + Repeated(a, 127)},
        {Repeated("x", 255), Repeated("x", 255)},
    };
    for (const auto& c : cases) {
        const INT_PTR code = Run([&c](HWND dialog) {
            ServePage(Page(TableRow({c.name, "x", "35.5", "139.5"})));
            Search(dialog, "x");
            Click(dialog, IDOK);
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(std::string(conditions_.landmarkName), c.stored) << c.name.size() << " bytes";
    }
}

TEST_F(LandmarkDialogTest, MapOpensTheListedPositionWithoutDatumShiftAndTheDialogStays) {
    if (test::BrowserLogPath().empty()) {
        GTEST_SKIP() << "not under Wine: the browser cannot be captured";
    }
    // A browser program beside the executable is not for this map.
    char executable[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, executable, sizeof executable);
    std::string program(executable, length);
    program = program.substr(0, program.find_last_of('\\') + 1) + "diviravo.exe";
    HANDLE file = CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    const std::size_t before = test::BrowserLog().size();
    const INT_PTR code = Run([](HWND dialog) {
        ServePage(Page(TableRow({"東京駅", "x", "35.681", "139.767"})));
        Search(dialog, "x");
        Click(dialog, IDC_LANDMARK_MAP);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(ListedRows(dialog).size(), 1u);
        Click(dialog, IDCANCEL);
    });
    DeleteFileA(program.c_str());
    EXPECT_EQ(code, -1);
    const std::vector<std::string> opened = test::BrowserLinesAfter(before);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "http://maps.test:8080/maps?spn=0.01,0.01&z=18&ll=35.681000,139.767000");
    EXPECT_EQ(conditions_.landmarkName[0], '\0');
}

TEST_F(LandmarkDialogTest, FailedFetchLeavesTheListEmptyTheFocusWhereItWasAndSaysNothing) {
    const struct {
        const char* fault;
        bool slow;
    } cases[] = {
        {"status404", false},
        {"status500", false},
        {"hang&seconds=8", true},  // given up after 5 seconds
    };
    for (const auto& c : cases) {
        Run([&c](HWND dialog) {
            Search(dialog, "東京");
            ASSERT_FALSE(ListedRows(dialog).empty());
            HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
            ASSERT_EQ(GetFocus(), list);

            ArmFault(c.fault);
            const DWORD start = GetTickCount();
            Click(dialog, IDC_LANDMARK_SEARCH);
            const DWORD elapsed = GetTickCount() - start;
            EXPECT_TRUE(ListedRows(dialog).empty()) << c.fault;
            EXPECT_EQ(GetFocus(), list) << c.fault;
            EXPECT_TRUE(Enabled(dialog, IDC_LANDMARK_SEARCH)) << c.fault;
            EXPECT_EQ(ShownDialog(), dialog);
            EXPECT_EQ(GetWindow(dialog, GW_ENABLEDPOPUP), nullptr) << "a message was shown";
            if (c.slow) {
                EXPECT_GE(elapsed, 4900u);
                EXPECT_LT(elapsed, 7500u);
            }
            // No row is selected any more: OK does nothing.
            Click(dialog, IDOK);
            EXPECT_TRUE(IsWindowVisible(dialog));
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(conditions_.landmarkName[0], '\0') << c.fault;
    }
}

TEST_F(LandmarkDialogTest, APageWithoutRowsOrAnEmptyTextPutsTheFocusOnTheText) {
    Run([](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_LANDMARK_LIST);
        HWND edit = GetDlgItem(dialog, IDC_LANDMARK_TEXT);
        Search(dialog, "東京");
        ASSERT_FALSE(ListedRows(dialog).empty());

        ServePage(Page(TableRow({"三つ", "だけ", "1"})));
        Search(dialog, "x");
        EXPECT_TRUE(ListedRows(dialog).empty());
        EXPECT_EQ(GetFocus(), edit);

        // An empty text clears the list and asks nothing.
        Search(dialog, "東京");
        ASSERT_FALSE(ListedRows(dialog).empty());
        const std::size_t asked = GeocodeTargets().size();
        Search(dialog, "");
        EXPECT_TRUE(ListedRows(dialog).empty());
        EXPECT_EQ(GeocodeTargets().size(), asked);
        EXPECT_EQ(GetFocus(), list);
        Click(dialog, IDCANCEL);
    });
}

TEST_F(LandmarkDialogTest, CancelDuringTheWaitEndsTheDialogWithoutWaitingTheTimeLimit) {
    DWORD elapsed = 0;
    const INT_PTR code = Run([&elapsed](HWND dialog) {
        ArmFault("hang&seconds=8");
        SetDlgItemTextA(dialog, IDC_LANDMARK_TEXT, "東京");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        const DWORD start = GetTickCount();
        Click(dialog, IDC_LANDMARK_SEARCH);
        elapsed = GetTickCount() - start;
    });
    EXPECT_EQ(code, -1);
    EXPECT_LT(elapsed, 2000u);
    EXPECT_EQ(conditions_.landmarkName[0], '\0');
}

}  // namespace
}  // namespace qx
