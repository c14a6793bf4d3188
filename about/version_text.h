#pragma once
// The about box's texts that do not depend on the platform. Pure.

#include <cstdint>
#include <string>

namespace kestrel {

// "Version." followed by major.minor.revision as plain decimal numbers:
// 5, 2, 0 give "Version.5.2.0".
std::wstring VersionCaption(uint16_t major, uint16_t minor, uint16_t revision);

}  // namespace kestrel
