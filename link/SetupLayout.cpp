// Compile-time proof that the layout table and the InstrumentSetup struct
// describe the same bytes: the table tiles the 572 bytes without gap or
// overlap, swaps exactly the 16- and 32-bit numbers, and every entry sits at
// its member's offset with its member's size.
#include "link/SetupLayout.h"

#include <cstddef>
#include <type_traits>

#include "link/InstrumentSetup.h"

namespace {

consteval bool TableTilesTheRecord() {
  std::size_t next = 0;
  for (const SetupLayoutEntry& entry : kSetupLayout) {
    if (entry.offset != next || entry.size == 0) return false;
    if (entry.swapWidth != 0 && (entry.swapWidth != entry.size || entry.offset % entry.swapWidth != 0)) return false;
    next = entry.offset + entry.size;
  }
  return next == kSetupSize;
}

consteval std::size_t SwappedCount() {
  std::size_t count = 0;
  for (const SetupLayoutEntry& entry : kSetupLayout) count += entry.swapWidth != 0 ? 1 : 0;
  return count;
}

// `numeric`: the member is a 16- or 32-bit number, which the conversion must swap.
consteval bool EntryMatches(std::string_view name, std::size_t offset, std::size_t size, bool numeric) {
  for (const SetupLayoutEntry& entry : kSetupLayout) {
    if (entry.name != name) continue;
    return entry.offset == offset && entry.size == size && (entry.swapWidth != 0) == numeric;
  }
  return false;
}

static_assert(TableTilesTheRecord());
static_assert(SwappedCount() == kSwappedFieldCount);

#define CHECK_SETUP_FIELD(field)                                                                         \
  static_assert(EntryMatches(#field, offsetof(InstrumentSetup, field), sizeof(InstrumentSetup::field),  \
                             std::is_arithmetic_v<decltype(InstrumentSetup::field)> &&                   \
                                 sizeof(InstrumentSetup::field) > 1),                                    \
                #field)

CHECK_SETUP_FIELD(checksum);
CHECK_SETUP_FIELD(reserved4);
CHECK_SETUP_FIELD(reserved6);
CHECK_SETUP_FIELD(runState);
CHECK_SETUP_FIELD(effectiveTimebaseIndex);
CHECK_SETUP_FIELD(horizontalOffset);
CHECK_SETUP_FIELD(reserved16);
CHECK_SETUP_FIELD(triggerMode);
CHECK_SETUP_FIELD(loadedTraceMask);
CHECK_SETUP_FIELD(ch1VerticalOffset);
CHECK_SETUP_FIELD(ch2VerticalOffset);
CHECK_SETUP_FIELD(padding26);
CHECK_SETUP_FIELD(zoomPosition);
CHECK_SETUP_FIELD(reserved32);
CHECK_SETUP_FIELD(padding34);
CHECK_SETUP_FIELD(ch1Displayed);
CHECK_SETUP_FIELD(ch1Coupling);
CHECK_SETUP_FIELD(padding42);
CHECK_SETUP_FIELD(ch2Displayed);
CHECK_SETUP_FIELD(ch2Coupling);
CHECK_SETUP_FIELD(padding50);
CHECK_SETUP_FIELD(reserved52);
CHECK_SETUP_FIELD(referenceChannel);
CHECK_SETUP_FIELD(padding58);
CHECK_SETUP_FIELD(reserved60);
CHECK_SETUP_FIELD(reserved64);
CHECK_SETUP_FIELD(reserved68);
CHECK_SETUP_FIELD(reserved72);
CHECK_SETUP_FIELD(reserved74);
CHECK_SETUP_FIELD(reserved76);
CHECK_SETUP_FIELD(reserved78);
CHECK_SETUP_FIELD(reserved80);
CHECK_SETUP_FIELD(reserved84);
CHECK_SETUP_FIELD(reserved88);
CHECK_SETUP_FIELD(reserved90);
CHECK_SETUP_FIELD(reserved92);
CHECK_SETUP_FIELD(reserved94);
CHECK_SETUP_FIELD(reserved96);
CHECK_SETUP_FIELD(padding98);
CHECK_SETUP_FIELD(zoomFactor);
CHECK_SETUP_FIELD(reserved104);
CHECK_SETUP_FIELD(reserved106);
CHECK_SETUP_FIELD(reserved108);
CHECK_SETUP_FIELD(ch1Unit);
CHECK_SETUP_FIELD(ch2Unit);
CHECK_SETUP_FIELD(reserved118);
CHECK_SETUP_FIELD(reserved120);
CHECK_SETUP_FIELD(reserved124);
CHECK_SETUP_FIELD(ch1ProbeFactor);
CHECK_SETUP_FIELD(ch2ProbeFactor);
CHECK_SETUP_FIELD(reserved136);
CHECK_SETUP_FIELD(ch1VoltsPerDivIndex);
CHECK_SETUP_FIELD(ch2VoltsPerDivIndex);
CHECK_SETUP_FIELD(reserved144);
CHECK_SETUP_FIELD(reserved146);
CHECK_SETUP_FIELD(xySourceX);
CHECK_SETUP_FIELD(xySourceY);
CHECK_SETUP_FIELD(viewState);
CHECK_SETUP_FIELD(reserved152);
CHECK_SETUP_FIELD(padding154);
CHECK_SETUP_FIELD(zoomWindowScale);
CHECK_SETUP_FIELD(zoomWindowStart);
CHECK_SETUP_FIELD(zoomWindowFlag);
CHECK_SETUP_FIELD(xyState);
CHECK_SETUP_FIELD(autoMeasurementsOn);
CHECK_SETUP_FIELD(reserved172);
CHECK_SETUP_FIELD(padding174);
CHECK_SETUP_FIELD(reserved176);
CHECK_SETUP_FIELD(reserved180);
CHECK_SETUP_FIELD(reserved184);
CHECK_SETUP_FIELD(reserved188);
CHECK_SETUP_FIELD(reserved192);
CHECK_SETUP_FIELD(padding194);
CHECK_SETUP_FIELD(ref1Displayed);
CHECK_SETUP_FIELD(ref2Displayed);
CHECK_SETUP_FIELD(referenceState);
CHECK_SETUP_FIELD(keptWord208);
CHECK_SETUP_FIELD(padding210);
CHECK_SETUP_FIELD(reserved212);
CHECK_SETUP_FIELD(reserved216);
CHECK_SETUP_FIELD(reserved220);
CHECK_SETUP_FIELD(reserved222);
CHECK_SETUP_FIELD(reserved224);
CHECK_SETUP_FIELD(reserved228);
CHECK_SETUP_FIELD(measurementFlags);
CHECK_SETUP_FIELD(padding234);
CHECK_SETUP_FIELD(reserved236);
CHECK_SETUP_FIELD(reserved240);
CHECK_SETUP_FIELD(reserved244);
CHECK_SETUP_FIELD(reserved246);
CHECK_SETUP_FIELD(reserved248);
CHECK_SETUP_FIELD(reserved252);
CHECK_SETUP_FIELD(reserved256);
CHECK_SETUP_FIELD(reserved260);
CHECK_SETUP_FIELD(padding262);
CHECK_SETUP_FIELD(reserved264);
CHECK_SETUP_FIELD(reserved268);
CHECK_SETUP_FIELD(reserved272);
CHECK_SETUP_FIELD(reserved276);
CHECK_SETUP_FIELD(triggerSource);
CHECK_SETUP_FIELD(ch1TriggerLevel);
CHECK_SETUP_FIELD(ch2TriggerLevel);
CHECK_SETUP_FIELD(keptWord286);
CHECK_SETUP_FIELD(keptWord288);
CHECK_SETUP_FIELD(timebaseIndex);
CHECK_SETUP_FIELD(reserved292);
CHECK_SETUP_FIELD(reserved294);
CHECK_SETUP_FIELD(reserved296);
CHECK_SETUP_FIELD(reserved300);
CHECK_SETUP_FIELD(reserved302);
CHECK_SETUP_FIELD(reserved304);
CHECK_SETUP_FIELD(reserved306);
CHECK_SETUP_FIELD(reserved308);
CHECK_SETUP_FIELD(reserved310);
CHECK_SETUP_FIELD(ch1LoadedTrace);
CHECK_SETUP_FIELD(ch2LoadedTrace);
CHECK_SETUP_FIELD(reserved360);
CHECK_SETUP_FIELD(reserved364);
CHECK_SETUP_FIELD(reserved368);
CHECK_SETUP_FIELD(reserved370);
CHECK_SETUP_FIELD(reserved450);
CHECK_SETUP_FIELD(reserved452);
CHECK_SETUP_FIELD(ipAddress);
CHECK_SETUP_FIELD(reserved470);
CHECK_SETUP_FIELD(reserved472);
CHECK_SETUP_FIELD(networkWord);
CHECK_SETUP_FIELD(reserved480);
CHECK_SETUP_FIELD(triggerType);
CHECK_SETUP_FIELD(ch1TriggerCoupling);
CHECK_SETUP_FIELD(ch2TriggerCoupling);
CHECK_SETUP_FIELD(ch1TriggerSlope);
CHECK_SETUP_FIELD(ch2TriggerSlope);
CHECK_SETUP_FIELD(reserved492);
CHECK_SETUP_FIELD(reserved494);
CHECK_SETUP_FIELD(reserved496);
CHECK_SETUP_FIELD(reserved498);
CHECK_SETUP_FIELD(netMask);
CHECK_SETUP_FIELD(gateway);
CHECK_SETUP_FIELD(reserved538);

#undef CHECK_SETUP_FIELD

}  // namespace
