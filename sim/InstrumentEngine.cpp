// Sessions, the reply queue and the reply faults of the simulated instrument.
#include <algorithm>
#include <string>

// The instrument keeps no program code, but it waits on the program's clock:
// that is plumbing, and it lets tests move time for both sides at once.
#include "platform/os/Clock.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

// A fault count: 0 off, N the next N occurrences, negative always.
bool ConsumeFault(int& count) {
  if (count == 0) return false;
  if (count > 0) --count;
  return true;
}

// Replaces a block's length header with one that announces 999,999,999 bytes.
void AnnounceOversize(std::vector<std::uint8_t>& block) {
  if (block.size() < 2 || block[1] < '1' || block[1] > '9') return;
  const std::size_t header = 2 + static_cast<std::size_t>(block[1] - '0');
  if (block.size() < header) return;
  const std::string oversize = "#9999999999";
  block.erase(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(header));
  block.insert(block.begin(), oversize.begin(), oversize.end());
}

}  // namespace

SimulatedInstrument::SimulatedInstrument(const InstrumentOptions& options)
    : model_(options.model),
      serial_(options.serial),
      firmware_(options.firmware),
      signals_(options.signals),
      faults_(options.faults),
      rng_(options.seed),
      epoch_(CurrentClock().Now()) {
  held_.settings = DeriveSettings();
}

int SimulatedInstrument::OpenSession() {
  std::lock_guard lock(mutex_);
  if (session_ != 0) return 0;
  session_ = nextSession_++;
  if (nextSession_ <= 0) nextSession_ = 1;
  lost_ = false;
  splitter_.Reset();
  replies_.clear();
  if (faults_.disconnectAfterReplies == 0) LoseLink();
  return session_;
}

void SimulatedInstrument::CloseSession(int session) {
  std::lock_guard lock(mutex_);
  if (session == 0 || session != session_) return;
  session_ = 0;
  lost_ = false;
  splitter_.Reset();
  replies_.clear();
  replyDue_.notify_all();
}

bool SimulatedInstrument::SessionUsable(int session) const {
  return session != 0 && session == session_ && !lost_;
}

visa::LinkResult SimulatedInstrument::Write(int session, const std::uint8_t* data, std::size_t count) {
  std::lock_guard lock(mutex_);
  if (!SessionUsable(session)) return visa::LinkResult::Lost;
  received_.insert(received_.end(), data, data + count);
  std::vector<ProgramMessage> messages;
  splitter_.Feed(data, count, messages);
  for (const ProgramMessage& message : messages) Execute(message);
  return visa::LinkResult::Ok;
}

visa::LinkResult SimulatedInstrument::Read(int session, std::vector<std::uint8_t>& out, bool& endOfMessage,
                                           std::chrono::milliseconds timeout) {
  Clock& clock = CurrentClock();
  std::unique_lock lock(mutex_);
  const double deadline = clock.Now() + std::max<double>(timeout.count(), 0.0) / 1000.0;
  for (;;) {
    if (!SessionUsable(session)) return visa::LinkResult::Lost;
    const double now = clock.Now();
    if (!replies_.empty() && replies_.front().due <= now) {
      const std::vector<std::uint8_t>& bytes = replies_.front().bytes;
      out.insert(out.end(), bytes.begin(), bytes.end());
      endOfMessage = true;
      replies_.pop_front();
      NoteDelivered();
      return visa::LinkResult::Ok;
    }
    if (now >= deadline) return visa::LinkResult::Timeout;
    double wake = deadline;
    if (!replies_.empty()) wake = std::min(wake, replies_.front().due);
    clock.WaitUntil(lock, replyDue_, wake);
  }
}

void SimulatedInstrument::NoteDelivered() {
  if (faults_.disconnectAfterReplies > 0 && --faults_.disconnectAfterReplies == 0) LoseLink();
}

void SimulatedInstrument::LoseLink() {
  lost_ = true;
  faults_.disconnectAfterReplies = -1;
  replies_.clear();
  replyDue_.notify_all();
  if (faultObserver_) faultObserver_("pulled cable");
}

bool SimulatedInstrument::Strike(int& count, std::string_view kind) {
  if (!ConsumeFault(count)) return false;
  if (faultObserver_) faultObserver_(kind);
  return true;
}

void SimulatedInstrument::Execute(const ProgramMessage& message) {
  if (message.overlong) {
    Fail(InstrumentError::TooMuchData);
    return;
  }
  const Command command = SplitCommand(message);
  for (const CommandEntry& entry : CommandTable()) {
    int suffix = 1;
    if (MatchHeader(entry.pattern, command.header, suffix)) {
      (this->*entry.handler)(command, suffix);
      return;
    }
  }
  Fail(InstrumentError::UndefinedHeader);
}

void SimulatedInstrument::ReplyText(const std::string& text) {
  QueueReply(std::vector<std::uint8_t>(text.begin(), text.end()), false);
}

void SimulatedInstrument::ReplyBlock(std::vector<std::uint8_t> block) { QueueReply(std::move(block), true); }

void SimulatedInstrument::QueueReply(std::vector<std::uint8_t> bytes, bool isBlock) {
  if (Strike(faults_.dropReplies, "dropped")) return;
  if (isBlock) {
    if (Strike(faults_.oversizeBlocks, "oversized")) AnnounceOversize(bytes);
    if (Strike(faults_.truncateBlocks, "truncated")) bytes.resize(bytes.size() / 2);
    if (Strike(faults_.corruptPrefix, "corrupted") && !bytes.empty()) bytes[0] = '$';
  }
  double due = CurrentClock().Now();
  if (Strike(faults_.stallReplies, "stalled")) due += std::max(faults_.stallMs, 0) / 1000.0;
  replies_.push_back(Reply{std::move(bytes), due});
  replyDue_.notify_all();
}

double SimulatedInstrument::InstrumentTime() const {
  return CurrentClock().Now() - epoch_;
}

void SimulatedInstrument::SetSignal(int channel, const SignalSpec& input) {
  std::lock_guard lock(mutex_);
  if (channel == 0 || channel == 1) signals_[static_cast<std::size_t>(channel)] = input;
}

void SimulatedInstrument::SetFaults(const Faults& faults) {
  UpdateFaults([&faults](Faults& held) { held = faults; });
}

void SimulatedInstrument::UpdateFaults(const std::function<void(Faults&)>& change) {
  std::lock_guard lock(mutex_);
  change(faults_);
  if (faults_.disconnectAfterReplies == 0 && session_ != 0) LoseLink();
  replyDue_.notify_all();
}

void SimulatedInstrument::SetFaultObserver(std::function<void(std::string_view)> observer) {
  std::lock_guard lock(mutex_);
  faultObserver_ = std::move(observer);
}

Faults SimulatedInstrument::CurrentFaults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

std::vector<std::uint8_t> SimulatedInstrument::TakeReceived() {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> out;
  out.swap(received_);
  return out;
}

SetupBytes SimulatedInstrument::SetupRecord() const {
  std::lock_guard lock(mutex_);
  return setup_.Bytes();
}

bool SimulatedInstrument::Claimed() const {
  std::lock_guard lock(mutex_);
  return claimed_;
}

AcquisitionSettings SimulatedInstrument::Settings() const {
  std::lock_guard lock(mutex_);
  return DeriveSettings();
}

std::size_t SimulatedInstrument::PendingErrors() const {
  std::lock_guard lock(mutex_);
  return errors_.Size();
}

}  // namespace kvxsim
