// The preferences file "Ornikelva.okv" with the setup file beside it: layout,
// round trip, clamps, the start without files and damaged files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "StateFileTestSupport.h"
#include "app/Preferences.h"
#include "app/PreferencesMessageTexts.h"
#include "app/SetupFile.h"
#include "link/InstrumentSession.h"

namespace {

using namespace statefiles;

constexpr MonitorSize kMonitor = {1080, 1920};

std::int32_t Int32At(const Bytes& bytes, std::size_t offset) {
  std::int32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

Bytes SetupFileOf(InstrumentSetup setup) {
  const auto file = SetupFileBytes(setup);
  return Bytes(file.begin(), file.end());
}

Bytes PreferencesFileOf(const PreferencesBlock& block, const ReferenceData& references = SampleReferences()) {
  return PreferencesFileBytes(block, references);
}

// What the program holds before the files are read.
PreferencesState StateInMemory() {
  PreferencesState state;
  state.setup = DefaultSetupRecord();
  std::strcpy(state.setup.ipAddress, "010.010.010.010");
  state.setup.networkWord = 9;
  std::strcpy(state.setup.netMask, "255.255.255.128");
  std::strcpy(state.setup.gateway, "010.010.010.001");
  state.references = SampleReferences();
  return state;
}

PreferencesState LoadBytes(const std::optional<Bytes>& preferences, const std::optional<Bytes>& setup,
                           PreferencesState state = StateInMemory(), MonitorSize monitor = kMonitor) {
  auto view = [](const std::optional<Bytes>& bytes) -> std::optional<std::span<const std::uint8_t>> {
    if (!bytes) return std::nullopt;
    return std::span<const std::uint8_t>(*bytes);
  };
  LoadPreferencesFromBytes(view(preferences), view(setup), monitor, state);
  return state;
}

bool SameReferences(const ReferenceData& a, const ReferenceData& b) {
  return a.ReferenceStore == b.ReferenceStore && a.ReferenceLabel == b.ReferenceLabel;
}

bool SameRect(const PanelRect& a, const PanelRect& b) {
  return a.top == b.top && a.left == b.left && a.height == b.height && a.width == b.width;
}

TEST(PreferencesTest, FileHoldsHeaderBlockTracesLabelsAndFooterAtTheirOffsets) {
  const Bytes file = PreferencesFileOf(SampleBlock());
  ASSERT_EQ(file.size(), 20795u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 25), "KELVARINLAB SETUP\n#BEGIN\n");
  EXPECT_EQ(std::string(file.begin() + 25, file.begin() + 31), "KVX162");
  EXPECT_EQ(std::string(file.begin() + 65, file.begin() + 82), "/home/user/traces");
  EXPECT_EQ(Int32At(file, 25 + 648), 100);  // main panel top
  EXPECT_EQ(Int32At(file, 25 + 664 + 12), 440);  // XY panel width
  EXPECT_EQ(Int32At(file, 25 + 696), 1);  // persistence
  EXPECT_EQ(Int32At(file, 25 + 700), 162);
  EXPECT_EQ(Int32At(file, 729), SampleReferences().ReferenceStore[0][0]);
  EXPECT_EQ(Int32At(file, 729 + 10000 + 4 * 2499), SampleReferences().ReferenceStore[1][2499]);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 20729)), "REF1: 500us, 1V");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 20759)), "REF2: 1ms, 50mV");
  EXPECT_EQ(std::string(file.end() - 6, file.end()), "\n#END\n");
}

TEST(PreferencesTest, SavedFilesLoadBackWithTheNetworkFieldsKeptFromMemory) {
  ScratchDirectory directory;
  const std::string path = directory.File("Ornikelva.okv");
  InstrumentSetup setup = SampleSetup();
  SavePreferences(path, SampleBlock(), SampleReferences(), setup);
  EXPECT_EQ(std::filesystem::file_size(path), 20795u);
  EXPECT_EQ(std::filesystem::file_size(path + ".CFG"), 574u);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(setup.ch1LoadedTrace, 0);  // never stored as set

  MessageLog log;
  PreferencesState state = StateInMemory();
  state.references = {};
  LoadPreferences(path, kMonitor, state);
  EXPECT_TRUE(log.messages.empty());
  EXPECT_TRUE(state.blockLoaded);
  const PreferencesBlock block = SampleBlock();
  EXPECT_EQ(std::memcmp(&state.block, &block, sizeof block), 0);
  EXPECT_TRUE(SameReferences(state.references, SampleReferences()));

  InstrumentSetup expected = setup;
  std::memset(expected.ipAddress, 0, sizeof expected.ipAddress);  // emptied before loading
  expected.networkWord = 9;
  std::strcpy(expected.netMask, "255.255.255.128");
  std::strcpy(expected.gateway, "010.010.010.001");
  EXPECT_EQ(RecordBytes(state.setup), RecordBytes(expected));
}

TEST(PreferencesTest, RememberedWindowsAreClampedToTheMonitor) {
  PreferencesBlock block = SampleBlock();
  block.mainPanelRect = {5, 3000, 580, 720};
  block.xyPanelRect = {5000, -40, -3, 100000};
  block.spareRect = {20, 1900, 1, 1};
  const PreferencesState state = LoadBytes(PreferencesFileOf(block), SetupFileOf(SampleSetup()));
  ASSERT_TRUE(state.blockLoaded);
  EXPECT_TRUE(SameRect(state.block.mainPanelRect, {20, 1900, 580, 720}));
  EXPECT_TRUE(SameRect(state.block.xyPanelRect, {1080, 0, 0, 1920})) << "sizes are bounded by the monitor";
  EXPECT_TRUE(SameRect(state.block.spareRect, {20, 1900, 1, 1}));

  // A monitor that makes no sense still leaves the window's corner on screen.
  const PreferencesState tiny = LoadBytes(PreferencesFileOf(block), std::nullopt, StateInMemory(), {0, 0});
  EXPECT_TRUE(SameRect(tiny.block.mainPanelRect, {20, 0, 0, 0}));

  // Sizes a damaged file could hold never reach the layout's arithmetic.
  block.mainPanelRect = {100, 100, INT32_MAX, INT32_MIN};
  const PreferencesState huge = LoadBytes(PreferencesFileOf(block), SetupFileOf(SampleSetup()));
  EXPECT_TRUE(SameRect(huge.block.mainPanelRect, {100, 100, 1080, 0}));
}

TEST(PreferencesTest, FreshApplicationDirectoryStartsFromTheDefaultsWithTheStartChanges) {
  ScratchDirectory directory;
  const std::string path = directory.File("Ornikelva.okv");
  MessageLog log;
  PreferencesState state = StateInMemory();
  LoadPreferences(path, kMonitor, state);

  EXPECT_EQ(log.messages, std::vector{PreferencesMessage::ConfigurationNotFound});
  EXPECT_FALSE(state.blockLoaded);
  EXPECT_EQ(RecordBytes(state.setup), RecordBytes(FreshStartSetup()));
  EXPECT_TRUE(SameRect(state.block.mainPanelRect, {30, 5, 580, 720}));
  EXPECT_TRUE(SameRect(state.block.xyPanelRect, {520, 25, 360, 440}));
  EXPECT_EQ(state.block.PersistenceOn, 0);
  EXPECT_TRUE(SameReferences(state.references, ReferenceData{}));

  // Without a preferences file the setup file beside it is not read.
  WriteFile(path + ".CFG", SetupFileOf(SampleSetup()));
  PreferencesState again = StateInMemory();
  LoadPreferences(path, kMonitor, again);
  EXPECT_EQ(RecordBytes(again.setup), RecordBytes(FreshStartSetup()));

  // The setup file saved right after starts with a correct checksum.
  SavePreferences(path, state.block, state.references, state.setup);
  const Bytes saved = ReadFile(path + ".CFG");
  ASSERT_EQ(saved.size(), 574u);
  EXPECT_EQ(static_cast<std::uint32_t>(Int32At(saved, 0)), SetupChecksum(saved.data() + 4, 568));
  EXPECT_NE(static_cast<std::uint32_t>(Int32At(saved, 0)), 0xDEADu);
}

TEST(PreferencesTest, DamagedPreferencesFileIsReportedAndTheSetupFileStillRead) {
  const Bytes good = PreferencesFileOf(SampleBlock());
  Bytes noMark = good;
  noMark[18] = '*';
  Bytes markTooLate = good;
  markTooLate.insert(markTooLate.begin(), 30, ' ');
  const std::size_t dataEnd = 25 + 704 + 20000 + 60;
  Bytes random(good.size());
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<std::uint8_t>(i * 131 + 7);
  const Bytes damaged[] = {{},     Bytes(good.begin(), good.begin() + 25), Bytes(good.begin(), good.begin() + dataEnd - 1),
                           noMark, markTooLate,                            random};

  const InstrumentSetup onDisk = SampleSetup();
  for (const Bytes& file : damaged) {
    MessageLog log;
    PreferencesState before = StateInMemory();
    before.block.PersistenceOn = 1;
    const PreferencesState state = LoadBytes(file, SetupFileOf(onDisk), before);
    EXPECT_EQ(log.messages, std::vector{PreferencesMessage::WrongIniFile}) << file.size();
    EXPECT_FALSE(state.blockLoaded);
    EXPECT_TRUE(SameReferences(state.references, ReferenceData{}));
    EXPECT_TRUE(SameRect(state.block.mainPanelRect, kDefaultMainPanelRect));
    EXPECT_EQ(state.block.PersistenceOn, 1) << "only the references and the windows' places change";
    // The block was not loaded, so the setup file's network fields are taken too.
    InstrumentSetup expected = onDisk;
    expected.ch1LoadedTrace = 0;
    expected.checksum = RecordChecksum(expected);
    EXPECT_EQ(RecordBytes(state.setup), RecordBytes(expected)) << file.size();
  }
}

TEST(PreferencesTest, BytesAfterTheThreeBlocksAreNotLookedAt) {
  const Bytes good = PreferencesFileOf(SampleBlock());
  Bytes wrongFooter = good;
  wrongFooter[good.size() - 2] = 'X';
  Bytes longer = good;
  longer.insert(longer.end(), 100, 'x');
  const Bytes loadable[] = {wrongFooter, longer, Bytes(good.begin(), good.end() - 6)};
  for (const Bytes& file : loadable) {
    MessageLog log;
    const PreferencesState state = LoadBytes(file, SetupFileOf(SampleSetup()));
    EXPECT_TRUE(log.messages.empty()) << file.size();
    EXPECT_TRUE(state.blockLoaded) << file.size();
    const PreferencesBlock sample = SampleBlock();
    EXPECT_EQ(std::memcmp(&state.block, &sample, sizeof sample), 0) << file.size();
    EXPECT_TRUE(SameReferences(state.references, SampleReferences())) << file.size();
  }
}

TEST(PreferencesTest, BeginMarkMayStandAnywhereInTheFirst49Bytes) {
  Bytes file = PreferencesFileOf(SampleBlock());
  const std::string otherHeader = "KELVARINLAB SETUP FROM ANOTHER PC\n#BEGIN\n";  // mark at 34
  file.erase(file.begin(), file.begin() + 25);
  file.insert(file.begin(), otherHeader.begin(), otherHeader.end());
  MessageLog log;
  const PreferencesState state = LoadBytes(file, SetupFileOf(SampleSetup()));
  EXPECT_TRUE(log.messages.empty());
  EXPECT_TRUE(state.blockLoaded);
  EXPECT_EQ(state.block.mainPanelRect.top, 100);
  EXPECT_TRUE(SameReferences(state.references, SampleReferences()));
}

TEST(PreferencesTest, BadSetupFileBesideGoodPreferencesGivesTheDefaultRecord) {
  const InstrumentSetup onDisk = SampleSetup();
  Bytes offByOne = SetupFileOf(onDisk);
  offByOne[0] += 1;

  for (const std::optional<Bytes>& setupFile : {std::optional<Bytes>(offByOne), std::optional<Bytes>()}) {
    MessageLog log;
    const PreferencesState state = LoadBytes(PreferencesFileOf(SampleBlock()), setupFile);
    EXPECT_EQ(log.messages, std::vector{setupFile ? PreferencesMessage::WrongConfigurationFile
                                                  : PreferencesMessage::ConfigurationNotFound});
    EXPECT_TRUE(state.blockLoaded);
    InstrumentSetup expected = DefaultSetupRecord();
    std::memset(expected.ipAddress, 0, sizeof expected.ipAddress);
    EXPECT_EQ(RecordBytes(state.setup), RecordBytes(expected));
    EXPECT_EQ(state.setup.runState, 1);
    EXPECT_EQ(state.setup.timebaseIndex, 15);
  }
}

TEST(PreferencesTest, LoadedTextsAndTracesNeverReachPastTheirFields) {
  PreferencesBlock block = SampleBlock();
  std::memset(block.tracePath, 'd', sizeof block.tracePath);  // no terminator
  std::memset(block.serialNumber, 'S', sizeof block.serialNumber);
  block.PersistenceOn = 7;
  ReferenceData references = SampleReferences();
  references.ReferenceStore[0][3] = 300;
  references.ReferenceStore[1][0] = -5;
  references.ReferenceLabel[0].fill('L');

  const PreferencesState state = LoadBytes(PreferencesFileOf(block, references), SetupFileOf(SampleSetup()));
  ASSERT_TRUE(state.blockLoaded);
  EXPECT_EQ(TraceDirectory(state.block), "");
  EXPECT_EQ(std::string(state.block.serialNumber), std::string(19, 'S'));
  EXPECT_EQ(std::memcmp(state.block.lastMeasurements, block.lastMeasurements, kLastMeasurementsSize), 0);
  EXPECT_EQ(std::memcmp(state.block.keptBytes, block.keptBytes, kKeptBytesSize), 0);
  EXPECT_EQ(state.block.PersistenceOn, 1);
  EXPECT_EQ(state.references.ReferenceStore[0][3], 255);
  EXPECT_EQ(state.references.ReferenceStore[1][0], 0);
  EXPECT_EQ(ReferenceLabelText(state.references, 0), std::string(29, 'L'));
}

TEST(PreferencesTest, TraceDirectoryLongerThanItsFieldIsNotRemembered) {
  PreferencesBlock block = SampleBlock();
  const std::string fits(55, 'a');
  EXPECT_TRUE(RememberTraceDirectory(block, fits));
  EXPECT_EQ(TraceDirectory(block), fits);

  const std::uint8_t measurementsBefore = block.lastMeasurements[0];
  EXPECT_FALSE(RememberTraceDirectory(block, std::string(56, 'b')));
  EXPECT_FALSE(RememberTraceDirectory(block, std::string(300, 'c')));
  EXPECT_EQ(TraceDirectory(block), fits);
  EXPECT_EQ(block.lastMeasurements[0], measurementsBefore);

  EXPECT_TRUE(RememberTraceDirectory(block, "/data"));
  EXPECT_EQ(TraceDirectory(block), "/data");
  EXPECT_EQ(block.tracePath[6], '\0');  // the longer path before leaves nothing behind
}

TEST(PreferencesTest, FilesThatCannotBeReadOrWrittenAreReportedWithoutHanging) {
  ScratchDirectory directory;
  const std::string path = directory.File("Ornikelva.okv");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  MessageLog log;
  PreferencesState state = StateInMemory();
  auto loading = std::async(std::launch::async, [&] { LoadPreferences(path, kMonitor, state); });
  ASSERT_EQ(loading.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(log.messages, std::vector{PreferencesMessage::ConfigurationNotFound});

  // A directory in the preferences file's place: that file fails, the other is written.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  log.messages.clear();
  InstrumentSetup setup = SampleSetup();
  SavePreferences(path, SampleBlock(), SampleReferences(), setup);
  EXPECT_EQ(log.messages, std::vector{PreferencesMessage::CannotCreateIniFile});
  EXPECT_EQ(std::filesystem::file_size(path + ".CFG"), 574u);

  log.messages.clear();
  SavePreferences(directory.File("missing/Ornikelva.okv"), SampleBlock(), SampleReferences(), setup);
  EXPECT_EQ(log.messages,
            (std::vector{PreferencesMessage::CannotCreateIniFile, PreferencesMessage::CannotCreateConfigurationFile}));
}

TEST(PreferencesTest, ProgramStateGoesThroughTheFilesAndKeepsTheConnectedIdentity) {
  ScratchDirectory directory;
  const std::string path = directory.File("Ornikelva.okv");
  ProgramPreferences = SampleBlock();
  ProgramReferences.Replace(SampleReferences());
  ProgramSetup = SampleSetup();
  SavePreferences(path);
  EXPECT_EQ(ProgramSetup.ch1LoadedTrace, 0);
  EXPECT_EQ(ProgramSetup.checksum, RecordChecksum(ProgramSetup));

  ProgramPreferences = {};
  ProgramReferences.Replace({});
  ProgramSetup = {};
  LoadPreferences(path, kMonitor);
  EXPECT_EQ(ProgramPreferences.mainPanelRect.left, 200);
  EXPECT_TRUE(SameReferences(ProgramReferences.Snapshot(), SampleReferences()));
  EXPECT_EQ(ProgramSetup.timebaseIndex, 22);

  InstrumentSession instrument;
  std::strcpy(instrument.modelName, "KVX71");
  std::strcpy(instrument.idnTag, "NEWTAG");
  std::strcpy(instrument.serialNumber, "SN999");
  instrument.firmwareVersion = 2.5;
  instrument.identifiedModelNumber = 71;
  KeepInstrumentIdentity(ProgramPreferences, instrument);
  EXPECT_STREQ(ProgramPreferences.modelName, "KVX71");
  EXPECT_STREQ(ProgramPreferences.idnTag, "NEWTAG");
  EXPECT_STREQ(ProgramPreferences.serialNumber, "SN999");
  EXPECT_EQ(ProgramPreferences.firmwareVersion, 2.5);
  EXPECT_EQ(ProgramPreferences.modelNumber, 71);
  EXPECT_EQ(TraceDirectory(ProgramPreferences), "/home/user/traces");

  ProgramPreferences = {};
  ProgramReferences.Replace({});
  ProgramSetup = {};
}

TEST(PreferencesTest, EachMessageShowsItsCatalogueTitleAndText) {
  const auto shown = [](PreferencesMessage message) {
    const MessageBoxEntries entries = CatalogueEntries(message);
    return std::string(CatalogueText(entries.title, kEnglish)) + " / " + CatalogueText(entries.text, kEnglish);
  };
  EXPECT_EQ(shown(PreferencesMessage::ConfigurationNotFound), "FILE ERROR / Configuration file not found.");
  EXPECT_EQ(shown(PreferencesMessage::WrongIniFile), "FILE ERROR / Wrong '.ini' file.");
  EXPECT_EQ(shown(PreferencesMessage::WrongConfigurationFile), "CHECKSUM ERROR / Wrong configuration file");
  EXPECT_EQ(shown(PreferencesMessage::CannotCreateIniFile), "FILE ERROR / Cannot create '.ini' file.");
  EXPECT_EQ(shown(PreferencesMessage::CannotCreateConfigurationFile),
            "FILE ERROR / Cannot create configuration file '*.cfg'.");
}

}  // namespace
