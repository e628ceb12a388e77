// ORNIKELVARINLAB: the front panel and display of a KVX oscilloscope.
#include <cstdio>

#include "app/CommandLine.h"
#include "app/InstrumentChoices.h"
#include "app/SplashText.h"
#include "app/Startup.h"
#include "platform/os/ProjectDir.h"
#include "platform/ui/qt/QtFrontend.h"

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
    std::printf("%s\n", ProgramTitle().c_str());
    return 0;
  }
  if (!line.appDir.empty()) SetProjectDirOverride(line.appDir);
  RegisterInstruments(line);
  UseQtFrontend(argc, argv);
  return RunProgram();
}
