#include <cstdio>
#include <map>

#include "engine/engine.h"

namespace engine {

namespace {

// Oracle's texts for the codes the engine raises. "%s" marks where a detail goes (a name, a number).
const std::map<int, const char*>& messageTexts() {
  static const std::map<int, const char*> texts = {
      {1, "unique constraint (%s) violated"},
      {998, "must name this expression with a column alias"},
      {12154, "TNS:could not resolve the connect identifier specified"},
      {1438, "value larger than specified precision allowed for this column"},
      {12983, "cannot drop all columns in a table"},
      {439, "feature not enabled: %s"},
      {600, "internal error code, arguments: [%s]"},
      {901, "invalid CREATE command"},
      {902, "invalid datatype"},
      {903, "invalid table name"},
      {905, "missing keyword"},
      {906, "missing left parenthesis"},
      {908, "missing NULL keyword"},
      {909, "invalid number of arguments"},
      {910, "specified length too long for its datatype"},
      {920, "invalid relational operator"},
      {922, "missing or invalid option"},
      {925, "missing INTO keyword"},
      {926, "missing VALUES keyword"},
      {927, "missing equal sign"},
      {928, "missing SELECT keyword"},
      {932, "%s"},
      {940, "invalid ALTER command"},
      {950, "invalid DROP option"},
      {957, "duplicate column name"},
      {969, "missing ON keyword"},
      {971, "missing SET keyword"},
      {975, "date + date not allowed"},
      {976, "Specified pseudocolumn or operator not allowed here."},
      {987, "missing or invalid username(s)"},
      {988, "missing or invalid password(s)"},
      {990, "missing or invalid privilege"},
      {1006, "bind variable does not exist"},
      {1407, "cannot update (%s) to NULL"},
      {1410, "invalid ROWID"},
      {1430, "column being added already exists in table"},
      {1437, "cannot have join with CONNECT BY"},
      {1555, "snapshot too old: rollback segment number  with name \"\" too small"},
      {1730, "invalid number of column names specified"},
      {1731, "circular view definition encountered"},
      {1732, "data manipulation operation not legal on this view"},
      {42399, "cannot perform a DML operation on a read-only view"},
      {1735, "invalid ALTER TABLE option"},
      {1740, "missing double quote in identifier"},
      {1741, "illegal zero-length identifier"},
      {1756, "quoted string not properly terminated"},
      {1765, "specifying owner's name of the table is not allowed"},
      {1775, "looping chain of synonyms"},
      {1453, "SET TRANSACTION must be first statement of transaction"},
      {1418, "specified index does not exist"},
      {1456, "may not perform insert/delete/update operation inside a READ ONLY transaction"},
      {1498, "block check failure - see trace file"},
      {1499, "table/index cross reference failure - see trace file"},
      {2404, "specified plan table not found"},
      {1780, "string literal required"},
      {1785, "ORDER BY item must be the number of a SELECT-list expression"},
      {1789, "query block has incorrect number of result columns"},
      {1918, "user '%s' does not exist"},
      {1919, "role '%s' does not exist"},
      {2017, "integer value required"},
      {2019, "connection description for remote database not found"},
      {2065, "illegal option for ALTER SYSTEM"},
      {2205, "only SELECT and ALTER privileges are valid for sequences"},
      {2224, "EXECUTE privilege not allowed for tables"},
      {2225, "only EXECUTE and DEBUG privileges are valid for procedures"},
      {2260, "table can have only one primary key"},
      {2264, "name already used by an existing constraint"},
      {2270, "no matching unique or primary key for this column-list"},
      {2289, "sequence does not exist"},
      {2290, "check constraint (%s) violated"},
      {2303, "cannot drop or replace a type with type or table dependents"},
      {3001, "unimplemented feature"},
      {22816, "unsupported feature with RETURNING clause"},
      {14151, "invalid table partitioning method"},
      {2143, "invalid STORAGE option"},
      {22905, "cannot access rows from a non-nested table item"},
      {22907, "invalid CAST to a type that is not a nested table or VARRAY"},
      {30002, "SYS_CONNECT_BY_PATH function is not allowed here"},
      {30007, "CONNECT BY ROOT operator is not supported in the START WITH or in the CONNECT BY condition"},
      {30076, "invalid extract field for extract source"},
      {12899, "value too large for column %s"},
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
      {30081, "invalid data type for datetime/interval arithmetic"},
      {30088, "datetime/interval precision is out of range"},
      {30089, "missing or invalid <datetime field>"},
      {32795, "cannot insert into a generated always identity column"},
      {32796, "cannot update a generated always identity column"},
      {1403, "no data found"},
      {1422, "exact fetch returns more than requested number of rows"},
      {1426, "numeric overflow"},
      {1476, "divisor is equal to zero"},
      {1722, "invalid number"},
      {1843, "not a valid month"},
      {1847, "day of month must be between 1 and last day of month"},
      {1850, "hour must be between 0 and 23"},
      {1851, "minutes must be between 0 and 59"},
      {1852, "seconds must be between 0 and 59"},
      {1858, "a non-numeric character was found where a numeric was expected"},
      {1861, "literal does not match format string"},
      {1867, "the interval is invalid"},
      {1873, "the leading precision of the interval is too small"},
      {2091, "transaction rolled back"},
      {2291, "integrity constraint (%s) violated - parent key not found"},
      {2292, "integrity constraint (%s) violated - child record found"},
      {2298, "cannot validate (%s) - parent keys not found"},
      {2447, "cannot defer a constraint that is not deferrable"},
      {4043, "object %s does not exist"},
      {4068, "existing state of packages has been discarded"},
      {6550, "line %s"},
      {24344, "success with compilation error"},
      {28000, "The account is locked."},
      {28009, "connection as SYS should be as SYSDBA or SYSOPER"},
      {1452, "cannot CREATE UNIQUE INDEX; duplicate keys found"},
      {1790, "expression must have same datatype as corresponding expression"},
      {980, "synonym translation is no longer valid"},
      {934, "group function is not allowed here"},
      {937, "not a single-group group function"},
      {979, "not a GROUP BY expression"},
      {1427, "single-row subquery returns more than one row"},
      {1436, "CONNECT BY loop in user data"},
      {30929, "ORDER SIBLINGS BY clause not allowed here"},
      {30484, "missing window specification for this function"},
      {30485, "missing ORDER BY expression in the window specification"},
      {30486, "invalid window aggregation group in the window specification"},
      {1428, "argument '%s' is out of range"},
      {2000, "missing %s keyword"},
      {1467, "sort key too long"},
      {56902, "expect aggregate function inside pivot operation"},
      {30487, "ORDER BY not allowed here"},
      {1489, "result of string concatenation is too long"},
      {30930, "NOCYCLE keyword is required with CONNECT_BY_ISCYCLE pseudocolumn"},
      {4063, "%s has errors"},
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
