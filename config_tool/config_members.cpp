#include "config_members.h"

#include <cstdint>

void loadSettings(ConfigDlgMembers& members, const char* path) {
    const ConfigRecord record = readConfigFile(path);
    members.m_bUseSound = record.soundFlag;
    members.m_nResolution = record.resolutionIndex;
    members.m_nBitDepth = record.colorDepthIndex;
    members.m_nRefreshRate = record.refreshRateIndex;
}

void saveSettings(const ConfigDlgMembers& members, const char* path) {
    const ConfigRecord record{static_cast<std::uint8_t>(members.m_bUseSound & 0xff),
                              members.m_nResolution, members.m_nBitDepth, members.m_nRefreshRate};
    // Nothing is reported when the file cannot be written: the dialog has no message boxes.
    (void)writeConfigFile(path, record);
}

void applyPreset(ConfigDlgMembers& members, Preset preset) {
    members.m_bUseSound = 1;
    switch (preset) {
        case Preset::Compatibility:  // 640x480, 16 bits, the display's default rate
            members.m_nResolution = 0;
            members.m_nBitDepth = 0;
            members.m_nRefreshRate = 7;
            break;
        case Preset::Default:  // the file's defaults: 1024x768, 32 bits, 75 Hz
            members.m_nResolution = kDefaultConfigRecord.resolutionIndex;
            members.m_nBitDepth = kDefaultConfigRecord.colorDepthIndex;
            members.m_nRefreshRate = kDefaultConfigRecord.refreshRateIndex;
            break;
        case Preset::Preferred:  // 1024x768, 32 bits, 100 Hz
            members.m_nResolution = 2;
            members.m_nBitDepth = 1;
            members.m_nRefreshRate = 5;
            break;
    }
}
