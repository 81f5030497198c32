#pragma once
// The program-wide catalog of the fixed SQL texts and blocks the tool sends.
//
// Each text is a namespace-scope SqlText in the unit that sends it, named "<unit>.<component>", so
// the text the window runs is the text the catalog holds. One test prepares every entry against a
// seeded embedded database, which measures what the engine still lacks for the tool.

#include <QStringList>

#include <vector>

namespace nuvo {

class SqlText {
 public:
  // `schema`: the schema the text's unqualified names belong to when it runs (the logon user's).
  SqlText(const char* name, QStringList lines, const char* schema = "KADE");
  SqlText(const SqlText&) = delete;
  SqlText& operator=(const SqlText&) = delete;

  const char* name() const { return name_; }
  const char* schema() const { return schema_; }
  const QStringList& lines() const { return lines_; }
  operator const QStringList&() const { return lines_; }

 private:
  const char* name_;
  const char* schema_;
  QStringList lines_;
};

// Every SqlText of the units linked into the program, in no particular order.
const std::vector<const SqlText*>& sqlCatalog();

}  // namespace nuvo
