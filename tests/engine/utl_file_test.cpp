// UTL_FILE over directory objects: CR LF lines read back without their terminators, NO_DATA_FOUND at
// the end, writing and appending, drive paths under the data directory, READ/WRITE grants, and
// names that would leave the directory refused.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine_test_support.h"

using engine::test::errorCode;

namespace fs = std::filesystem;

namespace engine {
namespace {

class UtlFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = nuvo::test::makeTempDir("utl");
    CreateOptions options;
    options.durable = false;
    db_ = Database::create(data_ + "/DB", options);
    sys_ = db_->logOn("SYS", "SYS", true);
    logs_ = data_ + "/logs";
    fs::create_directories(logs_);
    std::ofstream(logs_ + "/server.log", std::ios::binary) << "first line\r\nsecond\r\n\r\nlast without end";
    sys_->execute("CREATE DIRECTORY log_dir AS '" + logs_ + "'");
  }

  // The lines of a file as GET_LINE reads them, "|"-joined, or the error's first line.
  static std::string readAll(Session& s, const std::string& dir, const std::string& file) {
    auto st = s.prepare(
        "DECLARE f UTL_FILE.FILE_TYPE; line VARCHAR2(3000); out VARCHAR2(4000); BEGIN "
        "f := UTL_FILE.FOPEN(:d, :f, 'R'); "
        "BEGIN LOOP UTL_FILE.GET_LINE(f, line, 3000); out := out || '[' || line || ']'; END LOOP; "
        "EXCEPTION WHEN NO_DATA_FOUND THEN UTL_FILE.FCLOSE(f); END; :r := out; END;");
    st->bind("d", Value(dir));
    st->bind("f", Value(file));
    st->bindOut("r", DataType::Varchar2);
    try {
      st->execute();
    } catch (const Error& e) {
      return e.message().substr(0, e.message().find('\n'));
    }
    Value r = st->bindValue("r");
    return r.isNull() ? std::string() : r.asText();
  }

  std::string data_, logs_;
  std::shared_ptr<Database> db_;
  std::unique_ptr<Session> sys_;
};

TEST_F(UtlFileTest, LinesEndingInCrLfAreReadWithoutTerminatorsUntilNoDataFound) {
  EXPECT_EQ(readAll(*sys_, "LOG_DIR", "server.log"), "[first line][second][][last without end]");
}

TEST_F(UtlFileTest, WrittenAndAppendedLinesReadBack) {
  sys_->execute(
      "DECLARE f UTL_FILE.FILE_TYPE; BEGIN "
      "f := UTL_FILE.FOPEN('LOG_DIR', 'out.txt', 'w'); UTL_FILE.PUT(f, 'a'); UTL_FILE.PUT_LINE(f, 'b'); "
      "UTL_FILE.NEW_LINE(f, 2); UTL_FILE.FFLUSH(f); UTL_FILE.FCLOSE(f); "
      "f := UTL_FILE.FOPEN('LOG_DIR', 'out.txt', 'a'); UTL_FILE.PUT_LINE(f, 'appended', TRUE); UTL_FILE.FCLOSE_ALL; END;");
  EXPECT_EQ(readAll(*sys_, "LOG_DIR", "out.txt"), "[ab][][][appended]");
  std::ifstream in(logs_ + "/out.txt", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(raw, "ab\n\n\nappended\n");
}

TEST_F(UtlFileTest, PutfFillsInItsArgumentsAndRawCallsMoveBytesAsTheyAre) {
  struct Case {
    const char* call;
    std::string written;
  } cases[] = {
      {"UTL_FILE.PUTF(f, 'job %s ended: %s\\n', 'NIGHTLY', 'ok')", "job NIGHTLY ended: ok\n"},
      // Missing arguments are empty; a lone % and a backslash not before n stay as they are.
      {"UTL_FILE.PUTF(f, '%s|%s|%s 100% \\t\\n\\n', 'a')", "a|| 100% \\t\n\n"},
      {"UTL_FILE.PUTF(f, '%s%s%s%s%s%s', '1', '2', '3', '4', '5')", "12345"},
      {"UTL_FILE.PUT_RAW(f, '000D0AFF41')", std::string("\0\r\n\xff" "A", 5)},
  };
  for (const auto& c : cases) {
    try {
      sys_->execute(std::string("DECLARE f UTL_FILE.FILE_TYPE; BEGIN f := UTL_FILE.FOPEN('LOG_DIR', 'fmt.txt', 'wb'); ") +
                    c.call + "; UTL_FILE.FCLOSE(f); END;");
    } catch (const Error& e) {
      ADD_FAILURE() << c.call << ": " << e.message();
      continue;
    }
    std::ifstream in(logs_ + "/fmt.txt", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(raw, c.written) << c.call;
  }
  // GET_RAW reads the bytes in pieces of len, line ends included, then NO_DATA_FOUND.
  auto st = sys_->prepare(
      "DECLARE f UTL_FILE.FILE_TYPE; b RAW(32767); out VARCHAR2(4000); BEGIN "
      "f := UTL_FILE.FOPEN('LOG_DIR', 'server.log', 'rb'); "
      "BEGIN LOOP UTL_FILE.GET_RAW(f, b, 16); out := out || '[' || b || ']'; END LOOP; "
      "EXCEPTION WHEN NO_DATA_FOUND THEN UTL_FILE.FCLOSE(f); END; :r := out; END;");
  st->bindOut("r", DataType::Varchar2);
  st->execute();
  EXPECT_EQ(st->bindValue("r").asText(),
            "[6669727374206C696E650D0A7365636F][6E640D0A0D0A6C61737420776974686F][757420656E64]");
}

TEST_F(UtlFileTest, ADriveLetterPathLiesUnderTheDataDirectory) {
  fs::create_directories(data_ + "/drives/c/nuvo/log");
  std::ofstream(data_ + "/drives/c/nuvo/log/x.log") << "on drive c\n";
  sys_->execute("CREATE OR REPLACE DIRECTORY win_dir AS 'C:\\nuvo\\log'");
  EXPECT_EQ(readAll(*sys_, "WIN_DIR", "x.log"), "[on drive c]");
}

TEST_F(UtlFileTest, NamesOutsideTheDirectoryAndBadOpensAreRefused) {
  fs::create_directories(data_ + "/secret");
  std::ofstream(data_ + "/secret/pw.txt") << "secret\n";
  fs::create_symlink(data_ + "/secret/pw.txt", logs_ + "/link.txt");
  struct Case {
    std::string dir, file, error;
  } cases[] = {
      {"LOG_DIR", "../secret/pw.txt", "ORA-29288: invalid file name"},
      {"LOG_DIR", "..\\secret\\pw.txt", "ORA-29288: invalid file name"},
      {"LOG_DIR", "link.txt", "ORA-29288: invalid file name"},
      {"LOG_DIR", "missing.log", "ORA-29283: invalid file operation"},
      {"NO_DIR", "server.log", "ORA-29280: invalid directory path"},
      {"log_dir", "server.log", "ORA-29280: invalid directory path"},
  };
  for (const auto& c : cases) EXPECT_EQ(readAll(*sys_, c.dir, c.file), c.error) << c.dir << " " << c.file;
}

TEST_F(UtlFileTest, TheExceptionsAreCaughtByNameAndAHandleIsCheckedAfterClose) {
  auto st = sys_->prepare(
      "DECLARE f UTL_FILE.FILE_TYPE; BEGIN :r := ''; "
      "BEGIN f := UTL_FILE.FOPEN('NO_DIR', 'a', 'r'); EXCEPTION WHEN UTL_FILE.INVALID_PATH THEN :r := :r || 'path '; END; "
      "BEGIN f := UTL_FILE.FOPEN('LOG_DIR', 'a', 'x'); EXCEPTION WHEN UTL_FILE.INVALID_MODE THEN :r := :r || 'mode '; END; "
      "BEGIN f := UTL_FILE.FOPEN('LOG_DIR', 'nope', 'r'); EXCEPTION WHEN UTL_FILE.INVALID_OPERATION THEN :r := :r || 'operation '; END; "
      "f := UTL_FILE.FOPEN('LOG_DIR', 'server.log', 'r'); "
      "IF UTL_FILE.IS_OPEN(f) THEN :r := :r || 'open '; END IF; "
      "BEGIN UTL_FILE.PUT_LINE(f, 'x'); EXCEPTION WHEN UTL_FILE.INVALID_OPERATION THEN :r := :r || 'read-only '; END; "
      "UTL_FILE.FCLOSE(f); "
      "IF NOT UTL_FILE.IS_OPEN(f) THEN :r := :r || 'closed'; END IF; END;");
  st->bindOut("r", DataType::Varchar2);
  st->execute();
  EXPECT_EQ(st->bindValue("r").asText(), "path mode operation open read-only closed");
}

TEST_F(UtlFileTest, AnotherUserNeedsReadOnTheDirectoryToReadAndWriteToWrite) {
  sys_->execute("CREATE USER reader IDENTIFIED BY r");
  sys_->execute("GRANT CREATE SESSION TO reader");
  auto reader = db_->logOn("READER", "r");
  EXPECT_EQ(readAll(*reader, "LOG_DIR", "server.log"), "ORA-29289: directory access denied");
  sys_->execute("GRANT READ ON DIRECTORY log_dir TO reader");
  EXPECT_EQ(readAll(*reader, "LOG_DIR", "server.log"), "[first line][second][][last without end]");
  EXPECT_EQ(errorCode(*reader, "DECLARE f UTL_FILE.FILE_TYPE; BEGIN f := UTL_FILE.FOPEN('LOG_DIR', 'w.txt', 'w'); END;"),
            29289);
  EXPECT_EQ(engine::test::rows(*reader, "SELECT directory_name FROM all_directories"),
            std::vector<std::string>{"LOG_DIR"});
}

}  // namespace
}  // namespace engine
