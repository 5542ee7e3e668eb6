// Resource ids of QX Frontend, one header for every template and the code.
// Grouped by kind in ranges that cannot collide; the numeric values are the
// ones the dialog templates fix.
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
#define IDT_FETCH_START 1200
#define IDT_PICTURE_START 1201

// Controls are added below, one block per dialog, in template order.
