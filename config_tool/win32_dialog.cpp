#include "win32_dialog.h"

#include "radio_group.h"

namespace {

constexpr int kIconResource = 128;
constexpr WORD kButtonClass = 0x0080;  // predefined window classes, by atom
constexpr WORD kStaticClass = 0x0082;

DWORD kindStyle(ControlKind kind) {
    switch (kind) {
        case ControlKind::DefPushButton:
            return BS_DEFPUSHBUTTON;
        case ControlKind::PushButton:
            return BS_PUSHBUTTON;
        case ControlKind::GroupBox:
            return BS_GROUPBOX;
        case ControlKind::AutoRadioButton:
            return BS_AUTORADIOBUTTON;
        case ControlKind::AutoCheckBox:
            return BS_AUTOCHECKBOX;
        case ControlKind::CenteredStatic:
            return SS_CENTER;
    }
    return 0;
}

DWORD controlStyle(const DialogControl& control) {
    DWORD style = WS_CHILD | WS_VISIBLE | kindStyle(control.kind);
    if ((control.flags & kGroup) != 0) {
        style |= WS_GROUP;
    }
    if ((control.flags & kTabStop) != 0) {
        style |= WS_TABSTOP;
    }
    return style;
}

void putDword(std::vector<WORD>& out, DWORD value) {
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

void putRect(std::vector<WORD>& out, const DialogRect& rect) {
    for (int value : {rect.x, rect.y, rect.width, rect.height}) {
        out.push_back(static_cast<WORD>(value));
    }
}

// The table's texts are ASCII, so each byte is its own UTF-16 unit.
void putText(std::vector<WORD>& out, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        out.push_back(static_cast<unsigned char>(*c));
    }
    out.push_back(0);
}

}  // namespace

std::vector<WORD> buildDialogTemplate(const DialogFrame& frame,
                                      std::span<const DialogControl> controls) {
    std::vector<WORD> out;
    putDword(out, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    putDword(out, WS_EX_APPWINDOW);  // its own taskbar button
    out.push_back(static_cast<WORD>(controls.size()));
    putRect(out, frame.rect);
    out.push_back(0);  // no menu
    out.push_back(0);  // the dialog class
    putText(out, frame.caption);
    out.push_back(static_cast<WORD>(frame.fontPointSize));
    putText(out, "MS Sans Serif");
    for (const DialogControl& control : controls) {
        if (out.size() % 2 != 0) {
            out.push_back(0);
        }
        putDword(out, controlStyle(control));
        putDword(out, 0);
        putRect(out, control.rect);
        out.push_back(static_cast<WORD>(control.id));  // IDC_STATIC becomes 0xFFFF
        out.push_back(0xFFFF);
        out.push_back(control.kind == ControlKind::CenteredStatic ? kStaticClass : kButtonClass);
        putText(out, control.text);
        out.push_back(0);  // no creation data
    }
    return out;
}

CConfigDlg::CConfigDlg(HINSTANCE instance)
    : m_hIcon(LoadIconA(instance, MAKEINTRESOURCEA(kIconResource))), m_instance(instance) {}

INT_PTR CConfigDlg::DoModal() {
    // The buffer of WORDs starts on the four-byte boundary the template needs.
    const std::vector<WORD> dialogTemplate =
        buildDialogTemplate(kConfigDialogFrame, kConfigDialogControls);
    return DialogBoxIndirectParamA(m_instance,
                                   reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                   nullptr, dialogProc, reinterpret_cast<LPARAM>(this));
}

namespace {

std::vector<int> radioGroupIds(int firstId) {
    std::vector<int> ids;
    for (std::size_t row : radioGroupMembers(kConfigDialogControls, firstId)) {
        ids.push_back(kConfigDialogControls[row].id);
    }
    return ids;
}

int radioGroupIndex(HWND dialog, int firstId) {
    std::vector<bool> checks;
    for (int id : radioGroupIds(firstId)) {
        checks.push_back(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    }
    return radioIndexFromChecks(checks);
}

// Checking a radio button also makes it its group's tab stop (the button control does that).
void setRadioGroup(HWND dialog, int firstId, int index) {
    const std::vector<int> ids = radioGroupIds(firstId);
    const std::vector<bool> checks = radioChecksFromIndex(index, ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        CheckDlgButton(dialog, ids[i], checks[i] ? BST_CHECKED : BST_UNCHECKED);
    }
}

}  // namespace

bool CConfigDlg::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_bUseSound = IsDlgButtonChecked(m_hWnd, IDC_USE_SOUND) == BST_CHECKED ? 1 : 0;
        m_nBitDepth = radioGroupIndex(m_hWnd, IDC_DEPTH_16);
        m_nRefreshRate = radioGroupIndex(m_hWnd, IDC_RATE_60);
        m_nResolution = radioGroupIndex(m_hWnd, IDC_RES_640X480);
    } else {
        // A stored sound byte other than 0 or 1 shows as checked; OK then stores 1.
        CheckDlgButton(m_hWnd, IDC_USE_SOUND, m_bUseSound != 0 ? BST_CHECKED : BST_UNCHECKED);
        setRadioGroup(m_hWnd, IDC_DEPTH_16, m_nBitDepth);
        setRadioGroup(m_hWnd, IDC_RATE_60, m_nRefreshRate);
        setRadioGroup(m_hWnd, IDC_RES_640X480, m_nResolution);
    }
    return true;
}

INT_PTR CALLBACK CConfigDlg::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        reinterpret_cast<CConfigDlg*>(lParam)->m_hWnd = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    }
    auto* dialog = reinterpret_cast<CConfigDlg*>(GetWindowLongPtrA(window, DWLP_USER));
    // Messages sent before WM_INITDIALOG (the font) go to the default handling.
    return dialog != nullptr ? dialog->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CConfigDlg::onMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:  // the cursor while the minimised window is dragged
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                OnCommand(LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CConfigDlg::OnInitDialog() {
    // As designed: the one 32x32 icon is the small icon too; Windows shrinks it for the caption.
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    loadSettings(*this);
    UpdateData(false);
    return TRUE;  // the dialog manager focuses the first tab stop, "OK"
}

// Minimised, the window shows only its icon, centred; otherwise the default painting.
bool CConfigDlg::OnPaint() {
    if (IsIconic(m_hWnd) == FALSE) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return true;
}

// Escape and the close box arrive as IDCANCEL, Enter as the focused push button or IDOK.
void CConfigDlg::OnCommand(int id) {
    switch (id) {
        case IDOK:
            OnOK();
            break;
        case IDCANCEL:  // nothing is written
            EndDialog(m_hWnd, IDCANCEL);
            break;
        case IDC_PRESET_COMPATIBILITY:
            applyPresetToControls(Preset::Compatibility);
            break;
        case IDC_PRESET_DEFAULT:
            applyPresetToControls(Preset::Default);
            break;
        case IDC_PRESET_PREFERRED:
            applyPresetToControls(Preset::Preferred);
            break;
        default:
            break;
    }
}

void CConfigDlg::OnOK() {
    UpdateData(true);
    saveSettings(*this);
    EndDialog(m_hWnd, IDOK);
}

void CConfigDlg::applyPresetToControls(Preset preset) {
    applyPreset(*this, preset);
    UpdateData(false);
}
