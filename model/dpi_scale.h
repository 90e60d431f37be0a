// Sizes at the display's scale.  Every fixed size of the launcher (the bar's
// thickness, the button pitch, dialogs, fonts, icons) is given for 96 dots
// per inch; a monitor of another DPI gets it multiplied by dpi / 96, rounded
// to the nearest pixel (halves away from zero, as MulDiv rounds).  At 96 dpi
// every size is the given one, pixel for pixel.  Nothing stored is ever
// scaled: the settings file and the icon store hold the 96-dpi values.
#pragma once

namespace kb {

constexpr int kBaseDpi = 96;

class DpiScale {
 public:
  constexpr DpiScale() = default;
  // A DPI of 0 or below (a system that reports none) means the base.
  explicit constexpr DpiScale(int dpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

  constexpr int Dpi() const { return dpi_; }
  constexpr bool IsBase() const { return dpi_ == kBaseDpi; }

  // A 96-dpi length (or position) at this scale.
  constexpr int operator()(int px96) const {
    const long long product = static_cast<long long>(px96) * dpi_;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi
                                         : -((-product + half) / kBaseDpi));
  }

  // A length at this scale back at 96 dpi (nearest pixel).
  constexpr int Unscale(int px) const {
    const long long product = static_cast<long long>(px) * kBaseDpi;
    const long long half = dpi_ / 2;
    return static_cast<int>(product >= 0 ? (product + half) / dpi_ : -((-product + half) / dpi_));
  }

  friend constexpr bool operator==(const DpiScale&, const DpiScale&) = default;

 private:
  int dpi_ = kBaseDpi;
};

}  // namespace kb
