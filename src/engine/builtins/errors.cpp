#include <cstdio>
#include <map>

#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

// Texts of the errors the functions raise that the engine's common table does not hold.
const std::map<int, const char*>& functionErrorTexts() {
  static const std::map<int, const char*> texts = {
      {909, "invalid number of arguments"},
      {932, "inconsistent datatypes: expected %s"},
      {1424, "missing or illegal character following the escape character"},
      {1425, "escape character must be character string of length 1"},
      {1426, "numeric overflow"},
      {1428, "argument '%s' is out of range"},
      {1465, "invalid hex number"},
      {1481, "invalid number format model"},
      {1810, "format code appears twice"},
      {1820, "format code cannot appear in date input format"},
      {1821, "date format not recognized"},
      {1830, "date format picture ends before converting entire input string"},
      {1839, "date not valid for month specified"},
      {1840, "input value not long enough for date format"},
      {1841, "(full) year must be between -4713 and +9999, and not be 0"},
      {1843, "not a valid month"},
      {1846, "not a valid day of the week"},
      {1847, "day of month must be between 1 and last day of month"},
      {1848, "day of year must be between 1 and 365 (366 for leap year)"},
      {1849, "hour must be between 1 and 12"},
      {1850, "hour must be between 0 and 23"},
      {1851, "minutes must be between 0 and 59"},
      {1852, "seconds must be between 0 and 59"},
      {1853, "seconds in day must be between 0 and 86399"},
      {1854, "julian date must be between 1 and 5373484"},
      {1855, "AM/A.M. or PM/P.M. required"},
      {1862, "the numeric value does not match the length of the format item"},
      {1760, "illegal argument for function"},
      {2003, "invalid USERENV parameter"},
      {12725, "unmatched parentheses in regular expression"},
      {12726, "unmatched bracket in regular expression"},
      {12727, "invalid back reference in regular expression"},
      {12728, "invalid range in regular expression"},
      {12729, "invalid character class in regular expression"},
      {12730, "invalid equivalence class in regular expression"},
      {12731, "invalid collation class in regular expression"},
      {12732, "invalid interval value in regular expression"},
      {12733, "regular expression is too long"},
      {3052, "invalid argument for STANDARD_HASH function"},
      {30001, "trim set should have only one character"},
  };
  return texts;
}

}  // namespace

void raise(int code, const std::string& detail) {
  auto it = functionErrorTexts().find(code);
  if (it == functionErrorTexts().end()) throw Error::ora(code, detail);
  std::string text = it->second;
  if (auto pos = text.find("%s"); pos != std::string::npos) text.replace(pos, 2, detail);
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  throw Error(code, prefix + text);
}

}  // namespace engine::builtins
