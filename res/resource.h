// Resource ids of QX Frontend, one header for every template and the code.
// Grouped by kind in ranges that cannot collide; the numeric values are the
// ones the dialog templates fix. Control ids repeat between dialogs, so each
// dialog has its own block, named after the dialog.
#pragma once

// Dialog templates
#define IDD_MAIN 129
#define IDD_SEARCH_CONDITIONS 201
#define IDD_FETCH_PROGRESS 202
#define IDD_PLAN_INFORMATION 205
#define IDD_LANDMARK 206

// Icons
#define IDI_APP 128
#define IDI_HOTEL 204

// Timers
#define IDT_PROGRESS_SHOW 1200

// Commands shared by several dialogs
#define IDC_HELP_BUTTON 57670

// Main window (IDD_MAIN)
#define IDC_MAIN_EXIT 2
#define IDC_MAIN_DUMMY 1
#define IDC_HOTEL_LIST 1015
#define IDC_CHECKIN_CALENDAR 1023
#define IDC_MAP_BUTTON 1024
#define IDC_SEARCH_BUTTON 1025
#define IDC_AREA_SUMMARY 1026
#define IDC_PERIOD_SUMMARY 1027
#define IDC_BUDGET_SUMMARY 1028
#define IDC_PEOPLE_SUMMARY 1029
#define IDC_OPTIONS_SUMMARY 1030
#define IDC_ROOMS_SUMMARY 1031
#define IDC_PLAN_BUTTON 1032
#define IDC_PAGE_BUTTON 1033
#define IDC_CONDITIONS_CAPTION 1034
#define IDC_HOTEL_COUNT 1035

// Fetch progress (IDD_FETCH_PROGRESS)
#define IDC_PROGRESS_LABEL 1016

// Search conditions (IDD_SEARCH_CONDITIONS)
#define IDC_MIDDLE_CLASS_LIST 1000
#define IDC_SMALL_CLASS_LIST 1001
#define IDC_DETAIL_CLASS_LIST 1002
#define IDC_ADULT_LIST 1003
#define IDC_CHILD_LIST 1004
#define IDC_INFANT_LIST 1005
#define IDC_ROOM_LIST 1006
#define IDC_CHECKIN_PICKER 1007
#define IDC_CHECKOUT_PICKER 1008
#define IDC_RADIUS_LIST 1009
#define IDC_AREA_RADIO 1010
#define IDC_LANDMARK_RADIO 1011
#define IDC_LANDMARK_NAME 1012
#define IDC_OPTION_LIST 1020
#define IDC_BUDGET_MIN 1021
#define IDC_BUDGET_MAX 1022
#define IDC_BUDGET_CHECK 1027
#define IDC_AREA_CAPTION 1033
#define IDC_STAY_CAPTION 1034

// Plan information (IDD_PLAN_INFORMATION)
#define IDC_PLAN_CLOSE 1
#define IDC_PLAN_CANCEL 2
#define IDC_RESERVE_BUTTON 3
#define IDC_HOTEL_NAME 1021
#define IDC_TELEPHONE_NO 1022
#define IDC_FAX_NO 1023
#define IDC_HOTEL_SPECIAL 1024
#define IDC_ACCESS 1025
#define IDC_PARKING 1026
#define IDC_CHECKIN_TIME 1027
#define IDC_CHECKOUT_TIME 1028
#define IDC_PLAN_LIST 1029
#define IDC_HOTEL_PICTURE 1030
#define IDC_HOTEL_PAGE_BUTTON 1033

// Landmark (IDD_LANDMARK)
#define IDC_LANDMARK_MAP 3
#define IDC_LANDMARK_SEARCH 1025
#define IDC_LANDMARK_LIST 1031
#define IDC_LANDMARK_TEXT 1032
