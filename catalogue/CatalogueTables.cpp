// The two-dimensional entries (acquisition phases, measurement labels), the
// language codes, and the single entries that show one row of a table on its
// own.
#include "catalogue/CatalogueData.h"

namespace {

// Row = acquisition phase; the instrument's status words are shared by most
// languages. Row 8 is blank.
constexpr CatalogueTexts kAcqStates[kAcqStateRows] = {
    {"STOP", "STOP", "STOP", "STOP", "STOP"},
    {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
    {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
    {"PRE-TRIG", "PRE-TRIG", "PRE-TRIG", "PRE-DISP", "PRE-TRIG"},
    {"READY", "PRET", "BEREIT", "LISTO", "PRONTO"},
    {"POSTRIG", "POSTRIG", "POSTRIG", "POSTRIG", "POSTRIG"},
    {"RUN", "RUN", "RUN", "RUN", "RUN"},
    {"RUN", "RUN", "RUN", "RUN", "RUN"},
    {"", "", "", "", ""},
};
constexpr int kStopRow = 0;

// In the measurement block's order. German, Spanish and Italian read the
// English symbols; French has its own for most of them.
constexpr CatalogueTexts kMeasurementLabels[kMeasurementLabelCount] = {
    {"Vmin =", "Vmin =", "Vmin =", "Vmin =", "Vmin ="},
    {"Vmax =", "Vmax =", "Vmax =", "Vmax =", "Vmax ="},
    {"Vpp  =", "Vcc  =", "Vpp  =", "Vpp  =", "Vpp  ="},
    {"Vlow =", "Vbas =", "Vlow =", "Vlow =", "Vlow ="},
    {"Vhigh=", "Vhaut=", "Vhigh=", "Vhigh=", "Vhigh="},
    {"Vhigh-low =", "Vhaut-bas =", "Vhigh-low =", "Vhigh-low =", "Vhigh-low ="},
    {"Vrms =", "Veff =", "Vrms =", "Vrms =", "Vrms ="},
    {"Vavg =", "Vmoy =", "Vavg =", "Vavg =", "Vavg ="},
    {"Over+=", "Dep+ =", "Over+=", "Over+=", "Over+="},
    {"Sum  =", "Somme=", "Sum  =", "Sum  =", "Sum  ="},
    {"Trise=", "Tm   =", "Trise=", "Trise=", "Trise="},
    {"Tfall=", "Td   =", "Tfall=", "Tfall=", "Tfall="},
    {"W+   =", "L+   =", "W+   =", "W+   =", "W+   ="},
    {"W-   =", "L-   =", "W-   =", "W-   =", "W-   ="},
    {"T    =", "T    =", "T    =", "T    =", "T    ="},
    {"F    =", "F    =", "F    =", "F    =", "F    ="},
    {"DC   =", "RC   =", "DC   =", "DC   =", "DC   ="},
    {"N    =", "N    =", "N    =", "N    =", "N    ="},
    {"Over-=", "Dep- =", "Over-=", "Over-=", "Over-="},
};
constexpr int kVhighLowRow = 5;
constexpr int kVrmsRow = 6;
constexpr int kVavgRow = 7;
constexpr int kPeriodRow = 14;
constexpr int kFrequencyRow = 15;

constexpr CatalogueEntryData kTableEntries[] = {
    {Msg::LanguageCode, {"gb", "fr", "de", "es", "it"}},
    {Msg::Stop, kAcqStates[kStopRow]},
    {Msg::VhighLowLabel, kMeasurementLabels[kVhighLowRow]},
    {Msg::VrmsLabel, kMeasurementLabels[kVrmsRow]},
    {Msg::VavgLabel, kMeasurementLabels[kVavgRow]},
    {Msg::PeriodLabel, kMeasurementLabels[kPeriodRow]},
    {Msg::FrequencyLabel, kMeasurementLabels[kFrequencyRow]},
};

}  // namespace

std::span<const CatalogueEntryData> TableEntries() { return kTableEntries; }

std::span<const CatalogueTexts> TableRows(MsgTable table) {
  switch (table) {
    case MsgTable::AcqStateTexts: return kAcqStates;
    case MsgTable::MeasurementLabels: return kMeasurementLabels;
    case MsgTable::Count: break;
  }
  return {};
}
