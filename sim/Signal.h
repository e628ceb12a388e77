// Signal generation for the simulated instrument: the waveforms, the input
// coupling, where a waveform crosses a level, fast synthesis of a record and
// reproducible Gaussian noise.
#pragma once

#include <optional>
#include <random>
#include <vector>

#include "sim/Acquisition.h"

namespace kvxsim {

// Unit shape of a periodic waveform at phase u (periods, any real): peak +-1,
// passing zero upwards at u = 0 (the square rises there). Dc and None give 0.
double WaveShape(Waveform waveform, double phase);

// A channel's signal as its amplifier sees it, after the input coupling:
// mean + halfAmplitude * WaveShape(frequencyHz * t), plus noise.
struct CoupledSignal {
  Waveform waveform = Waveform::None;
  double frequencyHz = 0.0;
  double halfAmplitude = 0.0;
  double mean = 0.0;
  double noiseVrms = 0.0;
};

// coupling 0 AC (drops the mean), 1 DC (passes all), 2 GROUND (0 V, no
// noise). A periodic waveform without a positive finite frequency or
// amplitude is flat at its offset; None is a disconnected input: 0 V, no noise.
CoupledSignal ApplyCoupling(const SignalSpec& input, int coupling);

// True when the noiseless signal changes with time.
bool IsVarying(const CoupledSignal& signal);

// Phase in [0, 1) at which the noiseless signal crosses `levelVolts` rising
// (slope 0) or falling (slope 1); nothing when it never does. A level the
// signal only touches at its peak is not a crossing.
std::optional<double> CrossingPhase(const CoupledSignal& signal, double levelVolts, int slope);

// Noiseless samples: out[i] is the signal at phase firstPhase + i * phaseStep.
// `out` keeps its size.
void Synthesize(const CoupledSignal& signal, double firstPhase, double phaseStep, std::vector<double>& out);

// Adds zero-mean Gaussian noise of the given rms, drawn from `rng` only, so a
// seeded generator repeats the same noise.
void AddNoise(double rms, std::mt19937_64& rng, std::vector<double>& samples);

// Fractional part in [0, 1), also for negative values.
double WrapPhase(double phase);

// 1 / x, or 0 when x is 0 or not finite (a scale that cannot be inverted
// flattens the trace instead of spreading NaN).
double InverseOrZero(double x);

// Integer code of a position in divisions: centre + divisions * codesPerDivision,
// rounded and clipped to 0..maxCode (NaN gives the centre).
int QuantiseDivisions(double divisions, int centre, double codesPerDivision, int maxCode);

}  // namespace kvxsim
