// A modeless test dialog on a test-only template whose initialisation runs a
// given set-up (binding wrappers, filling controls) while the dialog is being
// created, as the program's dialogs do. It reflects child notifications like
// every dialog.
#pragma once

#include <functional>

#include "framework/Dialog.h"

namespace qx::test {

class HostDialog : public DialogImpl<HostDialog> {
public:
    static const MessageMap kMessageMap;

    explicit HostDialog(std::function<void(HostDialog&)> setUp) : setUp_(std::move(setUp)) {}

private:
    LRESULT OnInitDialog(WPARAM, LPARAM) {
        if (setUp_) {
            setUp_(*this);
        }
        return TRUE;
    }

    std::function<void(HostDialog&)> setUp_;
};

}  // namespace qx::test
