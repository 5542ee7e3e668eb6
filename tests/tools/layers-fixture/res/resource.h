#define IDD_MAIN 129
