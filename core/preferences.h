// configx.ini: the resolution choice, one key in one section.
#pragma once

#include <string>
#include <string_view>

namespace tessoral {

inline constexpr std::string_view kPreferencesFileName = "configx.ini";
inline constexpr const char* kResolutionSection = "分辨率配置";
inline constexpr const char* kResolutionKey = "分辨率";

// The resolution item a stored value selects: the text read as a decimal
// number (blanks, sign, digits, fraction, exponent; anything else is 0),
// the fraction dropped; above `last` gives `last`, -1 or below gives -1
// (no item).
int ResolutionIndexFromText(std::string_view text, int last);

}  // namespace tessoral
