// The dialog's keyboard traversal over its control table: Tab order and arrow-key groups.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "keyboard_traversal.h"

namespace {

const std::span<const DialogControl> kTable(kConfigDialogControls);

std::size_t rowOf(int id) {
    for (std::size_t row = 0; row < kTable.size(); ++row) {
        if (kTable[row].id == id) {
            return row;
        }
    }
    ADD_FAILURE() << "no control " << id;
    return 0;
}

// The per-row check states with exactly these radio buttons checked.
std::vector<bool> checkedOnly(std::initializer_list<int> ids) {
    std::vector<bool> checked(kTable.size(), false);
    for (int id : ids) {
        checked[rowOf(id)] = true;
    }
    return checked;
}

const std::vector<bool> kDefaultsChecked =
    checkedOnly({IDC_RES_1024X768, IDC_DEPTH_32, IDC_RATE_75});

// A control's name in failure messages: its ID, or its text for the unaddressed ones.
std::string nameOf(std::size_t row) {
    return kTable[row].id == IDC_STATIC ? std::string("\"") + kTable[row].text + "\""
                                        : std::to_string(kTable[row].id);
}

std::vector<std::string> names(const std::vector<std::size_t>& rows) {
    std::vector<std::string> out;
    for (std::size_t row : rows) {
        out.push_back(nameOf(row));
    }
    return out;
}

std::vector<std::string> names(std::initializer_list<int> ids) {
    std::vector<std::string> out;
    for (int id : ids) {
        out.push_back(std::to_string(id));
    }
    return out;
}

// Presses `key` `count` times from `from`, applying each radio selection as the dialog does;
// the controls visited, and whether each landing selected.
struct Walk {
    std::vector<std::size_t> rows;
    std::vector<bool> selected;
};
Walk walk(int from, NavigationKey key, std::size_t count, std::vector<bool> checked) {
    Walk w;
    std::size_t at = rowOf(from);
    for (std::size_t i = 0; i < count; ++i) {
        const FocusMove move = moveFocus(kTable, checked, at, key);
        if (move.select) {
            for (std::size_t r : groupRows(kTable, move.row)) {
                checked[r] = false;
            }
            checked[move.row] = true;
        }
        at = move.row;
        w.rows.push_back(move.row);
        w.selected.push_back(move.select);
    }
    return w;
}

TEST(KeyboardGroups, FollowTheGroupFlags) {
    const std::vector<std::vector<std::string>> expected{
        {"1", "2", "\"Resolution\""},
        {"1000", "1001", "1002", "1003", "1004", "1005", "1006", "\"Bit Depth\""},
        {"1007", "1008", "\"Refresh Rate\""},
        {"1009", "1010", "1011", "1012", "1013", "1014", "1015", "1016", "1017", "1018", "1019"},
        {"\"preconfigured option settings\""},
    };
    std::vector<std::vector<std::string>> got;
    for (std::size_t row = 0; row < kTable.size(); row += groupRows(kTable, row).size()) {
        got.push_back(names(groupRows(kTable, row)));
        // Every member reports the same group.
        for (std::size_t member : groupRows(kTable, row)) {
            EXPECT_EQ(groupRows(kTable, member), groupRows(kTable, row)) << nameOf(member);
        }
    }
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(groupRows(kTable, kTable.size()).empty());
}

TEST(KeyboardGroups, OnlyFramesAndStaticTextNeverTakeTheFocus) {
    for (const DialogControl& c : kTable) {
        EXPECT_EQ(takesFocus(c),
                  c.kind != ControlKind::GroupBox && c.kind != ControlKind::CenteredStatic)
            << c.text;
    }
}

// Down/Right from the group's first control, once round the group and one step past its end;
// Up/Left the same way back.
struct ArrowCase {
    int from;
    std::vector<std::string> forward;   // one step past the wrap
    std::vector<std::string> backward;  // likewise
};

TEST(ArrowKeys, WalkEachGroupInCreationOrderAndWrap) {
    const std::vector<ArrowCase> cases{
        {IDOK, {"2", "1", "2"}, {"2", "1", "2"}},
        {IDC_RES_640X480, names({1001, 1002, 1003, 1004, 1005, 1006, 1000, 1001}),
         names({1006, 1005, 1004, 1003, 1002, 1001, 1000, 1006})},
        {IDC_DEPTH_16, names({1008, 1007, 1008}), names({1008, 1007, 1008})},
        {IDC_RATE_60,
         names({1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1009, 1010}),
         names({1019, 1018, 1017, 1016, 1015, 1014, 1013, 1012, 1011, 1010, 1009, 1019})},
    };
    for (const ArrowCase& c : cases) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(names(walk(c.from, NavigationKey::Next, c.forward.size(), kDefaultsChecked).rows),
                  c.forward);
        EXPECT_EQ(
            names(walk(c.from, NavigationKey::Previous, c.backward.size(), kDefaultsChecked).rows),
            c.backward);
    }
}

TEST(ArrowKeys, SelectOnlyRadioButtons) {
    // From "Use Sound" into the resolution buttons: each radio landing selects.
    const Walk w = walk(IDC_USE_SOUND, NavigationKey::Next, 8, kDefaultsChecked);
    EXPECT_EQ(names(w.rows), names({1000, 1001, 1002, 1003, 1004, 1005, 1006, 1000}));
    EXPECT_EQ(w.selected, (std::vector<bool>{true, true, true, true, true, true, false, true}));

    // From a preset button into the refresh-rate buttons, past the other presets.
    const Walk presets = walk(IDC_PRESET_DEFAULT, NavigationKey::Previous, 4, kDefaultsChecked);
    EXPECT_EQ(names(presets.rows), names({1017, 1016, 1015, 1014}));
    EXPECT_EQ(presets.selected, (std::vector<bool>{false, true, true, true}));

    // OK and Cancel: focus only.
    EXPECT_FALSE(moveFocus(kTable, kDefaultsChecked, rowOf(IDOK), NavigationKey::Next).select);
}

TEST(ArrowKeys, StayPutInAGroupWithNothingElseToFocus) {
    // A made-up table: the only other member of the radio's group is a frame.
    const std::vector<DialogControl> table{
        {IDOK, ControlKind::DefPushButton, "OK", {}, kTabStop},
        {1, ControlKind::AutoRadioButton, "alone", {}, kGroup},
        {IDC_STATIC, ControlKind::GroupBox, "frame", {}, 0},
        {IDC_STATIC, ControlKind::CenteredStatic, "text", {}, kGroup},
    };
    const std::vector<bool> none(table.size(), false);
    for (NavigationKey key : {NavigationKey::Next, NavigationKey::Previous}) {
        const FocusMove move = moveFocus(table, none, 1, key);
        EXPECT_EQ(move.row, 1U);
        EXPECT_TRUE(move.select);
        EXPECT_EQ(moveFocus(table, none, 0, key).row, 0U);
    }
    // Its one radio group is a tab stop too.
    EXPECT_EQ(tabOrder(table, none), (std::vector<std::size_t>{0, 1}));
}

// Tab from OK round to OK; Shift+Tab the same stops the other way.
std::vector<std::string> tabRound(NavigationKey key, const std::vector<bool>& checked) {
    std::vector<std::string> out;
    std::size_t at = rowOf(IDOK);
    do {
        at = moveFocus(kTable, checked, at, key).row;
        out.push_back(nameOf(at));
    } while (at != rowOf(IDOK) && out.size() <= kTable.size());
    return out;
}

TEST(TabKey, StopsAtTheTabStopsAndEachRadioGroupsCheckedButton) {
    EXPECT_EQ(names(tabOrder(kTable, kDefaultsChecked)),
              names({1, 2, 1002, 1006, 1008, 1012, 1017, 1018, 1019}));
    EXPECT_EQ(tabRound(NavigationKey::Tab, kDefaultsChecked),
              names({2, 1002, 1006, 1008, 1012, 1017, 1018, 1019, 1}));
    EXPECT_EQ(tabRound(NavigationKey::ShiftTab, kDefaultsChecked),
              names({1019, 1018, 1017, 1012, 1008, 1006, 1002, 2, 1}));

    // "Default", the last button of its group though drawn at the top, when it is checked.
    EXPECT_EQ(
        names(tabOrder(kTable, checkedOnly({IDC_RES_1600X1200, IDC_DEPTH_16, IDC_RATE_DEFAULT}))),
        names({1, 2, 1005, 1006, 1007, 1016, 1017, 1018, 1019}));
}

TEST(TabKey, GoesToTheFirstButtonOfAGroupWithNoneCheckedAndSelectsNothing) {
    const std::vector<bool> none(kTable.size(), false);
    EXPECT_EQ(names(tabOrder(kTable, none)),
              names({1, 2, 1000, 1006, 1007, 1009, 1017, 1018, 1019}));
    for (NavigationKey key : {NavigationKey::Tab, NavigationKey::ShiftTab}) {
        for (std::size_t row = 0; row < kTable.size(); ++row) {
            if (takesFocus(kTable[row])) {
                EXPECT_FALSE(moveFocus(kTable, none, row, key).select) << nameOf(row);
            }
        }
    }
}

TEST(TabKey, LeavesAnUncheckedRadioButtonForTheStopsBesideItsGroup) {
    // Focus on an unchecked button (after a click that was not yet taken, or a Tab into an
    // empty group): its group's place in the order counts, not the button's own row.
    const std::vector<bool> checked = checkedOnly({IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_60});
    EXPECT_EQ(nameOf(moveFocus(kTable, checked, rowOf(IDC_RATE_DEFAULT), NavigationKey::Tab).row),
              "1017");
    EXPECT_EQ(
        nameOf(moveFocus(kTable, checked, rowOf(IDC_RATE_DEFAULT), NavigationKey::ShiftTab).row),
        "1007");
    EXPECT_EQ(nameOf(moveFocus(kTable, checked, rowOf(IDC_RES_1280X1024), NavigationKey::Tab).row),
              "1006");
    EXPECT_EQ(
        nameOf(moveFocus(kTable, checked, rowOf(IDC_RES_1280X1024), NavigationKey::ShiftTab).row),
        "2");
}

TEST(TabKey, FromAControlThatIsNoStopGoesToTheNextStopInCreationOrder) {
    EXPECT_EQ(
        nameOf(
            moveFocus(kTable, kDefaultsChecked, rowOf(IDC_USE_SOUND) + 1, NavigationKey::Tab).row),
        "1008");
    EXPECT_EQ(
        nameOf(moveFocus(kTable, kDefaultsChecked, kTable.size() - 1, NavigationKey::Tab).row),
        "1");
    EXPECT_EQ(
        nameOf(moveFocus(kTable, kDefaultsChecked, kTable.size() - 1, NavigationKey::ShiftTab).row),
        "1019");
}

}  // namespace
