// KPXConfig: the settings dialog program. Its only window is the modal dialog; the program
// ends when the dialog closes.
#include <wx/app.h>

#include "config_dlg.h"

namespace {

bool dialogShown = false;

}  // namespace

class CConfigApp : public wxApp {
  public:
    // Runs the dialog modally and returns false, so the program ends with the dialog, with
    // no event loop of its own. Command-line options are not parsed: the program has none.
    // Hosting controls from other components and 3-D control drawing need no setting up here.
    bool OnInit() override {
        CConfigDlg dlg;
        SetTopWindow(&dlg);
        dlg.ShowModal();  // OK or Cancel: the result is not used
        SetTopWindow(nullptr);
        dialogShown = true;
        return false;
    }
};

wxIMPLEMENT_APP_NO_MAIN(CConfigApp);

// The toolkit reports a start that ends in OnInit returning false as a failure; here that is
// the normal end, so the status is 0 once the dialog has been shown, 1 when the toolkit could
// not start (no display).
int main(int argc, char** argv) {
    wxEntry(argc, argv);
    return dialogShown ? 0 : 1;
}
