#pragma once
// A test that starts the program with a store it prepared.

#include <gtest/gtest.h>

#include <memory>

#include "common/test_hooks.h"
#include "e2e/support/driver.h"
#include "e2e/support/menu_reader.h"

namespace e2e {

// The visible input box of the program with this title; null when none
// appears.
inline HWND FindInputBox(const Kestrel& program, const wchar_t* title) {
  HWND box = nullptr;
  WaitUntil([&] {
    for (HWND window : WindowsOf(program.processId(), L"#32770")) {
      if (IsWindowVisible(window) && WindowText(window) == title) box = window;
    }
    return box != nullptr;
  });
  return box;
}

// What a program that did not come up shows, for the failure message.
inline std::string Describe(const Kestrel& program) {
  std::string out = "running";
  if (!program.Running()) {
    out = "ended with code " + std::to_string(program.ExitCode());
  }
  for (HWND window : WindowsOf(program.processId())) {
    out += "; " + Utf8(ClassName(window)) + " \"" + Utf8(WindowText(window)) + "\"";
    for (const auto& text : ChildTexts(window)) out += " [" + Utf8(text) + "]";
  }
  return out;
}

// The test build of the program refuses an allocation while a test holds
// this.
class Refusal {
 public:
  explicit Refusal(kestrel::Allocation what)
      : event_(CreateEventW(nullptr, TRUE, FALSE, kestrel::RefusalEventName(what))) {}
  ~Refusal() {
    if (event_) CloseHandle(event_);
  }
  Refusal(const Refusal&) = delete;
  Refusal& operator=(const Refusal&) = delete;
  bool held() const { return event_ != nullptr; }

 private:
  HANDLE event_;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { EndLeftoverInstances(); }

  // Starts the program and waits until it is resident.
  Kestrel& Start() {
    program_ = std::make_unique<Kestrel>();
    EXPECT_TRUE(program_->WaitReady())
        << "the resident window did not appear; " << Describe(*program_);
    return *program_;
  }
  // Opens the tray menu with a right press, as the shell reports it, and
  // reads it from inside the program.
  std::vector<MenuItem> OpenTrayMenu() {
    MenuReader reader(program_->uiThreadId());
    EXPECT_TRUE(reader.hooked());
    program_->TrayCallback(WM_RBUTTONDOWN);
    auto menu = reader.WaitForMenu();
    EXPECT_TRUE(menu.has_value()) << "no menu was shown";
    EXPECT_TRUE(WaitUntil([] { return OpenMenuWindow() != nullptr; }));
    return menu.value_or(std::vector<MenuItem>{});
  }
  void CloseMenu() {
    input::Key(VK_ESCAPE);
    WaitUntil([] { return OpenMenuWindow() == nullptr; }, std::chrono::milliseconds(3000));
    if (OpenMenuWindow()) input::Key(VK_ESCAPE);
    WaitUntil([] { return OpenMenuWindow() == nullptr; }, std::chrono::milliseconds(3000));
  }
  // Answers the open input box: the text typed, then Enter.
  void Answer(HWND box, const wchar_t* text) {
    const HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    input::Key(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter did not close the box";
  }
  // Quits through the tray menu with the keyboard, as a user would.
  void QuitByMenu() {
    OpenTrayMenu();
    input::Key('Q');
  }

  ProgramStore store_;
  std::unique_ptr<Kestrel> program_;
};

}  // namespace e2e
