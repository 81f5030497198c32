// nuvo_db: creates, lists and drops embedded databases, and runs SQL*Plus-style scripts or an
// interactive SQL prompt against one.

#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/script.h"

namespace fs = std::filesystem;

namespace {

constexpr int exitOk = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

const char* const usageText =
    "usage:\n"
    "  nuvo_db create NAME [--banner-version V]   create a database (users SYS, SYSTEM, KADE, ZOZURO,\n"
    "                                             NUVO_UTIL; each user's password is its name)\n"
    "  nuvo_db list                               list the databases\n"
    "  nuvo_db drop NAME                          delete a database\n"
    "  nuvo_db sql NAME USER/PASSWORD [--sysdba] [-f FILE] [--csv]\n"
    "                                             run the statements of FILE or standard input\n"
    "Databases live in $NUVO_SQL_DATA, else $XDG_DATA_HOME/nuvo_sql, else ~/.local/share/nuvo_sql.\n"
    "create runs the *.sql scripts of $NUVO_SEED_DIR (default: the project's seed/) in name order.\n"
    "Exit status: 0 success, 1 a failure (a statement of sql failed), 2 bad arguments.\n";

// A failure that ends the command with a message on standard error.
struct Failure {
  std::string message;
  int status = exitFailed;
};

Failure usageError(const std::string& what) { return {what + "\n" + usageText, exitUsage}; }

fs::path dataDirectory() {
  if (const char* data = std::getenv("NUVO_SQL_DATA"); data && *data) return data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "nuvo_sql";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local/share/nuvo_sql";
  throw Failure{"cannot find the data directory: set NUVO_SQL_DATA or HOME"};
}

fs::path seedDirectory() {
  if (const char* seed = std::getenv("NUVO_SEED_DIR"); seed && *seed) return seed;
  return NUVO_SEED_DIR;
}

// A database name becomes a directory name: letters, digits, "_" and "-" only, so no name can reach
// outside the data directory.
fs::path databaseDirectory(const std::string& name) {
  bool valid = !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '-';
  });
  if (!valid) throw usageError("invalid database name \"" + name + "\": use letters, digits, _ and -");
  return dataDirectory() / name;
}

fs::path existingDatabase(const std::string& name) {
  fs::path directory = databaseDirectory(name);
  if (!engine::Database::exists(directory.string()))
    throw Failure{"no database " + name + " in " + dataDirectory().string()};
  return directory;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// --- Running statements -----------------------------------------------------------------------

enum class Output { Csv, Table, Silent };

std::size_t displayWidth(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; }));
}

void printTable(engine::Statement& query, const engine::Session& session) {
  const auto& columns = query.columns();
  std::vector<std::vector<std::string>> rows;
  std::vector<std::size_t> widths;
  for (const auto& column : columns) widths.push_back(displayWidth(column.name));
  while (query.next()) {
    auto& row = rows.emplace_back();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      row.push_back(session.format(query.value(i)));
      widths[i] = std::max(widths[i], displayWidth(row.back()));
    }
  }
  auto printRow = [&](const auto& cell) {
    std::string line;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      std::string text = cell(i);
      if (i + 1 < columns.size()) text.append(widths[i] - displayWidth(text) + 1, ' ');
      line += text;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << line << '\n';
  };
  printRow([&](std::size_t i) { return columns[i].name; });
  printRow([&](std::size_t i) { return std::string(widths[i], '-'); });
  for (const auto& row : rows) printRow([&](std::size_t i) { return row[i]; });
  std::cout << '\n' << rows.size() << (rows.size() == 1 ? " row" : " rows") << " selected.\n\n";
}

std::string dmlFeedback(const std::string& sql, std::int64_t rows) {
  std::string keyword = engine::leadingKeyword(sql);
  std::string verb = keyword == "INSERT" ? "inserted" : keyword == "UPDATE" ? "updated" : keyword == "DELETE" ? "deleted" : "merged";
  return std::to_string(rows) + (rows == 1 ? " row " : " rows ") + verb + ".";
}

void printResult(engine::Statement& statement, engine::Session& session, const std::string& sql, Output output) {
  if (output == Output::Silent) {
    if (statement.isQuery()) while (statement.next()) {}
    return;
  }
  if (statement.isQuery() && output == Output::Csv) {
    // All rows are fetched before anything is printed: a query that fails prints only its error.
    std::string text = engine::csvHeader(statement) + '\n';
    while (statement.next()) text += engine::csvRow(statement, session) + '\n';
    std::cout << text << '\n';
  } else if (statement.isQuery()) {
    printTable(statement, session);
  } else if (output == Output::Table) {
    std::cout << (engine::isDml(sql) ? dmlFeedback(sql, statement.rowCount()) : "Done.") << "\n\n";
  }
}

// Runs one statement and prints its result and DBMS_OUTPUT; on failure returns the error as
// SQL*Plus reports it, line by line (the message itself comes last).
std::optional<std::vector<std::string>> runStatement(engine::Session& session, const std::string& sql, Output output) {
  std::optional<std::vector<std::string>> error;
  try {
    auto statement = session.prepare(sql);
    statement->execute();
    printResult(*statement, session, sql, output);
  } catch (const engine::Error& e) {
    error = engine::errorReport(sql, e);
  } catch (const std::exception& e) {
    error = std::vector<std::string>{std::string("internal error: ") + e.what()};
  }
  for (const auto& line : session.takeOutput())
    if (output != Output::Silent) std::cout << line << '\n';
  std::cout.flush();
  return error;
}

bool isExitCommand(const std::string& line) {
  std::string word = engine::leadingKeyword(line);
  return word == "EXIT" || word == "QUIT";
}

bool isUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 && c >= 0xC2 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E && c <= 0xF4 ? 3 : -1;
    if (follow < 0 || i + static_cast<std::size_t>(follow) >= text.size()) return false;
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

// The text of a script file in UTF-8. A byte order mark is dropped; a file that is not UTF-8 is
// read as Windows-1250, the code page the applications' scripts are written in.
std::string scriptText(std::string bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  if (isUtf8(bytes)) return bytes;
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw Failure{"cannot convert the script from Windows-1250"};
  std::string out;
  char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte with no character in the code page (0x81, 0x83, ...) becomes the control
      // character of the same number, as the tool reads it.
      unsigned char byte = static_cast<unsigned char>(*in);
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

struct ScriptRun {
  int failures = 0;
  std::string firstError;  // "LINE: ORA-..." of the first failure
};

// Runs the statements of a script. A prompt is shown when `interactive`; EXIT or QUIT between
// statements ends the run. With stopOnError the run ends at the first failure.
ScriptRun runScript(engine::Session& session, std::istream& in, Output output, bool interactive, bool stopOnError) {
  ScriptRun run;
  engine::ScriptSplitter splitter;
  int lineNumber = 0;       // in the script
  int statementLine = 0;    // in the statement being collected, for the prompt
  auto execute = [&](const engine::ScriptStatement& statement) {
    if (auto error = runStatement(session, statement.text, output)) {
      if (output != Output::Silent) {
        for (const auto& line : *error) std::cerr << line << '\n';
        std::cerr.flush();
      }
      // The first ORA- line names the failure.
      auto message = std::find_if(error->begin(), error->end(), [](const std::string& l) { return l.starts_with("ORA-"); });
      if (run.failures++ == 0)
        run.firstError = std::to_string(statement.line) + ": " + (message != error->end() ? *message : error->back());
    }
  };
  auto prompt = [&] {
    if (!interactive) return;
    if (splitter.collecting()) std::cout << "  " << statementLine + 1 << "  ";
    else std::cout << "SQL> ";
    std::cout.flush();
  };
  prompt();
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    statementLine = splitter.collecting() ? statementLine + 1 : 1;
    if (!splitter.collecting() && isExitCommand(line)) break;
    if (auto statement = splitter.addLine(line, lineNumber)) execute(*statement);
    if (stopOnError && run.failures > 0) return run;
    prompt();
  }
  if (interactive) std::cout << '\n';
  if (auto statement = splitter.finish()) execute(*statement);
  return run;
}

// --- Commands ---------------------------------------------------------------------------------

// The applications' schemas; each password is the user's name.
constexpr const char* applicationUsers[] = {"KADE", "ZOZURO", "NUVO_UTIL"};

std::vector<fs::path> seedScripts() {
  std::vector<fs::path> scripts;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(seedDirectory(), ec))
    if (entry.is_regular_file() && entry.path().extension() == ".sql") scripts.push_back(entry.path());
  std::sort(scripts.begin(), scripts.end(), [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  return scripts;
}

void createUsers(engine::Session& sys) {
  for (const std::string name : applicationUsers) {
    sys.execute("CREATE USER " + name + " IDENTIFIED BY " + name);
    sys.execute("GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM TO " + name);
  }
}

void runSeed(engine::Session& sys) {
  for (const fs::path& script : seedScripts()) {
    std::ifstream in(script);
    if (!in) throw Failure{"cannot read " + script.string()};
    ScriptRun run = runScript(sys, in, Output::Silent, false, true);
    if (run.failures > 0) throw Failure{script.filename().string() + ":" + run.firstError};
    sys.commit();
  }
}

int createDatabase(const std::vector<std::string>& args) {
  if (args.empty()) throw usageError("create: the database name is missing");
  engine::CreateOptions options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--banner-version" && i + 1 < args.size()) options.bannerVersion = args[++i];
    else throw usageError("create: unexpected argument \"" + args[i] + "\"");
  }
  const std::string& name = args[0];
  fs::path directory = databaseDirectory(name);
  if (engine::Database::exists(directory.string())) throw Failure{"database " + name + " already exists"};
  fs::create_directories(dataDirectory());
  try {
    auto database = engine::Database::create(directory.string(), options);
    auto sys = database->logOn("SYS", options.sysPassword, true);
    createUsers(*sys);
    runSeed(*sys);
  } catch (...) {
    // A half-made database would only stand in the way of the next attempt.
    std::error_code ec;
    if (engine::Database::exists(directory.string())) engine::Database::drop(directory.string());
    else fs::remove_all(directory, ec);
    throw;
  }
  std::cout << "Created database " << name << " in " << dataDirectory().string() << "\n";
  return exitOk;
}

int listDatabases(const std::vector<std::string>& args) {
  if (!args.empty()) throw usageError("list: unexpected argument \"" + args[0] + "\"");
  fs::path data = dataDirectory();
  if (!fs::is_directory(data)) return exitOk;
  auto names = engine::Database::list(data.string());
  std::sort(names.begin(), names.end());
  for (const auto& name : names) std::cout << name << '\n';
  return exitOk;
}

int dropDatabase(const std::vector<std::string>& args) {
  if (args.size() != 1) throw usageError("drop: give exactly one database name");
  engine::Database::drop(existingDatabase(args[0]).string());
  std::cout << "Dropped database " << args[0] << "\n";
  return exitOk;
}

struct SqlOptions {
  std::string database, user, password, file;
  bool sysdba = false, csv = false;
};

SqlOptions parseSqlOptions(const std::vector<std::string>& args) {
  SqlOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sysdba") options.sysdba = true;
    else if (args[i] == "--csv") options.csv = true;
    else if (args[i] == "-f" && i + 1 < args.size()) options.file = args[++i];
    else if (args[i].starts_with("-")) throw usageError("sql: unknown option \"" + args[i] + "\"");
    else positional.push_back(args[i]);
  }
  if (positional.size() != 2) throw usageError("sql: give the database name and USER/PASSWORD");
  auto slash = positional[1].find('/');
  if (slash == std::string::npos || slash == 0) throw usageError("sql: write the logon as USER/PASSWORD");
  options.database = positional[0];
  options.user = positional[1].substr(0, slash);
  options.password = positional[1].substr(slash + 1);
  return options;
}

int runSql(const std::vector<std::string>& args) {
  SqlOptions options = parseSqlOptions(args);
  fs::path directory = existingDatabase(options.database);
  std::istringstream file;
  if (!options.file.empty()) {
    std::ifstream stream(options.file, std::ios::binary);
    if (!stream) throw Failure{"cannot read " + options.file};
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    file.str(scriptText(bytes.str()));
  }
  auto database = engine::Database::open(directory.string());
  std::unique_ptr<engine::Session> session;
  try {
    session = database->logOn(options.user, options.password, options.sysdba);
  } catch (const engine::Error& e) {
    throw Failure{firstLine(e.message())};
  }
  engine::enableServerOutput(*session);
  const bool interactive = options.file.empty() && isatty(STDIN_FILENO);
  std::istream& in = options.file.empty() ? std::cin : file;
  // The database's jobs run while the prompt is open.
  if (interactive) database->startJobQueue();
  ScriptRun run = runScript(*session, in, options.csv ? Output::Csv : Output::Table, interactive, false);
  database->stopJobQueue();
  // Leaving commits the open transaction, as SQL*Plus does on exit.
  try {
    session->commit();
  } catch (const engine::Error& e) {
    std::cerr << firstLine(e.message()) << std::endl;
    return exitFailed;
  }
  return run.failures > 0 ? exitFailed : exitOk;
}

int dispatch(const std::vector<std::string>& args) {
  if (args.empty()) throw usageError("a command is missing");
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  const std::string& command = args[0];
  if (command == "create") return createDatabase(rest);
  if (command == "list") return listDatabases(rest);
  if (command == "drop") return dropDatabase(rest);
  if (command == "sql") return runSql(rest);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << usageText;
    return exitOk;
  }
  throw usageError("unknown command \"" + command + "\"");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return dispatch(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const Failure& failure) {
    std::cerr << "nuvo_db: " << failure.message << (failure.message.ends_with('\n') ? "" : "\n");
    return failure.status;
  } catch (const engine::Error& e) {
    std::cerr << "nuvo_db: " << firstLine(e.message()) << "\n";
  } catch (const std::exception& e) {
    std::cerr << "nuvo_db: " << e.what() << "\n";
  }
  return exitFailed;
}
