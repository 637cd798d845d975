// Dialog 102 of KPXConfig: its frame and its 26 controls, in dialog units, as one table.
// The dialog is built from this table; the radio groups follow from its group flags.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

// Control IDs. IDOK and IDCANCEL are the classic dialog IDs; IDC_STATIC marks a control
// that the program never addresses.
enum ControlId : int {
    IDC_STATIC = -1,
    IDOK = 1,
    IDCANCEL = 2,
    IDC_RES_640X480 = 1000,
    IDC_RES_800X600 = 1001,
    IDC_RES_1024X768 = 1002,
    IDC_RES_1152X864 = 1003,
    IDC_RES_1280X1024 = 1004,
    IDC_RES_1600X1200 = 1005,
    IDC_USE_SOUND = 1006,
    IDC_DEPTH_16 = 1007,
    IDC_DEPTH_32 = 1008,
    IDC_RATE_60 = 1009,
    IDC_RATE_70 = 1010,
    IDC_RATE_72 = 1011,
    IDC_RATE_75 = 1012,
    IDC_RATE_85 = 1013,
    IDC_RATE_100 = 1014,
    IDC_RATE_120 = 1015,
    IDC_RATE_DEFAULT = 1016,
    IDC_PRESET_COMPATIBILITY = 1017,
    IDC_PRESET_DEFAULT = 1018,
    IDC_PRESET_PREFERRED = 1019,
};

enum class ControlKind {
    DefPushButton,    // default push button
    PushButton,       // push button
    GroupBox,         // frame with a caption
    AutoRadioButton,  // checking it clears the other radio buttons of its group
    AutoCheckBox,     // toggles on click
    CenteredStatic,   // static text, centred
};

// Flags of a control: kGroup starts a new group, kTabStop makes it a tab stop.
inline constexpr unsigned kGroup = 1U << 0;
inline constexpr unsigned kTabStop = 1U << 1;

// x, y, width, height.
struct DialogRect {
    int x;
    int y;
    int width;
    int height;

    bool operator==(const DialogRect&) const = default;
};

struct DialogControl {
    int id;
    ControlKind kind;
    const char* text;
    DialogRect rect;  // dialog units
    unsigned flags;
};

struct DialogFrame {
    int templateId;
    const char* caption;
    int fontPointSize;  // the template's 8-point sans serif face
    DialogRect rect;    // position and client size, dialog units
};

inline constexpr DialogFrame kConfigDialogFrame{102, "KPXConfig", 8, {0, 0, 201, 201}};

// Creation order, which is also the tab order and the order radio groups are walked in.
// As designed: "Compatability" and "Perferred" spelt so, and the refresh rates' "Default" drawn
// at the top of its group but created last, so its index is 7.
// clang-format off
inline constexpr std::array<DialogControl, 26> kConfigDialogControls{{
    // ID                       kind                          text                               x    y    w    h   flags
    {IDOK,                      ControlKind::DefPushButton,   "OK",                             { 50, 180,  50,  14}, kTabStop},
    {IDCANCEL,                  ControlKind::PushButton,      "Cancel",                         {104, 180,  50,  14}, kTabStop},
    {IDC_STATIC,                ControlKind::GroupBox,        "Resolution",                     {  7,   7,  74, 100}, 0},
    {IDC_RES_640X480,           ControlKind::AutoRadioButton, "640x480",                        { 15,  18,  62,  15}, kGroup},
    {IDC_RES_800X600,           ControlKind::AutoRadioButton, "800x600",                        { 15,  32,  62,  15}, 0},
    {IDC_RES_1024X768,          ControlKind::AutoRadioButton, "1024x768",                       { 15,  46,  62,  15}, 0},
    {IDC_RES_1152X864,          ControlKind::AutoRadioButton, "1152x864",                       { 15,  60,  62,  15}, 0},
    {IDC_RES_1280X1024,         ControlKind::AutoRadioButton, "1280x1024",                      { 15,  74,  62,  15}, 0},
    {IDC_RES_1600X1200,         ControlKind::AutoRadioButton, "1600x1200",                      { 15,  88,  62,  15}, 0},
    {IDC_USE_SOUND,             ControlKind::AutoCheckBox,    "Use Sound",                      {  7, 115,  54,  13}, kTabStop},
    {IDC_STATIC,                ControlKind::GroupBox,        "Bit Depth",                      { 87,   7,  44,  40}, 0},
    {IDC_DEPTH_16,              ControlKind::AutoRadioButton, "16",                             { 93,  18,  26,  13}, kGroup},
    {IDC_DEPTH_32,              ControlKind::AutoRadioButton, "32",                             { 93,  31,  26,  13}, 0},
    {IDC_STATIC,                ControlKind::GroupBox,        "Refresh Rate",                   {137,   7,  57, 118}, 0},
    {IDC_RATE_60,               ControlKind::AutoRadioButton, "60",                             {146,  31,  36,  13}, kGroup},
    {IDC_RATE_70,               ControlKind::AutoRadioButton, "70",                             {146,  44,  36,  13}, 0},
    {IDC_RATE_72,               ControlKind::AutoRadioButton, "72",                             {146,  57,  36,  13}, 0},
    {IDC_RATE_75,               ControlKind::AutoRadioButton, "75",                             {146,  70,  36,  13}, 0},
    {IDC_RATE_85,               ControlKind::AutoRadioButton, "85",                             {146,  83,  36,  13}, 0},
    {IDC_RATE_100,              ControlKind::AutoRadioButton, "100",                            {146,  96,  36,  13}, 0},
    {IDC_RATE_120,              ControlKind::AutoRadioButton, "120",                            {146, 109,  36,  13}, 0},
    {IDC_RATE_DEFAULT,          ControlKind::AutoRadioButton, "Default",                        {146,  18,  41,   9}, 0},
    {IDC_PRESET_COMPATIBILITY,  ControlKind::PushButton,      "Compatability",                  {  7, 148,  55,  16}, kTabStop},
    {IDC_PRESET_DEFAULT,        ControlKind::PushButton,      "Default",                        { 73, 148,  55,  16}, kTabStop},
    {IDC_PRESET_PREFERRED,      ControlKind::PushButton,      "Perferred",                      {139, 148,  55,  16}, kTabStop},
    {IDC_STATIC,                ControlKind::CenteredStatic,  "preconfigured option settings",  { 44, 133, 112,  11}, kGroup},
}};
// clang-format on

// Table positions of the radio buttons in the group that starts at the control with
// `firstId`, in creation order. The group runs up to the next control flagged kGroup;
// other kinds of control inside it take no part. Empty when no control has that ID.
std::vector<std::size_t> radioGroupMembers(std::span<const DialogControl> controls, int firstId);

struct PixelRect {
    int x;
    int y;
    int width;
    int height;

    bool operator==(const PixelRect&) const = default;
};

// Dialog units to pixels for a font whose dialog base units are `baseX` by `baseY`
// (4 horizontal units are baseX pixels, 8 vertical units baseY pixels). Each value is
// converted on its own and rounded to nearest, halves away from zero.
PixelRect dialogUnitsToPixels(DialogRect rect, int baseX, int baseY);
