// The simulated KVX instrument: protocol engine, setup record, signals and
// faults, offered to the VISA layer as a USB RAW resource. Thread-safe: tests
// change signals and faults while a session talks to it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/visa/Backend.h"
#include "sim/Acquisition.h"

namespace kvxsim {

// Faults for tests. A count is "the next N occurrences"; -1 means always.
struct Faults {
  int dropReplies = 0;          // queries get no reply at all
  int corruptPrefix = 0;        // block replies start with '$' instead of '#'
  int stallReplies = 0;         // replies are held back for stallMs
  int stallMs = 4000;
  int truncateBlocks = 0;       // block replies lose their second half
  int oversizeBlocks = 0;       // block replies announce #9999999999 bytes
  std::uint16_t selfTestFailBits = 0;  // bits cleared in the self-test answer (0 = all pass)
  bool refuseAutoset = false;   // autoset finds no usable signal
  int disconnectAfterReplies = -1;  // link lost after N more replies; -1 never
};

struct InstrumentOptions {
  int model = 162;                // 162, 112 or 71
  std::string serial = "KVX0001";
  std::string firmware = "1.23";
  std::uint64_t seed = 1;
  std::array<SignalSpec, 2> signals{
      SignalSpec{Waveform::Sine, 1000.0, 2.0, 0.0, 0.0},
      SignalSpec{Waveform::Square, 1000.0, 1.0, 0.0, 0.0}};
  Faults faults;
};

class SimulatedInstrument;  // defined in the engine

// The instrument as the search sees it. Keep the returned handle to steer the
// instrument from a test; register it with visa::AddInstrument.
class SimHandle : public visa::Instrument {
 public:
  explicit SimHandle(const InstrumentOptions& options);
  ~SimHandle() override;

  std::string Descriptor() const override;
  std::uint16_t ManufacturerId() const override;
  std::uint16_t ModelCode() const override;
  ViStatus Open(std::unique_ptr<visa::DeviceLink>& link) override;

  void SetSignal(int channel, const SignalSpec& spec);
  void SetFaults(const Faults& faults);
  // Every byte the host wrote since the last call (all sessions, in order).
  std::vector<std::uint8_t> TakeReceived();
  // The instrument's setup record as it holds it (572 bytes, big-endian).
  std::array<std::uint8_t, 572> SetupRecord() const;
  bool Claimed() const;  // "ZC:USED 1" seen and not yet released

  SimulatedInstrument& Engine();

 private:
  std::shared_ptr<SimulatedInstrument> engine_;
};

}  // namespace kvxsim
