#include "config_dlg.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/font.h>
#include <wx/icon.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <optional>

#include "icon/kpxconfig_16.xpm"
#include "icon/kpxconfig_32.xpm"
#include "keyboard_traversal.h"
#include "radio_group.h"

wxWindowID toolkitId(int templateId) {
    switch (templateId) {
        case IDOK:
            return wxID_OK;
        case IDCANCEL:
            return wxID_CANCEL;
        case IDC_STATIC:
            return wxID_ANY;
        default:
            return templateId;
    }
}

CConfigDlg::CConfigDlg() {
    const DialogFrame& frame = kConfigDialogFrame;
    // A caption with a close box, no minimise or maximise box, not resizable; no parent, so
    // the window manager gives it its own taskbar entry.
    Create(nullptr, wxID_ANY, wxString::FromUTF8(frame.caption),
           wxPoint(frame.rect.x, frame.rect.y), wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxDIALOG_NO_PARENT);
    limitFrameToCloseBox();
    // The 8-point sans serif face of the template; dialog units follow from its metrics.
    SetFont(wxFontInfo(frame.fontPointSize).Family(wxFONTFAMILY_SWISS));
    const wxSize base = ConvertDialogToPixels(wxSize(4, 8));
    const PixelRect client =
        dialogUnitsToPixels(DialogRect{0, 0, frame.rect.width, frame.rect.height}, base.x, base.y);
    SetClientSize(client.width, client.height);
    createControls();

    m_hIcon.AddIcon(wxIcon(kpxconfig_32_xpm));
    m_hIcon.AddIcon(wxIcon(kpxconfig_16_xpm));
}

void CConfigDlg::limitFrameToCloseBox() {
    // The toolkit leaves the frame to the window manager's defaults, which include minimise
    // and maximise boxes. Ask for a title bar with the window menu and a close box only,
    // through the Motif hints, which X window managers honour.
    auto* widget = static_cast<GtkWidget*>(GetHandle());
    gtk_widget_realize(widget);
    GdkWindow* window = gtk_widget_get_window(widget);
    gdk_window_set_decorations(
        window, static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
    gdk_window_set_functions(window, static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
}

void CConfigDlg::createControls() {
    const wxSize base = ConvertDialogToPixels(wxSize(4, 8));
    const std::span<const DialogControl> table(kConfigDialogControls);
    const std::vector<int> groupStartOfRow = findRadioGroups();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const DialogControl& c = table[i];
        const PixelRect px = dialogUnitsToPixels(c.rect, base.x, base.y);
        const wxRect rect(px.x, px.y, px.width, px.height);
        m_controls[i] = c.kind == ControlKind::AutoRadioButton
                            ? createRadioButton(i, groupStartOfRow[i], rect)
                            : createControl(c, rect);
        if (c.id == IDC_USE_SOUND) {
            m_useSound = static_cast<wxCheckBox*>(m_controls[i]);
        }
    }
}

std::vector<int> CConfigDlg::findRadioGroups() {
    const std::span<const DialogControl> table(kConfigDialogControls);
    std::vector<int> groupStartOfRow(table.size(), 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i == 0 || (table[i].flags & kGroup) != 0) {
            const std::vector<std::size_t> members = radioGroupMembers(table, table[i].id);
            if (!members.empty()) {
                m_radioGroups.emplace_back(table[i].id, RadioGroup{});
            }
            for (std::size_t row : members) {
                groupStartOfRow[row] = table[i].id;
            }
        }
    }
    return groupStartOfRow;
}

wxWindow* CConfigDlg::createControl(const DialogControl& c, const wxRect& rect) {
    const wxString text = wxString::FromUTF8(c.text);
    const wxWindowID id = toolkitId(c.id);
    switch (c.kind) {
        case ControlKind::DefPushButton: {
            auto* button = new wxButton(this, id, text, rect.GetPosition(), rect.GetSize());
            button->SetDefault();
            return button;
        }
        case ControlKind::PushButton:
            return new wxButton(this, id, text, rect.GetPosition(), rect.GetSize());
        case ControlKind::GroupBox:
            return new wxStaticBox(this, id, text, rect.GetPosition(), rect.GetSize());
        case ControlKind::AutoCheckBox:
            return new wxCheckBox(this, id, text, rect.GetPosition(), rect.GetSize());
        case ControlKind::CenteredStatic:
            return new wxStaticText(this, id, text, rect.GetPosition(), rect.GetSize(),
                                    wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
        case ControlKind::AutoRadioButton:
            break;  // createRadioButton's
    }
    return nullptr;
}

wxWindow* CConfigDlg::createRadioButton(std::size_t row, int groupStart, wxRect rect) {
    const DialogControl& c = kConfigDialogControls[row];
    RadioGroup& group = groupStartingAt(groupStart);
    auto* radio =
        new wxRadioButton(this, toolkitId(c.id), wxString::FromUTF8(c.text), rect.GetPosition(),
                          rect.GetSize(), group.buttons.empty() ? wxRB_GROUP : 0);
    // GTK draws a radio button no lower than its own minimum; a lower template rectangle keeps
    // its centre line, so the text stays where the template has it.
    const int minHeight = radio->GetBestSize().y;
    if (rect.height < minHeight) {
        rect.y -= (minHeight - rect.height) / 2;
        rect.height = minHeight;
        radio->SetSize(rect);
    }
    group.buttons.push_back(radio);
    if (row == radioGroupMembers(kConfigDialogControls, groupStart).back()) {
        // Joins the group because it directly follows the group's last button.
        group.clearer = new wxRadioButton(this, wxID_ANY, wxString(), wxPoint(0, 0), wxSize(1, 1));
        group.clearer->Hide();
    }
    return radio;
}

CConfigDlg::RadioGroup& CConfigDlg::groupStartingAt(int firstId) {
    const auto found =
        std::find_if(m_radioGroups.begin(), m_radioGroups.end(),
                     [firstId](const auto& entry) { return entry.first == firstId; });
    return found->second;
}

wxWindow* CConfigDlg::control(int id) const {
    for (std::size_t i = 0; i < kConfigDialogControls.size(); ++i) {
        if (kConfigDialogControls[i].id == id && id != IDC_STATIC) {
            return m_controls[i];
        }
    }
    return nullptr;
}

void CConfigDlg::setRadioGroup(RadioGroup& group, int index) {
    const std::vector<bool> checks = radioChecksFromIndex(index, group.buttons.size());
    const auto checked = std::find(checks.begin(), checks.end(), true);
    if (checked == checks.end()) {
        group.clearer->SetValue(true);
    } else {
        group.buttons[static_cast<std::size_t>(checked - checks.begin())]->SetValue(true);
    }
}

int CConfigDlg::radioGroupIndex(const RadioGroup& group) {
    std::vector<bool> checks;
    for (const wxRadioButton* button : group.buttons) {
        checks.push_back(button->GetValue());
    }
    return radioIndexFromChecks(checks);
}

bool CConfigDlg::UpdateData(bool saveAndValidate) {
    RadioGroup& bitDepth = groupStartingAt(IDC_DEPTH_16);
    RadioGroup& refreshRate = groupStartingAt(IDC_RATE_60);
    RadioGroup& resolution = groupStartingAt(IDC_RES_640X480);
    if (saveAndValidate) {
        m_bUseSound = m_useSound->GetValue() ? 1 : 0;
        m_nBitDepth = radioGroupIndex(bitDepth);
        m_nRefreshRate = radioGroupIndex(refreshRate);
        m_nResolution = radioGroupIndex(resolution);
    } else {
        // A stored sound byte other than 0 or 1 shows as checked; OK then stores 1.
        m_useSound->SetValue(m_bUseSound != 0);
        setRadioGroup(bitDepth, m_nBitDepth);
        setRadioGroup(refreshRate, m_nRefreshRate);
        setRadioGroup(resolution, m_nResolution);
    }
    return true;
}

void CConfigDlg::OnInitDialog(wxInitDialogEvent& event) {
    wxDialog::OnInitDialog(event);
    SetIcons(m_hIcon);  // the big and the small icon
    loadSettings(*this);
    UpdateData(false);
    // The first tab stop, "OK", takes the focus.
    controlAt(0)->SetFocus();
}

std::vector<bool> CConfigDlg::checkedRadioButtons() const {
    std::vector<bool> checked(m_controls.size(), false);
    for (std::size_t row = 0; row < m_controls.size(); ++row) {
        if (auto* radio = dynamic_cast<wxRadioButton*>(m_controls[row])) {
            checked[row] = radio->GetValue();
        }
    }
    return checked;
}

namespace {

// The keys the dialog itself moves the focus with; the others go on to the controls (Space
// to the focused control, Enter to the focused push button or else OK, Escape to Cancel).
// Ctrl does not change them, so that the toolkit's own traversal, bound to Ctrl+Tab and
// Ctrl+arrows, never runs.
std::optional<NavigationKey> navigationKey(const wxKeyEvent& event) {
    if (event.AltDown() || event.MetaDown()) {
        return std::nullopt;
    }
    switch (event.GetKeyCode()) {
        case WXK_TAB:
            return event.ShiftDown() ? NavigationKey::ShiftTab : NavigationKey::Tab;
        case WXK_DOWN:
        case WXK_RIGHT:
        case WXK_NUMPAD_DOWN:
        case WXK_NUMPAD_RIGHT:
            return NavigationKey::Next;
        case WXK_UP:
        case WXK_LEFT:
        case WXK_NUMPAD_UP:
        case WXK_NUMPAD_LEFT:
            return NavigationKey::Previous;
        default:
            return std::nullopt;
    }
}

}  // namespace

void CConfigDlg::OnCharHook(wxKeyEvent& event) {
    const std::optional<NavigationKey> key = navigationKey(event);
    if (!key) {
        event.Skip();
        return;
    }
    // The toolkit's own traversal is geometric and knows nothing of the table's groups, so
    // the dialog moves the focus itself and keeps the key from the toolkit.
    const auto focused = std::find(m_controls.begin(), m_controls.end(), FindFocus());
    std::size_t from = 0;
    if (focused != m_controls.end()) {
        from = static_cast<std::size_t>(focused - m_controls.begin());
    } else if (*key == NavigationKey::Tab || *key == NavigationKey::ShiftTab) {
        // Nothing of ours has the focus: Tab starts before the first control, Shift+Tab after
        // the last.
        from = *key == NavigationKey::Tab ? m_controls.size() - 1 : 0;
    } else {
        return;
    }
    const FocusMove move = moveFocus(kConfigDialogControls, checkedRadioButtons(), from, *key);
    wxWindow* target = m_controls[move.row];
    target->SetFocus();
    if (move.select) {
        static_cast<wxRadioButton*>(target)->SetValue(true);
    }
    // The toolkit shows the focus ring itself once a key has been pressed in the window.
}

void CConfigDlg::OnPaint(wxPaintEvent& event) {
    if (IsIconized()) {
        // Nothing to draw: on X11 a minimised window is not shown at all, and the window
        // manager draws its icon itself from the icons set with SetIcons.
        wxPaintDC dc(this);
        return;
    }
    event.Skip();
}

void CConfigDlg::OnOK(wxCommandEvent&) {
    UpdateData(true);
    saveSettings(*this);
    EndDialog(wxID_OK);
}

void CConfigDlg::applyPresetToControls(Preset preset) {
    applyPreset(*this, preset);
    UpdateData(false);
}

void CConfigDlg::OnPresetCompatibility(wxCommandEvent&) {
    applyPresetToControls(Preset::Compatibility);
}

void CConfigDlg::OnPresetDefault(wxCommandEvent&) {
    applyPresetToControls(Preset::Default);
}

void CConfigDlg::OnPresetPreferred(wxCommandEvent&) {
    applyPresetToControls(Preset::Preferred);
}

// There is no handler for the icon shown while a minimised window is dragged: X window
// managers do not ask the program for one. Cancel, Escape and the close box are the
// toolkit's own: they end the dialog with wxID_CANCEL and write nothing.
// clang-format off
wxBEGIN_EVENT_TABLE(CConfigDlg, wxDialog)
    EVT_INIT_DIALOG(CConfigDlg::OnInitDialog)
    EVT_PAINT(CConfigDlg::OnPaint)
    EVT_CHAR_HOOK(CConfigDlg::OnCharHook)
    EVT_BUTTON(wxID_OK, CConfigDlg::OnOK)
    EVT_BUTTON(IDC_PRESET_COMPATIBILITY, CConfigDlg::OnPresetCompatibility)
    EVT_BUTTON(IDC_PRESET_DEFAULT, CConfigDlg::OnPresetDefault)
    EVT_BUTTON(IDC_PRESET_PREFERRED, CConfigDlg::OnPresetPreferred)
wxEND_EVENT_TABLE()
