#include <cstdio>
#include <map>

#include "engine/engine.h"

namespace engine {

namespace {

// Oracle's texts for the codes the engine raises. "%s" marks where a detail goes (a name, a number).
const std::map<int, const char*>& messageTexts() {
  static const std::map<int, const char*> texts = {
      {1, "unique constraint (%s) violated"},
      {54, "resource busy and acquire with NOWAIT specified or timeout expired"},
      {900, "invalid SQL statement"},
      {904, "%s: invalid identifier"},
      {907, "missing right parenthesis"},
      {911, "invalid character"},
      {913, "too many values"},
      {917, "missing comma"},
      {918, "column ambiguously defined"},
      {921, "unexpected end of SQL command"},
      {923, "FROM keyword not found where expected"},
      {933, "SQL command not properly ended"},
      {936, "missing expression"},
      {942, "table or view does not exist"},
      {947, "not enough values"},
      {955, "name is already used by an existing object"},
      {1013, "user requested cancel of current operation"},
      {1017, "invalid username/password; logon denied"},
      {1031, "insufficient privileges"},
      {1035, "ORACLE only available to users with RESTRICTED SESSION privilege"},
      {1400, "cannot insert NULL into (%s)"},
      {1403, "no data found"},
      {1422, "exact fetch returns more than requested number of rows"},
      {1476, "divisor is equal to zero"},
      {1722, "invalid number"},
      {1858, "a non-numeric character was found where a numeric was expected"},
      {1861, "literal does not match format string"},
      {2291, "integrity constraint (%s) violated - parent key not found"},
      {2292, "integrity constraint (%s) violated - child record found"},
      {2298, "cannot validate (%s) - parent keys not found"},
      {4043, "object %s does not exist"},
      {4068, "existing state of packages has been discarded"},
      {6550, "line %s"},
      {24344, "success with compilation error"},
      {28000, "the account is locked"},
  };
  return texts;
}

}  // namespace

Error::Error(int code, const std::string& message, int offset, int line, int column)
    : std::runtime_error(message), code_(code), message_(message), offset_(offset), line_(line), column_(column) {}

Error Error::ora(int code, const std::string& detail, int offset) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  std::string text;
  auto it = messageTexts().find(code);
  if (it == messageTexts().end()) {
    text = detail;
  } else {
    text = it->second;
    auto pos = text.find("%s");
    if (pos != std::string::npos) text.replace(pos, 2, detail);
  }
  return Error(code, prefix + text, offset);
}

}  // namespace engine
