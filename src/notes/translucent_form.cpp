#include "notes/translucent_form.h"

namespace pinaleaf {

using platform::Color;
using platform::Handle;
using platform::kLayeredAlpha;
using platform::kLayeredColorKey;
using platform::kLayeredStyle;

// Layered windows came with major version 5.
CTranslucentForm::CTranslucentForm() : supported_(platform::SystemMajorVersion() >= 5) {}

CTranslucentForm::~CTranslucentForm() { DetachWindow(hwnd_); }

Color CTranslucentForm::ResolveColor(Color color) const {
  if (color & platform::kSystemColorFlag) return platform::SystemColor(static_cast<int>(color & 0x7FFFFFFF));
  return color;
}

void CTranslucentForm::DetachWindow(Handle hwnd) {
  if (hwnd == 0) return;
  platform::SetLayeredAttributes(hwnd, 0, 255, kLayeredAlpha);
  platform::SetExtendedStyle(hwnd, platform::GetExtendedStyle(hwnd) & ~kLayeredStyle);
}

void CTranslucentForm::AttachWindow(Handle hwnd) {
  if (hwnd == 0) return;
  if (platform::SetExtendedStyle(hwnd, platform::GetExtendedStyle(hwnd) | kLayeredStyle) == 0) return;
  alpha_ = 255;
  platform::SetLayeredAttributes(hwnd, 0, 255, kLayeredAlpha);
}

void CTranslucentForm::ApplyMode(Handle hwnd) {
  if (hwnd == 0) return;
  std::uint32_t plain = platform::GetExtendedStyle(hwnd) & ~kLayeredStyle;
  if (mode_ == kNotLayered) return;
  // Off and on again, so the system takes the new attributes afresh.
  if (platform::SetExtendedStyle(hwnd, plain) == 0) return;
  if (platform::SetExtendedStyle(hwnd, plain | kLayeredStyle) == 0) return;
  if (mode_ == kColorKey) {
    platform::SetLayeredAttributes(hwnd, ResolveColor(colorKey_), 0, kLayeredColorKey);
  } else if (mode_ == kUniformAlpha) {
    platform::SetLayeredAttributes(hwnd, 0, alpha_, kLayeredAlpha);
  }
}

void CTranslucentForm::SetHwnd(Handle hwnd) {
  if (!supported_) return;
  DetachWindow(hwnd_);
  hwnd_ = hwnd;
  AttachWindow(hwnd_);
}

void CTranslucentForm::SetMode(int mode) {
  if (mode == kNotLayered) {
    mode_ = kNotLayered;
    DetachWindow(hwnd_);
  } else if (mode == kColorKey || mode == kUniformAlpha) {
    mode_ = mode;
    ApplyMode(hwnd_);
  }
}

void CTranslucentForm::SetAlpha(std::uint8_t alpha) {
  if (!supported_) return;
  if (mode_ == kUniformAlpha) {
    if (platform::SetLayeredAttributes(hwnd_, 0, alpha, kLayeredAlpha)) alpha_ = alpha;
  } else if (mode_ == kNotLayered || mode_ == kColorKey) {
    alpha_ = alpha;
    mode_ = kUniformAlpha;
    ApplyMode(hwnd_);
  }
}

void CTranslucentForm::SetColorKey(Color key) {
  if (!supported_) return;
  if (mode_ == kColorKey) {
    if (platform::SetLayeredAttributes(hwnd_, ResolveColor(key), 0, kLayeredColorKey)) colorKey_ = key;
  } else if (mode_ == kNotLayered || mode_ == kUniformAlpha) {
    colorKey_ = key;
    mode_ = kColorKey;
    ApplyMode(hwnd_);
  }
}

}  // namespace pinaleaf
