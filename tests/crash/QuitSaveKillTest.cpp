// The files written at quit survive a SIGKILL at any moment of the save: a
// child process runs the quit's three writers (preferences, setup, first-run
// file, in that order) over an older version of each, and the parent kills
// it after a random delay spread over one save's duration. Every kill must
// leave each file whole, old or new, in an order the writers allow, and
// readable on the next start without a message.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/FirstRunFile.h"
#include "app/Preferences.h"
#include "app/SetupFile.h"
#include "platform/os/Clock.h"
#include "unit/app/StateFileTestSupport.h"

namespace {

using statefiles::Bytes;

constexpr int kKills = 200;
constexpr int kCalibrationSaves = 15;
constexpr int kOldLanguage = 0;
constexpr int kNewLanguage = 3;

// One version of everything quit writes.
struct SavedState {
  PreferencesBlock block;
  ReferenceData references;
  InstrumentSetup setup;
  int language;
};

SavedState OldState() {
  return {PreferencesBlock{}, ReferenceData{}, DefaultSetupRecord(), kOldLanguage};
}

SavedState NewState() {
  return {statefiles::SampleBlock(), statefiles::SampleReferences(), statefiles::SampleSetup(), kNewLanguage};
}

// The two files' bytes one version must produce.
struct ExpectedFiles {
  Bytes preferences;
  Bytes setup;
  Bytes firstRun;
};

ExpectedFiles FilesOf(SavedState state) {
  const auto setup = SetupFileBytes(state.setup);
  const std::string firstRun = "1\n" + std::to_string(state.language) + "\n";
  return {PreferencesFileBytes(state.block, state.references), Bytes(setup.begin(), setup.end()),
          Bytes(firstRun.begin(), firstRun.end())};
}

class QuitFiles {
 public:
  QuitFiles()
      : preferences_(scratch_.File(std::string(kPreferencesFileName))),
        firstRun_(scratch_.File(kFirstRunFileName)) {}

  // The writes QuitProgram makes, in its order.
  void Save(SavedState state) const {
    SavePreferences(preferences_, state.block, state.references, state.setup);
    WriteFirstRunFile(firstRun_, state.language);
  }

  // The old version, written plainly: only the save under test needs to be
  // atomic, and a temporary a kill left behind stays for the next save.
  void Put(const ExpectedFiles& files) const {
    statefiles::WriteFile(preferences_, files.preferences);
    statefiles::WriteFile(SetupFilePath(preferences_), files.setup);
    statefiles::WriteFile(firstRun_, files.firstRun);
  }

  std::array<Bytes, 3> Read() const {
    return {statefiles::ReadFile(preferences_), statefiles::ReadFile(SetupFilePath(preferences_)),
            statefiles::ReadFile(firstRun_)};
  }

  // What the next start reports while reading them.
  std::vector<PreferencesMessage> LoadMessages(FirstRunState& firstRun) const {
    statefiles::MessageLog log;
    PreferencesState state;
    LoadPreferences(preferences_, MonitorSize{1080, 1920}, state);
    firstRun = ReadFirstRunFile(firstRun_);
    return log.messages;
  }

  int LeftoverTemporaries() const {
    const auto directory = std::filesystem::path(preferences_).parent_path();
    return static_cast<int>(std::count_if(std::filesystem::directory_iterator(directory), {},
                                          [](const auto& entry) { return entry.path().extension() == ".tmp"; }));
  }

 private:
  statefiles::ScratchDirectory scratch_;
  std::string preferences_;
  std::string firstRun_;
};

double SpinUntil(double deadline) {
  double now = CurrentClock().Now();
  while (now < deadline) now = CurrentClock().Now();
  return now;
}

// The median time of a save of the new version over the old one.
double MeasureSaveSeconds(const QuitFiles& files, const ExpectedFiles& old) {
  std::vector<double> durations;
  for (int i = 0; i < kCalibrationSaves; ++i) {
    files.Put(old);
    const double start = CurrentClock().Now();
    files.Save(NewState());
    durations.push_back(CurrentClock().Now() - start);
  }
  std::nth_element(durations.begin(), durations.begin() + kCalibrationSaves / 2, durations.end());
  return durations[kCalibrationSaves / 2];
}

// Forks a child that saves the new version; kills it `delay` seconds after it
// reports that it is about to start. True when the kill cut the save short.
bool SaveAndKill(const QuitFiles& files, double delay) {
  int ready[2];
  if (pipe(ready) != 0) {
    ADD_FAILURE() << "pipe";
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    const char go = 1;
    if (write(ready[1], &go, 1) != 1) _exit(3);
    files.Save(NewState());
    _exit(0);
  }
  close(ready[1]);
  char go = 0;
  const bool started = read(ready[0], &go, 1) == 1;
  close(ready[0]);
  EXPECT_TRUE(started) << "the saving child did not start";
  SpinUntil(CurrentClock().Now() + delay);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "child status " << status;
  return WIFSIGNALED(status);
}

// How many of the three files are new: the writers run in order, so the
// new ones are always a prefix. -1 when a file is neither version or the
// order is broken.
int NewFilesPrefix(const std::array<Bytes, 3>& found, const ExpectedFiles& old, const ExpectedFiles& fresh) {
  const std::array<const Bytes*, 3> olds = {&old.preferences, &old.setup, &old.firstRun};
  const std::array<const Bytes*, 3> news = {&fresh.preferences, &fresh.setup, &fresh.firstRun};
  int prefix = 0;
  bool oldSeen = false;
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (found[i] == *news[i] && !oldSeen) {
      ++prefix;
    } else if (found[i] == *olds[i]) {
      oldSeen = true;
    } else {
      return -1;
    }
  }
  return prefix;
}

}  // namespace

TEST(QuitSaveKill, EveryKillLeavesWholeFilesTheNextStartReadsSilently) {
  QuitFiles files;
  const ExpectedFiles old = FilesOf(OldState());
  const ExpectedFiles fresh = FilesOf(NewState());
  ASSERT_NE(old.preferences, fresh.preferences);
  ASSERT_NE(old.setup, fresh.setup);
  ASSERT_NE(old.firstRun, fresh.firstRun);

  const double saveSeconds = MeasureSaveSeconds(files, old);
  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> delay(0.0, saveSeconds);
  std::array<int, 4> byNewFiles{};
  int cutShort = 0;
  int temporariesLeft = 0;
  for (int attempt = 0; attempt < kKills; ++attempt) {
    files.Put(old);
    const bool killed = SaveAndKill(files, delay(random));
    cutShort += killed ? 1 : 0;
    const int newFiles = NewFilesPrefix(files.Read(), old, fresh);
    ASSERT_GE(newFiles, 0) << "a file is neither version, or they are out of order, after kill " << attempt;
    ++byNewFiles[static_cast<std::size_t>(newFiles)];
    const int temporaries = files.LeftoverTemporaries();
    temporariesLeft += temporaries > 0 ? 1 : 0;
    // A save that ran to its end, over whatever earlier kills left, cleans up.
    if (!killed) {
      ASSERT_EQ(temporaries, 0) << "a finished save left a temporary file, kill " << attempt;
    }

    FirstRunState firstRun;
    const auto messages = files.LoadMessages(firstRun);
    ASSERT_TRUE(messages.empty()) << "the next start reported a message after kill " << attempt;
    EXPECT_TRUE(firstRun.fileRead);
    EXPECT_EQ(firstRun.language, newFiles == 3 ? kNewLanguage : kOldLanguage);
  }
  files.Save(NewState());
  EXPECT_EQ(files.LeftoverTemporaries(), 0) << "the save after the last kill left a temporary file";
  EXPECT_EQ(NewFilesPrefix(files.Read(), old, fresh), 3);
  std::printf("%d kills over a %.3f ms save: %d cut the save short; new files 0/1/2/3: %d/%d/%d/%d; "
              "kills after which a temporary file was present: %d\n",
              kKills, saveSeconds * 1e3, cutShort, byNewFiles[0], byNewFiles[1], byNewFiles[2], byNewFiles[3],
              temporariesLeft);
  // Kills that all came after the save would prove nothing.
  EXPECT_GT(cutShort, 0);
  EXPECT_GT(kKills - byNewFiles[3], 0);
}
