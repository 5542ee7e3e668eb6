#include "framework/Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/ControlWrapper.h"
#include "tests/support/TestResource.h"
#include "tests/support/WindowTestSupport.h"

namespace qx {
namespace {

// Records the reflected messages it receives and answers them with `answer`.
class ProbeWrapper : public ControlWrapper {
public:
    std::vector<UINT> reflected;
    std::vector<WORD> reflectedCommandCodes;
    LRESULT answer = 0;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (message < kReflectedMessageBase || message >= kReflectedMessageBase + WM_USER) {
            return false;
        }
        reflected.push_back(message - kReflectedMessageBase);
        if (message == ReflectedMessage(WM_COMMAND)) {
            reflectedCommandCodes.push_back(HIWORD(wParam));
        }
        result = answer;
        return true;
    }
};

class ProbeDialog : public DialogImpl<ProbeDialog> {
public:
    static const MessageMap kMessageMap;

    // Runs inside the initialisation, after the wrappers are bound.
    std::function<void(ProbeDialog&)> atInit;
    // Runs from the dialog's own loop once the initialisation is over.
    std::function<void(ProbeDialog&)> scenario;
    bool destroyAtInit = false;
    bool centreAtInit = false;

    UINT firstMessage = 0;
    HWND windowAtInit = nullptr;
    std::vector<std::string> handled;
    ProbeWrapper button;
    ProbeWrapper edit;
    ProbeWrapper label;

protected:
    bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (firstMessage == 0) {
            firstMessage = message;
        }
        return DialogImpl::RouteMessage(message, wParam, lParam, result);
    }

private:
    LRESULT OnInitDialog(WPARAM, LPARAM) {
        windowAtInit = Window();
        button.Bind(Item(IDC_TEST_BUTTON));
        edit.Bind(Item(IDC_TEST_EDIT));
        label.Bind(Item(IDC_TEST_LABEL));
        if (centreAtInit) {
            CentreOverOwner();
        }
        if (atInit) {
            atInit(*this);
        }
        if (destroyAtInit) {
            DestroyWindow();
            return FALSE;
        }
        PostMessageA(Window(), WM_APP, 0, 0);
        return TRUE;
    }
    LRESULT OnScenario(WPARAM, LPARAM) {
        if (scenario) {
            scenario(*this);
        }
        return 0;
    }
    void OnButton() { handled.push_back("button"); }
    void OnEditFocus() { handled.push_back("edit focus"); }
    void OnCancel() { EndDialog(-1); }
    LRESULT OnEditDoubleClick(NMHDR*) {
        handled.push_back("edit double click");
        return 42;
    }
    LRESULT OnAnyReturn(NMHDR* header) {
        handled.push_back("return from " + std::to_string(header->idFrom));
        return 43;
    }
};

const ProbeDialog::MessageMap ProbeDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &ProbeDialog::OnInitDialog),
    OnMessage(WM_APP, &ProbeDialog::OnScenario),
    OnCommand(IDC_TEST_BUTTON, &ProbeDialog::OnButton),
    OnCommandCode(IDC_TEST_EDIT, EN_SETFOCUS, &ProbeDialog::OnEditFocus),
    OnCommand(IDCANCEL, &ProbeDialog::OnCancel),
    OnNotify(IDC_TEST_EDIT, NM_DBLCLK, &ProbeDialog::OnEditDoubleClick),
    OnNotify(kAnyControl, NM_RETURN, &ProbeDialog::OnAnyReturn),
};

// A dialog with nothing in its map but an unrelated message.
class PlainDialog : public DialogImpl<PlainDialog> {
public:
    static const MessageMap kMessageMap;

private:
    LRESULT OnApp(WPARAM, LPARAM) { return 0; }
};

const PlainDialog::MessageMap PlainDialog::kMessageMap = {
    OnMessage(WM_APP, &PlainDialog::OnApp),
};

LRESULT SendNotify(HWND dialog, HWND from, UINT code) {
    NMHDR header{from, static_cast<UINT_PTR>(GetDlgCtrlID(from)), code};
    return SendMessageA(dialog, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::PumpPendingMessages(); }
    void TearDown() override { test::PumpPendingMessages(); }
};

TEST_F(DialogTest, ModalDialogIsBoundAtItsFirstMessageAndReturnsTheEndCode) {
    ProbeDialog dialog;
    HWND seenInScenario = nullptr;
    dialog.scenario = [&](ProbeDialog& d) {
        seenInScenario = d.Window();
        d.EndDialog(7);
    };
    EXPECT_EQ(dialog.DoModal(nullptr, IDD_TEST_BINDING), 7);
    EXPECT_EQ(dialog.firstMessage, static_cast<UINT>(WM_SETFONT)) << "bound before the initialisation";
    ASSERT_NE(dialog.windowAtInit, nullptr);
    EXPECT_EQ(seenInScenario, dialog.windowAtInit);
    EXPECT_EQ(dialog.Window(), nullptr);
    EXPECT_EQ(dialog.button.Window(), nullptr) << "unbound when its control was destroyed";
}

TEST_F(DialogTest, CommandsAreMatchedOnTheControlIdWhateverTheNotificationCode) {
    struct CommandCase {
        int id;
        WORD code;
        bool fromControl;
        const char* expected;  // empty: no handler runs
    };
    const CommandCase cases[] = {
        {IDC_TEST_BUTTON, BN_CLICKED, true, "button"},
        {IDC_TEST_BUTTON, BN_SETFOCUS, true, "button"},
        {IDC_TEST_BUTTON, 0x7777, true, "button"},
        {IDC_TEST_BUTTON, 0, false, "button"},
        {IDC_TEST_EDIT, EN_SETFOCUS, true, "edit focus"},
        {IDC_TEST_EDIT, EN_KILLFOCUS, true, ""},
        {IDC_TEST_LABEL, STN_CLICKED, true, ""},
        {0x4321, BN_CLICKED, false, ""},
    };
    ProbeDialog dialog;
    dialog.scenario = [&](ProbeDialog& d) {
        for (const CommandCase& c : cases) {
            d.handled.clear();
            const LPARAM from = c.fromControl ? reinterpret_cast<LPARAM>(d.Item(c.id)) : 0;
            SendMessageA(d.Window(), WM_COMMAND, MAKEWPARAM(c.id, c.code), from);
            const std::vector<std::string> expected =
                *c.expected ? std::vector<std::string>{c.expected} : std::vector<std::string>{};
            EXPECT_EQ(d.handled, expected) << "id " << c.id << " code " << c.code;
        }
        d.EndDialog(0);
    };
    ASSERT_EQ(dialog.DoModal(nullptr, IDD_TEST_BINDING), 0);
    EXPECT_EQ(dialog.edit.reflectedCommandCodes, (std::vector<WORD>{EN_KILLFOCUS}));
    EXPECT_EQ(dialog.label.reflectedCommandCodes, (std::vector<WORD>{STN_CLICKED}));
    EXPECT_TRUE(dialog.button.reflected.empty()) << "a handled command is not reflected as well";
}

TEST_F(DialogTest, NotificationsGoToTheirEntryAndAnswerThroughTheDialog) {
    ProbeDialog dialog;
    dialog.scenario = [&](ProbeDialog& d) {
        EXPECT_EQ(SendNotify(d.Window(), d.Item(IDC_TEST_EDIT), NM_DBLCLK), 42);
        EXPECT_EQ(SendNotify(d.Window(), d.Item(IDC_TEST_LABEL), NM_RETURN), 43);
        EXPECT_EQ(SendNotify(d.Window(), d.Item(IDC_TEST_EDIT), NM_RETURN), 43);
        d.label.answer = 77;
        EXPECT_EQ(SendNotify(d.Window(), d.Item(IDC_TEST_LABEL), NM_CLICK), 77) << "reflected, answered by the wrapper";
        EXPECT_EQ(SendMessageA(d.Window(), WM_NOTIFY, 0, 0), 0) << "a notification without a header is ignored";
        d.EndDialog(0);
    };
    ASSERT_EQ(dialog.DoModal(nullptr, IDD_TEST_BINDING), 0);
    EXPECT_EQ(dialog.handled, (std::vector<std::string>{"edit double click", "return from " + std::to_string(IDC_TEST_LABEL),
                                                        "return from " + std::to_string(IDC_TEST_EDIT)}));
    EXPECT_TRUE(dialog.edit.reflected.empty());
    EXPECT_EQ(dialog.label.reflected, (std::vector<UINT>{WM_NOTIFY}));
}

// Records what reaches a control that no wrapper holds.
std::vector<UINT> rawReflected;
WNDPROC rawPrevious = nullptr;
LRESULT CALLBACK RawProbe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kReflectedMessageBase && message < kReflectedMessageBase + WM_USER) {
        rawReflected.push_back(message);
    }
    return CallWindowProcA(rawPrevious, window, message, wParam, lParam);
}

TEST_F(DialogTest, RealChildMessagesAreReflectedOnlyToWrappedDirectChildren) {
    ProbeDialog other;
    ASSERT_NE(other.Create(nullptr, IDD_TEST_BINDING), nullptr);
    ProbeDialog dialog;
    rawReflected.clear();
    dialog.scenario = [&](ProbeDialog& d) {
        // A modal dialog shows itself only once its queue is empty.
        test::ShowAndPaint(d.Window());
        HWND ok = d.Item(IDOK);
        rawPrevious = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RawProbe)));

        SetWindowTextA(d.Item(IDC_TEST_EDIT), "abc");
        SendMessageA(d.Item(IDC_TEST_BUTTON), BM_CLICK, 0, 0);
        d.label.answer = reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
        RedrawWindow(d.Item(IDC_TEST_LABEL), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT labelRect;
        GetClientRect(d.Item(IDC_TEST_LABEL), &labelRect);
        EXPECT_EQ(test::ClientPixel(d.Item(IDC_TEST_LABEL), labelRect.right - 2, 1), 0x000000u)
            << "the static painted its background with the wrapper's brush";

        SendNotify(d.Window(), ok, NM_CLICK);
        SendNotify(d.Window(), other.Item(IDC_TEST_LABEL), NM_CLICK);
        SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rawPrevious));
        d.EndDialog(0);
    };
    ASSERT_EQ(dialog.DoModal(nullptr, IDD_TEST_BINDING), 0);
    EXPECT_NE(std::find(dialog.edit.reflectedCommandCodes.begin(), dialog.edit.reflectedCommandCodes.end(), EN_CHANGE),
              dialog.edit.reflectedCommandCodes.end());
    EXPECT_EQ(dialog.handled, (std::vector<std::string>{"button"}));
    EXPECT_TRUE(dialog.button.reflectedCommandCodes.empty()) << "a handled command is not reflected as well";
    EXPECT_NE(std::find(dialog.button.reflected.begin(), dialog.button.reflected.end(), WM_CTLCOLORBTN),
              dialog.button.reflected.end());
    EXPECT_NE(std::find(dialog.label.reflected.begin(), dialog.label.reflected.end(), WM_CTLCOLORSTATIC),
              dialog.label.reflected.end());
    EXPECT_TRUE(rawReflected.empty()) << "a control without a wrapper gets nothing reflected";
    EXPECT_TRUE(other.label.reflected.empty()) << "a child of another dialog gets nothing reflected";
}

TEST_F(DialogTest, WrapperPutsTheProcedureBackAndRefusesASecondBinding) {
    ProbeDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, IDD_TEST_BINDING), nullptr);
    HWND ok = dialog.Item(IDOK);
    const LONG_PTR original = GetWindowLongPtrA(ok, GWLP_WNDPROC);
    {
        ProbeWrapper first;
        ProbeWrapper second;
        EXPECT_FALSE(first.Bind(nullptr));
        EXPECT_FALSE(first.Bind(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234))));
        ASSERT_TRUE(first.Bind(ok));
        EXPECT_NE(GetWindowLongPtrA(ok, GWLP_WNDPROC), original);
        EXPECT_FALSE(first.Bind(dialog.Item(IDC_TEST_LABEL))) << "one control per wrapper";
        EXPECT_FALSE(second.Bind(ok)) << "one wrapper per control";
        EXPECT_EQ(ControlWrapper::FromWindow(ok), &first);
        EXPECT_FALSE(dialog.edit.Bind(dialog.Item(IDC_TEST_EDIT)));
    }
    EXPECT_EQ(GetWindowLongPtrA(ok, GWLP_WNDPROC), original);
    EXPECT_EQ(ControlWrapper::FromWindow(ok), nullptr);
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.handled.empty()) << "IDOK has no entry; the control still works after unbinding";
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.Window(), nullptr);
    EXPECT_EQ(dialog.edit.Window(), nullptr);
}

TEST_F(DialogTest, AFailedCreationLeavesNoBindingForTheNextDialog) {
    ProbeDialog missing;
    EXPECT_EQ(missing.Create(nullptr, IDD_TEST_MISSING), nullptr);
    EXPECT_EQ(missing.DoModal(nullptr, IDD_TEST_MISSING), -1);
    EXPECT_EQ(missing.Window(), nullptr);

    ProbeDialog dialog;
    HWND created = dialog.Create(nullptr, IDD_TEST_BINDING);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(dialog.Window(), created);
    EXPECT_EQ(dialog.windowAtInit, created);
    EXPECT_EQ(missing.firstMessage, 0u);
    EXPECT_EQ(missing.Window(), nullptr);
}

TEST_F(DialogTest, ModelessDialogThatDestroysItselfDuringInitialisationYieldsNoWindow) {
    ProbeDialog dialog;
    dialog.destroyAtInit = true;
    EXPECT_EQ(dialog.Create(nullptr, IDD_TEST_BINDING), nullptr);
    EXPECT_NE(dialog.windowAtInit, nullptr);
    EXPECT_FALSE(IsWindow(dialog.windowAtInit));
    EXPECT_EQ(dialog.Window(), nullptr);
}

TEST_F(DialogTest, DialogWithoutInitialisationHandlerGetsTheDefaultFocus) {
    PlainDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, IDD_TEST_BINDING), nullptr);
    EXPECT_EQ(GetFocus(), dialog.Item(IDOK)) << "the first tab stop";
}

TEST_F(DialogTest, DestroyingAModelessDialogObjectDestroysItsWindow) {
    HWND created = nullptr;
    {
        ProbeDialog dialog;
        created = dialog.Create(nullptr, IDD_TEST_BINDING);
        ASSERT_NE(created, nullptr);
        test::PumpPendingMessages();
    }
    EXPECT_FALSE(IsWindow(created));
}

TEST_F(DialogTest, ModalDialogOpenedDuringAnotherDialogsCreationBindsToItsOwnObject) {
    ProbeDialog outer;
    ProbeDialog inner;
    INT_PTR innerCode = 0;
    inner.scenario = [](ProbeDialog& d) { d.EndDialog(3); };
    outer.atInit = [&](ProbeDialog& d) { innerCode = inner.DoModal(d.Window(), IDD_TEST_BINDING); };
    HWND created = outer.Create(nullptr, IDD_TEST_BINDING);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(innerCode, 3);
    EXPECT_EQ(outer.windowAtInit, created);
    ASSERT_NE(inner.windowAtInit, nullptr);
    EXPECT_NE(inner.windowAtInit, created);
    EXPECT_EQ(outer.edit.Window(), GetDlgItem(created, IDC_TEST_EDIT)) << "the outer wrappers stay bound";
    EXPECT_EQ(inner.edit.Window(), nullptr);
}

TEST_F(DialogTest, DialogCentresOverAVisibleOwnerElseOverTheWorkArea) {
    RECT workArea;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0));
    enum class OwnerState { Visible, Hidden, Minimised };
    for (OwnerState state : {OwnerState::Visible, OwnerState::Hidden, OwnerState::Minimised}) {
        ProbeDialog owner;
        ASSERT_NE(owner.Create(nullptr, IDD_TEST_HOST), nullptr);
        SetWindowPos(owner.Window(), nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (state != OwnerState::Hidden) {
            ShowWindow(owner.Window(), SW_SHOWNOACTIVATE);
        }
        if (state == OwnerState::Minimised) {
            ShowWindow(owner.Window(), SW_MINIMIZE);
        }
        RECT over = workArea;
        if (state == OwnerState::Visible) {
            GetWindowRect(owner.Window(), &over);
        }
        ProbeDialog dialog;
        dialog.centreAtInit = true;
        RECT placed{};
        dialog.scenario = [&](ProbeDialog& d) {
            GetWindowRect(d.Window(), &placed);
            d.EndDialog(0);
        };
        ASSERT_EQ(dialog.DoModal(owner.Window(), IDD_TEST_BINDING), 0);
        const int width = placed.right - placed.left;
        const int height = placed.bottom - placed.top;
        int left = over.left + (over.right - over.left) / 2 - width / 2;
        int top = over.top + (over.bottom - over.top) / 2 - height / 2;
        left = left < workArea.left ? workArea.left : left;
        top = top < workArea.top ? workArea.top : top;
        EXPECT_EQ(placed.left, left) << static_cast<int>(state);
        EXPECT_EQ(placed.top, top) << static_cast<int>(state);
    }
}

}  // namespace
}  // namespace qx
