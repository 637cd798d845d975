// The four settings the dialog edits, and how they reach and leave "KPX.cfg".
#pragma once

#include "settings.h"

// The dialog's data members, in its declaration order. The dialog keeps the settings only
// here between opening and OK; the file is the sole persistent store.
struct ConfigDlgMembers {
    int m_bUseSound = 0;     // "Use Sound": 0 clear, 1 checked; its low byte is the sound flag
    int m_nBitDepth = 0;     // colour-depth index, -1 when no "Bit Depth" button is selected
    int m_nRefreshRate = 0;  // refresh-rate index, -1 when no "Refresh Rate" button is selected
    int m_nResolution = 0;   // resolution index, -1 when no "Resolution" button is selected

    bool operator==(const ConfigDlgMembers&) const = default;
};

// The defaults (sound on, 1024x768, 32 bits, 75 Hz), then whatever whole fields the file
// holds, unchecked: the sound byte lands in the low byte of m_bUseSound. A file that cannot
// be opened leaves the defaults, silently.
void loadSettings(ConfigDlgMembers& members, const char* path = kSettingsFileName);

// Rewrites the file whole: the low byte of m_bUseSound, then the resolution, colour-depth and
// refresh-rate indices, 13 bytes. A file that cannot be opened for writing is skipped
// silently; the dialog closes as after a save.
void saveSettings(const ConfigDlgMembers& members, const char* path = kSettingsFileName);

enum class Preset { Compatibility, Default, Preferred };

// Sets all four members to the preset's values.
void applyPreset(ConfigDlgMembers& members, Preset preset);
