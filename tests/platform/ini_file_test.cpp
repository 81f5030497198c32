#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <csignal>
#include <optional>
#include <thread>
#include <vector>

#include "files.h"
#include "platform/error.h"

namespace nuvo {
namespace {

using test::entriesOf;
using test::newTempDir;
using test::readBytes;
using test::writeBytes;

const QByteArray kSettings =
    "; settings of the tool\r\n"
    "[PL/SQL]\r\n"
    "  CURR_DIR = C:\\Work\\ \r\n"
    "Curr_User=scott\r\n"
    "CURR_USER=second\r\n"
    "QUOTED=\"a b\"\r\n"
    "EMPTY=\r\n"
    "NOEQUALS\r\n"
    ";CURR_HIDDEN=x\r\n"
    "CURR_TOP=120\r\n"
    "CURR_BAD=12x\r\n"
    "\r\n"
    "[pl/sql]\r\n"
    "CURR_LOADER=imp80\r\n"
    "[ MONITOR ]\r\n"
    "CURR_SHRANI=ECM1\r\n";

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = newTempDir("ini");
    path_ = dir_ + "/MONITOR.INI";
  }
  IniFile fileWith(const QByteArray& bytes) {
    writeBytes(path_, bytes);
    return IniFile(path_);
  }
  QString dir_;
  QString path_;
};

struct ReadCase {
  const char* section;
  const char* key;
  const char* expected;  // with default "<default>"
};

TEST_F(IniFileTest, ReadsWithProfileSemantics) {
  const IniFile ini = fileWith(kSettings);
  const ReadCase cases[] = {
      {"PL/SQL", "CURR_DIR", "C:\\Work\\"},     // blanks around names and values dropped
      {"pl/sql", "curr_dir", "C:\\Work\\"},     // names ignore case
      {"PL/SQL", "CURR_USER", "scott"},         // first of duplicate keys
      {"PL/SQL", "QUOTED", "\"a b\""},          // value as it stands
      {"PL/SQL", "EMPTY", ""},                  // present but empty is not the default
      {"PL/SQL", "NOEQUALS", "<default>"},      // a line without "=" is no entry
      {"PL/SQL", ";CURR_HIDDEN", "<default>"},  // comment
      {"PL/SQL", "CURR_HIDDEN", "<default>"},
      {"PL/SQL", "CURR_LOADER", "<default>"},      // only the first of duplicate sections counts
      {"MONITOR", "curr_shrani", "ECM1"},          // blanks inside the brackets dropped
      {"MONITOR", "CURR_USER", "<default>"},       // keys belong to their section
      {"ALIAS", "CURR_VELMORA_DIR", "<default>"},  // missing section
  };
  for (const ReadCase& c : cases)
    EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), QString::fromUtf8(c.expected))
        << c.section << " / " << c.key;
}

TEST_F(IniFileTest, MissingFileGivesDefaults) {
  const IniFile ini(dir_ + "/NONE.INI");
  EXPECT_EQ(ini.readString("PL/SQL", "CURR_DIR", "d"), "d");
  EXPECT_EQ(ini.readInteger("PL/SQL", "CURR_TOP", 7), 7);
  EXPECT_TRUE(ini.readSections().isEmpty());
  EXPECT_FALSE(ini.sectionExists("PL/SQL"));
  EXPECT_FALSE(QFile::exists(dir_ + "/NONE.INI"));
}

TEST_F(IniFileTest, ReadsIntegersOrDefault) {
  const IniFile ini = fileWith("[A]\nN1=120\nN2= -5 \nN3=12x\nN4=\nN5=1.5\nN6=99999999999\n");
  const std::pair<const char*, int> cases[] = {{"N1", 120}, {"N2", -5}, {"N3", 42}, {"N4", 42},
                                               {"N5", 42},  {"N6", 42}, {"N7", 42}};
  for (const auto& [key, expected] : cases)
    EXPECT_EQ(ini.readInteger("a", key, 42), expected) << key;
}

TEST_F(IniFileTest, ListsSectionsAndKeysInFileOrder) {
  const IniFile ini = fileWith(kSettings);
  EXPECT_EQ(ini.readSections(), (QStringList{"PL/SQL", "MONITOR"}));
  EXPECT_EQ(ini.readSection("pl/sql"),
            (QStringList{"CURR_DIR", "Curr_User", "QUOTED", "EMPTY", "CURR_TOP", "CURR_BAD"}));
  EXPECT_TRUE(ini.readSection("NONE").isEmpty());
  EXPECT_TRUE(ini.valueExists("PL/SQL", "empty"));
  EXPECT_FALSE(ini.valueExists("PL/SQL", "NOEQUALS"));
}

struct WriteCase {
  const char* name;
  std::optional<QByteArray> before;  // nullopt: no file
  const char* section;
  const char* key;
  const char* value;
  QByteArray after;
};

TEST_F(IniFileTest, WritesKeepEverythingElse) {
  const WriteCase cases[] = {
      {"value replaced in place, spelling and spacing kept", "; c\r\n[A]\r\nKey = old \r\nB=2\r\n",
       "a", "KEY", "new", "; c\r\n[A]\r\nKey = new\r\nB=2\r\n"},
      {"new key at the end of its section, before the blank lines that close it",
       "[A]\nX=1\n\n\n[B]\nY=2\n", "A", "Z", "3", "[A]\nX=1\nZ=3\n\n\n[B]\nY=2\n"},
      {"new section at the end of the file", "[A]\r\nX=1\r\n", "PL/SQL", "CURR_DIR", "C:\\x\\",
       "[A]\r\nX=1\r\n\r\n[PL/SQL]\r\nCURR_DIR=C:\\x\\\r\n"},
      {"a file without a final line end keeps it that way", "[A]\nX=1", "A", "Y", "2",
       "[A]\nX=1\nY=2"},
      {"first of duplicate keys is the one written", "[A]\nK=1\nK=2\n", "A", "k", "9",
       "[A]\nK=9\nK=2\n"},
      {"first of duplicate sections gets the new key", "[A]\nX=1\n[a]\nY=2\n", "A", "Y", "3",
       "[A]\nX=1\nY=3\n[a]\nY=2\n"},
      {"entries before any section are not part of one", "K=1\n[A]\n", "A", "K", "2",
       "K=1\n[A]\nK=2\n"},
      {"empty value", "[A]\nK=1\n", "A", "K", "", "[A]\nK=\n"},
      {"value unchanged as given", "[A]\n", "A", "K", " \"q\" ;x", "[A]\nK= \"q\" ;x\n"},
      {"comment line that looks like the key is left alone", "[A]\n;K=1\n", "A", "K", "2",
       "[A]\n;K=1\nK=2\n"},
      {"new file is UTF-8 with CR LF", std::nullopt, "PL/SQL", "CURR_USER", "Žan",
       "[PL/SQL]\r\nCURR_USER=\xC5\xBD"
       "an\r\n"},
  };
  for (const WriteCase& c : cases) {
    QFile::remove(path_);
    if (c.before) writeBytes(path_, *c.before);
    IniFile ini(path_);
    ini.writeString(c.section, c.key, QString::fromUtf8(c.value));
    EXPECT_EQ(readBytes(path_), c.after) << c.name;
    EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), QString::fromUtf8(c.value).trimmed())
        << c.name;
  }
}

TEST_F(IniFileTest, WritesGoStraightToDiskAndReadsSeeTheFile) {
  IniFile writer(path_);
  const IniFile reader(path_);
  writer.writeString("MONITOR", "CURR_SHRANI", "ECM1");
  EXPECT_EQ(reader.readString("MONITOR", "CURR_SHRANI"), "ECM1");
  writeBytes(path_, "[MONITOR]\nCURR_SHRANI=N\n");  // changed by someone else
  EXPECT_EQ(reader.readString("MONITOR", "CURR_SHRANI"), "N");
  writer.writeInteger("MONITOR", "CURR_MIN_TOP", -12);
  EXPECT_EQ(reader.readInteger("MONITOR", "CURR_MIN_TOP", 0), -12);
  EXPECT_EQ(readBytes(path_), "[MONITOR]\nCURR_SHRANI=N\nCURR_MIN_TOP=-12\n");
}

TEST_F(IniFileTest, WritesFromSeveralThreadsAreAllKept) {
  constexpr int kThreads = 4;
  constexpr int kKeysEach = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([this, t] {
      IniFile ini(path_);
      for (int k = 0; k < kKeysEach; ++k)
        ini.writeInteger(QStringLiteral("T%1").arg(t % 2), QStringLiteral("K%1_%2").arg(t).arg(k),
                         k);
    });
  for (std::thread& thread : threads) thread.join();
  const IniFile ini(path_);
  for (int t = 0; t < kThreads; ++t)
    for (int k = 0; k < kKeysEach; ++k)
      EXPECT_EQ(ini.readInteger(QStringLiteral("T%1").arg(t % 2),
                                QStringLiteral("K%1_%2").arg(t).arg(k), -1),
                k);
}

TEST_F(IniFileTest, KeepsTheEncodingItWasReadIn) {
  struct Case {
    const char* name;
    QByteArray before;
    QByteArray after;
  };
  const Case cases[] = {
      {"Windows-1250", "[A]\r\nOLD=\x8A\x9E\r\n", "[A]\r\nOLD=\x8A\x9E\r\nNEW=\xC8\r\n"},
      {"UTF-8 with BOM", "\xEF\xBB\xBF[A]\r\nOLD=\xC5\xA0\xC5\xBE\r\n",
       "\xEF\xBB\xBF[A]\r\nOLD=\xC5\xA0\xC5\xBE\r\nNEW=\xC4\x8C\r\n"},
      {"UTF-8", "[A]\nOLD=\xC5\xA0\xC5\xBE\n", "[A]\nOLD=\xC5\xA0\xC5\xBE\nNEW=\xC4\x8C\n"},
  };
  for (const Case& c : cases) {
    IniFile ini = fileWith(c.before);
    EXPECT_EQ(ini.readString("A", "OLD"), QString::fromUtf8("Šž")) << c.name;
    ini.writeString("A", "NEW", QString::fromUtf8("Č"));
    EXPECT_EQ(readBytes(path_), c.after) << c.name;
  }
}

TEST_F(IniFileTest, RefusedWritesLeaveTheFileAsItWas) {
  const QByteArray before = "[A]\r\nOLD=\x8A\r\n";  // Windows-1250
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"A", "NEW", "\xE6\x97\xA5"},  // no place for it in Windows-1250
      {"A", "NEW", "two\nlines"},
      {"A", "NEW", "cr\rhere"},
      {"A", "K=V", "x"},
      {"A", "", "x"},
      {"A", "[K]", "x"},
      {"A]B", "K", "x"},
      {"", "K", "x"},
  };
  for (const Case& c : cases) {
    IniFile ini = fileWith(before);
    EXPECT_THROW(ini.writeString(c.section, c.key, QString::fromUtf8(c.value)), PlatformError)
        << c.section << " / " << c.key;
    EXPECT_EQ(readBytes(path_), before) << c.section << " / " << c.key;
    EXPECT_EQ(entriesOf(dir_), QStringList{"MONITOR.INI"});
  }
}

TEST_F(IniFileTest, WriteIntoMissingDirectoryReportsAnError) {
  writeBytes(dir_ + "/plain_file", "x");
  for (const QString& path : {dir_ + "/missing/MONITOR.INI", dir_ + "/plain_file/MONITOR.INI"}) {
    IniFile ini(path);
    try {
      ini.writeString("A", "K", "v");
      ADD_FAILURE() << "no error for " << path.toStdString();
    } catch (const PlatformError& error) {
      EXPECT_TRUE(error.message().contains(path)) << error.what();
    }
  }
  EXPECT_EQ(entriesOf(dir_), QStringList{"plain_file"});
}

TEST_F(IniFileTest, WriteIntoReadOnlyDirectoryLeavesNoHalfWrittenFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const QByteArray before = "[A]\nK=1\n";
  IniFile ini = fileWith(before);
  QFile::setPermissions(dir_, QFile::ReadOwner | QFile::ExeOwner);
  EXPECT_THROW(ini.writeString("A", "K", "2"), PlatformError);
  QFile::setPermissions(dir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(readBytes(path_), before);
  EXPECT_EQ(entriesOf(dir_), QStringList{"MONITOR.INI"});
}

TEST_F(IniFileTest, UnreadableFileIsNeverReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
  const QByteArray before = "[A]\nK=1\nOTHER=2\n";
  IniFile ini = fileWith(before);
  QFile::setPermissions(path_, QFile::WriteOwner);
  EXPECT_EQ(ini.readString("A", "K", "default"), "default");
  EXPECT_THROW(ini.writeString("A", "K", "2"), PlatformError);
  EXPECT_THROW(ini.eraseKey("A", "K"), PlatformError);
  QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(readBytes(path_), before);
}

// A write that runs out of room half way (here: a file size limit, which binds root too) leaves the
// old file whole and no temporary file behind.
TEST_F(IniFileTest, WriteThatFailsHalfWayLeavesTheOldFile) {
  const QByteArray before = "[A]\r\nK=1\r\n";
  IniFile ini = fileWith(before);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  EXPECT_THROW(ini.writeString("A", "K", QString(500, 'v')), PlatformError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(readBytes(path_), before);
  EXPECT_EQ(entriesOf(dir_), QStringList{"MONITOR.INI"});
}

TEST_F(IniFileTest, ErasesKeysAndSections) {
  struct Case {
    const char* name;
    bool wholeSection;
    const char* section;
    const char* key;
    QByteArray after;
  };
  const QByteArray before = "; top\r\n[A]\r\nX=1\r\nx=2\r\n\r\n[B]\r\nY=3\r\n[a]\r\nZ=4\r\n";
  const Case cases[] = {
      {"first entry of a key", false, "a", "X",
       "; top\r\n[A]\r\nx=2\r\n\r\n[B]\r\nY=3\r\n[a]\r\nZ=4\r\n"},
      {"missing key changes nothing", false, "B", "X", before},
      {"first section with its entries", true, "A", "", "; top\r\n[B]\r\nY=3\r\n[a]\r\nZ=4\r\n"},
      {"last section", true, "B", "", "; top\r\n[A]\r\nX=1\r\nx=2\r\n\r\n[a]\r\nZ=4\r\n"},
      {"missing section changes nothing", true, "C", "", before},
  };
  for (const Case& c : cases) {
    IniFile ini = fileWith(before);
    if (c.wholeSection)
      ini.eraseSection(c.section);
    else
      ini.eraseKey(c.section, c.key);
    EXPECT_EQ(readBytes(path_), c.after) << c.name;
  }
}

}  // namespace
}  // namespace nuvo
