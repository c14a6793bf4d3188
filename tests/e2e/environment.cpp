// Holds the test desktop for the whole run. Wine closes a desktop shortly
// after its last window goes away; a program started in that moment cannot
// create windows at all. The driver keeps a window of its own on the desktop
// from the start, retrying until the desktop accepts it.

#include <gtest/gtest.h>

#include "e2e/support/driver.h"

namespace e2e {
namespace {

class DesktopAnchor : public ::testing::Environment {
 public:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestrelE2E.DesktopAnchor";
    RegisterClassW(&windowClass);
    ASSERT_TRUE(WaitUntil(
        [&] {
          window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
          return window_ != nullptr;
        },
        std::chrono::seconds(20)))
        << "the test desktop accepts no window";
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

 private:
  HWND window_ = nullptr;
};

const auto* const kAnchor = ::testing::AddGlobalTestEnvironment(new DesktopAnchor);

}  // namespace
}  // namespace e2e
