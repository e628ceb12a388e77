// The simulated instrument as a VISA resource: SimHandle and its in-process
// link, which holds the instrument's one session while it exists.
#include <algorithm>

#include "sim/Instrument.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

class InProcessLink : public visa::DeviceLink {
 public:
  InProcessLink(std::shared_ptr<SimulatedInstrument> engine, int session)
      : engine_(std::move(engine)), session_(session) {}
  ~InProcessLink() override { engine_->CloseSession(session_); }
  InProcessLink(const InProcessLink&) = delete;
  InProcessLink& operator=(const InProcessLink&) = delete;

  // The instrument takes a write at once, so there is nothing to time out.
  visa::LinkResult Send(const std::uint8_t* data, std::size_t count, std::chrono::milliseconds) override {
    return engine_->Write(session_, data, count);
  }
  visa::LinkResult Receive(std::vector<std::uint8_t>& out, bool& endOfMessage,
                           std::chrono::milliseconds timeout) override {
    return engine_->Read(session_, out, endOfMessage, timeout);
  }

 private:
  std::shared_ptr<SimulatedInstrument> engine_;
  int session_;
};

}  // namespace

SimHandle::SimHandle(const InstrumentOptions& options)
    : engine_(std::make_shared<SimulatedInstrument>(options)) {}

SimHandle::~SimHandle() = default;

std::string SimHandle::Descriptor() const {
  return visa::UsbRawDescriptor(ManufacturerId(), ModelCode(), engine_->Serial());
}

std::uint16_t SimHandle::ManufacturerId() const { return visa::kKelvarinVendorId; }

std::uint16_t SimHandle::ModelCode() const {
  return engine_->Model() == 162 ? visa::kModelCode162 : visa::kModelCodeOther;
}

ViStatus SimHandle::Open(std::unique_ptr<visa::DeviceLink>& link) {
  const int session = engine_->OpenSession();
  if (session == 0) return VI_ERROR_RSRC_BUSY;
  link = std::make_unique<InProcessLink>(engine_, session);
  return VI_SUCCESS;
}

void SimHandle::SetSignal(int channel, const SignalSpec& input) { engine_->SetSignal(channel, input); }
void SimHandle::SetFaults(const Faults& faults) { engine_->SetFaults(faults); }
std::vector<std::uint8_t> SimHandle::TakeReceived() { return engine_->TakeReceived(); }
std::array<std::uint8_t, 572> SimHandle::SetupRecord() const { return engine_->SetupRecord(); }
bool SimHandle::Claimed() const { return engine_->Claimed(); }
SimulatedInstrument& SimHandle::Engine() { return *engine_; }

}  // namespace kvxsim
