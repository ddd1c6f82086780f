#pragma once

// Corner radii, paddings and sizes shared by several views, in logical pixels.
namespace kivo::eon {

inline constexpr double windowCornerRadius = 15;
inline constexpr double bannerCornerRadius = 10;
inline constexpr double revealCornerRadius = 8;
inline constexpr double searchFieldCornerRadius = 7;

inline constexpr int windowWidth = 1320;
inline constexpr int windowHeight = 820;
inline constexpr int windowMinimumWidth = 900;
inline constexpr int windowMinimumHeight = 650;
inline constexpr int contentMinimumWidth = 420;
inline constexpr int playerBarHeight = 104;

} // namespace kivo::eon
