// Drawing one frame on the trace graph: each channel as the filled band
// between the two codes of every screen position, an eight-deep persistence
// ring, the reference traces, the overview in zoom mode and the XY curve.
// The plot handles belong to the acquisition thread.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kPersistenceDepth = 8;
// Outline and fill by age 0..7, per channel.
inline constexpr std::array<std::array<std::uint32_t, kPersistenceDepth>, 2> PersistColour = {{
    {0xFF0000, 0xFF2020, 0xFF4040, 0xFF6060, 0xFF8080, 0xFFA0A0, 0xFFC0C0, 0xFFE0E0},
    {0x00C000, 0x00E000, 0x00FF00, 0x40FF40, 0x80FF80, 0xA0FFA0, 0xC0FFC0, 0xE0FFE0},
}};
inline constexpr std::uint32_t kXYLiveColour = 0xCC6600;
inline constexpr std::uint32_t kXYReferenceColour = 0xFFC880;

// Forgets every plot handle, ring index 0, drawing order 0 (thread start).
void ResetDrawingState();
// Draws the frame just processed (acquisition thread).
void DrawTraces();
