// KPXConfig on Windows: the settings dialog program. Its only window is the modal dialog; the
// program ends when the dialog closes.
#include "win32_dialog.h"

// The command line is not read: the program has none. The status is 0 once the dialog has
// run (OK or Cancel alike), 1 when it could not be created.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    CConfigDlg dlg(instance);
    return dlg.DoModal() == -1 ? 1 : 0;
}
