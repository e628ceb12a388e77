// Start-up probe: finds and opens the instrument through the session layer,
// shows who it is, its self-test answer and the header of one acquisition
// frame, then releases it.
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstrumentChoices.h"
#include "link/InstrumentSession.h"
#include "link/LinkBusy.h"
#include "link/Transport.h"

namespace {

constexpr std::size_t kFrameBufferSize = 45008;
constexpr ViUInt32 kFrameTimeoutMs = 500;
constexpr int kHeaderFields = 15;

const char* const kConnectionAdvice =
    "The attempt to connect to the oscilloscope failed:\n\n"
    "- Is the oscilloscope on and connected to the network or USB ?\n"
    "  (When turning the oscilloscope on, wait 10 seconds before trying again)\n\n"
    "- Has the device already been steered for another application ?\n"
    "  (The device cannot be steered by two applications at the same time)\n";

void ShowIdentity(const InstrumentSession& instrument) {
  std::printf("Instrument:  %s\n", instrument.resourceDescriptors[kDescriptorSlot]);
  std::printf("Model:       %s (model number %d)\n", instrument.modelName, instrument.modelNumber);
  std::printf("Firmware:    %.2f\n", instrument.firmwareVersion);
  std::printf("Tag:         %s\n", instrument.idnTag);
  std::printf("Serial:      %s\n", instrument.serialNumber);
}

void ShowSelfTest(ViSession session) {
  std::string reply;
  const ViStatus status = Query(session, "*WAI\r:SYST:AUTOTEST?\r", 0.0, 50, reply);
  while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) reply.pop_back();
  std::printf("Self-test:   %s (status 0x%08X)\n", reply.empty() ? "no reply" : reply.c_str(),
              static_cast<unsigned>(status));
}

void ShowFrameHeader(ViSession session) {
  std::vector<std::uint8_t> frame(kFrameBufferSize);
  LinkOwnership link;
  // Both channels on and acquiring, so the frame carries samples.
  WriteBytes(session, ":DISP:TRAC:STAT1 1\r:DISP:TRAC:STAT2 1\r:TRIG:RUN:STAT 1\r");
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kFrameTimeoutMs);
  WriteBytes(session, "ZC:HTTP?\r");
  viSetAttribute(session, VI_ATTR_SUPPRESS_END_EN, VI_TRUE);
  const BlockRead block = ReadDefiniteBlock(session, frame, true);
  viSetAttribute(session, VI_ATTR_TMO_VALUE, kStandingTimeoutMs);
  if (!block.ok) {
    std::printf("Frame:       no valid frame (status 0x%08X, %zu bytes)\n", static_cast<unsigned>(block.status),
                block.count);
    return;
  }
  std::size_t end = 0;
  for (int commas = 0; end < block.count && commas < kHeaderFields; ++end)
    if (frame[end] == ',') ++commas;
  std::printf("Frame:       %zu bytes, header \"%.*s\"\n", block.announced, static_cast<int>(end),
              reinterpret_cast<const char*>(frame.data()));
}

}  // namespace

int main(int argc, char* argv[]) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (!line.error.empty()) {
    std::fprintf(stderr, "%s\n%s", line.error.c_str(), CommandLineUsage(argv[0]).c_str());
    return 2;
  }
  if (line.help) {
    std::printf("%s", CommandLineUsage(argv[0]).c_str());
    return 0;
  }
  if (line.version) {
    std::printf("ORNIKELVARINLAB v1.00\n");
    return 0;
  }
  RegisterInstruments(line);

  InstrumentSession& instrument = TheInstrument;
  viOpenDefaultRM(&instrument.searchResourceManager);
  instrument.InstrumentPresent = 1;
  if (FindInstrument(instrument) != VI_SUCCESS ||
      OpenInstrument(instrument, instrument.resourceDescriptors[kDescriptorSlot], &instrument.session) != 0) {
    std::fprintf(stderr, "COMMUNICATION ERROR\n%s", kConnectionAdvice);
    viClose(instrument.searchResourceManager);
    return 1;
  }
  ShowIdentity(instrument);
  ShowSelfTest(instrument.session);
  ShowFrameHeader(instrument.session);
  CloseInstrument(instrument, &instrument.session, 1);
  viClose(instrument.searchResourceManager);
  return 0;
}
