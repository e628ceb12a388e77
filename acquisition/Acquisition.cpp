#include "acquisition/Acquisition.h"

std::atomic<int> AcquisitionRunning{0};
std::atomic<int> AcquisitionPool{0};
