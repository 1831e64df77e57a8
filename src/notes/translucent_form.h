// Makes one top-level window a layered window and draws it with one alpha
// value or one transparent colour key.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pinaleaf {

class CTranslucentForm {
 public:
  enum Mode : int { kNotLayered = 0, kColorKey = 1, kUniformAlpha = 2 };

  CTranslucentForm();
  ~CTranslucentForm();
  CTranslucentForm(const CTranslucentForm&) = delete;
  CTranslucentForm& operator=(const CTranslucentForm&) = delete;

  void SetAlpha(std::uint8_t alpha);
  std::uint8_t Alpha() const {
    return static_cast<std::uint8_t>(alpha_);
  }
  void SetColorKey(platform::Color key);
  platform::Color ColorKey() const {
    return colorKey_;
  }  // unresolved
  void SetHwnd(platform::Form hwnd);
  platform::Form Hwnd() const {
    return hwnd_;
  }
  void SetMode(int mode);
  int GetMode() const {
    return mode_;
  }
  bool Supported() const {
    return supported_;
  }

 private:
  // A colour with bit 31 set names a system colour.
  platform::Color ResolveColor(platform::Color color) const {
    return platform::ResolveColor(color);
  }
  void DetachWindow(platform::Form hwnd);
  void AttachWindow(platform::Form hwnd);
  void ApplyMode(platform::Form hwnd);

  bool supported_;
  platform::Form hwnd_;
  std::int32_t alpha_ = 255;
  platform::Color colorKey_ = platform::kButtonFaceColor;
  std::int32_t mode_ = kUniformAlpha;
};

}  // namespace pinaleaf
