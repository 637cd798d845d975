// The settings dialog on a real X server, driven with real mouse clicks and key presses
// (XTEST) from inside the process. Run it through x_session.sh --wm.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "config_dlg.h"
#include "config_test_files.h"

namespace {

using config_test::Bytes;
using config_test::kCompatibilityBytes;
using config_test::kDefaultBytes;
using config_test::kPreferredBytes;
using config_test::readFile;
using config_test::writeFile;

constexpr auto kScriptTimeout = std::chrono::seconds(10);

// Runs the dialog modally while a timer works through a list of steps, as a user would.
// A step returns false to be tried again on the next tick (a wait for something to show).
class DialogScript : public wxTimer {
  public:
    using Step = std::function<bool()>;

    explicit DialogScript(CConfigDlg& dlg) : dlg_(dlg) {}

    DialogScript& then(std::string what, Step step) {
        steps_.push_back({std::move(what), std::move(step)});
        return *this;
    }

    // The dialog's result; wxID_ABORT (and a test failure) when the script got stuck.
    int run() {
        started_ = std::chrono::steady_clock::now();
        Start(20);
        const int result = dlg_.ShowModal();
        Stop();
        EXPECT_EQ(next_, steps_.size()) << "the dialog closed before the step: "
                                        << (next_ < steps_.size() ? steps_[next_].what : "");
        return result;
    }

  private:
    void Notify() override {
        if (!dlg_.IsModal()) {
            return;
        }
        if (std::chrono::steady_clock::now() - started_ > kScriptTimeout) {
            ADD_FAILURE() << "timed out at the step: "
                          << (next_ < steps_.size() ? steps_[next_].what
                                                    : "(all done, the dialog is still open)");
            next_ = steps_.size();
            dlg_.EndModal(wxID_ABORT);
            return;
        }
        if (next_ < steps_.size() && steps_[next_].step()) {
            ++next_;
        }
    }

    struct Named {
        std::string what;
        Step step;
    };
    CConfigDlg& dlg_;
    std::vector<Named> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point started_;
};

bool isChecked(const CConfigDlg& dlg, int id) {
    if (auto* radio = dynamic_cast<wxRadioButton*>(dlg.control(id))) {
        return radio->GetValue();
    }
    return static_cast<wxCheckBox*>(dlg.control(id))->GetValue();
}

// The IDs of the checked radio buttons and check box, in table order.
std::vector<int> checkedIds(const CConfigDlg& dlg) {
    std::vector<int> ids;
    for (const DialogControl& c : kConfigDialogControls) {
        if ((c.kind == ControlKind::AutoRadioButton || c.kind == ControlKind::AutoCheckBox) &&
            isChecked(dlg, c.id)) {
            ids.push_back(c.id);
        }
    }
    return ids;
}

class DialogTest : public ::testing::Test {
  protected:
    // The dialog is up, has the keyboard focus and sits where it will stay.
    DialogScript::Step shown() {
        return [this] { return dlg_.IsShownOnScreen() && dlg_.IsActive() && settled(); };
    }
    DialogScript::Step click(int id) {
        return [this, id] {
            wxWindow* c = dlg_.control(id);
            const wxPoint centre = dlg_.ClientToScreen(
                c->GetPosition() + wxPoint(c->GetSize().x / 2, c->GetSize().y / 2));
            sim_.MouseMove(centre);
            sim_.MouseClick();
            return true;
        };
    }
    DialogScript::Step key(int code, int modifiers = wxMOD_NONE) {
        return [this, code, modifiers] {
            sim_.Char(code, modifiers);
            return true;
        };
    }
    // Presses a key, then waits until the focus is on `id` and exactly `ids` are checked.
    void keyTo(const char* name, int code, int id, std::vector<int> ids) {
        const std::string where = std::string(name) + " to " + std::to_string(id);
        script_.then(where, key(code))
            .then(where + ": focus", focusOn(id))
            .then(where + ": checked", checked(std::move(ids)));
    }
    // Waits until exactly these boxes and radio buttons are checked.
    DialogScript::Step checked(std::vector<int> ids) {
        return [this, ids] { return checkedIds(dlg_) == ids; };
    }
    DialogScript::Step focusOn(int id) {
        return [this, id] { return wxWindow::FindFocus() == dlg_.control(id); };
    }
    DialogScript::Step check(std::function<void()> expectations) {
        return [expectations] {
            expectations();
            return true;
        };
    }

    // Two ticks in a row at the same screen position: the window manager is done placing it.
    bool settled() {
        const wxPoint now = dlg_.GetScreenPosition();
        const bool same = now == lastPosition_;
        lastPosition_ = now;
        return same;
    }

    config_test::WorkingFolder folder_{"config-gui"};
    CConfigDlg dlg_;
    DialogScript script_{dlg_};
    wxUIActionSimulator sim_;
    wxPoint lastPosition_{-1, -1};
};

constexpr int kDefaultsShown[] = {IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75};

TEST_F(DialogTest, FirstRunThenOkWritesTheDefaults) {
    script_.then("shown", shown())
        .then("defaults shown", checked({std::begin(kDefaultsShown), std::end(kDefaultsShown)}))
        .then("OK has the focus", focusOn(IDOK))
        .then("Enter", key(WXK_RETURN));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kDefaultBytes);
}

// Enter presses OK from the check box and from a radio button.
class DialogEnterTest : public DialogTest,
                        public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(DialogEnterTest, EnterPressesOk) {
    const auto [tabs, id] = GetParam();
    script_.then("shown", shown());
    for (int i = 0; i < tabs; ++i) {
        script_.then("Tab", key(WXK_TAB));
    }
    script_.then("focus on " + std::to_string(id), focusOn(id)).then("Enter", key(WXK_RETURN));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kDefaultBytes);
}

// Two Tabs reach the checked resolution button, three "Use Sound".
INSTANTIATE_TEST_SUITE_P(FromTheControls, DialogEnterTest,
                         ::testing::Values(std::pair(2, int{IDC_RES_1024X768}),
                                           std::pair(3, int{IDC_USE_SOUND})));

TEST_F(DialogTest, CompatibilityThenOkSelectsTheDefaultRefreshRadioButton) {
    script_.then("shown", shown())
        .then("click Compatability", click(IDC_PRESET_COMPATIBILITY))
        .then("preset shown",
              checked({IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_16, IDC_RATE_DEFAULT}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes);
    // What the game makes of it: 640x480, 16 bits, the display's default rate.
    EXPECT_TRUE(readDisplayMode() == (DisplayMode{640, 480, 16, 0}));
}

TEST_F(DialogTest, RefreshRateDefaultStoresSeven) {
    script_.then("shown", shown())
        .then("click the Default radio button", click(IDC_RATE_DEFAULT))
        .then("it alone is selected in its group",
              checked({IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_DEFAULT}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), (Bytes{1, 2, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0}));
}

TEST_F(DialogTest, ClearingUseSoundThenAnyPresetChecksItAgain) {
    script_.then("shown", shown());
    for (int preset : {IDC_PRESET_COMPATIBILITY, IDC_PRESET_DEFAULT, IDC_PRESET_PREFERRED}) {
        const std::string name = std::to_string(preset);
        script_.then("click Use Sound before " + name, click(IDC_USE_SOUND))
            .then("Use Sound clear before " + name,
                  [this] { return !isChecked(dlg_, IDC_USE_SOUND); })
            .then("click preset " + name, click(preset))
            .then("Use Sound checked after " + name,
                  [this] { return isChecked(dlg_, IDC_USE_SOUND); });
    }
    script_.then("click Cancel", click(IDCANCEL));
    EXPECT_EQ(script_.run(), wxID_CANCEL);
    EXPECT_FALSE(std::filesystem::exists("KPX.cfg"));
}

// "Perferred" changes every group, then Cancel, Escape or the close box: nothing is written.
class DialogCancelTest : public DialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DialogCancelTest, PreferredThenCancellingLeavesTheFileUnchanged) {
    writeFile("KPX.cfg", kCompatibilityBytes);
    script_.then("shown", shown())
        .then("click Perferred", click(IDC_PRESET_PREFERRED))
        .then("preset shown",
              checked({IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_100}));
    const std::string how = GetParam();
    if (how == "Cancel") {
        script_.then("click Cancel", click(IDCANCEL));
    } else if (how == "Escape") {
        script_.then("Escape", key(WXK_ESCAPE));
    } else {
        // What the toolkit does when the window manager's close box is clicked.
        script_.then("close box", [this] { return dlg_.Close(); });
    }
    EXPECT_EQ(script_.run(), wxID_CANCEL);
    EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes);
}

INSTANTIATE_TEST_SUITE_P(Endings, DialogCancelTest, ::testing::Values("Cancel", "Escape", "Close"));

TEST_F(DialogTest, AResolutionMatchingNoButtonShowsNoneAndStoresMinusOne) {
    const Bytes stored{0, 9, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0};
    writeFile("KPX.cfg", stored);
    script_.then("shown", shown())
        .then("no resolution selected", checked({IDC_DEPTH_16, IDC_RATE_120}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), (Bytes{0, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0, 6, 0, 0, 0}));
    // The game falls back to 1024x768 for the empty group and keeps the other two fields.
    EXPECT_TRUE(readDisplayMode() == (DisplayMode{1024, 768, 16, 120}));
}

TEST_F(DialogTest, PickingAResolutionAfterNoneWasShownStoresIt) {
    writeFile("KPX.cfg", {0, 9, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0});
    script_.then("shown", shown())
        .then("no resolution selected", checked({IDC_DEPTH_16, IDC_RATE_120}))
        .then("click 800x600", click(IDC_RES_800X600))
        .then("800x600 selected", checked({IDC_RES_800X600, IDC_DEPTH_16, IDC_RATE_120}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), (Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0}));
}

TEST_F(DialogTest, AReadOnlyFileKeepsItsContentAndTheDialogStillCloses) {
    writeFile("KPX.cfg", kPreferredBytes);
    config_test::makeReadOnly("KPX.cfg");
    config_test::UnprivilegedFileAccess unprivileged;
    script_.then("shown", shown())
        .then("click Compatability", click(IDC_PRESET_COMPATIBILITY))
        .then("preset shown",
              checked({IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_16, IDC_RATE_DEFAULT}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kPreferredBytes);
}

TEST_F(DialogTest, OkCutsATwentyByteFileTo13) {
    Bytes longer = kCompatibilityBytes;
    longer.resize(20, 0x5a);
    writeFile("KPX.cfg", longer);
    script_.then("shown", shown())
        .then("file shown",
              checked({IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_16, IDC_RATE_DEFAULT}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes);
}

TEST_F(DialogTest, ASoundByteOtherThanZeroOrOneShowsCheckedAndOkStoresOne) {
    writeFile("KPX.cfg", {2, 2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0});
    script_.then("shown", shown())
        .then("Use Sound checked", checked({std::begin(kDefaultsShown), std::end(kDefaultsShown)}))
        .then("click OK", click(IDOK));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), kDefaultBytes);
}

// The focused control shows the toolkit's focus ring.
bool showsFocusRing(wxWindow* w) {
    return gtk_widget_has_visible_focus(static_cast<GtkWidget*>(w->GetHandle())) != 0;
}

TEST_F(DialogTest, TabVisitsTheTabStopsAndTheCheckedRadioButtonsInCreationOrder) {
    script_.then("shown", shown()).then("OK has the focus", focusOn(IDOK));
    const std::vector<int> order{IDCANCEL,           IDC_RES_1024X768,     IDC_USE_SOUND,
                                 IDC_DEPTH_32,       IDC_RATE_75,          IDC_PRESET_COMPATIBILITY,
                                 IDC_PRESET_DEFAULT, IDC_PRESET_PREFERRED, IDOK};
    for (int id : order) {
        script_.then("Tab", key(WXK_TAB))
            .then("focus on " + std::to_string(id), focusOn(id))
            .then("focus ring on " + std::to_string(id),
                  [this, id] { return showsFocusRing(dlg_.control(id)); });
    }
    for (auto id = order.rbegin() + 1; id != order.rend(); ++id) {
        script_.then("Shift+Tab", key(WXK_TAB, wxMOD_SHIFT))
            .then("back on " + std::to_string(*id), focusOn(*id));
    }
    script_.then("Shift+Tab", key(WXK_TAB, wxMOD_SHIFT))
        .then("back on OK", focusOn(IDOK))
        .then("nothing selected on the way",
              checked({std::begin(kDefaultsShown), std::end(kDefaultsShown)}))
        // With Ctrl the keys do the same: the toolkit binds its own traversal to them.
        .then("Ctrl+Tab", key(WXK_TAB, wxMOD_CONTROL))
        .then("Ctrl+Tab", key(WXK_TAB, wxMOD_CONTROL))
        .then("Ctrl+Tab", key(WXK_TAB, wxMOD_CONTROL))
        .then("on Use Sound", focusOn(IDC_USE_SOUND))
        .then("Ctrl+Down", key(WXK_DOWN, wxMOD_CONTROL))
        .then("on 640x480", focusOn(IDC_RES_640X480))
        .then("640x480 selected",
              checked({IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75}))
        .then("Escape", key(WXK_ESCAPE));
    EXPECT_EQ(script_.run(), wxID_CANCEL);
    EXPECT_FALSE(std::filesystem::exists("KPX.cfg"));
}

// Every group walked with the arrow keys, with the radio buttons selected on the way; the
// file written at Enter holds the last selection of each.
TEST_F(DialogTest, ArrowKeysWalkEachGroupAndSelectTheRadioButtons) {
    script_.then("shown", shown());
    // OK and Cancel: focus only.
    keyTo("Down", WXK_DOWN, IDCANCEL, {IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Right", WXK_RIGHT, IDOK, {IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Left", WXK_LEFT, IDCANCEL, {IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    // Resolution: down past 1600x1200 to "Use Sound" (focused, not toggled), then round to
    // 640x480.
    keyTo("Tab", WXK_TAB, IDC_RES_1024X768,
          {IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_RES_1152X864,
          {IDC_RES_1152X864, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_RES_1280X1024,
          {IDC_RES_1280X1024, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Right", WXK_RIGHT, IDC_RES_1600X1200,
          {IDC_RES_1600X1200, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_USE_SOUND,
          {IDC_RES_1600X1200, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_RES_640X480,
          {IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Up", WXK_UP, IDC_USE_SOUND, {IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    // Space toggles the check box.
    keyTo("Space", WXK_SPACE, IDC_USE_SOUND, {IDC_RES_640X480, IDC_DEPTH_32, IDC_RATE_75});
    // Bit depth: round the two buttons.
    keyTo("Tab", WXK_TAB, IDC_DEPTH_32, {IDC_RES_640X480, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_DEPTH_16, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_75});
    keyTo("Down", WXK_DOWN, IDC_DEPTH_32, {IDC_RES_640X480, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Up", WXK_UP, IDC_DEPTH_16, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_75});
    // Refresh rate: up from 75 to 60, round to the presets (focus only) and on to "Default",
    // the group's last radio button.
    keyTo("Tab", WXK_TAB, IDC_RATE_75, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_75});
    keyTo("Up", WXK_UP, IDC_RATE_72, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_72});
    keyTo("Left", WXK_LEFT, IDC_RATE_70, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_70});
    keyTo("Up", WXK_UP, IDC_RATE_60, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_60});
    keyTo("Up", WXK_UP, IDC_PRESET_PREFERRED, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_60});
    keyTo("Up", WXK_UP, IDC_PRESET_DEFAULT, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_60});
    keyTo("Up", WXK_UP, IDC_PRESET_COMPATIBILITY, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_60});
    keyTo("Up", WXK_UP, IDC_RATE_DEFAULT, {IDC_RES_640X480, IDC_DEPTH_16, IDC_RATE_DEFAULT});
    script_
        .then("focus ring on Default",
              [this] { return showsFocusRing(dlg_.control(IDC_RATE_DEFAULT)); })
        .then("Enter", key(WXK_RETURN));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0}));
}

// Tab into a group that shows no selection lands on its first button and selects nothing, so
// Enter still stores -1; an arrow key then selects.
TEST_F(DialogTest, TabIntoAnEmptyGroupSelectsNothing) {
    writeFile("KPX.cfg", {1, 9, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0});
    script_.then("shown", shown())
        .then("no resolution selected", checked({IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75}));
    keyTo("Tab", WXK_TAB, IDCANCEL, {IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Tab", WXK_TAB, IDC_RES_640X480, {IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    keyTo("Tab", WXK_TAB, IDC_USE_SOUND, {IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75});
    script_.then("Shift+Tab", key(WXK_TAB, wxMOD_SHIFT))
        .then("back on 640x480", focusOn(IDC_RES_640X480))
        .then("still none selected", checked({IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_75}))
        .then("Enter", key(WXK_RETURN));
    EXPECT_EQ(script_.run(), wxID_OK);
    EXPECT_EQ(readFile("KPX.cfg"), (Bytes{1, 0xff, 0xff, 0xff, 0xff, 1, 0, 0, 0, 3, 0, 0, 0}));
}

// Space presses the focused push button: a preset, then Cancel.
TEST_F(DialogTest, SpacePressesTheFocusedPushButton) {
    writeFile("KPX.cfg", kPreferredBytes);
    script_.then("shown", shown());
    for (int id : {IDCANCEL, IDC_RES_1024X768, IDC_USE_SOUND, IDC_DEPTH_32, IDC_RATE_100,
                   IDC_PRESET_COMPATIBILITY}) {
        script_.then("Tab", key(WXK_TAB)).then("focus on " + std::to_string(id), focusOn(id));
    }
    keyTo("Space", WXK_SPACE, IDC_PRESET_COMPATIBILITY,
          {IDC_RES_640X480, IDC_USE_SOUND, IDC_DEPTH_16, IDC_RATE_DEFAULT});
    for (int i = 0; i < 4; ++i) {
        script_.then("Tab", key(WXK_TAB));
    }
    script_.then("focus on Cancel", focusOn(IDCANCEL)).then("Space", key(WXK_SPACE));
    EXPECT_EQ(script_.run(), wxID_CANCEL);
    EXPECT_EQ(readFile("KPX.cfg"), kPreferredBytes);
}

// Bad input: each dialog opens, and OK writes 13 bytes or, where the folder refuses them,
// nothing, and closes.
class DialogBadInputTest : public ::testing::Test {
  protected:
    // Opens a fresh dialog, waits until it is shown and settled, runs `before` (if any) and
    // presses Enter; returns the dialog's result.
    static int openAndPressEnter(const std::function<void()>& before = {}) {
        CConfigDlg dlg;
        DialogScript script(dlg);
        wxUIActionSimulator sim;
        wxPoint last(-1, -1);
        script
            .then("shown",
                  [&] {
                      const wxPoint now = dlg.GetScreenPosition();
                      const bool settled = now == last;
                      last = now;
                      return dlg.IsShownOnScreen() && dlg.IsActive() && settled;
                  })
            .then("before OK",
                  [&] {
                      if (before) {
                          before();
                      }
                      return true;
                  })
            .then("Enter", [&] {
                sim.Char(WXK_RETURN);
                return true;
            });
        return script.run();
    }

    config_test::WorkingFolder folder_{"config-bad-input"};
};

// What OK stores for a file of these bytes: the defaults, overwritten by the whole fields the
// file holds; the sound box checked for any byte but 0; -1 for an index no button matches.
Bytes storedAtOk(const Bytes& file) {
    auto field = [&](std::size_t offset, std::int32_t fallback) {
        if (file.size() < offset + 4) {
            return fallback;
        }
        return static_cast<std::int32_t>(
            std::uint32_t{file[offset]} | std::uint32_t{file[offset + 1]} << 8 |
            std::uint32_t{file[offset + 2]} << 16 | std::uint32_t{file[offset + 3]} << 24);
    };
    auto shown = [](std::int32_t index, std::int32_t buttons) {
        return index >= 0 && index < buttons ? index : -1;
    };
    const std::int32_t fields[] = {shown(field(1, 2), 6), shown(field(5, 1), 2),
                                   shown(field(9, 3), 8)};
    Bytes out{static_cast<std::uint8_t>(file.empty() || file[0] != 0 ? 1 : 0)};
    for (std::int32_t value : fields) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
        }
    }
    return out;
}

TEST_F(DialogBadInputTest, FilesOfEveryLengthWithRandomContentsOpenAndOkWritesThirteenBytes) {
    std::mt19937 random(20240613);
    for (std::size_t length = 0; length <= 20; ++length) {
        Bytes file(length);
        for (std::uint8_t& byte : file) {
            byte = static_cast<std::uint8_t>(random());
        }
        // Index fields mostly near their tables, so that buttons get selected too.
        for (std::size_t offset : {1, 5, 9}) {
            if (random() % 4 != 0) {
                const auto value = static_cast<std::uint32_t>(static_cast<int>(random() % 12) - 2);
                for (std::size_t i = 0; i < 4 && offset + i < length; ++i) {
                    file[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
                }
            }
        }
        SCOPED_TRACE(::testing::PrintToString(file));
        writeFile("KPX.cfg", file);
        EXPECT_EQ(openAndPressEnter(), wxID_OK);
        EXPECT_EQ(readFile("KPX.cfg"), storedAtOk(file));
    }
}

TEST_F(DialogBadInputTest, AReadOnlyFolderGetsNoFileAndTheDialogStillCloses) {
    std::filesystem::permissions(folder_.path(),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    {
        config_test::UnprivilegedFileAccess unprivileged;
        EXPECT_EQ(openAndPressEnter(), wxID_OK);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(DialogBadInputTest, AWorkingFolderRemovedWhileTheDialogIsOpenGetsNoFile) {
    writeFile("KPX.cfg", kPreferredBytes);
    EXPECT_EQ(openAndPressEnter([this] { std::filesystem::remove_all(folder_.path()); }), wxID_OK);
    EXPECT_FALSE(std::filesystem::exists(folder_.path()));
}

// The expected place of a control: its template rectangle in pixels, except that a radio
// button lower than GTK's minimum height takes that height about the same centre line.
PixelRect expectedRect(const DialogControl& c, wxSize base, int minHeight) {
    PixelRect px = dialogUnitsToPixels(c.rect, base.x, base.y);
    if (c.kind == ControlKind::AutoRadioButton && px.height < minHeight) {
        px.y -= (minHeight - px.height) / 2;
        px.height = minHeight;
    }
    return px;
}

TEST_F(DialogTest, TheWindowAndEveryControlSitWhereTheTemplatePutsThem) {
    script_.then("shown", shown())
        .then("layout", check([this] {
                  // Dialog base units of the 8-point sans face: the average width of the Latin
                  // letters and the character height, as dialog units have always been derived.
                  wxClientDC dc(&dlg_);
                  dc.SetFont(dlg_.GetFont());
                  const wxSize letters =
                      dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
                  const wxSize base((letters.x / 26 + 1) / 2, dc.GetCharHeight());
                  EXPECT_EQ(base, wxSize(7, 13)) << "base units of this machine's sans face";
                  EXPECT_EQ(dlg_.GetFont().GetPointSize(), 8);

                  const PixelRect frame = dialogUnitsToPixels(
                      {0, 0, kConfigDialogFrame.rect.width, kConfigDialogFrame.rect.height}, base.x,
                      base.y);
                  EXPECT_EQ(dlg_.GetClientSize(), wxSize(frame.width, frame.height));
                  EXPECT_EQ(dlg_.GetTitle(), "KPXConfig");
                  const long style = dlg_.GetWindowStyleFlag();
                  EXPECT_TRUE((style & wxCLOSE_BOX) && (style & wxCAPTION) &&
                              (style & wxSYSTEM_MENU));
                  EXPECT_FALSE(style & (wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER));
                  EXPECT_EQ(dlg_.GetParent(), nullptr);

                  // The shown children are the 26 controls, in the table's order.
                  std::vector<wxWindow*> shownChildren;
                  for (wxWindow* child : dlg_.GetChildren()) {
                      if (child->IsShown()) {
                          shownChildren.push_back(child);
                      }
                  }
                  ASSERT_EQ(shownChildren.size(), kConfigDialogControls.size());
                  for (std::size_t i = 0; i < kConfigDialogControls.size(); ++i) {
                      const DialogControl& c = kConfigDialogControls[i];
                      wxWindow* w = shownChildren[i];
                      SCOPED_TRACE(std::to_string(i + 1) + " \"" + c.text + "\"");
                      EXPECT_EQ(w, dlg_.controlAt(i));
                      if (c.id != IDC_STATIC) {
                          EXPECT_EQ(w->GetId(), toolkitId(c.id));
                      }
                      EXPECT_EQ(w->GetLabel(), c.text);
                      switch (c.kind) {
                          case ControlKind::DefPushButton:
                              EXPECT_EQ(dlg_.GetDefaultItem(), w);
                              [[fallthrough]];
                          case ControlKind::PushButton:
                              EXPECT_TRUE(dynamic_cast<wxButton*>(w));
                              break;
                          case ControlKind::GroupBox:
                              EXPECT_TRUE(dynamic_cast<wxStaticBox*>(w));
                              break;
                          case ControlKind::AutoRadioButton:
                              EXPECT_TRUE(dynamic_cast<wxRadioButton*>(w));
                              break;
                          case ControlKind::AutoCheckBox:
                              EXPECT_TRUE(dynamic_cast<wxCheckBox*>(w));
                              break;
                          case ControlKind::CenteredStatic:
                              EXPECT_TRUE(dynamic_cast<wxStaticText*>(w));
                              EXPECT_TRUE(w->GetWindowStyleFlag() & wxALIGN_CENTRE_HORIZONTAL);
                              break;
                      }

                      // Where GTK really put it, relative to the client area.
                      auto* widget = static_cast<GtkWidget*>(w->GetHandle());
                      GtkAllocation got;
                      gtk_widget_get_allocation(widget, &got);
                      int minHeight = 0;
                      gtk_widget_get_preferred_height(widget, &minHeight, nullptr);
                      const PixelRect want = expectedRect(c, base, minHeight);
                      EXPECT_EQ((PixelRect{got.x, got.y, got.width, got.height}), want)
                          << "got " << got.x << "," << got.y << " " << got.width << "x"
                          << got.height << ", want " << want.x << "," << want.y << " " << want.width
                          << "x" << want.height;
                  }

                  // The icon bundle holds the 32x32 and the 16x16 picture, set on the window.
                  EXPECT_TRUE(
                      dlg_.m_hIcon.GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NONE).IsOk());
                  EXPECT_TRUE(
                      dlg_.m_hIcon.GetIcon(wxSize(16, 16), wxIconBundle::FALLBACK_NONE).IsOk());
                  EXPECT_EQ(dlg_.GetIcons().GetIconCount(), 2U);
              }))
        .then("Escape", key(WXK_ESCAPE));
    EXPECT_EQ(script_.run(), wxID_CANCEL);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "no X display: run this through tests/gui/x_session.sh --wm\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
