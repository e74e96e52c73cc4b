#include "core/EdidModeNames.h"

namespace EdidModeNames {

namespace {

constexpr int FIRST_COPY = static_cast<int>(MODE_COUNT);
constexpr int LAST_COPY = FIRST_COPY + static_cast<int>(COPY_COUNT) - 1;
constexpr wchar_t NO_NAME[] = L"";

// The device reports the three 4K2K30 modes without the sampling the list
// shows; every other mode under its list name.
constexpr int FIRST_SHORT_NAME = 9;
const std::array<const wchar_t*, 3> SHORT_4K2K30_NAMES = {
    L"4K2K30,Stereo Audio 2.0",
    L"4K2K30,Dolby/DTS 5.1",
    L"4K2K30,HD Audio 7.1",
};

bool IsMode(int value) { return value >= 0 && value < static_cast<int>(MODE_COUNT); }

}  // namespace

const std::array<const wchar_t*, MODE_COUNT> EDID_MODE_NAMES = {
    L"1080p,Stereo Audio 2.0",
    L"1080p,Dolby/DTS 5.1",
    L"1080p,HD Audio 7.1",
    L"1080i,Stereo Audio 2.0",
    L"1080i,Dolby/DTS 5.1",
    L"1080i,HD Audio 7.1",
    L"3D,Stereo Audio 2.0",
    L"3D,Dolby/DTS 5.1",
    L"3D,HD Audio 7.1",
    L"4K2K30_444,Stereo Audio 2.0",
    L"4K2K30_444,Dolby/DTS 5.1",
    L"4K2K30_444,HD Audio 7.1",
    L"4K2K60_420,Stereo Audio 2.0",
    L"4K2K60_420,Dolby/DTS 5.1",
    L"4K2K60_420,HD Audio 7.1",
    L"4K2K60_444,Stereo Audio 2.0",
    L"4K2K60_444,Dolby/DTS 5.1",
    L"4K2K60_444,HD Audio 7.1",
};

const std::array<const wchar_t*, COPY_COUNT> EDID_COPY_NAMES = {
    L"COPY TX A",
    L"COPY TX B",
    L"COPY TX C",
    L"COPY TX D",
};

const wchar_t* EdidModeName(int mode) {
    if (!IsMode(mode)) return NO_NAME;
    const int shortName = mode - FIRST_SHORT_NAME;
    if (shortName >= 0 && shortName < static_cast<int>(SHORT_4K2K30_NAMES.size())) return SHORT_4K2K30_NAMES[shortName];
    return EDID_MODE_NAMES[mode];
}

std::optional<const wchar_t*> ReportText(int value) {
    if (IsMode(value)) return EdidModeName(value);
    if (value >= FIRST_COPY && value <= LAST_COPY) return EDID_COPY_NAMES[value - FIRST_COPY];
    return std::nullopt;
}

}  // namespace EdidModeNames
