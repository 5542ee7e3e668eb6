// Resource ids of the test-only dialog templates.
#pragma once

#define IDD_TEST_BINDING 900
#define IDD_TEST_HOST 901
#define IDD_TEST_MISSING 999

#define IDC_TEST_LIST 1001
#define IDC_TEST_CAPTION 1002
#define IDC_TEST_PICTURE 1003
#define IDC_TEST_BUTTON 1004
#define IDC_TEST_EDIT 1005
#define IDC_TEST_LABEL 1006
