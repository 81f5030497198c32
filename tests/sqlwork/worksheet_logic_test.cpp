#include <gtest/gtest.h>

#include "qstring_print.h"
#include "sqlwork/worksheet_logic.h"

using namespace nuvo::sqlwork;

namespace {

struct StripCase {
  const char* editor;
  const char* statement;
  int skippedLines;
  int skippedColumns;
};

TEST(WorksheetStatement, LeadingBlankAndCommentLinesAreStripped) {
  const StripCase cases[] = {
      {"select 1 from dual", "select 1 from dual", 0, 0},
      {"  \r\n\r\n  select 1 from dual", "select 1 from dual", 2, 2},
      {"-- a comment\r\n-- another\r\nupdate t set a=1", "update t set a=1", 2, 0},
      {"\r\n  -- indented comment\r\n   begin null; end;", "begin null; end;", 2, 3},
      // Only blanks and comments: nothing runs; a last comment line without CR LF leaves nothing.
      {"  \r\n-- only a comment", "", 1, 0},
      {"--\r\n", "", 1, 0},
      // A comment line ended by a lone line feed still lets the statement after it run.
      {"-- generated call\nbegin p(1); end;", "begin p(1); end;", 1, 0},
      // Tabs, lone line feeds and block comments are not skipped.
      {"\tselect 1 from dual", "\tselect 1 from dual", 0, 0},
      {"\nselect 1 from dual", "\nselect 1 from dual", 0, 0},
      {"/* c */ select 1 from dual", "/* c */ select 1 from dual", 0, 0},
  };
  for (const StripCase& c : cases) {
    const StrippedStatement s = stripLeadingComments(QString::fromUtf8(c.editor));
    EXPECT_EQ(s.text, QString::fromUtf8(c.statement)) << c.editor;
    EXPECT_EQ(s.skippedLines, c.skippedLines) << c.editor;
    EXPECT_EQ(s.skippedColumns, c.skippedColumns) << c.editor;
  }
}

TEST(WorksheetStatement, ServerErrorPlaceMapsBackToTheEditorLine) {
  const StrippedStatement s = stripLeadingComments("-- header\r\n\r\n   select x\r\n  from nothere");
  // Line 1 of the statement is editor line 3, three blanks further right; later lines only move down.
  EXPECT_EQ(editorErrorPlace(s, 1, 8), (ErrorPlace{3, 11}));
  EXPECT_EQ(editorErrorPlace(s, 2, 8), (ErrorPlace{4, 8}));
  EXPECT_EQ(editorErrorPlace(s, 0, 0), (ErrorPlace{0, 0}));
}

TEST(WorksheetStatement, ClassificationDecidesGridOrOutput) {
  struct Case {
    const char* text;
    bool query, desc, dml;
  };
  const Case cases[] = {
      {"SELECT * FROM t", true, false, false}, {"select 1 from dual", true, false, false},
      {"desc kade.t", true, true, false},      {"WITH a AS (select 1 from dual) select * from a", false, false, false},
      {"update t set a=1", false, false, true}, {"Insert into t values (1)", false, false, true},
      {"delete t", false, false, true},         {"begin null; end;", false, false, false},
  };
  for (const Case& c : cases) {
    const StatementKind k = classifyStatement(QString::fromUtf8(c.text));
    EXPECT_EQ(k.query(), c.query) << c.text;
    EXPECT_EQ(k.desc, c.desc) << c.text;
    EXPECT_EQ(k.dml(), c.dml) << c.text;
  }
}

TEST(WorksheetStatement, DescNamesTheTableAndOwner) {
  struct Case {
    const char* text;
    const char* owner;
    const char* table;
    bool byOwner;
  };
  const Case cases[] = {
      {"DESC kade.artikli", "KADE", "ARTIKLI", true},
      {"desc   artikli", "", "ARTIKLI", false},
      {"desc artikli\r\nmore text", "", "ARTIKLI", false},
      // The name starts at the sixth character: DESCRIBE keeps its old reading.
      {"DESCRIBE EMP", "", "IBE EMP", false},
  };
  for (const Case& c : cases) {
    const DescQuery q = buildDescQuery(QString::fromUtf8(c.text));
    EXPECT_EQ(q.owner, QString::fromUtf8(c.owner)) << c.text;
    EXPECT_EQ(q.table, QString::fromUtf8(c.table)) << c.text;
    EXPECT_EQ(q.sql.last().contains(":owner"), c.byOwner) << c.text;
    EXPECT_EQ(q.sql.last().contains("owner=user"), !c.byOwner) << c.text;
  }
}

TEST(WorksheetErrorPane, MarkerUnderTheTokenAtTheErrorPosition) {
  const QStringList editor = {"select *", "  from kade.nothere, dual", "where 1=1"};
  const QStringList pane = formatErrorPane(editor, 2, 8, "ORA-00942: table or view does not exist");
  const QStringList expected = {"select *",
                                "  from kade.nothere, dual",
                                "       ************",
                                "where 1=1",
                                "",
                                "",
                                "ORA-00942: table or view does not exist"};
  EXPECT_EQ(pane, expected);
}

TEST(WorksheetErrorPane, MarkerLengthCases) {
  struct Case {
    const char* line;
    int position;
    const char* marker;
  };
  const Case cases[] = {
      {"x abc(d)", 3, "  ***"},
      {"x abc", 3, "  ***"},  // token to the end of the line
      {"abcdefghijklmnopqrstuvwxyz", 1, "*******************"},  // at most 19
      {"abc", 4, "   "},  // at the end of the line: no asterisks
      {"abc", 9, "        "},
  };
  for (const Case& c : cases) {
    const QStringList pane = formatErrorPane({QString::fromUtf8(c.line)}, 1, c.position, "m");
    ASSERT_GE(pane.size(), 2) << c.line;
    EXPECT_EQ(pane[1], QString::fromUtf8(c.marker)) << c.line << " at " << c.position;
  }
}

TEST(WorksheetErrorPane, WithoutPlaceOnlyTheMessageInPieces) {
  EXPECT_EQ(formatErrorPane({"select"}, 0, 0, "ORA-01013: user requested cancel of current operation"),
            (QStringList{"", "ORA-01013: user requested cancel of current operation"}));
  EXPECT_EQ(formatErrorPane({"x"}, 0, 0, "first\nsecond\nlast"), (QStringList{"first", "second", "", "last"}));
  EXPECT_EQ(formatErrorPane({"x"}, 0, 0, "first\n"), (QStringList{"first", ""}));
}

TEST(WorksheetElapsed, HoursAndMinutesOnlyWhenNeeded) {
  struct Case {
    qint64 ms;
    bool withMs;
    const char* text;
  };
  const Case cases[] = {
      {5007, true, "05:07"},   {5007, false, "05"},        {123, true, "00:123"},
      {62000, false, "01:02"}, {3723045, true, "01:02:03:45"}, {3600000, false, "01:00:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatElapsed(c.ms, c.withMs), QString::fromUtf8(c.text)) << c.ms;
}

TEST(WorksheetCompileErrors, OnlyTheFirstObjectIsListed) {
  const QList<CompileError> rows = {{"P_A", 3, 5, "PLS-00201: identifier 'X' must be declared"},
                                    {"P_A", 7, 1, "PL/SQL: Statement ignored"},
                                    {"P_B", 1, 1, "other object"}};
  EXPECT_EQ(compileErrorLines(rows), (QStringList{"3/5", "PLS-00201: identifier 'X' must be declared", "7/1",
                                                  "PL/SQL: Statement ignored"}));
  EXPECT_TRUE(compileErrorLines({}).isEmpty());
}

TEST(WorksheetSettings, ErrorQueryVersionAndCharset) {
  for (const char* v : {"7", "1", ""}) EXPECT_TRUE(isVersion7Query(v)) << v;
  for (const char* v : {"8", "9", "10", "19"}) EXPECT_FALSE(isVersion7Query(v)) << v;
  EXPECT_EQ(outputCharset(true, "RUSSIAN"), 204);
  EXPECT_EQ(outputCharset(true, "EUROPEAN"), 238);
  EXPECT_EQ(outputCharset(true, "OEM"), 255);
  EXPECT_EQ(outputCharset(true, "EASTEUROPE"), 238);
  EXPECT_EQ(outputCharset(false, "RUSSIAN"), 238);
}

// ---------------------------------------------------------------------------------------------

TEST(WorksheetRing, RecordsOnceAndWalksAroundTheEnd) {
  HistoryRing ring;
  EXPECT_FALSE(ring.previous());
  ring.record("a");
  ring.record("b");
  ring.record("b");  // the same statement again is not recorded twice
  ring.record("c");
  EXPECT_EQ(ring.last(), 3);
  EXPECT_EQ(ring.previous(), QString("b"));
  EXPECT_EQ(ring.previous(), QString("a"));
  // Before slot 1 is slot 100, empty here: nothing moves.
  EXPECT_FALSE(ring.previous());
  EXPECT_EQ(ring.shown(), 1);
  EXPECT_EQ(ring.next(), QString("b"));
  for (int i = 0; i < 100; ++i) ring.record(QString::number(i));
  EXPECT_EQ(ring.last(), 3);  // wrapped: 103 records end in slot 3
  EXPECT_EQ(ring.slot(3), QString("99"));
  EXPECT_EQ(ring.next(), QString("0"));  // from slot 3 to slot 4, the oldest
}

QList<HistoryRow> fullRing() {
  QList<HistoryRow> rows;
  for (int slot = 1; slot <= 100; ++slot) rows << HistoryRow{slot, QStringLiteral("entry %1").arg(slot)};
  return rows;
}

TEST(WorksheetRing, FullTableLoadsNewestIntoSlot100) {
  HistoryRing ring;
  loadHistoryRows(ring, 37, fullRing());
  EXPECT_EQ(ring.slot(100), QString("entry 37"));
  EXPECT_EQ(ring.slot(63), QString("entry 100"));
  EXPECT_EQ(ring.slot(1), QString("entry 38"));
  EXPECT_EQ(ring.previous(), QString("entry 37"));
  HistoryRing again;
  loadHistoryRows(again, 37, fullRing());
  EXPECT_EQ(again.next(), QString("entry 38"));
}

TEST(WorksheetRing, PartialAndGappedTablesLoadWithoutGaps) {
  QList<HistoryRow> rows;
  for (int slot = 1; slot <= 100; ++slot) rows << HistoryRow{slot, slot <= 3 ? QStringLiteral("s%1").arg(slot) : ""};
  HistoryRing ring;
  loadHistoryRows(ring, 3, rows);
  EXPECT_EQ(ring.slot(100), QString("s3"));
  EXPECT_EQ(ring.slot(98), QString("s1"));
  EXPECT_EQ(ring.slot(97), QString());
  // A wrapped ring whose pointer went back from 1 to 100 after a delete, and one with a hole.
  QList<HistoryRow> gapped = fullRing();
  gapped[36].text.clear();  // slot 37 deleted, pointer 36
  HistoryRing ring2;
  loadHistoryRows(ring2, 36, gapped);
  EXPECT_EQ(ring2.slot(100), QString("entry 36"));
  EXPECT_EQ(ring2.slot(64), QString("entry 100"));
  EXPECT_EQ(ring2.slot(2), QString("entry 38"));
  EXPECT_EQ(ring2.slot(1), QString());
}

TEST(WorksheetRing, PointerTextsAndRepair) {
  EXPECT_EQ(historyPointer(""), 0);
  EXPECT_EQ(historyPointer("0"), 0);
  EXPECT_EQ(historyPointer("37"), 37);
  EXPECT_EQ(historyPointer("100"), 100);
  EXPECT_EQ(historyPointer("12 "), 12);
  EXPECT_EQ(historyPointer("1000"), 100);  // only the first three characters count
  // Not a number or outside the ring: repaired, never used as a slot.
  for (const char* bad : {"x", "150", "-1", "1x"}) EXPECT_FALSE(historyPointer(bad)) << bad;
  QList<HistoryRow> rows = {{1, "a"}, {2, "b"}, {3, ""}, {4, ""}};
  EXPECT_EQ(repairedHistoryPointer(rows), 2);
  EXPECT_EQ(repairedHistoryPointer({{1, ""}}), 0);
  EXPECT_FALSE(repairedHistoryPointer(fullRing()));
}

TEST(WorksheetRing, ListTextShowsTheFirstLine) {
  EXPECT_EQ(historyListText("select 1 from dual"), QString("select 1 from dual"));
  EXPECT_EQ(historyListText("select *\r\nfrom t"), QString("select *  ..."));
}

// ---------------------------------------------------------------------------------------------

TEST(WorksheetBuilders, CallBlockOfAFunctionWithInAndOut) {
  const QList<CallArgument> args = {{"", "number", "OUT", ""},
                                    {"P_NAME", "varchar2", "IN", "abc"},
                                    {"P_COUNT", "number", "OUT", ""}};
  EXPECT_EQ(callBlock("kade.f_count", args, true, "\n"),
            QString("-- kade.f_count\n"
                    "DECLARE \n"
                    "  P_COUNT number :=0;\n"
                    "begin \n"
                    "  dbms_output.put_line( to_char(kade.f_count(\n"
                    "        P_NAME=> 'abc',\n"
                    "        P_COUNT=> P_COUNT  )));\n"
                    "end;"));
}

TEST(WorksheetBuilders, CallBlockValueForms) {
  const QList<CallArgument> args = {{"D", "date", "IN", "1.1.2020"},
                                    {"N", "number", "IN", ""},
                                    {"V", "varchar2", "IN OUT", "x"},
                                    {"C", "char", "OUT", "y"}};
  EXPECT_EQ(callBlock("kade.p", args, true, "\n"),
            QString("-- kade.p\nDECLARE \n  V VARCHAR2(200):='x' ;\n  C char :='y';\nbegin \n  kade.p(\n"
                    "        D=> to_date('1.1.2020','DD.MM.YYYY'),\n        N=> NULL,\n        V=> V,\n        C=> C);\n"
                    "end;"));
  EXPECT_EQ(callBlock("kade.p0", {}, false, "\n"), QString("-- kade.p0\nbegin \n  kade.p0();\nend;"));
  // A function returning text is printed without to_char.
  EXPECT_EQ(callBlock("kade.pck.name", {{"", "varchar2", "OUT", ""}}, true, "\n"),
            QString("-- kade.pck.name\nbegin \n  dbms_output.put_line( kade.pck.name(  ));\nend;"));
}

TEST(WorksheetBuilders, SelectStatementFiltersAndLiveForm) {
  const QList<SelectColumn> columns = {{true, "SIFRA", "NUMBER", ">5"},
                                       {false, "NAZIV", "VARCHAR2", "AB%"},
                                       {true, "DATUM", "DATE", "1.1.2020"},
                                       {false, "KOLICINA", "NUMBER", "3"}};
  EXPECT_EQ(selectStatement("KADE", "ARTIKLI", columns, false),
            QString("select sifra,datum\n from KADE.ARTIKLI\nwhere SIFRA>5 and NAZIV like 'AB%' and "
                    "to_char(DATUM,'DD.MM.YYYY')='1.1.2020' and KOLICINA=3"));
  EXPECT_EQ(selectStatement("KADE", "ARTIKLI", {{false, "A", "NUMBER", ""}}, true),
            QString("select xxx.*,rowid\n from KADE.ARTIKLI xxx"));
  EXPECT_EQ(selectStatement("KADE", "ARTIKLI", {{true, "A", "NUMBER", ""}}, true),
            QString("select xxx.a,rowid\n from KADE.ARTIKLI xxx"));
  EXPECT_EQ(selectStatement("KADE", "T", {}, false), QString("select *\n from KADE.T"));
}

TEST(WorksheetBuilders, SelectColumnLinesStayWithin90Characters) {
  QList<SelectColumn> columns;
  for (int i = 0; i < 40; ++i) columns << SelectColumn{true, QStringLiteral("COLUMN_NUMBER_%1").arg(i, 2, 10, QChar('0')), "NUMBER", ""};
  const QString text = selectStatement("KADE", "T", columns, false);
  const QStringList lines = text.split('\n');
  ASSERT_GT(lines.size(), 3);
  for (const QString& line : lines) EXPECT_LE(line.size(), 90 + 7) << line.toStdString();  // "select " before the first
  EXPECT_EQ(text.count("column_number_"), 40);
}

TEST(WorksheetBuilders, ProgramStringLiteralToLines) {
  EXPECT_FALSE(convertDelphiString("'select 1 from dual'"));
  EXPECT_EQ(convertDelphiString("'select *'#$D#$A'from t'"), (QStringList{"select *", "from t"}));
  EXPECT_EQ(convertDelphiString("'a'#$A'b'#$D#$A'c' "), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(convertDelphiString("'a'#$D#$A#$D#$A'c'"), (QStringList{"a", "", "c"}));
  EXPECT_EQ(convertDelphiString("#$D#$A'c'"), (QStringList{"", "c"}));  // a piece shorter than two characters
}

TEST(WorksheetBuilders, GridAsText) {
  EXPECT_EQ(gridAsText({"A", "B", "C"}, {{"1", "x", ""}, {"2", "y", "z"}}, ";"),
            (QStringList{">>>", "A   B   C   ", QString(80, '-'), "1;x;", "2;y;z"}));
}

// ---------------------------------------------------------------------------------------------

TEST(WorksheetExplain, EachExplainHasItsOwnStatementIdWithinThePlanTableWidth) {
  // Two worksheets on one session (same SID) and two sessions with the same count never share an id.
  EXPECT_NE(explainStatementId(41, 1), explainStatementId(41, 2));
  EXPECT_NE(explainStatementId(41, 1), explainStatementId(4, 11));
  EXPECT_NE(explainStatementId(41, 1), explainStatementId(42, 1));
  EXPECT_EQ(explainStatementId(-1, 3), "WSX_3");  // SID unknown
  EXPECT_LE(explainStatementId(2147483647, 2147483647).size(), 30);  // STATEMENT_ID is VARCHAR2(30)
}

TEST(WorksheetExplain, StatementIsOneLineOfTheEditorLines) {
  EXPECT_EQ(explainStatement("WS7_1", {"select *", "  from t"}),
            "EXPLAIN PLAN SET STATEMENT_ID = 'WS7_1' INTO NUVO_UTIL.NUVO_PLAN_TABLE FOR  select *   from t");
}

// ---------------------------------------------------------------------------------------------

TEST(WorksheetMacros, ShortPressTypesHoldingInsertsTheMacroOnce) {
  MacroKeys keys("§", {"select * from "});
  QString out;
  EXPECT_TRUE(keys.keyPress(QChar(u'§'), 0, out));
  keys.keyRelease(out);
  EXPECT_EQ(out, QString("§"));

  out.clear();
  keys.keyPress(QChar(u'§'), 1000, out);
  keys.keyPress(QChar(u'§'), 1200, out);  // repeat too early
  EXPECT_EQ(out, QString());
  keys.keyPress(QChar(u'§'), 1300, out);
  keys.keyPress(QChar(u'§'), 1400, out);
  keys.keyPress(QChar(u'§'), 5000, out);
  keys.keyRelease(out);
  EXPECT_EQ(out, QString("select * from "));
}

TEST(WorksheetMacros, OtherKeysBeforeReleaseKeepTheOrder) {
  MacroKeys keys("§$", {"M1", "M2"});
  QString out;
  keys.keyPress(QChar(u'§'), 0, out);
  EXPECT_FALSE(keys.keyPress(QChar(u'a'), 10, out));  // typed by the editor after the pending key
  EXPECT_EQ(out, QString("§"));
  keys.keyRelease(out);
  EXPECT_EQ(out, QString("§"));

  out.clear();
  keys.keyPress(QChar(u'§'), 0, out);
  keys.keyPress(QChar(u'$'), 10, out);  // another macro key: the first is typed
  EXPECT_EQ(out, QString("§"));
  keys.keyPress(QChar(u'$'), 20, out);  // its first repeat expands it
  keys.keyRelease(out);
  EXPECT_EQ(out, QString("§M2"));
}

}  // namespace

namespace {

TEST(WorksheetQbe, TypedValuesBecomeBoundConditions) {
  const QbeQuery q = qbeQuery("select * from kade.t;", {{"ID", ">=5"},
                                                        {"NAME", "AB%"},
                                                        {"CITY", ""},
                                                        {"NOTE", "null"},
                                                        {"CODE", "<> x "},
                                                        {"KIND", "A"}});
  EXPECT_EQ(q.sql, QString("select * from (\nselect * from kade.t\n) where \"ID\">=:qbe1 and \"NAME\" like :qbe2 and "
                           "\"NOTE\" is null and \"CODE\"<>:qbe3 and \"KIND\"=:qbe4"));
  EXPECT_EQ(q.values, (QStringList{"5", "AB%", "x", "A"}));
  // Nothing typed: the query as it was.
  EXPECT_EQ(qbeQuery("select 1 from dual", {{"1", " "}}).sql, QString("select 1 from dual"));
}

}  // namespace
