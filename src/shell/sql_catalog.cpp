#include "shell/sql_catalog.h"

namespace nuvo {

namespace {
// A function-local list, so registration from other units' static objects never meets an
// unconstructed vector.
std::vector<const SqlText*>& entries() {
  static std::vector<const SqlText*> list;
  return list;
}
}  // namespace

SqlText::SqlText(const char* name, QStringList lines, const char* schema)
    : name_(name), schema_(schema), lines_(std::move(lines)) {
  entries().push_back(this);
}

const std::vector<const SqlText*>& sqlCatalog() { return entries(); }

}  // namespace nuvo
