#include "support/temp_env.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace nuvo::test {

namespace {
std::string g_root;
}

void setUpTempEnvironment() {
  std::string pattern = (fs::temp_directory_path() / "nuvo_test_XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  g_root = pattern;
  fs::create_directories(fs::path(g_root) / "home");
  fs::create_directories(fs::path(g_root) / "data");
  setenv("NUVO_SQL_HOME", (fs::path(g_root) / "home").c_str(), 1);
  setenv("NUVO_SQL_DATA", (fs::path(g_root) / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (fs::path(g_root) / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (fs::path(g_root) / "xdgdata").c_str(), 1);
}

void removeTempEnvironment() {
  if (g_root.empty()) return;
  std::error_code ec;
  fs::remove_all(g_root, ec);
  g_root.clear();
}

const std::string& tempRoot() { return g_root; }

std::string makeTempDir(const std::string& prefix) {
  std::string pattern = (fs::path(g_root) / (prefix + "_XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  return pattern;
}

}  // namespace nuvo::test
