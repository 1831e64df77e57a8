#include "notes/translucent_form.h"
#include "platform/platform.h"

namespace pinaleaf {

using platform::Color;
using platform::Form;

CTranslucentForm::CTranslucentForm() : supported_(platform::LayeredFormsSupported()) {
}

CTranslucentForm::~CTranslucentForm() {
  DetachWindow(hwnd_);
}

void CTranslucentForm::DetachWindow(Form hwnd) {
  if (!hwnd)
    return;
  platform::SetLayeredAlpha(hwnd, 255);
  platform::SetLayered(hwnd, false);
}

void CTranslucentForm::AttachWindow(Form hwnd) {
  if (!hwnd || !platform::SetLayered(hwnd, true))
    return;
  alpha_ = 255;
  platform::SetLayeredAlpha(hwnd, 255);
}

void CTranslucentForm::ApplyMode(Form hwnd) {
  if (!hwnd || mode_ == kNotLayered)
    return;
  // Off and on again, so the system takes the new attributes afresh.
  if (!platform::SetLayered(hwnd, false) || !platform::SetLayered(hwnd, true))
    return;
  if (mode_ == kColorKey) {
    platform::SetLayeredColorKey(hwnd, ResolveColor(colorKey_));
  } else if (mode_ == kUniformAlpha) {
    platform::SetLayeredAlpha(hwnd, alpha_);
  }
}

void CTranslucentForm::SetHwnd(Form hwnd) {
  if (!supported_)
    return;
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
  if (!supported_)
    return;
  if (mode_ == kUniformAlpha) {
    if (platform::SetLayeredAlpha(hwnd_, alpha))
      alpha_ = alpha;
  } else if (mode_ == kNotLayered || mode_ == kColorKey) {
    alpha_ = alpha;
    mode_ = kUniformAlpha;
    ApplyMode(hwnd_);
  }
}

void CTranslucentForm::SetColorKey(Color key) {
  if (!supported_)
    return;
  if (mode_ == kColorKey) {
    if (platform::SetLayeredColorKey(hwnd_, ResolveColor(key)))
      colorKey_ = key;
  } else if (mode_ == kNotLayered || mode_ == kUniformAlpha) {
    colorKey_ = key;
    mode_ = kColorKey;
    ApplyMode(hwnd_);
  }
}

}  // namespace pinaleaf
