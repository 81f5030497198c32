// A table's content and references read from a seeded database: keys with several columns, a table
// with more constraints than 51, cycles of references, names in lower case and with blanks.

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

#include "qstring_print.h"
#include "schema/tabConte.h"
#include "schema/tableRef.h"
#include "schema/table_content_logic.h"
#include "schema/table_dictionary.h"
#include "shell/Main.h"
#include "shell_test_support.h"

namespace {

using nuvo::schema::ForeignKeyRef;
using nuvo::schema::ReferenceNode;

// The tree as lines, each indented by two blanks per level.
void flatten(const QList<ReferenceNode>& nodes, int depth, QStringList& lines) {
  for (const ReferenceNode& node : nodes) {
    lines << QString(depth * 2, u' ') + nuvo::schema::referenceNodeText(node);
    flatten(node.children, depth + 1, lines);
  }
}
QStringList lines(const QList<ReferenceNode>& nodes) {
  QStringList out;
  flatten(nodes, 0, out);
  return out;
}
QStringList lines(const QTreeWidgetItem* parent, int depth = 0) {
  QStringList out;
  for (int i = 0; i < parent->childCount(); ++i) {
    out << QString(depth * 2, u' ') + parent->child(i)->text(0);
    out << lines(parent->child(i), depth + 1);
  }
  return out;
}

TEST(GatherColumns, ConsecutiveRowsOfOneNameFormOneList) {
  using Rows = QList<std::pair<QString, QString>>;
  const struct {
    Rows rows;
    QStringList expected;  // name=columns
  } cases[] = {
      {{}, {}},
      {{{"PK", "A"}}, {"PK=A"}},
      {{{"FK", "A1"}, {"FK", "A2"}, {"PK", "ID"}, {"UK", "X"}, {"UK", "Y"}, {"UK", "Z"}}, {"FK=A1,A2", "PK=ID", "UK=X,Y,Z"}},
  };
  for (const auto& c : cases) {
    QStringList got;
    for (const auto& list : nuvo::schema::gatherColumns(c.rows)) got << list.name + u'=' + list.columns.join(u',');
    EXPECT_EQ(got, c.expected);
  }
}

// A dictionary of foreign keys by table; each key references the primary key "<TABLE>_PK" (ID).
struct FakeKeys {
  QMap<QString, QList<std::pair<QString, QString>>> refs;  // "O.T" -> (owner, table) referenced
  int reads = 0;
  QList<ForeignKeyRef> operator()(const QString& owner, const QString& table) {
    ++reads;
    QList<ForeignKeyRef> keys;
    for (const auto& [o, t] : refs.value(owner + u'.' + table))
      keys.append({table + u'_' + t + QStringLiteral("_FK"), o, t + QStringLiteral("_PK"), t, {"ID"}});
    return keys;
  }
};

TEST(ReferenceTree, FollowsEveryLevelAndStopsAtATableAlreadyShown) {
  const struct {
    const char* what;
    QMap<QString, QList<std::pair<QString, QString>>> refs;
    QStringList expected;
  } cases[] = {
      {"cycle of three",
       {{"O.A", {{"O", "B"}}}, {"O.B", {{"O", "C"}}}, {"O.C", {{"O", "A"}}}},
       {"  B_PK   B (O)  ID", "    C_PK   C (O)  ID", "    * A_PK   A (O)  ID"}},
      {"self reference", {{"O.A", {{"O", "A"}}}}, {"* A_PK   A (O)  ID"}},
      // A table named like one shown already, in another schema, is a table of its own.
      {"same name, other owner",
       {{"O.A", {{"P", "A"}}}, {"P.A", {{"P", "B"}}}},
       {"  A_PK   A (P)  ID", "    B_PK   B (P)  ID"}},
      // The second way to D is marked, the first expanded; both keys of one level are listed first.
      {"two ways to one table",
       {{"O.A", {{"O", "B"}, {"O", "C"}}}, {"O.B", {{"O", "D"}}}, {"O.C", {{"O", "D"}, {"O", "B"}}},
        {"O.D", {{"O", "E"}}}},
       {"  B_PK   B (O)  ID", "    D_PK   D (O)  ID", "      E_PK   E (O)  ID", "  C_PK   C (O)  ID",
        "  * D_PK   D (O)  ID", "  * B_PK   B (O)  ID"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeKeys keys{c.refs};
    EXPECT_EQ(lines(nuvo::schema::referenceTree("O", "A", std::ref(keys))), c.expected);
  }
}

TEST(ReferenceTree, AKeyWhoseTableCannotBeReadIsShownButNotFollowed) {
  int reads = 0;
  const auto tree = nuvo::schema::referenceTree("O", "A", [&reads](const QString&, const QString&) {
    ++reads;
    return QList<ForeignKeyRef>{{"A_FK", "X", "HIDDEN_PK", "", {}}};
  });
  EXPECT_EQ(lines(tree), QStringList{"  HIDDEN_PK    (X)  "});
  EXPECT_EQ(reads, 1);
}

class TableContent : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    QStringList wide{"CREATE TABLE con.wide (id NUMBER CONSTRAINT wide_pk PRIMARY KEY"};
    for (int i = 1; i <= 60; ++i) wide[0] += QString(", c%1 NUMBER NOT NULL").arg(i, 2, 10, QChar(u'0'));
    wide[0] += u')';
    sys(QStringList{
            "CREATE USER con IDENTIFIED BY con", "GRANT CREATE SESSION TO con", "CREATE USER con2 IDENTIFIED BY con2",
            // The parent's key columns in another order than the table's columns.
            "CREATE TABLE con.parent (k2 NUMBER, k1 NUMBER, name VARCHAR2(10), CONSTRAINT parent_pk PRIMARY KEY (k1, k2))",
            "CREATE TABLE con.child (id NUMBER CONSTRAINT child_pk PRIMARY KEY, a1 NUMBER, a2 NUMBER, "
            "code VARCHAR2(5) CONSTRAINT child_code_uk UNIQUE, CONSTRAINT child_fk FOREIGN KEY (a1, a2) "
            "REFERENCES con.parent (k1, k2) ON DELETE CASCADE, CONSTRAINT child_ck CHECK (id > 0))",
            "CREATE INDEX con.child_a_ix ON con.child (a2, a1)",
            "CREATE OR REPLACE TRIGGER con.child_trg BEFORE INSERT ON con.child FOR EACH ROW BEGIN NULL; END;",
            "CREATE TABLE con.grand (id NUMBER, child_id NUMBER CONSTRAINT grand_child_fk REFERENCES con.child)",
            "CREATE TABLE con.c1 (id NUMBER CONSTRAINT c1_pk PRIMARY KEY, c3 NUMBER)",
            "CREATE TABLE con.c2 (id NUMBER CONSTRAINT c2_pk PRIMARY KEY, c1 NUMBER CONSTRAINT c2_c1_fk REFERENCES con.c1)",
            "CREATE TABLE con.c3 (id NUMBER CONSTRAINT c3_pk PRIMARY KEY, c2 NUMBER CONSTRAINT c3_c2_fk REFERENCES con.c2)",
            "ALTER TABLE con.c1 ADD CONSTRAINT c1_c3_fk FOREIGN KEY (c3) REFERENCES con.c3",
            "CREATE TABLE con.tree (id NUMBER CONSTRAINT tree_pk PRIMARY KEY, up NUMBER CONSTRAINT tree_up_fk "
            "REFERENCES con.tree)",
            "CREATE TABLE con.empty (x NUMBER)",
            // A table of another schema named like one of CON's.
            "CREATE TABLE con2.c1 (id NUMBER CONSTRAINT c1_pk PRIMARY KEY)",
            "CREATE TABLE con2.dup (id NUMBER CONSTRAINT dup_pk PRIMARY KEY, c1 NUMBER CONSTRAINT dup_c1_fk "
            "REFERENCES con2.c1)",
            "GRANT REFERENCES ON con2.dup TO con",
            "CREATE TABLE con.\"Line item\" (\"Id\" NUMBER CONSTRAINT \"li pk\" PRIMARY KEY, "
            "\"c1 id\" NUMBER CONSTRAINT \"li->c1\" REFERENCES con.c1, "
            "\"dup\" NUMBER CONSTRAINT \"li->dup\" REFERENCES con2.dup)",
            "CREATE INDEX con.\"li c1\" ON con.\"Line item\" (\"c1 id\")",
        } +
        wide);
    main_ = std::make_unique<TfmMain>();
    main_->osOracle.logOn("SYSTEM", "SYSTEM", "DEMO");
    messages_ = std::make_unique<nuvo::test::ScriptedMessages>();
  }
  void TearDown() override {
    messages_.reset();
    main_.reset();
    DatabaseFixture::TearDown();
  }
  // "title: item | item" per category.
  static QStringList categories(const QTreeWidget& tree) {
    QStringList out;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
      const QTreeWidgetItem* category = tree.topLevelItem(i);
      out << category->text(0) + u':' + lines(category).join(QStringLiteral(" | "));
    }
    return out;
  }
  std::unique_ptr<TfmMain> main_;
  std::unique_ptr<nuvo::test::ScriptedMessages> messages_;
};

TEST_F(TableContent, EveryCategoryWithItsColumnsInKeyOrder) {
  TfmTableContent w(main_.get());
  w.cUpor = "CON";
  w.cTabela = "CHILD";
  ASSERT_TRUE(w.FormActivate());
  const QStringList expected{
      "primary key :CON.CHILD_PK    (ID)",
      "indices:CON.CHILD_A_IX    (A2,A1) | CON.CHILD_CODE_UK    (CODE)   UNIQUE | CON.CHILD_PK    (ID)   UNIQUE",
      "referential constraint:CON.CHILD_FK      (A1,A2)   PARENT_PK  (CASCADE)",
      "unique constraints:CON.CHILD_CODE_UK  (CODE)",
      "check constraint:CON.CHILD_CK        id > 0",
      "triggers:CON.CHILD_TRG",
  };
  EXPECT_EQ(categories(*w.TvTable), expected);
  // A second activation shows each row once.
  ASSERT_TRUE(w.FormActivate());
  EXPECT_EQ(categories(*w.TvTable), expected);

  w.cTabela = "PARENT";
  ASSERT_TRUE(w.FormActivate());
  EXPECT_EQ(categories(*w.TvTable)[0], "primary key :CON.PARENT_PK    (K1,K2)");
  w.cTabela = "EMPTY";
  ASSERT_TRUE(w.FormActivate());
  EXPECT_EQ(categories(*w.TvTable), (QStringList{"primary key :", "indices:", "referential constraint:",
                                                 "unique constraints:", "check constraint:", "triggers:"}));
}

TEST_F(TableContent, ATableWithMoreThanFiftyOneConstraintsShowsThemAll) {
  const auto content = nuvo::schema::readTableContent(main_->osOracle, "CON", "WIDE");
  ASSERT_EQ(content.size(), 6);
  EXPECT_EQ(content[0].items, QStringList{"CON.WIDE_PK    (ID)"});
  // Every NOT NULL column is a check constraint of its own.
  ASSERT_EQ(content[4].items.size(), 60);
  for (int i = 1; i <= 60; ++i)
    EXPECT_TRUE(content[4].items.filter(QString("\"C%1\" IS NOT NULL").arg(i, 2, 10, QChar(u'0'))).size() == 1) << i;
  const auto constraints = nuvo::schema::readConstraints(main_->osOracle, "CON", "WIDE");
  ASSERT_EQ(constraints.size(), 61);
  for (const auto& c : constraints) EXPECT_EQ(c.columns.size(), 1) << c.name.toStdString();
}

TEST_F(TableContent, NamesInLowerCaseAndWithBlanksAreReadAsTheyAre) {
  TfmTableContent w(main_.get());
  w.cUpor = "CON";
  w.cTabela = "Line item";
  ASSERT_TRUE(w.FormActivate());
  const QStringList got = categories(*w.TvTable);
  EXPECT_EQ(got[0], "primary key :CON.li pk    (Id)");
  EXPECT_EQ(got[1], "indices:CON.li c1    (c1 id) | CON.li pk    (Id)   UNIQUE");
  EXPECT_EQ(got[2], "referential constraint:CON.li->c1      (c1 id)   C1_PK  (NO ACTION) | "
                    "CON.li->dup      (dup)   DUP_PK  (NO ACTION)");
  // Quotes in a name reach the dictionary as a bind, not as SQL.
  w.cTabela = "X' or '1'='1";
  ASSERT_TRUE(w.FormActivate());
  EXPECT_EQ(categories(*w.TvTable)[0], "primary key :");
}

TEST_F(TableContent, ReferenceTreesOfTwoColumnKeysCyclesAndOtherSchemas) {
  const struct {
    const char* owner;
    const char* table;
    QStringList expected;
  } cases[] = {
      {"CON", "GRAND", {"  CHILD_PK   CHILD (CON)  ID", "    PARENT_PK   PARENT (CON)  K1,K2"}},
      {"CON", "C1", {"  C3_PK   C3 (CON)  ID", "    C2_PK   C2 (CON)  ID", "    * C1_PK   C1 (CON)  ID"}},
      {"CON", "TREE", {"* TREE_PK   TREE (CON)  ID"}},
      // A cycle the starting table is not part of ends too; CON2.C1 is not CON.C1 and is followed.
      {"CON",
       "Line item",
       {"  C1_PK   C1 (CON)  ID", "    C3_PK   C3 (CON)  ID", "      C2_PK   C2 (CON)  ID", "      * C1_PK   C1 (CON)  ID",
        "  DUP_PK   DUP (CON2)  ID", "    C1_PK   C1 (CON2)  ID"}},
      {"CON", "EMPTY", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    EXPECT_EQ(lines(nuvo::schema::readReferenceTree(main_->osOracle, c.owner, c.table)), c.expected);
  }
}

TEST_F(TableContent, TheReferencesWindowShowsBothDirections) {
  TfmRef w(main_.get());
  w.currUser = "CON";
  w.currTable = "CHILD";
  w.show();
  EXPECT_EQ(w.edUser->text(), "CON");
  EXPECT_EQ(w.edTabela->text(), "CHILD");
  w.btPrikaziClick();
  EXPECT_EQ(lines(w.tvRef->invisibleRootItem()), QStringList{"  PARENT_PK   PARENT (CON)  K1,K2"});
  w.btDepClick();
  EXPECT_EQ(lines(w.tvRef->invisibleRootItem()), (QStringList{"CHILD_PK (CON)   ID", "  GRAND"}));
  // The boxes may name another table.
  w.edTabela->setText("PARENT");
  w.btDepClick();
  EXPECT_EQ(lines(w.tvRef->invisibleRootItem()), (QStringList{"PARENT_PK (CON)   K1,K2", "  CHILD"}));
  w.edTabela->setText("C1");
  w.btPrikaziClick();
  EXPECT_EQ(w.tvRef->topLevelItemCount(), 1);
  // A button click that fails shows the server's message and the window stays usable.
  main_->osOracle.logOff();
  w.btPrikazi->click();
  EXPECT_EQ(messages_->texts().size(), 1);
}

}  // namespace
