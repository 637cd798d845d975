// The dialog's control table, radio-group rules and dialog-unit conversion, without a display.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "radio_group.h"

namespace {

const char* kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::DefPushButton:
            return "DEFPUSHBUTTON";
        case ControlKind::PushButton:
            return "PUSHBUTTON";
        case ControlKind::GroupBox:
            return "GROUPBOX";
        case ControlKind::AutoRadioButton:
            return "AUTORADIOBUTTON";
        case ControlKind::AutoCheckBox:
            return "AUTOCHECKBOX";
        case ControlKind::CenteredStatic:
            return "CTEXT";
    }
    return "?";
}

// One row of the table in the form of dialog 102's listing.
std::string describe(const DialogControl& c) {
    std::ostringstream out;
    out << c.id << " " << kindName(c.kind) << " \"" << c.text << "\" " << c.rect.x << ","
        << c.rect.y << "," << c.rect.width << "," << c.rect.height;
    if ((c.flags & kGroup) != 0) {
        out << " group";
    }
    if ((c.flags & kTabStop) != 0) {
        out << " tab";
    }
    return out.str();
}

std::vector<int> idsOf(const std::vector<std::size_t>& rows) {
    std::vector<int> ids;
    for (std::size_t row : rows) {
        ids.push_back(kConfigDialogControls[row].id);
    }
    return ids;
}

TEST(ConfigDialogTemplate, FrameAndControlsAreDialog102) {
    EXPECT_EQ(kConfigDialogFrame.templateId, 102);
    EXPECT_STREQ(kConfigDialogFrame.caption, "KPXConfig");
    EXPECT_EQ(kConfigDialogFrame.fontPointSize, 8);
    EXPECT_EQ(kConfigDialogFrame.rect, (DialogRect{0, 0, 201, 201}));

    const std::vector<std::string> expected{
        "1 DEFPUSHBUTTON \"OK\" 50,180,50,14 tab",
        "2 PUSHBUTTON \"Cancel\" 104,180,50,14 tab",
        "-1 GROUPBOX \"Resolution\" 7,7,74,100",
        "1000 AUTORADIOBUTTON \"640x480\" 15,18,62,15 group",
        "1001 AUTORADIOBUTTON \"800x600\" 15,32,62,15",
        "1002 AUTORADIOBUTTON \"1024x768\" 15,46,62,15",
        "1003 AUTORADIOBUTTON \"1152x864\" 15,60,62,15",
        "1004 AUTORADIOBUTTON \"1280x1024\" 15,74,62,15",
        "1005 AUTORADIOBUTTON \"1600x1200\" 15,88,62,15",
        "1006 AUTOCHECKBOX \"Use Sound\" 7,115,54,13 tab",
        "-1 GROUPBOX \"Bit Depth\" 87,7,44,40",
        "1007 AUTORADIOBUTTON \"16\" 93,18,26,13 group",
        "1008 AUTORADIOBUTTON \"32\" 93,31,26,13",
        "-1 GROUPBOX \"Refresh Rate\" 137,7,57,118",
        "1009 AUTORADIOBUTTON \"60\" 146,31,36,13 group",
        "1010 AUTORADIOBUTTON \"70\" 146,44,36,13",
        "1011 AUTORADIOBUTTON \"72\" 146,57,36,13",
        "1012 AUTORADIOBUTTON \"75\" 146,70,36,13",
        "1013 AUTORADIOBUTTON \"85\" 146,83,36,13",
        "1014 AUTORADIOBUTTON \"100\" 146,96,36,13",
        "1015 AUTORADIOBUTTON \"120\" 146,109,36,13",
        "1016 AUTORADIOBUTTON \"Default\" 146,18,41,9",
        "1017 PUSHBUTTON \"Compatability\" 7,148,55,16 tab",
        "1018 PUSHBUTTON \"Default\" 73,148,55,16 tab",
        "1019 PUSHBUTTON \"Perferred\" 139,148,55,16 tab",
        "-1 CTEXT \"preconfigured option settings\" 44,133,112,11 group",
    };
    ASSERT_EQ(kConfigDialogControls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(describe(kConfigDialogControls[i]), expected[i]) << "control #" << i + 1;
    }
}

TEST(ConfigDialogTemplate, AddressedIdsAreUnique) {
    std::set<int> seen;
    for (const DialogControl& c : kConfigDialogControls) {
        if (c.id != IDC_STATIC) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate ID " << c.id;
        }
    }
    EXPECT_EQ(seen.size(), 22U);
}

TEST(ConfigDialogTemplate, RadioGroupsFollowTheGroupFlags) {
    const std::span<const DialogControl> table(kConfigDialogControls);
    // The check box and the "Bit Depth" frame lie inside group A but take no part in it.
    EXPECT_EQ(idsOf(radioGroupMembers(table, IDC_RES_640X480)),
              (std::vector<int>{1000, 1001, 1002, 1003, 1004, 1005}));
    EXPECT_EQ(idsOf(radioGroupMembers(table, IDC_DEPTH_16)), (std::vector<int>{1007, 1008}));
    // "Default", drawn at the top, is created last: index 7. The preset buttons take no part,
    // and the static text closes the group.
    EXPECT_EQ(idsOf(radioGroupMembers(table, IDC_RATE_60)),
              (std::vector<int>{1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016}));
    EXPECT_TRUE(radioGroupMembers(table, 4242).empty());
    EXPECT_TRUE(radioGroupMembers(table, IDOK).empty());

    // Every radio button belongs to exactly one of the three groups.
    std::size_t radios = 0;
    for (const DialogControl& c : kConfigDialogControls) {
        radios += c.kind == ControlKind::AutoRadioButton ? 1 : 0;
    }
    EXPECT_EQ(radios, 6U + 2U + 8U);
}

TEST(ConfigDialogTemplate, TabStopsAreTheButtonsAndTheCheckBox) {
    std::vector<int> tabStops;
    for (const DialogControl& c : kConfigDialogControls) {
        if ((c.flags & kTabStop) != 0) {
            tabStops.push_back(c.id);
        }
        if (c.kind == ControlKind::AutoRadioButton) {
            EXPECT_EQ(c.flags & kTabStop, 0U) << c.id;
        }
    }
    EXPECT_EQ(tabStops, (std::vector<int>{1, 2, 1006, 1017, 1018, 1019}));
}

TEST(DialogUnits, ConvertEachValueRoundingHalvesAwayFromZero) {
    // 7 x 13 are the base units of the 8-point sans face on our desktops.
    EXPECT_EQ(dialogUnitsToPixels({0, 0, 201, 201}, 7, 13), (PixelRect{0, 0, 352, 327}));
    EXPECT_EQ(dialogUnitsToPixels({146, 18, 41, 9}, 7, 13), (PixelRect{256, 29, 72, 15}));
    EXPECT_EQ(dialogUnitsToPixels({50, 180, 50, 14}, 7, 13), (PixelRect{88, 293, 88, 23}));
    // Sizes convert on their own, not as the difference of converted edges.
    EXPECT_EQ(dialogUnitsToPixels({1, 1, 1, 1}, 6, 12), (PixelRect{2, 2, 2, 2}));
    EXPECT_EQ(dialogUnitsToPixels({-2, -4, 2, 4}, 6, 12), (PixelRect{-3, -6, 3, 6}));
    EXPECT_EQ(dialogUnitsToPixels({INT_MAX, 0, 0, 0}, 4, 8).x, INT_MAX);
}

TEST(RadioGroupIndex, IsThePositionOfTheCheckedButtonOrMinusOne) {
    EXPECT_EQ(radioIndexFromChecks({}), -1);
    EXPECT_EQ(radioIndexFromChecks({false, false, false}), -1);
    EXPECT_EQ(radioIndexFromChecks({true, false}), 0);
    EXPECT_EQ(radioIndexFromChecks({false, false, false, false, false, false, false, true}), 7);
}

TEST(RadioGroupIndex, ChecksOnlyTheMatchingButtonAndClearsTheGroupForOthers) {
    EXPECT_EQ(radioChecksFromIndex(2, 6),
              (std::vector<bool>{false, false, true, false, false, false}));
    for (int index : {-1, 6, 9, INT_MIN, INT_MAX}) {
        EXPECT_EQ(radioChecksFromIndex(index, 6), std::vector<bool>(6, false)) << index;
    }
    EXPECT_TRUE(radioChecksFromIndex(0, 0).empty());
    // Every button of every group round-trips.
    for (std::size_t count : {6U, 2U, 8U}) {
        for (int index = -1; index < static_cast<int>(count); ++index) {
            EXPECT_EQ(radioIndexFromChecks(radioChecksFromIndex(index, count)), index);
        }
    }
}

}  // namespace
