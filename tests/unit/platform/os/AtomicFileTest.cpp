// Replacing a state file leaves either the old or the new contents, whole.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/os/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporary) {
  char pattern[] = "/tmp/orni-atomic-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  const fs::path file = dir / "setupD.7up";
  std::ofstream(file) << "old contents that are longer";
  const std::string bytes("1\n3\n\0tail", 9);
  ASSERT_TRUE(WriteFileAtomically(file.string(), bytes));
  EXPECT_EQ(Read(file), bytes);
  EXPECT_FALSE(fs::exists(dir / "setupD.7up.tmp"));

  // An unwritable place fails and leaves nothing behind.
  EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x").string(), "data"));
  fs::remove_all(dir);
}

}  // namespace
