// What a save killed half-way leaves behind must not trip the next one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/os/AtomicFile.h"
#include "support/ScratchDirectory.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class AtomicFileLeftover : public ::testing::Test {
 protected:
  testsupport::ScratchDirectory scratch_;
  const fs::path& dir_ = scratch_.Path();
};

TEST_F(AtomicFileLeftover, HalfWrittenTemporaryIsReplacedNotAppendedTo) {
  const fs::path file = dir_ / "Ornikelva.okv.CFG";
  std::ofstream(file) << "old";
  std::ofstream(dir_ / "Ornikelva.okv.CFG.tmp") << "a longer half-written temporary from a killed save";
  ASSERT_TRUE(WriteFileAtomically(file.string(), "new"));
  EXPECT_EQ(Contents(file), "new");
  EXPECT_FALSE(fs::exists(dir_ / "Ornikelva.okv.CFG.tmp"));
}

TEST_F(AtomicFileLeftover, NameWithoutDirectoryIsReplacedInTheWorkingDirectory) {
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  const bool written = WriteFileAtomically("setupD.7up", "1\n2\n");
  fs::current_path(before);
  ASSERT_TRUE(written);
  EXPECT_EQ(Contents(dir_ / "setupD.7up"), "1\n2\n");
}

}  // namespace
