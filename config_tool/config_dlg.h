// CConfigDlg: the settings dialog, built from the control table of dialog 102.
#pragma once

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/radiobut.h>

#include <array>
#include <vector>

#include "config_members.h"
#include "dialog_template.h"

class CConfigDlg : public wxDialog, public ConfigDlgMembers {
  public:
    // No parent window. Creates the controls and loads the application icon.
    CConfigDlg();

    // true: controls to members; false: members to controls. Always succeeds.
    bool UpdateData(bool saveAndValidate = true);

    // The control created from row `row` of the control table.
    wxWindow* controlAt(std::size_t row) const { return m_controls.at(row); }
    // The control with template ID `id` (not IDC_STATIC), or nullptr.
    wxWindow* control(int id) const;

    wxIconBundle m_hIcon;

  private:
    // A radio group of the table, and the hidden extra button that clears it: GTK always keeps
    // one button of a group checked, so "no button selected" is that hidden button checked.
    struct RadioGroup {
        std::vector<wxRadioButton*> buttons;
        wxRadioButton* clearer = nullptr;
    };

    void limitFrameToCloseBox();
    void createControls();
    // Makes the table's radio groups; for each row, the ID of the control that starts its group
    // (0 for a row that is no radio button).
    std::vector<int> findRadioGroups();
    // The control of a table row other than a radio button, at `rect` (pixels).
    wxWindow* createControl(const DialogControl& control, const wxRect& rect);
    // The radio button of table row `row`, in the group starting at `groupStart`; after the
    // group's last button, also the group's clearer.
    wxWindow* createRadioButton(std::size_t row, int groupStart, wxRect rect);
    void setRadioGroup(RadioGroup& group, int index);
    static int radioGroupIndex(const RadioGroup& group);
    RadioGroup& groupStartingAt(int firstId);

    void OnInitDialog(wxInitDialogEvent& event);
    void OnPaint(wxPaintEvent& event);
    // Tab, Shift+Tab and the arrow keys: the focus moves as the control table's tab stops
    // and groups say (keyboard_traversal.h).
    void OnCharHook(wxKeyEvent& event);
    std::vector<bool> checkedRadioButtons() const;  // per table row
    void OnOK(wxCommandEvent& event);
    void OnPresetCompatibility(wxCommandEvent& event);
    void OnPresetDefault(wxCommandEvent& event);
    void OnPresetPreferred(wxCommandEvent& event);
    void applyPresetToControls(Preset preset);

    std::array<wxWindow*, kConfigDialogControls.size()> m_controls{};
    std::vector<std::pair<int, RadioGroup>> m_radioGroups;  // by the ID of the group's start
    wxCheckBox* m_useSound = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// Maps a template ID to the toolkit's: OK and Cancel have their own IDs there, and an
// unaddressed control gets a fresh one.
wxWindowID toolkitId(int templateId);
