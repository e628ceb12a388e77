// The automatic-measurement display of the main panel: five labelled values
// kept current from the instrument's measurement blocks, shown and hidden
// together with the instrument's automatic-measurement mode.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

#include "display/MeasurementBlock.h"

// On while the measurement area is shown.
extern std::atomic<bool> MeasurementsShown;

// Takes the kMeasurementBlockSize big-endian bytes of an acquisition reply,
// keeps the decoded block and rewrites the texts, shown or not, so that they
// are current when the area is switched on. Any thread.
void UpdateMeasurements(const std::uint8_t* block);

// Receives every block UpdateMeasurements takes, converted to host byte order
// field by field (the preferences keep the last one). Installed once at
// start-up; called on the acquisition thread.
using MeasurementKeeper = std::function<void(std::span<const std::uint8_t, kMeasurementBlockSize> hostOrder)>;
void SetMeasurementKeeper(MeasurementKeeper keeper);

// Rewrites MeasLabelsText (labels of the current language) and MeasValuesText
// from the last block; before the first block every value reads "   ----".
// Any thread.
void RefreshMeasurementTexts();

// Switch the area on or off and send the instrument's automatic-measurement
// command. User-interface thread; the caller owns the link (LinkBusy), as for
// every command. A failed write is left to the link and does not change
// MeasurementsShown.
void ShowAutoMeasurements();
void HideAutoMeasurements();

// The measured channel's colour (0 = CH1, 1 = CH2) on the two texts; any other
// channel leaves them as they are.
void SetMeasurementColour(int channel);

// "Auto. meas. CH<n>" and "Cursor measurements" in the current language.
void WriteMeasurementTitles(int panel, int referenceChannel);
