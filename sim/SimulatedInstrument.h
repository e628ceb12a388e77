// The simulated instrument's protocol engine: it reads the host's commands,
// keeps the setup record, runs acquisitions, answers queries and applies the
// test faults. One session (link) talks to it at a time. Every public call
// is thread-safe.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visa/Backend.h"
#include "sim/Acquisition.h"
#include "sim/CommandParser.h"
#include "sim/ErrorQueue.h"
#include "sim/Instrument.h"
#include "sim/SetupStore.h"

namespace kvxsim {

class SimulatedInstrument {
 public:
  explicit SimulatedInstrument(const InstrumentOptions& options);

  int Model() const { return model_; }
  const std::string& Serial() const { return serial_; }

  // Sessions. OpenSession gives a session number, or 0 while another session
  // holds the instrument. A session that lost its link (disconnect fault)
  // keeps the instrument until it is closed.
  int OpenSession();
  void CloseSession(int session);
  visa::LinkResult Write(int session, const std::uint8_t* data, std::size_t count);
  // Waits up to `timeout` for the next reply that is due; the whole reply
  // is one message (endOfMessage set). Waits and due times follow the
  // program's clock, so a test that moves it sees stalls without sleeping.
  visa::LinkResult Read(int session, std::vector<std::uint8_t>& out, bool& endOfMessage,
                        std::chrono::milliseconds timeout);

  void SetSignal(int channel, const SignalSpec& input);
  void SetFaults(const Faults& faults);
  // Changes the faults in place, so that no count consumed meanwhile is lost.
  void UpdateFaults(const std::function<void(Faults&)>& change);
  Faults CurrentFaults() const;  // with the counts left
  // Told each fault as it strikes ("dropped", "stalled", "truncated",
  // "corrupted", "oversized", "pulled cable"); called under the instrument's
  // lock, so it must be quick and must not call back.
  void SetFaultObserver(std::function<void(std::string_view)> observer);
  std::vector<std::uint8_t> TakeReceived();
  SetupBytes SetupRecord() const;
  bool Claimed() const;
  AcquisitionSettings Settings() const;  // what the record selects now
  std::size_t PendingErrors() const;

 private:
  using Handler = void (SimulatedInstrument::*)(const Command&, int suffix);
  struct CommandEntry {
    std::string_view pattern;
    Handler handler;
  };
  struct Reply {
    std::vector<std::uint8_t> bytes;
    double due;  // on the program's clock
  };
  // The record the frames and trace files show, with what it was taken at.
  struct HeldRecord {
    Record record;
    AcquisitionSettings settings;
    int timebaseIndex = 15;
    std::array<int, 2> sensitivityIndex{4, 4};
    std::array<std::string, 2> unit{"V", "V"};
  };
  // Progress of an acquisition slow enough to watch its phases.
  struct Sweep {
    bool active = false;
    SetupBytes setup{};  // settings it runs with; any change restarts it
    double start = 0.0;
    bool triggered = false;
    double triggerTime = 0.0;
    Record pending;
  };

  // InstrumentEngine.cpp: sessions, replies and faults.
  bool SessionUsable(int session) const;
  void Execute(const ProgramMessage& message);
  void ReplyText(const std::string& text);
  void ReplyBlock(std::vector<std::uint8_t> block);
  void QueueReply(std::vector<std::uint8_t> bytes, bool isBlock);
  void NoteDelivered();
  bool Strike(int& count, std::string_view kind);
  void LoseLink();
  void Fail(InstrumentError error) { errors_.Push(error); }
  double InstrumentTime() const;

  // InstrumentCommands.cpp: the command table, common and setting commands.
  static const std::vector<CommandEntry>& CommandTable();
  bool ChannelOf(int suffix, int& channel);
  bool ChannelWord(const std::string& word, int& channel);
  bool RealArgument(const Command& command, double& value);
  bool IntegerArgument(const Command& command, long low, long high, long& value);
  bool BooleanArgument(const Command& command, bool& value);
  bool WordArgument(const Command& command, std::span<const std::string_view> words, int& index);
  void SetTimebase(int index);
  int DivisionUnits(double volts, int channel) const;
  void OnIdentify(const Command&, int);
  void OnReset(const Command&, int);
  void OnClear(const Command&, int);
  void OnOperationComplete(const Command&, int);
  void OnWait(const Command&, int);
  void OnClaim(const Command&, int);
  void OnClaimQuery(const Command&, int);
  void OnDataFormat(const Command&, int);
  void OnSelfTest(const Command&, int);
  void OnCoupling(const Command&, int);
  void OnVerticalOffset(const Command&, int);
  void OnSensitivity(const Command&, int);
  void OnProbeFactor(const Command&, int);
  void OnProbeFactorQuery(const Command&, int);
  void OnTraceDisplay(const Command&, int);
  void OnTimebase(const Command&, int);
  void OnHorizontalOffset(const Command&, int);
  void OnZoom(const Command&, int);
  void OnTriggerSource(const Command&, int);
  void OnTriggerSlope(const Command&, int);
  void OnTriggerCoupling(const Command&, int);
  void OnTriggerHighPass(const Command&, int);
  void OnTriggerLowPass(const Command&, int);
  void OnTriggerFilter(const Command& command, int kind);
  void OnContinuousTrigger(const Command&, int);
  void OnAutoTrigger(const Command&, int);
  void OnSingleTrigger(const Command&, int);
  void OnTriggerLevel(const Command&, int);
  void OnRunState(const Command&, int);
  void OnCursorReference(const Command&, int);
  void OnCursorTime(const Command&, int);
  void OnAutoMeasurements(const Command&, int);

  // InstrumentAutoset.cpp
  void OnAutoset(const Command&, int);
  void OnVerticalAutoset(const Command&, int);
  bool AutosetChannel(int channel);

  // InstrumentTransfer.cpp: setup record, files and the error queue.
  void OnSetupQuery(const Command&, int);
  void OnSetupLoad(const Command&, int);
  void OnStoreTrace(const Command&, int);
  void OnFileData(const Command&, int);
  void OnFileDelete(const Command&, int);
  void OnErrorQuery(const Command&, int);
  bool FileName(const Command& command, std::size_t argument, std::string& key);

  // InstrumentRun.cpp: run control and acquisition frames.
  void OnFrameQuery(const Command&, int);
  AcquisitionSettings DeriveSettings() const;
  FrameState AdvanceAcquisition();
  int CompleteAcquisition(Record& record, const AcquisitionSettings& settings, FrameState& state);
  int SweepPhase(double now, double recordSeconds, const AcquisitionSettings& settings, FrameState& state);

  const int model_;
  const std::string serial_;
  const std::string firmware_;

  mutable std::mutex mutex_;
  std::condition_variable_any replyDue_;  // waited on through the clock
  std::array<SignalSpec, 2> signals_;
  Faults faults_;
  std::function<void(std::string_view)> faultObserver_;
  SetupStore setup_;
  ErrorQueue errors_;
  CommandSplitter splitter_;
  std::deque<Reply> replies_;
  std::vector<std::uint8_t> received_;
  int session_ = 0;
  int nextSession_ = 1;
  bool lost_ = false;
  bool claimed_ = false;
  std::mt19937_64 rng_;
  const double epoch_;  // on the program's clock
  HeldRecord held_;
  Sweep sweep_;
  std::map<std::string, std::vector<std::uint8_t>> files_;  // by upper-case name
};

}  // namespace kvxsim
