#include "tests/support/HostDialog.h"

namespace qx::test {

const HostDialog::MessageMap HostDialog::kMessageMap = {
    OnMessage(WM_INITDIALOG, &HostDialog::OnInitDialog),
};

}  // namespace qx::test
