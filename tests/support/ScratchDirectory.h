// A fresh directory under /tmp for one test, removed with everything in it
// when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace testsupport {

class ScratchDirectory {
 public:
  explicit ScratchDirectory(const char* prefix = "orni-test") {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDirectory() { std::filesystem::remove_all(path_); }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
