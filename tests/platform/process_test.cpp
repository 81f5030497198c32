#include "platform/process.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include "files.h"
#include "platform/error.h"

namespace nuvo {
namespace {

using test::newTempDir;
using test::readBytes;
using test::writeBytes;

TEST(ProcessTest, SplitsCommandLinesLikeAShell) {
  const std::pair<const char*, QStringList> cases[] = {
      {"imp80 kade/x@db file=a.dmp", {"imp80", "kade/x@db", "file=a.dmp"}},
      {"  spaced   out  ", {"spaced", "out"}},
      {"C:\\ORANT\\BIN\\IMP80.EXE a\\b", {"C:\\ORANT\\BIN\\IMP80.EXE", "a\\b"}},
      {"sh -c 'exit 3'", {"sh", "-c", "exit 3"}},
      {"\"C:\\Program Files\\x.exe\" \"two words\"", {"C:\\Program Files\\x.exe", "two words"}},
      {"a\"b c\"d 'it\"s'", {"ab cd", "it\"s"}},
      {"empty '' \"\" args", {"empty", "", "", "args"}},
      {"open 'to the end", {"open", "to the end"}},
      {"tab\tseparated", {"tab", "separated"}},
      {"", {}},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(splitCommandLine(line), expected) << line;
}

TEST(ProcessTest, ReturnsTheExitCode) {
  const std::pair<const char*, int> cases[] = {
      {"sh -c 'exit 0'", 0},
      {"sh -c 'exit 7'", 7},
      {"/bin/sh -c \"exit 255\"", 255},
      {"sh -c 'test \"$1\" = \"a b\"' sh 'a b'", 0},  // quoted arguments arrive whole
      {"timeout 10 cat", 0},  // standard input is empty: cat ends at once instead of waiting
      {"sh -c 'kill -SEGV $$'", 128 + 11},  // a crash is a failure, never 0
      {"sh -c 'kill -KILL $$'", 128 + 9},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(RunProcessAndWait(line), expected) << line;
}

TEST(ProcessTest, AProgramThatCannotStartThrowsTheDescribedMessage) {
  const QString dir = newTempDir("nostart");
  writeBytes(dir + "/not_executable.sh", "exit 0\n");
  for (const QString& line :
       {QStringLiteral("/no/such/program -x"), QStringLiteral("no_such_program_nuvo"),
        dir + "/not_executable.sh", QString(), QStringLiteral("   ")}) {
    try {
      RunProcessAndWait(line);
      ADD_FAILURE() << "started: " << line.toStdString();
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.message(), QString::fromUtf8("Ne morem štartati procesa. \r\n\r\n") + line);
    }
  }
}

TEST(ProcessTest, EventsKeepFlowingWhileWaiting) {
  const QString dir = newTempDir("events");
  const QString marker = dir + "/marker";
  // The process waits for a marker that only a timer of this program writes, so it ends with 0 only
  // when events are processed during the wait; it gives up with 1 after a while instead of hanging.
  bool timerRan = false;
  QTimer::singleShot(0, [&] {
    timerRan = true;
    writeBytes(marker, "x");
  });
  const int code = RunProcessAndWait(
      "sh -c 'i=0; while [ ! -e \"$0\" ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done; "
      "[ -e \"$0\" ]' " +
      marker);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(timerRan);
}

TEST(ProcessTest, AProgramNamedWithAPathGoesThroughTheResolver) {
  const QString dir = newTempDir("resolver");
  const QString script = dir + "/Load.sh";
  writeBytes(script, "#!/bin/sh\necho \"$1\" > \"$2\"\nexit 5\n");
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QString windowsStyle = dir + "/LOAD.SH";
  windowsStyle.replace('/', '\\');
  EXPECT_EQ(RunProcessAndWait(windowsStyle + " hello " + dir + "/out.txt"), 5);
  EXPECT_EQ(readBytes(dir + "/out.txt"), "hello\n");
}

}  // namespace
}  // namespace nuvo
