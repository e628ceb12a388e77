// The command table and the common and setting commands: each setting
// command changes the setup record, from which the acquisition takes its
// settings.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

#include "sim/InstrumentTables.h"
#include "sim/SimulatedInstrument.h"

namespace kvxsim {
namespace {

constexpr std::uint16_t kSelfTestAllPass = 0x333F;
constexpr int kTriggerSourceNone = 2;
constexpr int kSingleMode = 2;
constexpr float kUnzoomed = 20.0f;
constexpr int kCursorLast = kRecordPoints - 1;
// Trigger positions beyond ten records are refused as nonsense.
constexpr double kHorizontalOffsetLimit = 10.0 * kRecordPoints;

// Words of a command argument by index; "A|B" accepts either spelling.
constexpr std::string_view kCouplingWords[] = {"AC", "DC", "GROUND|GND"};
constexpr std::string_view kChannelWords[] = {"INT1", "INT2"};
constexpr std::string_view kSourceWords[] = {"INT1", "INT2", "NONE"};
constexpr std::string_view kSlopeWords[] = {"POS|POSITIVE", "NEG|NEGATIVE"};
constexpr std::string_view kTriggerCouplingWords[] = {"AC", "DC"};
constexpr std::string_view kTriggerTypeWords[] = {"EDGE", "PUL|PULSE", "DEL|DELAY", "EVEN|EVENT", "TV", "LINE"};

// Truncation toward zero that forgives the last digits of a decimal text:
// 22 * 0.075 / 0.05 must give 33, not 32.
long TruncateTolerant(double value) {
  const double nearest = std::round(value);
  return static_cast<long>(std::fabs(value - nearest) < 1e-6 ? nearest : std::trunc(value));
}

bool WordMatches(std::string_view alternatives, std::string_view word) {
  while (!alternatives.empty()) {
    const std::size_t bar = alternatives.find('|');
    if (alternatives.substr(0, bar) == word) return true;
    alternatives = bar == std::string_view::npos ? std::string_view{} : alternatives.substr(bar + 1);
  }
  return false;
}

int FindWord(std::span<const std::string_view> words, std::string_view word) {
  int index = 0;
  for (std::string_view alternatives : words) {
    if (WordMatches(alternatives, word)) return index;
    ++index;
  }
  return -1;
}

// Zoom factors 1, 2, 4 and 10 at the fastest acquisition timebase show the
// display timebases 2 to 5.
int EffectiveTimebase(int timebaseIndex, float zoomFactor) {
  const int acquisition = AcquisitionTimebase(timebaseIndex);
  if (acquisition != kFastestAcquisitionTimebase) return acquisition;
  constexpr std::array<std::pair<float, int>, 4> kZoomed = {{{1.0f, 2}, {2.0f, 3}, {4.0f, 4}, {10.0f, 5}}};
  for (const auto& [factor, index] : kZoomed) {
    if (zoomFactor == factor) return index;
  }
  return acquisition;
}

}  // namespace

const std::vector<SimulatedInstrument::CommandEntry>& SimulatedInstrument::CommandTable() {
  using S = SimulatedInstrument;
  static const std::vector<CommandEntry> table = {
      {"*IDN?", &S::OnIdentify},
      {"*RST", &S::OnReset},
      {"*CLS", &S::OnClear},
      {"*OPC?", &S::OnOperationComplete},
      {"*WAI", &S::OnWait},
      {"ZC:USED", &S::OnClaim},
      {"ZC:USED?", &S::OnClaimQuery},
      {"FORMat:DATA", &S::OnDataFormat},
      {"SYSTem:AUTOTEST?", &S::OnSelfTest},
      {"INPut#:COUPling", &S::OnCoupling},
      {"VOLTage#:RANGe:OFFSet", &S::OnVerticalOffset},
      {"ZC:VOLTage#:RANGe:PTP", &S::OnSensitivity},
      {"DISPlay:TRACe:Y:PDIV#", &S::OnProbeFactor},
      {"DISPlay:TRACe:Y:PDIV#?", &S::OnProbeFactorQuery},
      {"DISPlay:TRACe:STATe#", &S::OnTraceDisplay},
      {"DISPlay:TRACe:X:PDIV", &S::OnTimebase},
      {"SWEep:OFFSet:TIME", &S::OnHorizontalOffset},
      {"DISPlay:TRACe:ZOOM:H", &S::OnZoom},
      {"TRIGger:SOURce", &S::OnTriggerSource},
      {"TRIGger:SLOPe", &S::OnTriggerSlope},
      {"TRIGger:COUPling", &S::OnTriggerCoupling},
      {"TRIGger:FILTer:HPASs", &S::OnTriggerHighPass},
      {"TRIGger:FILTer:LPASs", &S::OnTriggerLowPass},
      {"INITiate:CONTinuous:NAME", &S::OnContinuousTrigger},
      {"TRIGger:ATRIG", &S::OnAutoTrigger},
      {"INITiate:NAME", &S::OnSingleTrigger},
      {"TRIGger:LEVel", &S::OnTriggerLevel},
      {"TRIGger:RUN:STATe", &S::OnRunState},
      {"DISPlay:CURSor:REFerence", &S::OnCursorReference},
      {"DISPlay:CURSor:TIME#:POSition", &S::OnCursorTime},
      {"MEASure:AUTO", &S::OnAutoMeasurements},
      {"AUTOSet:EXEcute", &S::OnAutoset},
      {"AUTOSet:VERTical", &S::OnVerticalAutoset},
      {"SYSTem:SET?", &S::OnSetupQuery},
      {"SYSTem:SET", &S::OnSetupLoad},
      {"MMEMory:STORe:TRACe", &S::OnStoreTrace},
      {"MMEMory:DATA?", &S::OnFileData},
      {"MMEMory:DELete", &S::OnFileDelete},
      {"SYSTem:ERRor?", &S::OnErrorQuery},
      {"ZC:HTTP?", &S::OnFrameQuery},
  };
  return table;
}

// ---- argument helpers: each pushes the error and returns false on a bad argument

bool SimulatedInstrument::ChannelOf(int suffix, int& channel) {
  if (suffix != 1 && suffix != 2) {
    Fail(InstrumentError::SuffixOutOfRange);
    return false;
  }
  channel = suffix - 1;
  return true;
}

bool SimulatedInstrument::ChannelWord(const std::string& word, int& channel) {
  const int index = FindWord(kChannelWords, ToUpper(word));
  if (index < 0) {
    Fail(word.empty() ? InstrumentError::MissingParameter : InstrumentError::IllegalValue);
    return false;
  }
  channel = index;
  return true;
}

bool SimulatedInstrument::RealArgument(const Command& command, double& value) {
  if (command.arguments.empty()) {
    Fail(InstrumentError::MissingParameter);
    return false;
  }
  if (!ParseReal(command.arguments, value)) {
    Fail(InstrumentError::DataTypeError);
    return false;
  }
  return true;
}

bool SimulatedInstrument::IntegerArgument(const Command& command, long low, long high, long& value) {
  if (command.arguments.empty()) {
    Fail(InstrumentError::MissingParameter);
    return false;
  }
  long parsed = 0;
  if (!ParseInteger(command.arguments, parsed)) {
    Fail(InstrumentError::DataTypeError);
    return false;
  }
  if (parsed < low || parsed > high) {
    Fail(InstrumentError::DataOutOfRange);
    return false;
  }
  value = parsed;
  return true;
}

bool SimulatedInstrument::BooleanArgument(const Command& command, bool& value) {
  if (command.arguments.empty()) {
    Fail(InstrumentError::MissingParameter);
    return false;
  }
  if (!ParseBoolean(command.arguments, value)) {
    Fail(InstrumentError::IllegalValue);
    return false;
  }
  return true;
}

bool SimulatedInstrument::WordArgument(const Command& command, std::span<const std::string_view> words,
                                       int& index) {
  if (command.arguments.empty()) {
    Fail(InstrumentError::MissingParameter);
    return false;
  }
  index = FindWord(words, ToUpper(command.arguments));
  if (index < 0) {
    Fail(InstrumentError::IllegalValue);
    return false;
  }
  return true;
}

int SimulatedInstrument::DivisionUnits(double volts, int channel) const {
  const double voltsPerDiv = VoltsPerDiv(model_, setup_.U16(setup::kVoltsPerDivIndex[channel]));
  // Clamped while still a double: a huge argument does not fit a long.
  const double units = std::clamp(kPositionUnitsPerDivision * volts / voltsPerDiv, double{INT16_MIN}, double{INT16_MAX});
  return static_cast<int>(TruncateTolerant(units));
}

void SimulatedInstrument::SetTimebase(int index) {
  setup_.SetU16(setup::kTimebaseIndex, static_cast<std::uint16_t>(index));
  setup_.SetI32(setup::kZoomPosition, 0);
  setup_.SetF32(setup::kZoomFactor, kUnzoomed);
  setup_.SetU16(setup::kEffectiveTimebaseIndex, static_cast<std::uint16_t>(EffectiveTimebase(index, kUnzoomed)));
}

// ---- common commands

void SimulatedInstrument::OnIdentify(const Command&, int) {
  ReplyText("KVX" + std::to_string(model_) + ", v" + firmware_ + "/A1/ZC, " + serial_ + "\n");
}

void SimulatedInstrument::OnReset(const Command&, int) { setup_.ResetToFactory(); }

void SimulatedInstrument::OnClear(const Command&, int) { errors_.Clear(); }

void SimulatedInstrument::OnOperationComplete(const Command&, int) { ReplyText("1\n"); }

// Commands complete as they arrive, so there is never anything to wait for.
void SimulatedInstrument::OnWait(const Command&, int) {}

void SimulatedInstrument::OnClaim(const Command& command, int) {
  bool claim = false;
  if (!BooleanArgument(command, claim)) return;
  claimed_ = claim;
}

void SimulatedInstrument::OnClaimQuery(const Command&, int) { ReplyText(claimed_ ? "1\n" : "0\n"); }

// Binary integer data is the only format the instrument has.
void SimulatedInstrument::OnDataFormat(const Command& command, int) {
  const std::string format = ToUpper(Trim(std::string_view(command.arguments).substr(0, command.arguments.find(';'))));
  if (format != "INT" && format != "INTEGER") Fail(InstrumentError::IllegalValue);
}

void SimulatedInstrument::OnSelfTest(const Command&, int) {
  char text[16];
  std::snprintf(text, sizeof text, "%X\n", static_cast<unsigned>(kSelfTestAllPass & ~faults_.selfTestFailBits));
  ReplyText(text);
}

// ---- vertical

void SimulatedInstrument::OnCoupling(const Command& command, int suffix) {
  int channel = 0;
  int coupling = 0;
  if (!ChannelOf(suffix, channel) || !WordArgument(command, kCouplingWords, coupling)) return;
  setup_.SetI16(setup::kCoupling[channel], static_cast<std::int16_t>(coupling));
}

void SimulatedInstrument::OnVerticalOffset(const Command& command, int suffix) {
  int channel = 0;
  double volts = 0.0;
  if (!ChannelOf(suffix, channel) || !RealArgument(command, volts)) return;
  setup_.SetI16(setup::kVerticalOffset[channel], static_cast<std::int16_t>(DivisionUnits(volts, channel)));
}

void SimulatedInstrument::OnSensitivity(const Command& command, int suffix) {
  int channel = 0;
  long index = 0;
  if (!ChannelOf(suffix, channel) || !IntegerArgument(command, 0, kSensitivityCount - 1, index)) return;
  setup_.SetU16(setup::kVoltsPerDivIndex[channel], static_cast<std::uint16_t>(index));
}

void SimulatedInstrument::OnProbeFactor(const Command& command, int suffix) {
  int channel = 0;
  double factor = 0.0;
  if (!ChannelOf(suffix, channel) || !RealArgument(command, factor)) return;
  if (factor <= 0.0 || factor > 1e6) {
    Fail(InstrumentError::DataOutOfRange);
    return;
  }
  setup_.SetF32(setup::kProbeFactor[channel], static_cast<float>(factor));
}

void SimulatedInstrument::OnProbeFactorQuery(const Command&, int suffix) {
  int channel = 0;
  if (!ChannelOf(suffix, channel)) return;
  // Shortest text of the stored single-precision value, whatever the locale.
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text - 1, setup_.F32(setup::kProbeFactor[channel]));
  *result.ptr = '\n';
  ReplyText(std::string(text, result.ptr + 1));
}

void SimulatedInstrument::OnTraceDisplay(const Command& command, int suffix) {
  int channel = 0;
  bool on = false;
  if (!ChannelOf(suffix, channel) || !BooleanArgument(command, on)) return;
  setup_.SetI32(setup::kDisplayed[channel], on ? 1 : 0);
}

// ---- horizontal

void SimulatedInstrument::OnTimebase(const Command& command, int) {
  double seconds = 0.0;
  if (!RealArgument(command, seconds)) return;
  const int index = TimebaseIndexOf(seconds);
  if (index < 0) {
    Fail(InstrumentError::IllegalValue);
    return;
  }
  SetTimebase(index);
}

// Seconds from the trigger to the record's middle, at the acquisition timebase.
void SimulatedInstrument::OnHorizontalOffset(const Command& command, int) {
  double seconds = 0.0;
  if (!RealArgument(command, seconds)) return;
  const double perDivision = SecondsPerDiv(AcquisitionTimebase(setup_.U16(setup::kTimebaseIndex)));
  const double samples = seconds * kPointsPerDivision / perDivision;
  if (std::fabs(samples) > kHorizontalOffsetLimit) {
    Fail(InstrumentError::DataOutOfRange);
    return;
  }
  setup_.SetI32(setup::kHorizontalOffset, static_cast<std::int32_t>(TruncateTolerant(samples)));
}

void SimulatedInstrument::OnZoom(const Command& command, int) {
  const std::vector<std::string> arguments = SplitArguments(command.arguments);
  if (arguments.size() != 2) {
    Fail(InstrumentError::MissingParameter);
    return;
  }
  double position = 0.0;
  double factor = 0.0;
  if (!ParseReal(arguments[0], position) || !ParseReal(arguments[1], factor)) {
    Fail(InstrumentError::DataTypeError);
    return;
  }
  if (factor <= 0.0 || factor > kUnzoomed) {
    Fail(InstrumentError::DataOutOfRange);
    return;
  }
  // The window stays inside the record.
  const double last = std::floor(kRecordPoints - kScreenPoints * factor);
  const auto first = static_cast<std::int32_t>(std::clamp(std::trunc(position), 0.0, std::max(last, 0.0)));
  setup_.SetI32(setup::kZoomPosition, first);
  setup_.SetF32(setup::kZoomFactor, static_cast<float>(factor));
  const int effective = EffectiveTimebase(setup_.U16(setup::kTimebaseIndex), static_cast<float>(factor));
  setup_.SetU16(setup::kEffectiveTimebaseIndex, static_cast<std::uint16_t>(effective));
}

// ---- trigger

void SimulatedInstrument::OnTriggerSource(const Command& command, int) {
  int source = 0;
  if (!WordArgument(command, kSourceWords, source)) return;
  setup_.SetU16(setup::kTriggerSource, static_cast<std::uint16_t>(source));
}

// Slope, coupling and level belong to the current source; with no source
// there is nothing to set.
void SimulatedInstrument::OnTriggerSlope(const Command& command, int) {
  int slope = 0;
  if (!WordArgument(command, kSlopeWords, slope)) return;
  const int source = setup_.U16(setup::kTriggerSource);
  if (source < kTriggerSourceNone) setup_.SetU16(setup::kTriggerSlope[source], static_cast<std::uint16_t>(slope));
}

void SimulatedInstrument::OnTriggerCoupling(const Command& command, int) {
  int coupling = 0;
  if (!WordArgument(command, kTriggerCouplingWords, coupling)) return;
  const int source = setup_.U16(setup::kTriggerSource);
  if (source < kTriggerSourceNone) setup_.SetU16(setup::kTriggerCoupling[source], static_cast<std::uint16_t>(coupling));
}

void SimulatedInstrument::OnTriggerHighPass(const Command& command, int) { OnTriggerFilter(command, 2); }
void SimulatedInstrument::OnTriggerLowPass(const Command& command, int) { OnTriggerFilter(command, 3); }

// Switching a filter off falls back to DC coupling.
void SimulatedInstrument::OnTriggerFilter(const Command& command, int kind) {
  bool on = false;
  if (!BooleanArgument(command, on)) return;
  const int source = setup_.U16(setup::kTriggerSource);
  if (source >= kTriggerSourceNone) return;
  const std::size_t field = setup::kTriggerCoupling[source];
  if (on) {
    setup_.SetU16(field, static_cast<std::uint16_t>(kind));
  } else if (setup_.U16(field) == kind) {
    setup_.SetU16(field, 1);
  }
}

void SimulatedInstrument::OnContinuousTrigger(const Command& command, int) {
  const std::vector<std::string> arguments = SplitArguments(command.arguments);
  bool continuous = true;
  const int type = arguments.empty() ? -1 : FindWord(kTriggerTypeWords, ToUpper(arguments[0]));
  if (arguments.size() != 2 || type < 0 || !ParseBoolean(arguments[1], continuous)) {
    Fail(arguments.size() < 2 ? InstrumentError::MissingParameter : InstrumentError::IllegalValue);
    return;
  }
  setup_.SetU16(setup::kTriggerType, static_cast<std::uint16_t>(type));
  const int mode = setup_.U16(setup::kTriggerMode);
  // Continuous keeps auto or normal (the ATRIG word chooses); off means single.
  if (!continuous) {
    setup_.SetU16(setup::kTriggerMode, kSingleMode);
  } else if (mode == kSingleMode) {
    setup_.SetU16(setup::kTriggerMode, 0);
  }
}

void SimulatedInstrument::OnAutoTrigger(const Command& command, int) {
  bool automatic = false;
  if (!BooleanArgument(command, automatic)) return;
  setup_.SetU16(setup::kTriggerMode, automatic ? 0 : 1);
}

// Arms one triggered acquisition.
void SimulatedInstrument::OnSingleTrigger(const Command& command, int) {
  int type = 0;
  if (!WordArgument(command, kTriggerTypeWords, type)) return;
  setup_.SetU16(setup::kTriggerType, static_cast<std::uint16_t>(type));
  setup_.SetU16(setup::kTriggerMode, kSingleMode);
  setup_.SetI16(setup::kRunState, 0);
}

void SimulatedInstrument::OnTriggerLevel(const Command& command, int) {
  double volts = 0.0;
  if (!RealArgument(command, volts)) return;
  const int source = setup_.U16(setup::kTriggerSource);
  if (source >= kTriggerSourceNone) return;
  setup_.SetI16(setup::kTriggerLevel[source], static_cast<std::int16_t>(DivisionUnits(volts, source)));
}

// 1 runs, 0 holds; the record keeps 1 for HOLD.
void SimulatedInstrument::OnRunState(const Command& command, int) {
  bool run = false;
  if (!BooleanArgument(command, run)) return;
  setup_.SetI16(setup::kRunState, run ? 0 : 1);
}

// ---- cursors and measurements

void SimulatedInstrument::OnCursorReference(const Command& command, int) {
  int channel = 0;
  if (!ChannelWord(command.arguments, channel)) return;
  setup_.SetU16(setup::kReferenceChannel, static_cast<std::uint16_t>(channel));
}

void SimulatedInstrument::OnCursorTime(const Command& command, int suffix) {
  int cursor = 0;
  long point = 0;
  if (!ChannelOf(suffix, cursor) || !IntegerArgument(command, 0, kCursorLast, point)) return;
  setup_.SetI32(cursor == 0 ? setup::kCursorTime1 : setup::kCursorTime2, static_cast<std::int32_t>(point));
}

void SimulatedInstrument::OnAutoMeasurements(const Command& command, int) {
  bool on = false;
  if (!BooleanArgument(command, on)) return;
  setup_.SetI32(setup::kAutoMeasurementsOn, on ? 1 : 0);
}

}  // namespace kvxsim
