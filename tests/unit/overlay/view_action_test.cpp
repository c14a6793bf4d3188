#include <gtest/gtest.h>

#include "core/capture_control_rules.h"

namespace kestrel {
namespace {

struct ViewCase {
  const char* rule;
  int32_t viewMode;
  const wchar_t* viewerPath;
  const wchar_t* vmodeSoft;
  std::optional<std::wstring> expected;
};
const ViewCase kViews[] = {
    {"1 starts the viewer on the clipboard", 1, L"C:\\Tools\\Viewer", L"x.exe",
     L"C:\\Tools\\Viewer\\Pictoria2.exe ?clipboard"},
    {"1 with no viewer folder still tries, and fails silently", 1, L"", L"",
     L"\\Pictoria2.exe ?clipboard"},
    {"2 starts VModeSoft unchanged, blanks unquoted", 2, L"C:\\Viewer",
     L"C:\\Program Files\\View It\\v.exe /a b", L"C:\\Program Files\\View It\\v.exe /a b"},
    {"2 with an empty VModeSoft starts nothing", 2, L"C:\\Viewer", L"", std::nullopt},
    {"0 does nothing", 0, L"C:\\Viewer", L"x.exe", std::nullopt},
    {"3 acts as 0", 3, L"C:\\Viewer", L"x.exe", std::nullopt},
    {"a negative mode acts as 0", -1, L"C:\\Viewer", L"x.exe", std::nullopt},
};

TEST(ViewAction, CommandLineFollowsViewMode) {
  for (const auto& c : kViews)
    EXPECT_EQ(ViewCommandLine(c.viewMode, c.viewerPath, c.vmodeSoft), c.expected) << c.rule;
}

}  // namespace
}  // namespace kestrel
