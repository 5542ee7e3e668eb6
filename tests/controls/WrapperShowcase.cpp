// Shows the three control wrappers on a test dialog for a given number of
// milliseconds (default 5000), so that a screenshot can be taken: a list
// sorted by its integer column with banded rows, a caption and a picture.
// Usage: wrapper_showcase.exe [milliseconds]
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "TestPictures.h"
#include "framework/Application.h"
#include "app/CMessageLoop.h"
#include "framework/CentreWindow.h"
#include "controls/CaptionLabel.h"
#include "controls/PictureBox.h"
#include "controls/SortableListView.h"
#include "tests/support/HostDialog.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace {

struct Hotel {
    const char* number;
    const char* name;
    const char* charge;
};

const Hotel kHotels[] = {
    {"101", "ホテル港町", "12,600"},  {"102", "旅館さくら", "9,800"},  {"103", "ビジネスホテル駅前", "6,500"},
    {"104", "湖畔の宿", "21,000"},    {"105", "シティホテル", "15,750"}, {"106", "民宿はまなす", "7,200"},
};

void SetUpDialog(qx::test::HostDialog& dialog, qx::SortableListView& list, qx::CaptionLabel& caption,
                 qx::PictureBox& picture) {
    list.Bind(dialog.Item(IDC_TEST_LIST));
    list.numericColumn[2] = 1;
    const qx::ListControl rows(dialog.Item(IDC_TEST_LIST));
    SendMessageA(rows.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    rows.InsertColumn(0, "ID", LVCFMT_LEFT, 0);
    rows.InsertColumn(1, "施設名", LVCFMT_LEFT, 150);
    rows.InsertColumn(2, "最低価格", LVCFMT_RIGHT, 80);
    for (const Hotel& hotel : kHotels) {
        const int row = rows.InsertRow(rows.RowCount(), hotel.number);
        rows.SetCellText(row, 1, hotel.name);
        rows.SetCellText(row, 2, hotel.charge);
    }
    list.ascending[2] = 0;
    list.SortByColumn(2);

    caption.Bind(dialog.Item(IDC_TEST_CAPTION));
    caption.startColour = RGB(50, 50, 255);
    caption.endColour = RGB(150, 150, 240);
    caption.textColour = RGB(255, 255, 255);

    HWND box = dialog.Item(IDC_TEST_PICTURE);
    SetWindowPos(box, nullptr, 0, 0, 150, 195, SWP_NOMOVE | SWP_NOZORDER);
    picture.Attach(box);
    picture.PrepareDrawingContext();
}

void CALLBACK EndShowcase(HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(0);
}

}  // namespace

int main(int argc, char** argv) {
    const int milliseconds = argc > 1 ? std::atoi(argv[1]) : 5000;
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    qx::Application::Instance().Initialise(GetModuleHandleA(nullptr));

    qx::SortableListView list;
    qx::CaptionLabel caption;
    qx::PictureBox picture;
    qx::test::HostDialog dialog(
        [&](qx::test::HostDialog& d) { SetUpDialog(d, list, caption, picture); });
    int result = 1;
    if (dialog.Create(nullptr, IDD_TEST_HOST) != nullptr) {
        qx::CentreWindow(dialog.Window(), nullptr);
        ShowWindow(dialog.Window(), SW_SHOW);
        const std::string path = qx::test::WriteResourceFile(IDR_PICTURE_640X480, "qx_showcase.jpg");
        picture.LoadFile(path.c_str());
        SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), &EndShowcase);
        qx::CMessageLoop loop;
        result = loop.Run();
        dialog.DestroyWindow();
        DeleteFileA(path.c_str());
    }
    qx::Application::Instance().Release();
    CoUninitialize();
    return result;
}
