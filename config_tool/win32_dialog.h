// CConfigDlg on Windows: dialog 102 as a real dialog template, assembled in memory from the
// control table and run by the system's dialog manager.
#pragma once

// The table's control IDs first: windows.h defines IDOK and IDCANCEL as macros of the same
// values, which would otherwise clash with the table's enumerators.
#include "config_members.h"
#include "dialog_template.h"

#include <windows.h>

#include <span>
#include <vector>

// The template in the layout DialogBoxIndirectParam reads: the frame (styles, control count,
// rectangle, caption, font) and each control (styles, rectangle, ID, class, text), every
// control aligned to four bytes. Texts are stored as UTF-16.
std::vector<WORD> buildDialogTemplate(const DialogFrame& frame,
                                      std::span<const DialogControl> controls);

class CConfigDlg : public ConfigDlgMembers {
  public:
    // No parent window. Loads the application icon, icon resource 128.
    explicit CConfigDlg(HINSTANCE instance);

    // Runs the dialog modally: IDOK, IDCANCEL, or -1 when it could not be created.
    INT_PTR DoModal();

    // true: controls to members; false: members to controls. Always succeeds.
    bool UpdateData(bool saveAndValidate = true);

    HICON m_hIcon;

  private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    bool OnPaint();
    void OnCommand(int id);
    void OnOK();
    void applyPresetToControls(Preset preset);

    HINSTANCE m_instance;
    HWND m_hWnd = nullptr;
};
