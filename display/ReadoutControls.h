// The readout column beside the trace graph: a frame per group, a text per
// line so that each cursor's lines can carry that cursor's colour.
#pragma once

#include <array>

#include "layout/PanelIds.h"

struct ReadoutGroup {
  int frame;
  std::array<int, 4> lines;
};

// t1, t2, dt, 1/dt.
inline constexpr ReadoutGroup kTimeReadouts{
    MainPanel::TimeReadouts,
    {MainPanel::TimeT1Text, MainPanel::TimeT2Text, MainPanel::TimeDtText, MainPanel::TimeInvDtText}};

// Per channel: header, Y1, Y2, dY.
inline constexpr std::array<ReadoutGroup, 2> kChannelReadouts{{
    {MainPanel::Ch1Readouts,
     {MainPanel::Ch1HeaderText, MainPanel::Ch1Y1Text, MainPanel::Ch1Y2Text, MainPanel::Ch1DyText}},
    {MainPanel::Ch2Readouts,
     {MainPanel::Ch2HeaderText, MainPanel::Ch2Y1Text, MainPanel::Ch2Y2Text, MainPanel::Ch2DyText}},
}};

// Line positions within a group.
inline constexpr int kFirstTimeLine = 0;
inline constexpr int kSecondTimeLine = 1;
inline constexpr int kHeaderLine = 0;
inline constexpr int kFirstValueLine = 1;
inline constexpr int kSecondValueLine = 2;

// Shows or hides a group with its frame.
void ShowReadoutGroup(int panel, const ReadoutGroup& group, bool shown);
// The lines that belong to a cursor take its colour: t1 and both Y1 the
// first cursor's, t2 and both Y2 the second's.
void ColourCursorReadouts(int panel);
