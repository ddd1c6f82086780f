#pragma once

#include <Qt>

// The design's modifier keys on this platform. Command is Ctrl, so menu
// shortcuts read as users expect; the design's Control is the Meta key.
namespace kivo::keys {

inline constexpr Qt::KeyboardModifier command = Qt::ControlModifier;
inline constexpr Qt::KeyboardModifier control = Qt::MetaModifier;
inline constexpr Qt::KeyboardModifier option = Qt::AltModifier;
inline constexpr Qt::KeyboardModifier shift = Qt::ShiftModifier;

// Every modifier that changes what a key means (not the keypad flag).
inline constexpr Qt::KeyboardModifiers anyModifier = command | control | option | shift;

// The dynamic property by which a widget tells the playback arrow keys
// whether it keeps bare Left and Right for itself (true) or leaves them (false).
inline constexpr const char* usesArrowKeysProperty = "usesArrowKeys";

} // namespace kivo::keys
