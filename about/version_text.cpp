#include "about/version_text.h"

namespace kestrel {

std::wstring VersionCaption(uint16_t major, uint16_t minor, uint16_t revision) {
  return L"Version." + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
         std::to_wstring(revision);
}

}  // namespace kestrel
