// Dialog templates of the control-container tests.
#define IDD_OCC_CONTROL 200  // the test control (hidden), between two buttons
#define IDD_OCC_TYPEINFO 201 // the type-information control (visible) and a control no one can create
#define IDD_OCC_BROWSER 202  // the system's web browser (hidden)
