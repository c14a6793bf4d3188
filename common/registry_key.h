#pragma once
// Move-only owner of an open registry key.

#include <windows.h>

#include <utility>

namespace kestrel {

class RegistryKey {
 public:
  RegistryKey() = default;
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& o) noexcept : key_(std::exchange(o.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& o) noexcept {
    if (this != &o) {
      if (key_) RegCloseKey(key_);
      key_ = std::exchange(o.key_, nullptr);
    }
    return *this;
  }
  HKEY get() const { return key_; }
  HKEY* Put() {
    if (key_) RegCloseKey(std::exchange(key_, nullptr));
    return &key_;
  }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace kestrel
