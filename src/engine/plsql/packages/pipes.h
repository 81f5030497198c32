#pragma once
// The pipes of a database, as V$DB_PIPES lists them (packages/dbms_pipe.cpp).

#include <cstdint>
#include <string>
#include <vector>

namespace engine::plsql {

struct PipeInfo {
  std::string name;
  std::string owner;  // the owning user of a private pipe, empty for a public one
  bool isPrivate = false;
  std::int64_t size = 0;  // bytes the pipe takes, as PIPE_SIZE shows it
  std::int64_t messages = 0;
};

// The pipes of the database at `directory` in this process.
std::vector<PipeInfo> listPipes(const std::string& directory);

}  // namespace engine::plsql
