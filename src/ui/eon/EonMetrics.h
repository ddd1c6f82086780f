#pragma once

// Corner radii, paddings, spacings and text sizes shared by several views, in
// logical pixels. Views use these names rather than literal numbers.
namespace kivo::eon {

// Corner radii, by what is rounded.
inline constexpr double windowCornerRadius = 15;
inline constexpr double panelCornerRadius = 14; // the player bar, drop targets
inline constexpr double sheetCornerRadius = 12;
inline constexpr double bannerCornerRadius = 10;
inline constexpr double cardCornerRadius = 9; // cards, artwork squares
inline constexpr double tileCornerRadius = 8; // tiles, rows, menus
inline constexpr double revealCornerRadius = 8;
inline constexpr double searchFieldCornerRadius = 7;
inline constexpr double plateCornerRadius = 7; // framed plates and toggles
inline constexpr double controlCornerRadius = 6; // buttons and text fields
inline constexpr double badgeCornerRadius = 5; // badges, segments, item washes
inline constexpr double compactCornerRadius = 4; // thumbnails, inline fields
inline constexpr double checkboxCornerRadius = 3.5;

// The type scale, by role (pixel sizes for eonFont and eonMonoFont).
inline constexpr int textDisplay = 24; // a page's own name
inline constexpr int textLargeTitle = 22;
inline constexpr int textTitle = 20;
inline constexpr int textHeadline = 15;
inline constexpr int textSubheadline = 14;
inline constexpr int textBody = 13;
inline constexpr int textCallout = 12;
inline constexpr int textFootnote = 11;
inline constexpr int textCaption = 10;
inline constexpr int textMicro = 9; // tracked upper-case labels

// The spacing scale: gaps between items and padding inside containers.
inline constexpr int space2XS = 2;
inline constexpr int spaceXS = 4;
inline constexpr int spaceS = 6;
inline constexpr int spaceM = 8;
inline constexpr int spaceL = 10;
inline constexpr int spaceXL = 12;
inline constexpr int space2XL = 16;
inline constexpr int space3XL = 20;
inline constexpr int space4XL = 24;
inline constexpr int space5XL = 28;
inline constexpr int space6XL = 32;
// Between a title and the line of explanation under it.
inline constexpr int titleLineSpacing = 3;
// Between the sections of a sheet: its title, fields and buttons.
inline constexpr int sheetSectionSpacing = 18;

inline constexpr int windowWidth = 1320;
inline constexpr int windowHeight = 820;
inline constexpr int windowMinimumWidth = 900;
inline constexpr int windowMinimumHeight = 650;
inline constexpr int contentMinimumWidth = 420;
inline constexpr int playerBarHeight = 104;

} // namespace kivo::eon
