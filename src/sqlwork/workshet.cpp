#include "sqlwork/workshet.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "db/error.h"
#include "platform/error.h"
#include "platform/text_file.h"
#include "shell/CThemedDBGrid.h"
#include "shell/IGridUtils.h"
#include "shell/Main.h"
#include "shell/connect.h"
#include "shell/getPict.h"
#include "shell/sql_catalog.h"
#include "sqlwork/sql_editor.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"

namespace {

using nuvo::db::DataType;

const QString kCrLf = QStringLiteral("\r\n");
// ORA-24344: success with compilation error.
constexpr int kCompiledWithErrors = 24344;

const nuvo::SqlText kGetTime{"workshet.quGetTime", {"select  sysdate cas from dual"}};
const nuvo::SqlText kSesStat{"workshet.quSesStat", {"select * from v$sess_io where sid=:sid"}};
// The worksheet's own session, whichever it is.
const nuvo::SqlText kSid{"workshet.quSid", {"select sys_context('USERENV','SID') sid from dual"}};
const nuvo::SqlText kErrorV8{"workshet.quError.v8",
                             {"select  o.name object, e.line line,e.position# position,e.text text",
                              " from sys.obj$ o, sys.error$ e", " where o.obj#=e.obj#",
                              " and  o.type# in (4,7,8,9,11,12)", " and o.owner#=userenv('SCHEMAID')",
                              " and o.mtime >= :trenCas", " order by o.name,line"}};
const nuvo::SqlText kErrorV7{"workshet.quError.v7",
                             {"select  o.name object, e.line line,e.position position,e.text text",
                              " from sys.obj$ o, sys.error$ e", " where o.obj#=e.obj#",
                              " and  o.type in (4,7,8,9,11,12)", " and o.owner#=userenv('SCHEMAID')",
                              " and o.mtime >= :trenCas", " order by o.name,line"}};
const nuvo::SqlText kDescOwner{"workshet.desc.owner", nuvo::sqlwork::buildDescQuery("DESC O.T").sql};
const nuvo::SqlText kDescUser{"workshet.desc.user", nuvo::sqlwork::buildDescQuery("DESC T").sql};
const nuvo::SqlText kOutputAtStart{"workshet.outputAtStart", {"begin dbms_output.enable(200000); end;"}};
const nuvo::SqlText kOutputEnable{"workshet.outputEnable", {"begin dbms_output.enable(100000); end;"}};
const nuvo::SqlText kOutputDisable{"workshet.outputDisable", {"begin dbms_output.disable; end;"}};

// History: the owner is bound, never pasted.
const nuvo::SqlText kLoadHistory{"workshet.LoadHistory",
                                 {"select * from nuvo_util.nuvo_hist", "where hist_user=:owner order by hist_zpst"}};
const nuvo::SqlText kRepairHistory{"workshet.LoadHistory.repair",
                                   {"update nuvo_util.nuvo_hist set hist_ukaz=:ukaz",
                                    "where hist_user=:owner and hist_zpst=:zpst"}};
const nuvo::SqlText kPutInHistory{
    "workshet.quPutInHistory",
    {"declare", "  cursor cPointer is select hist_ukaz from nuvo_util.nuvo_hist",
     "    where hist_user=user and hist_zpst=0 for update;", "  vLast varchar2(4000);", "  vSlot number;",
     "begin", "  open cPointer;", "  fetch cPointer into vLast;", "  if cPointer%notfound then",
     "    close cPointer;", "    insert into nuvo_util.nuvo_hist values (0,'0',user);", "    for i in 1..100 loop",
     "      insert into nuvo_util.nuvo_hist values (i,'',user);", "    end loop;", "    open cPointer;",
     "    fetch cPointer into vLast;", "  end if;", "  close cPointer;", "  begin",
     "    vSlot := to_number(rtrim(substr(vLast,1,3)));", "  exception when others then", "    vSlot := 0;",
     "  end;", "  if vSlot is null or vSlot < 0 or vSlot >= 100 then", "    vSlot := 1;", "  else",
     "    vSlot := vSlot + 1;", "  end if;",
     "  update nuvo_util.nuvo_hist set hist_ukaz=to_char(vSlot) where hist_user=user and hist_zpst=0;",
     "  update nuvo_util.nuvo_hist set hist_ukaz=:niz where hist_user=user and hist_zpst=vSlot;", "  commit;",
     "end;"}};
const nuvo::SqlText kHistory{
    "workshet.quHistory",
    {"select decode(instr(hist_ukaz,chr(10)),0,hist_ukaz,",
     "         rtrim(substr(hist_ukaz,1,instr(hist_ukaz,chr(10))-1),chr(13))||'  ...') sql,",
     "       hist_ukaz,hist_zpst", "  from nuvo_util.nuvo_hist",
     " where hist_user=:lastnik and hist_zpst>0 and length(hist_ukaz)>5", " order by hist_zpst"}};
const nuvo::SqlText kUpdateHist{"workshet.quUpdateHist",
                                {"update nuvo_util.nuvo_hist set hist_ukaz=:ukaz",
                                 "where hist_user=user and hist_zpst=:zapst"}};
// Deleting slot :zapUkaz moves the newer entries one slot back, around the end of the ring when it
// has wrapped, and empties the newest slot; the pointer goes back one, from 1 to 100 in a full ring.
const nuvo::SqlText kDeleteHistory{
    "workshet.quDeleteHistory",
    {"declare", "  vLast number;", "  vSlot number;", "  vNext number;", "  vFull number;",
     "  vText varchar2(4000);", "begin",
     "  select to_number(rtrim(substr(hist_ukaz,1,3))) into vLast from nuvo_util.nuvo_hist",
     "   where hist_user=user and hist_zpst=0 for update;",
     "  if :zapUkaz between 1 and 100 and vLast between 1 and 100 then", "    vSlot := :zapUkaz;",
     "    while vSlot <> vLast loop", "      vNext := mod(vSlot,100)+1;",
     "      select hist_ukaz into vText from nuvo_util.nuvo_hist where hist_user=user and hist_zpst=vNext;",
     "      update nuvo_util.nuvo_hist set hist_ukaz=vText where hist_user=user and hist_zpst=vSlot;",
     "      vSlot := vNext;", "    end loop;",
     "    update nuvo_util.nuvo_hist set hist_ukaz='' where hist_user=user and hist_zpst=vLast;",
     "    vLast := vLast-1;", "    if vLast = 0 then",
     "      select count(*) into vFull from nuvo_util.nuvo_hist",
     "       where hist_user=user and hist_zpst=100 and hist_ukaz is not null;",
     "      if vFull > 0 then", "        vLast := 100;", "      end if;", "    end if;",
     "    update nuvo_util.nuvo_hist set hist_ukaz=to_char(vLast) where hist_user=user and hist_zpst=0;",
     "  end if;", "end;"}};
// Each explain writes and reads its own rows (STATEMENT_ID) and removes them with DELETE, which every
// user is granted; TRUNCATE would empty other worksheets' plans and needs DROP ANY TABLE.
const nuvo::SqlText kEmptyPlan{"workshet.explain.empty",
                               {"DELETE FROM NUVO_UTIL.NUVO_PLAN_TABLE WHERE STATEMENT_ID = :id"}};
const nuvo::SqlText kExplain{
    "workshet.quExplain",
    {"select substr(lpad(' ',6*level)||operation||rtrim(decode(id,0,'  Cost='||position))",
     "       ||' '||rtrim(options)||' '||object_name,1,300) zaporedje",
     "  from nuvo_util.nuvo_plan_table",
     " connect by prior id=parent_id and prior statement_id=statement_id",
     " start with id=0 and statement_id=:id", " order siblings by id"}};
const nuvo::SqlText kObjekti{"workshet.quObjekti",
                             {"select owner,object_type,object_name from all_objects",
                              " where owner like :upor and object_name like :objekt",
                              "   and object_type in ('PROCEDURE','FUNCTION')", " order by object_type,object_name"}};
const nuvo::SqlText kPackages{"workshet.quPackages",
                              {"select owner,package_name,object_name from all_arguments",
                               " where package_name is not null and owner like :upor and object_name like :objekt",
                               " group by owner,package_name,object_name",
                               " order by owner,package_name,object_name"}};
const nuvo::SqlText kInOut{"workshet.quInOut",
                           {"select argument_name,data_type,default_value,in_out from all_arguments",
                            " where owner=upper(:upor) and object_name=:objekt",
                            "   and (:pack='A' or package_name=:pack)", " order by position"}};
const nuvo::SqlText kTables{"workshet.quTables",
                            {"select owner,table_name from all_tables",
                             " where owner like :upor and table_name like :tabela", " order by owner,table_name"}};
const nuvo::SqlText kTabCol{"workshet.quTabCol",
                            {"select column_name,data_type,data_length,data_precision,data_scale,nullable,",
                             "       data_default", "  from all_tab_columns",
                             " where owner=:upor and table_name=:tabela", " order by column_id"}};

const char* const kHelpHints =
    "SQL optimization hints (written as /*+ hint */ right after SELECT, UPDATE or DELETE)\n\n"
    "FULL(table)            read the whole table, no index\n"
    "                       select /*+ FULL(a) */ * from kade.artikli a where sifra > 100\n"
    "INDEX(table index)     use that index\n"
    "                       select /*+ INDEX(a art_pk) */ * from kade.artikli a where sifra = 7\n"
    "INDEX_ASC(table index) range scan of the index in ascending order\n"
    "INDEX_DESC(table index) range scan of the index in descending order\n"
    "INDEX_COMBINE(table)   combine bitmap indexes of the table\n"
    "INDEX_FFS(table index) fast full scan of the index instead of the table\n"
    "ORDERED                join the tables in the order of the FROM clause\n"
    "CACHE(table)           keep the blocks of a full scan in the buffer cache\n"
    "NOCACHE(table)         let the blocks of a full scan age out first\n";
const char* const kHelpSelect =
    "Hierarchy: START WITH, CONNECT BY, LEVEL\n"
    "  select lpad(' ',2*level)||ename, level from emp\n"
    "   start with mgr is null connect by prior empno = mgr\n\n"
    "Groups: HAVING filters the groups\n"
    "  select deptno, count(*) from emp group by deptno having count(*) > 3\n\n"
    "Cartesian product: every row of one table with every row of the other when the WHERE clause\n"
    "has no condition joining them; count(a) * count(b) rows.\n\n"
    "Outer join: (+) on the side that may have no row\n"
    "  select d.dname, e.ename from dept d, emp e where d.deptno = e.deptno(+)\n";

TfmMain& context() { return *fmMain(); }

using nuvo::shell::named;

QToolButton* toolButton(const char* name, const QString& text, QWidget* parent) {
  auto* b = named(new QToolButton(parent), name);
  b->setText(text);
  return b;
}

QAction* menuItem(QMenu* menu, const char* name, const QString& text, bool checkable = false) {
  QAction* a = menu->addAction(text);
  a->setObjectName(QLatin1String(name));
  a->setCheckable(checkable);
  return a;
}

QStringList editorLines(const QString& text) { return text.split(kCrLf); }

void upperCaseAsTyped(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int cursor = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(cursor);
  });
}

QString cellText(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item ? item->text() : QString();
}

void setCell(QTableWidget* grid, int row, int column, const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  grid->setItem(row, column, item);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Worker threads: one database call each; the finishing step reaches the window through a queued
// call. The window waits for a running worker before it goes, so the call finds it or is dropped.

TSelectThread::TSelectThread(TfmWorkSheet* AForm) : formaT(AForm), dataset_(&AForm->quDynWork) {
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TSelectThread::run() {
  bool failed = false;
  int line = 0, position = 0;
  QString message;
  try {
    dataset_->open();
  } catch (const nuvo::db::Error& e) {
    failed = true;
    line = e.line();
    position = e.position();
    message = e.message();
  }
  if (TfmWorkSheet* form = formaT.data())
    QMetaObject::invokeMethod(
        form, [form, failed, line, position, message] { form->selectFinished(failed, line, position, message); },
        Qt::QueuedConnection);
}

TSQLThread::TSQLThread(TfmWorkSheet* AForm) : formaT(AForm), query_(&AForm->quDynQuery) {
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TSQLThread::run() {
  bool failed = false;
  int line = 0, position = 0;
  QString message;
  qint64 rows = 0;
  try {
    query_->execute();
    rows = query_->rowsProcessed();
    query_->close();
  } catch (const nuvo::db::Error& e) {
    // A unit created with compile errors is created: the errors are listed from the dictionary.
    failed = e.code() != kCompiledWithErrors;
    line = e.line();
    position = e.position();
    message = e.message();
  }
  if (TfmWorkSheet* form = formaT.data())
    QMetaObject::invokeMethod(
        form,
        [form, failed, line, position, message, rows] { form->sqlFinished(failed, line, position, message, rows); },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// Creation and layout

TfmWorkSheet::TfmWorkSheet(QWidget* parent) : QMainWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("WorkSheet"));
  setWindowTitle(QStringLiteral("WorkSheet"));
  TfmMain& m = context();
  currDataBase = &m.osOracle;
  for (nuvo::db::SqlCommand* c : std::initializer_list<nuvo::db::SqlCommand*>{
           &quDynWork, &quDynQuery, &quTmp, &quGetTime, &quError, &quSesStat, &quSid, &quHistory, &quPutInHistory,
           &quUpdateHist, &quDeleteHistory, &quExplain, &quObjekti, &quPackages, &quInOut, &quTables, &quTabCol})
    c->setSession(currDataBase);
  quDynWork.setFetchSize(100);
  quDynWork.setLockOnEdit(false);
  quGetTime.setSql(kGetTime);
  quSesStat.setSql(kSesStat);
  quSesStat.declareVariable("sid", DataType::Integer);
  quSid.setSql(kSid);
  quError.declareVariable("trenCas", DataType::Date);
  quHistory.setSql(kHistory);
  quHistory.declareVariable("lastnik", DataType::String);
  quHistory.setReadOnly(true);
  quPutInHistory.setSql(kPutInHistory);
  quPutInHistory.declareVariable("niz", DataType::String);
  quUpdateHist.setSql(kUpdateHist);
  quUpdateHist.declareVariable("ukaz", DataType::String);
  quUpdateHist.declareVariable("zapst", DataType::Integer);
  quDeleteHistory.setSql(kDeleteHistory);
  quDeleteHistory.declareVariable("zapUkaz", DataType::Integer);
  quExplain.setSql(kExplain);
  quExplain.declareVariable("id", DataType::String);
  quObjekti.setSql(kObjekti);
  quPackages.setSql(kPackages);
  for (nuvo::db::Query* q : {&quObjekti, &quPackages}) {
    q->declareVariable("upor", DataType::String);
    q->declareVariable("objekt", DataType::String);
  }
  quInOut.setSql(kInOut);
  quInOut.declareVariable("upor", DataType::String);
  quInOut.declareVariable("objekt", DataType::String);
  quInOut.declareVariable("pack", DataType::String);
  quTables.setSql(kTables);
  quTabCol.setSql(kTabCol);
  for (nuvo::db::Query* q : {&quTables, &quTabCol}) {
    q->declareVariable("upor", DataType::String);
    q->declareVariable("tabela", DataType::String);
  }
  buildWidgets();
  FormCreate();
}

TfmWorkSheet::~TfmWorkSheet() {
  // A worker still running (the window was deleted without closing) ends before the datasets go.
  if (QThread* worker = worker_.data()) {
    if (currDataBase) currDataBase->breakExecution();
    worker->wait();
  }
}

void TfmWorkSheet::buildWidgets() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* splitter = named(new QSplitter(Qt::Vertical, central), "spUpperLower");
  layout->addWidget(splitter, 1);

  pcResp = named(new QStackedWidget(splitter), "pcResp");
  TabRespGrid = buildGridPage();
  TabRespSQL = named(new QWidget, "TabRespSQL");
  {
    auto* l = new QVBoxLayout(TabRespSQL);
    l->setContentsMargins(0, 0, 0, 0);
    meRespSQL = named(new QPlainTextEdit(TabRespSQL), "meRespSQL");
    meRespSQL->setFont(QFont(QStringLiteral("Courier New")));
    meRespSQL->setLineWrapMode(QPlainTextEdit::NoWrap);
    meRespSQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meRespSQL->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    spClear = toolButton("spClear", QStringLiteral("Clear Contents"), TabRespSQL);
    l->addWidget(meRespSQL, 1);
    l->addWidget(spClear, 0, Qt::AlignLeft);
    connect(spClear, &QToolButton::clicked, meRespSQL, &QPlainTextEdit::clear);
  }
  TabRespError = named(new QWidget, "TabRespError");
  {
    auto* l = new QVBoxLayout(TabRespError);
    l->setContentsMargins(0, 0, 0, 0);
    meRespError = named(new QPlainTextEdit(TabRespError), "meRespError");
    meRespError->setFont(QFont(QStringLiteral("Courier New")));
    meRespError->setLineWrapMode(QPlainTextEdit::NoWrap);
    meRespError->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    l->addWidget(meRespError);
  }
  tabExplain = named(new QWidget, "tabExplain");
  {
    auto* l = new QVBoxLayout(tabExplain);
    l->setContentsMargins(0, 0, 0, 0);
    meExplain = named(new QPlainTextEdit(tabExplain), "meExplain");
    meExplain->setFont(QFont(QStringLiteral("Courier New")));
    meExplain->setLineWrapMode(QPlainTextEdit::NoWrap);
    meExplain->setReadOnly(true);
    l->addWidget(meExplain);
  }
  tabHist = buildHistoryPage();
  TabHelp = buildHelpPage();
  tabProcFunc = buildCallBuilderPage();
  tabTabela = buildSelectBuilderPage();
  tabSesStat = named(new QWidget, "tabSesStat");
  {
    auto* l = new QVBoxLayout(tabSesStat);
    laStat = named(new QLabel(tabSesStat), "laStat");
    l->addWidget(laStat);
    for (auto [label, name] : {std::pair{&laBlock, "laBlock"}, {&laCGts, "laCGts"}, {&laPhRd, "laPhRd"},
                               {&laCChg, "laCChg"}, {&laBlChg, "laBlChg"}}) {
      *label = named(new QLabel(tabSesStat), name);
      l->addWidget(*label);
    }
    l->addStretch();
  }
  for (QWidget* page : {TabRespGrid, TabRespSQL, TabRespError, tabExplain, tabHist, TabHelp, tabProcFunc, tabTabela,
                        tabSesStat})
    pcResp->addWidget(page);

  auto* lower = named(new QWidget(splitter), "paLower");
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  auto* editorRow = new QHBoxLayout;
  paSQLLeft = named(new QWidget(lower), "paSQLLeft");
  auto* buttons = new QVBoxLayout(paSQLLeft);
  buttons->setContentsMargins(0, 0, 0, 0);
  spExe = toolButton("spExe", QStringLiteral("Execute"), paSQLLeft);
  spExe->setCheckable(true);
  spBack = toolButton("spBack", QStringLiteral("<"), paSQLLeft);
  spNext = toolButton("spNext", QStringLiteral(">"), paSQLLeft);
  spClearMemo = toolButton("spClearMemo", QStringLiteral("Clear"), paSQLLeft);
  spExplain = toolButton("spExplain", QStringLiteral("Explain"), paSQLLeft);
  btLive = toolButton("btLive", QStringLiteral("Live"), paSQLLeft);
  spSaveHist = toolButton("spSaveHist", QStringLiteral("Hist+"), paSQLLeft);
  for (QToolButton* b : {spExe, spBack, spNext, spClearMemo, spExplain, btLive, spSaveHist}) {
    b->setMinimumWidth(64);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  editorRow->addWidget(paSQLLeft);

  meWork = named(new TSqlEditor(lower), "meWork");
  // Ctrl+D and Ctrl+T belong to the worksheet's own commands, Ctrl+P and Ctrl+N to the history.
  for (int key : {int('D'), int('T'), int('P'), int('N'), int('L')})
    meWork->SendScintilla(QsciScintillaBase::SCI_CLEARCMDKEY, key + (QsciScintillaBase::SCMOD_CTRL << 16));
  pmWorkMacros = meWork->macroMenu();
  pmWorkMacros->setObjectName("pmWorkMacros");
  connect(meWork, &TSqlEditor::macroText, this, [this](const QString& text) { InsertMacroText(false, text); });
  editorRow->addWidget(meWork, 1);
  lowerLayout->addLayout(editorRow, 1);
  // Find and replace under the editor, shown by Ctrl+F.
  paFind = named(new QWidget(lower), "paFind");
  auto* findRow = new QHBoxLayout(paFind);
  findRow->setContentsMargins(0, 0, 0, 0);
  edFind = named(new QLineEdit(paFind), "edFind");
  edReplace = named(new QLineEdit(paFind), "edReplace");
  btFindNext = named(new QPushButton(paFind), "btFindNext");
  btReplace = named(new QPushButton(paFind), "btReplace");
  btReplaceAll = named(new QPushButton(paFind), "btReplaceAll");
  for (QWidget* w : std::initializer_list<QWidget*>{edFind, btFindNext, edReplace, btReplace, btReplaceAll})
    findRow->addWidget(w);
  paFind->hide();
  lowerLayout->addWidget(paFind);
  connect(btFindNext, &QPushButton::clicked, this, [this] { findNext(); });
  connect(edFind, &QLineEdit::returnPressed, this, [this] { findNext(); });
  connect(btReplace, &QPushButton::clicked, this, [this] { replaceFound(); });
  connect(btReplaceAll, &QPushButton::clicked, this, [this] { replaceAll(); });

  auto* bar = new QHBoxLayout;
  laTime = named(new QLabel(lower), "laTime");
  laTime->setMinimumWidth(140);
  btCommit = named(new QPushButton(QStringLiteral("&Commit"), lower), "btCommit");
  btRollback = named(new QPushButton(QStringLiteral("&Rollback"), lower), "btRollback");
  oNavigator = named(new QToolBar(lower), "oNavigator");
  navInsert = named(oNavigator->addAction(QStringLiteral("+")), "navInsert");
  navDelete = named(oNavigator->addAction(QStringLiteral("-")), "navDelete");
  navEdit = named(oNavigator->addAction(QStringLiteral("^")), "navEdit");
  navRefresh = named(oNavigator->addAction(QStringLiteral("R")), "navRefresh");
  navQbeEnter = named(oNavigator->addAction(QStringLiteral("Q")), "navQbeEnter");
  navQbeRun = named(oNavigator->addAction(QStringLiteral("Q!")), "navQbeRun");
  bar->addWidget(laTime);
  laCaret = named(new QLabel(QStringLiteral("1:1"), lower), "laCaret");
  laCaret->setMinimumWidth(70);
  bar->addWidget(laCaret);
  connect(meWork, &QsciScintilla::cursorPositionChanged, this,
          [this](int line, int index) { laCaret->setText(QStringLiteral("%1:%2").arg(line + 1).arg(index + 1)); });
  bar->addWidget(btCommit);
  bar->addWidget(btRollback);
  bar->addStretch();
  bar->addWidget(oNavigator);
  lowerLayout->addLayout(bar);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  setCentralWidget(central);

  tiCas = named(new QTimer(this), "tiCas");
  tiCas->setInterval(1000);
  connect(tiCas, &QTimer::timeout, this, [this] { ShowElapsedTime(false); });

  connect(spExe, &QToolButton::clicked, this, &TfmWorkSheet::spExeClick);
  connect(spBack, &QToolButton::clicked, this, &TfmWorkSheet::spBackClick);
  connect(spNext, &QToolButton::clicked, this, &TfmWorkSheet::spNextClick);
  connect(spClearMemo, &QToolButton::clicked, this, [this] {
    meWork->clear();
    SetCurrentFile(QString());
  });
  connect(spExplain, &QToolButton::clicked, this, &TfmWorkSheet::spExplainClick);
  connect(btLive, &QToolButton::clicked, this, &TfmWorkSheet::MakeQueryLiveClick);
  connect(spSaveHist, &QToolButton::clicked, this, &TfmWorkSheet::spSaveHistClick);
  connect(btCommit, &QPushButton::clicked, this, &TfmWorkSheet::btCommitClick);
  connect(btRollback, &QPushButton::clicked, this, &TfmWorkSheet::btRollbackClick);
  connect(navInsert, &QAction::triggered, this, [this] {
    SetTransactionButtons(true);
    if (quDynWork.isOpen() && quDynWork.canModify()) {
      const int row = qMax(0, dbgSelect->currentRow());
      dsDynWork->insertRows(quDynWork.recordCount() == 0 ? 0 : row, 1);
    }
  });
  connect(navDelete, &QAction::triggered, this, [this] {
    SetTransactionButtons(true);
    const int row = dbgSelect->currentRow();
    if (row >= 0 && quDynWork.canModify()) dsDynWork->removeRows(row, 1);
  });
  connect(navEdit, &QAction::triggered, this, [this] {
    SetTransactionButtons(true);
    if (dbgSelect->currentIndex().isValid()) dbgSelect->edit(dbgSelect->currentIndex());
  });
  connect(navRefresh, &QAction::triggered, this, [this] {
    SetTransactionButtons(currDataBase && currDataBase->connected() && currDataBase->inTransaction());
    if (quDynWork.isOpen() && !running()) {
      try {
        quDynWork.requery();
      } catch (const nuvo::db::Error& e) {
        nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
      }
    }
  });
  connect(navQbeEnter, &QAction::triggered, this, &TfmWorkSheet::qbeEnter);
  connect(navQbeRun, &QAction::triggered, this, &TfmWorkSheet::qbeRun);
  connect(&quDynWork, &nuvo::db::Dataset::stateChanged, this, [this](nuvo::db::Dataset::State state) {
    if ((state == nuvo::db::Dataset::State::Edit || state == nuvo::db::Dataset::State::Insert) &&
        !btCommit->isEnabled())
      SetTransactionButtons(true);
  });
  buildMenus();
  meWork->installEventFilter(this);
  edFind->installEventFilter(this);
  edReplace->installEventFilter(this);
  // A statement still running when the program ends is broken and its worker waited for.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    if (QThread* worker = worker_.data()) {
      currDataBase->breakExecution();
      worker->wait();
    }
  });
  dbgSelect->installEventFilter(this);
}

QWidget* TfmWorkSheet::buildGridPage() {
  auto* page = named(new QWidget, "TabRespGrid");
  auto* l = new QVBoxLayout(page);
  l->setContentsMargins(0, 0, 0, 0);
  sgQbe = named(new QTableWidget(0, 0, page), "sgQbe");
  sgQbe->setMaximumHeight(60);
  sgQbe->verticalHeader()->hide();
  sgQbe->hide();
  dbgSelect = named(new TThemedDBGrid(page), "dbgSelect");
  dsDynWork = new nuvo::widgets::DatasetModel(&quDynWork, dbgSelect);
  dbgSelect->setModel(dsDynWork);
  dbgSelect->setContextMenuPolicy(Qt::ActionsContextMenu);
  miAdjustColumns = named(new QAction(QStringLiteral("Prilagodi stolpce"), dbgSelect), "miAdjustColumns");
  dbgSelect->addAction(miAdjustColumns);
  connect(miAdjustColumns, &QAction::triggered, this, [this] { AdjustGridColumns(dbgSelect, 100, 33); });
  connect(dbgSelect->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfmWorkSheet::gridTitleClick);
  connect(dbgSelect, &QAbstractItemView::doubleClicked, this, [this] { dbgSelectDblClick(); });
  connect(dsDynWork, &nuvo::widgets::DatasetModel::errorOccurred, this,
          [this](const nuvo::db::Error& e) { nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this); });
  dbmMemo = named(new QPlainTextEdit(page), "dbmMemo");
  dbmMemo->setReadOnly(true);
  dbmMemo->setMaximumHeight(90);
  dbmMemo->hide();
  spConvertToAscii = toolButton("spConvertToAscii", QStringLiteral("ASCII"), page);
  connect(spConvertToAscii, &QToolButton::clicked, this, &TfmWorkSheet::spConvertToAsciiClick);
  l->addWidget(sgQbe);
  l->addWidget(dbgSelect, 1);
  l->addWidget(dbmMemo);
  l->addWidget(spConvertToAscii, 0, Qt::AlignLeft);
  return page;
}

QWidget* TfmWorkSheet::buildHistoryPage() {
  auto* page = named(new QWidget, "tabHist");
  auto* l = new QVBoxLayout(page);
  l->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  edOwner = named(new QLineEdit(page), "edOwner");
  upperCaseAsTyped(edOwner);
  spRefreshHist = named(new QPushButton(QStringLiteral("Refresh History"), page), "spRefreshHist");
  spUpdateHist = named(new QPushButton(QStringLiteral("Update Current  History Sentence"), page), "spUpdateHist");
  spDeleteHist = named(new QPushButton(QStringLiteral("Delete Last History Sentence"), page), "spDeleteHist");
  top->addWidget(edOwner);
  top->addWidget(spRefreshHist);
  top->addWidget(spUpdateHist);
  top->addWidget(spDeleteHist);
  top->addStretch();
  dbgHist = named(new TThemedDBGrid(page), "dbgHist");
  auto* model = new nuvo::widgets::DatasetModel(&quHistory, dbgHist);
  dbgHist->setModel(model);
  dbgHist->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbgHist->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(&quHistory, &nuvo::db::Dataset::opened, dbgHist, [this] {
    for (int c = 0; c < quHistory.fieldCount(); ++c)
      dbgHist->setColumnHidden(c, quHistory.columns()[c].name.toUpper() != u"SQL");
    dbgHist->horizontalHeader()->setStretchLastSection(true);
  });
  connect(dbgHist->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
    if (!i.isValid()) return;
    quHistory.setCurrentRow(i.row());
    setEditorText(quHistory.value(i.row(), QStringLiteral("HIST_UKAZ")).toString());
  });
  connect(edOwner, &QLineEdit::textChanged, this, [this] {
    const bool own = historyIsOwn();
    spUpdateHist->setEnabled(own);
    spDeleteHist->setEnabled(own);
  });
  connect(spRefreshHist, &QPushButton::clicked, this, &TfmWorkSheet::mmHistoryClick);
  connect(spUpdateHist, &QPushButton::clicked, this, &TfmWorkSheet::spUpdateHistClick);
  connect(spDeleteHist, &QPushButton::clicked, this, &TfmWorkSheet::spDeleteHistClick);
  l->addLayout(top);
  l->addWidget(dbgHist, 1);
  return page;
}

QWidget* TfmWorkSheet::buildHelpPage() {
  auto* page = named(new QWidget, "TabHelp");
  auto* l = new QVBoxLayout(page);
  l->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  shHelpHint = named(new QPushButton(QStringLiteral("SQL optimization hints"), page), "shHelpHint");
  spSelExp = named(new QPushButton(QStringLiteral("Select Examples"), page), "spSelExp");
  top->addWidget(shHelpHint);
  top->addWidget(spSelExp);
  top->addStretch();
  pcHelp = named(new QStackedWidget(page), "pcHelp");
  meHelpHints = named(new QPlainTextEdit(QString::fromUtf8(kHelpHints), pcHelp), "meHelpHints");
  meHelpSelect = named(new QPlainTextEdit(QString::fromUtf8(kHelpSelect), pcHelp), "meHelpSelect");
  for (QPlainTextEdit* e : {meHelpHints, meHelpSelect}) {
    e->setReadOnly(true);
    e->setFont(QFont(QStringLiteral("Courier New")));
    e->setLineWrapMode(QPlainTextEdit::NoWrap);
    pcHelp->addWidget(e);
  }
  connect(shHelpHint, &QPushButton::clicked, this, [this] { pcHelp->setCurrentWidget(meHelpHints); });
  connect(spSelExp, &QPushButton::clicked, this, [this] { pcHelp->setCurrentWidget(meHelpSelect); });
  l->addLayout(top);
  l->addWidget(pcHelp, 1);
  return page;
}

QWidget* TfmWorkSheet::buildCallBuilderPage() {
  auto* page = named(new QWidget, "tabProcFunc");
  auto* l = new QHBoxLayout(page);
  l->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout;
  auto* edits = new QHBoxLayout;
  laUser = named(new QLabel(QStringLiteral("User:"), page), "laUser");
  edUser = named(new QLineEdit(page), "edUser");
  laName = named(new QLabel(QStringLiteral("Name:"), page), "laName");
  edFilter = named(new QLineEdit(page), "edFilter");
  upperCaseAsTyped(edUser);
  upperCaseAsTyped(edFilter);
  edits->addWidget(laUser);
  edits->addWidget(edUser);
  edits->addWidget(laName);
  edits->addWidget(edFilter);
  tvSQL = named(new QTreeWidget(page), "tvSQL");
  tvSQL->setHeaderHidden(true);
  tnProc = new QTreeWidgetItem(tvSQL, {QStringLiteral("PROCEDURE")});
  tnFunc = new QTreeWidgetItem(tvSQL, {QStringLiteral("FUNCTION")});
  tnPck = new QTreeWidgetItem(tvSQL, {QStringLiteral("PACKAGE")});
  auto* buttonsRow = new QHBoxLayout;
  btRefresh = named(new QPushButton(QStringLiteral("&Refresh"), page), "btRefresh");
  btInsert = named(new QPushButton(QStringLiteral("&Prepare Statement"), page), "btInsert");
  buttonsRow->addWidget(btRefresh);
  buttonsRow->addWidget(btInsert);
  left->addLayout(edits);
  left->addWidget(tvSQL, 1);
  left->addLayout(buttonsRow);
  sgParams = named(new QTableWidget(0, 4, page), "sgParams");
  sgParams->hide();
  l->addLayout(left, 1);
  l->addWidget(sgParams, 1);
  connect(btRefresh, &QPushButton::clicked, this, &TfmWorkSheet::btRefreshClick);
  connect(edUser, &QLineEdit::editingFinished, this, &TfmWorkSheet::btRefreshClick);
  connect(btInsert, &QPushButton::clicked, this, &TfmWorkSheet::btInsertClick);
  connect(tvSQL, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { tvSQLClick(node); });
  return page;
}

QWidget* TfmWorkSheet::buildSelectBuilderPage() {
  auto* page = named(new QWidget, "tabTabela");
  auto* l = new QVBoxLayout(page);
  l->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  laUserTabela = named(new QLabel(QStringLiteral("User:"), page), "laUserTabela");
  edUserTabela = named(new QLineEdit(page), "edUserTabela");
  edFilterTabela = named(new QLineEdit(QStringLiteral("%"), page), "edFilterTabela");
  laTabela = named(new QLabel(QStringLiteral("Table:"), page), "laTabela");
  cbTabela = named(new QComboBox(page), "cbTabela");
  cbTabela->setMinimumContentsLength(24);
  cbLive = named(new QCheckBox(QStringLiteral("Live query"), page), "cbLive");
  cbLive->setChecked(true);
  btStavek = named(new QPushButton(QStringLiteral("Statement"), page), "btStavek");
  upperCaseAsTyped(edUserTabela);
  upperCaseAsTyped(edFilterTabela);
  for (QWidget* w : std::initializer_list<QWidget*>{laUserTabela, edUserTabela, edFilterTabela, laTabela, cbTabela,
                                                     cbLive, btStavek})
    top->addWidget(w);
  top->addStretch();
  sgColumns = named(new QTableWidget(0, 9, page), "sgColumns");
  sgColumns->hide();
  l->addLayout(top);
  l->addWidget(sgColumns, 1);
  cbTabela->installEventFilter(this);
  connect(cbTabela, &QComboBox::activated, this, [this] { cbTabelaChoose(); });
  connect(sgColumns, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column != 0) return;
    setCell(sgColumns, row, 0, cellText(sgColumns, row, 0) == u" " ? QStringLiteral("+") : QStringLiteral(" "), false);
  });
  connect(btStavek, &QPushButton::clicked, this, &TfmWorkSheet::btStavekClick);
  return page;
}

void TfmWorkSheet::buildMenus() {
  QMenuBar* bar = menuBar();
  mnFile = named(bar->addMenu(QStringLiteral("&File ")), "mnFile");
  mmConnect = menuItem(mnFile, "mmConnect", QStringLiteral("&Connect"));
  mmDisconnect = menuItem(mnFile, "mmDisconnect", QStringLiteral("&Disconnect"));
  mnFile->addSeparator();
  Open2 = menuItem(mnFile, "Open2", QStringLiteral("&Open"));
  Save2 = menuItem(mnFile, "Save2", QStringLiteral("&Save"));
  SaveAs1 = menuItem(mnFile, "SaveAs1", QStringLiteral("Save &As"));
  mnView = named(bar->addMenu(QStringLiteral("&View")), "mnView");
  SelectGrid1 = menuItem(mnView, "SelectGrid1", QStringLiteral("Data"));
  mmStatisticsView = menuItem(mnView, "mmStatisticsView", QStringLiteral("Statistics"));
  Response1 = menuItem(mnView, "Response1", QStringLiteral("Output"));
  mnSetup = named(bar->addMenu(QStringLiteral("&Setup ")), "mnSetup");
  mmStatistics = menuItem(mnSetup, "mmStatistics", QStringLiteral("Statistics Screen ON"), true);
  mmQueryAllRecords = menuItem(mnSetup, "mmQueryAllRecords", QStringLiteral("QueryAllRecords"), true);
  mmQueryByExample = menuItem(mnSetup, "mmQueryByExample", QStringLiteral("QueryByExample"), true);
  mmDBMS_Output = menuItem(mnSetup, "mmDBMS_Output", QStringLiteral("DBMS_Output"), true);
  mmClearOutputON = menuItem(mnSetup, "mmClearOutputON", QStringLiteral("Clear Output ON"), true);
  mmClearOutputON->setChecked(true);
  mmEchoON = menuItem(mnSetup, "mmEchoON", QStringLiteral("Echo ON"), true);
  mnUtilities = named(bar->addMenu(QStringLiteral("&Utilities")), "mnUtilities");
  PrepareSelectStatement1 = menuItem(mnUtilities, "PrepareSelectStatement1", QStringLiteral("Prepare Select Statement"));
  ExecuteFunction1 = menuItem(mnUtilities, "ExecuteFunction1", QStringLiteral("Func/Proc/Package parameters"));
  CovertDelphiString1 = menuItem(mnUtilities, "CovertDelphiString1", QStringLiteral("CovertDelphiString"));
  LargeRBONLINE = menuItem(mnUtilities, "LargeRBONLINE", QStringLiteral("Large RB ONLINE"), true);
  MakeQueryLive1 = menuItem(mnUtilities, "MakeQueryLive1", QStringLiteral("Make Query Live"));
  mnHistory = named(bar->addMenu(QStringLiteral("&History ")), "mnHistory");
  mmHistory = mnHistory->menuAction();
  mmHistory->setObjectName("mmHistory");
  menuItem(mnHistory, "mmHistoryList", QStringLiteral("&History "));
  mnHelp = named(bar->addMenu(QStringLiteral("&Help ")), "mnHelp");
  Help1 = menuItem(mnHelp, "Help1", QStringLiteral("&Help "));
  Exit1 = named(bar->addAction(QStringLiteral("&Exit")), "Exit1");

  connect(mmConnect, &QAction::triggered, this, &TfmWorkSheet::mmConnectClick);
  connect(mmDisconnect, &QAction::triggered, this, &TfmWorkSheet::Disconnect);
  connect(Open2, &QAction::triggered, this, &TfmWorkSheet::Open2Click);
  connect(Save2, &QAction::triggered, this, &TfmWorkSheet::Save2Click);
  connect(SaveAs1, &QAction::triggered, this, &TfmWorkSheet::SaveAs1Click);
  connect(SelectGrid1, &QAction::triggered, this, [this] { showPage(TabRespGrid); });
  connect(mmStatisticsView, &QAction::triggered, this, [this] { showPage(tabSesStat); });
  connect(Response1, &QAction::triggered, this, [this] { showPage(TabRespSQL); });
  connect(mmStatistics, &QAction::triggered, this, &TfmWorkSheet::mmStatisticsClick);
  connect(mmQueryAllRecords, &QAction::toggled, this, [this](bool on) { quDynWork.setQueryAllRecords(on); });
  connect(mmQueryByExample, &QAction::toggled, this, [this] { updateNavigator(); });
  connect(mmDBMS_Output, &QAction::triggered, this, &TfmWorkSheet::mmDBMS_OutputClick);
  connect(PrepareSelectStatement1, &QAction::triggered, this, [this] { showPage(tabTabela); });
  connect(ExecuteFunction1, &QAction::triggered, this, &TfmWorkSheet::ExecuteFunctionClick);
  connect(CovertDelphiString1, &QAction::triggered, this, &TfmWorkSheet::CovertDelphiStringClick);
  connect(LargeRBONLINE, &QAction::triggered, this, [this] {
    TfmMain& m = context();
    m.command("mmActivateLargeRB")->trigger();
    LargeRBONLINE->setChecked(m.command("mmActivateLargeRB")->isChecked());
  });
  connect(MakeQueryLive1, &QAction::triggered, this, &TfmWorkSheet::MakeQueryLiveClick);
  connect(mnHistory->actions().last(), &QAction::triggered, this, &TfmWorkSheet::mmHistoryClick);
  connect(Help1, &QAction::triggered, this, [this] { showPage(TabHelp); });
  connect(Exit1, &QAction::triggered, this, &QWidget::close);
}

void TfmWorkSheet::FormCreate() {
  TfmMain& m = context();
  edUserTabela->setText(m.currOwner);
  const QScreen* screen = QApplication::primaryScreen();
  const int extra = screen && screen->availableGeometry().height() >= 1024 ? 150 : 0;
  resize(900, 560 + extra);
  pTipkaF9 = false;
  SetLanguageTexts();

  m.preberiMacroTipke(meWork, pmWorkMacros, [this](QAction* item) {
    const int i = static_cast<int>(pmWorkMacros->actions().indexOf(item));
    InsertMacroText(true, context().brezNL(context().stMacro.at(static_cast<std::size_t>(qMax(0, i)))));
  });
  QStringList keyMacros;
  for (int k = 0; k < m.mcKeys.size() && k < static_cast<int>(m.mcMacro.size()); ++k)
    keyMacros << m.mcMacro[static_cast<std::size_t>(k)];
  meWork->setMacroKeys(nuvo::sqlwork::MacroKeys(m.mcKeys, keyMacros));
  largeRBName_ = m.currLargeRBName;
  meWork->clear();
  edOwner->setText(m.connUser.toUpper());
  firstTimeFunc = true;

  sCaption = windowTitle();
  laTime->clear();
  showPage(TabRespError);
  ring.clear();
  setWindowTitle(sCaption + QStringLiteral("  (") + m.connUser + u'@' + m.connServer + u')');
  sUserCaption = windowTitle();
  setToolTip(sUserCaption);

  LoadHistory();

  ++m.datasetStevec;
  tmpDataBase = std::make_unique<nuvo::db::Session>();
  tmpDataBaseName = QStringLiteral("ORA_TMP%1").arg(m.datasetStevec);
  SetTransactionButtons(false);
  if (currDataBase->connected()) {
    try {
      quTmp.setSql(kOutputAtStart);
      quTmp.execute();
      quTmp.close();
    } catch (const nuvo::db::Error&) {
    }
  }
  quTmp.clearSql();
  SetErrorQuery(m.ORACLEVersion);
  mmDBMS_Output->setChecked(true);
  mmDBMS_OutputClick();
  readSessionId();
  {
    QStringList params = {QStringLiteral("Parameter"), QStringLiteral("Data_Type"), QStringLiteral("In/Out"),
                          QStringLiteral("Value")};
    sgParams->setHorizontalHeaderLabels(params);
    sgColumns->setHorizontalHeaderLabels({QStringLiteral("Show"), QStringLiteral("Column name"), QStringLiteral("Type"),
                                          QStringLiteral("Len"), QStringLiteral("Prec"), QStringLiteral("Scale"),
                                          QStringLiteral("Null"), QStringLiteral("Default"), QStringLiteral("Filter")});
  }
  SetTransactionButtons(currDataBase->connected() && currDataBase->inTransaction());
  outputCharset = nuvo::sqlwork::outputCharset(m.currUnicode, m.currCharset);
  mmDisconnect->setEnabled(false);
  updateNavigator();
}

void TfmWorkSheet::SetLanguageTexts() {
  const bool slo = context().slovene();
  nizErrStat = slo ? QStringLiteral("Napaka na statistikah!") : QStringLiteral("Error on statistic!");
  nizErrHist = slo ? QStringLiteral("Tabela za zgodovino ne obstaja (NUVO_UTIL.NUVO_HIST)")
                   : QStringLiteral("NO HISTORY TABLE (NUVO_UTIL.NUVO_HIST) DEFINED");
  nizErrExp = slo ? QStringLiteral("Najprej zapri trenutno transakcijo!") : QStringLiteral("FIRST CLOSE CURRENT TRANSACTION!");
  nizErrOn = slo ? QStringLiteral("Napaka na:") : QStringLiteral("ERROR ON:");
  nizCloseForm = slo ? QStringLiteral("Napaka pri zapiranju forme!") : QStringLiteral("Error on closing form !");
  nizComCur = slo ? QStringLiteral("Shrani trenutno transakcijo?") : QStringLiteral("Commit current transaction");
  nizErrStr = slo ? QStringLiteral("Niz ni tipa DELPHI SQL !") : QStringLiteral("String is not DELPHI Query like string");
  nizSpExeHint = slo ? QStringLiteral("izvedi") : QStringLiteral("Execute");
  nizSpExeHintBreak = slo ? QStringLiteral("Prekini") : QStringLiteral("Break");
  const TfmMain& m = context();
  auto pick = [slo](const char* en, const char* sl) { return QString::fromUtf8(slo ? sl : en); };
  setWindowTitle(pick("WorkSheet", "SQL Poizvedbe"));
  mnFile->setTitle(pick("&File ", "Prijava/Odjava"));
  mmConnect->setText(pick("&Connect", "&Prijava"));
  mmDisconnect->setText(pick("&Disconnect", "&Odjava"));
  Open2->setText(pick("&Open", "O&dpri"));
  Save2->setText(pick("&Save", "&Shrani"));
  SaveAs1->setText(pick("Save &As", "Shrani &kot"));
  mnView->setTitle(pick("&View", "P&rikaz"));
  SelectGrid1->setText(pick("Data", "Podatki"));
  mmStatisticsView->setText(pick("Statistics", "Statistike"));
  Response1->setText(pick("Output", "Izhodni ekran"));
  mnSetup->setTitle(pick("&Setup ", "Nastavitve"));
  mmStatistics->setText(pick("Statistics Screen ON", "Vklop okna za stat."));
  mmQueryAllRecords->setText(pick("QueryAllRecords", "Zajem vseh zapisov"));
  mmQueryByExample->setText(pick("QueryByExample", "Lokalne poizvedbe"));
  mmDBMS_Output->setText(pick("DBMS_Output", "Prikaz DBMS_OUTPUT"));
  mmClearOutputON->setText(pick("Clear Output ON", "Brisanje ekrana"));
  mmEchoON->setText(pick("Echo ON", "Eho VKLOPLJEN"));
  mnUtilities->setTitle(pick("&Utilities", "Dodatki"));
  PrepareSelectStatement1->setText(pick("Prepare Select Statement", "Pripravi SQL stavek"));
  ExecuteFunction1->setText(pick("Func/Proc/Package parameters", "Funkcije/Procedure"));
  CovertDelphiString1->setText(pick("CovertDelphiString", "Pretvori Delphi niz"));
  LargeRBONLINE->setText(pick("Large RB ONLINE", "LARGERB ONLINE"));
  MakeQueryLive1->setText(pick("Make Query Live", "Naredi \"live\" poizvedbo"));
  mnHistory->setTitle(pick("&History ", "Zgodovina"));
  mnHistory->actions().last()->setText(pick("&History ", "Zgodovina"));
  mnHelp->setTitle(pick("&Help ", "Pomoč"));
  Help1->setText(pick("&Help ", "Pomoč"));
  Exit1->setText(slo ? m.nizExit : QStringLiteral("&Exit"));
  btCommit->setText(slo ? m.nizCommit : QStringLiteral("&Commit"));
  btRollback->setText(slo ? m.nizRollback : QStringLiteral("&Rollback"));
  spConvertToAscii->setToolTip(pick("Convert select results into string", "Pretvori v niz"));
  spBack->setToolTip(pick("Previous", "Prejšnji ukaz"));
  spNext->setToolTip(pick("Next", "Naslednji ukaz"));
  spClearMemo->setToolTip(pick("Clear", "Briši"));
  spExplain->setToolTip(pick("Explain", "Razloži potek poizvedbe"));
  spSaveHist->setToolTip(pick("Save command to history", "Shrani poizvedbo"));
  btLive->setToolTip(pick("Make Query Live", "\"Live\" poizvedba"));
  laStat->setText(pick("STATISTICS:", "STATISTIKE"));
  laTime->setToolTip(pick("Time:", "Čas:"));
  laUser->setText(pick("User:", "Upor:"));
  laName->setText(pick("Name:", "Ime:"));
  btRefresh->setText(pick("&Refresh", "&Osveži"));
  btInsert->setText(pick("&Prepare Statement", "&Pripravi stavek"));
  laUserTabela->setText(pick("User:", "Upor:"));
  laTabela->setText(pick("Table:", "Tabela:"));
  btStavek->setText(pick("Statement", "Stavek"));
  cbLive->setText(pick("Live query", "\"Live\" stavek"));
  spExe->setToolTip(nizSpExeHint);
  // The buttons of the column show words where the design had pictures.
  spExe->setText(pick("Execute", "Izvedi"));
  spClearMemo->setText(pick("Clear", "Briši"));
  spExplain->setText(pick("Explain", "Razloži"));
  edFind->setPlaceholderText(pick("Find", "Najdi"));
  edReplace->setPlaceholderText(pick("Replace with", "Zamenjaj z"));
  btFindNext->setText(pick("&Find next", "&Najdi naslednje"));
  btReplace->setText(pick("R&eplace", "&Zamenjaj"));
  btReplaceAll->setText(pick("Replace &all", "Zamenjaj &vse"));
}

void TfmWorkSheet::showPage(QWidget* page) { pcResp->setCurrentWidget(page); }

void TfmWorkSheet::updateNavigator() {
  const bool qbe = mmQueryByExample->isChecked();
  navQbeEnter->setVisible(qbe);
  navQbeRun->setVisible(qbe);
  if (!qbe) sgQbe->hide();
}

bool TfmWorkSheet::jeVTransakciji(const QString& ime) const {
  return currDataBase && currDataBase->database().toUpper() == ime.toUpper() && btCommit->isEnabled();
}

QString TfmWorkSheet::editorText() const { return meWork->editorText(); }

void TfmWorkSheet::setEditorText(const QString& text) { meWork->setEditorText(text); }

void TfmWorkSheet::SetCurrentFile(const QString& name) {
  currentFile = name;
  setWindowTitle(sUserCaption + QStringLiteral("  FILE:") + name.toLower());
}

void TfmWorkSheet::SetTransactionButtons(bool on) {
  btCommit->setEnabled(on);
  btRollback->setEnabled(on);
}

// ---------------------------------------------------------------------------------------------
// Running a statement

void TfmWorkSheet::spExeClick() {
  if (spExe->isChecked() || pTipkaF9)
    startStatement();
  else
    breakStatement();
}

bool TfmWorkSheet::startStatement() {
  // One statement at a time: a start request while one runs is ignored.
  if (running()) {
    pTipkaF9 = false;
    spExe->setChecked(true);
    return false;
  }
  spExe->setToolTip(nizSpExeHintBreak);
  pTipkaF9 = false;
  if (mmDBMS_Output->isChecked()) enableServerOutput(100000);
  const QString text = editorText();
  QString trimmed = text;
  while (!trimmed.isEmpty() && trimmed.back().isSpace()) trimmed.chop(1);
  if (trimmed.isEmpty()) {
    spExe->setChecked(false);
    return false;
  }
  meRespError->clear();
  spExe->setChecked(true);
  dbmMemo->hide();
  quDynWork.setCachedUpdates(false);
  meWork->setFocus();

  statement_ = nuvo::sqlwork::stripLeadingComments(text);
  if (statement_.text.isEmpty()) return false;
  const nuvo::sqlwork::StatementKind kind = nuvo::sqlwork::classifyStatement(statement_.text);
  ReadSessionIO(iBlock, iCGts, iPhRd, iBlChg, iCChg);
  lError = true;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  lSelect = kind.select;
  lUpdate = kind.update;
  lDelete = kind.remove;
  lInsert = kind.insert;
  placeErrors_ = true;
  if (kind.query()) {
    zadnjiEkran = QStringLiteral("GRID");
    dsDynWork->setDataset(nullptr);
    quDynWork.close();
    quDynWork.deleteVariables();
    quDynWork.setUpdatingTable(QString());
    if (kind.desc) {
      const nuvo::sqlwork::DescQuery desc = nuvo::sqlwork::buildDescQuery(statement_.text);
      quDynWork.setSql(desc.sql);
      quDynWork.declareVariable("tabela", DataType::String);
      quDynWork.setVariable("tabela", desc.table);
      if (desc.sql.last().contains(u":owner")) {
        quDynWork.declareVariable("owner", DataType::String);
        quDynWork.setVariable("owner", desc.owner);
      }
      lastQuery_.clear();
    } else {
      quDynWork.setSql(statement_.text);
      lastQuery_ = statement_.text;
    }
    sgQbe->hide();
    launchSelect();
  } else {
    zadnjiEkran = QStringLiteral("MEMO");
    if (mmClearOutputON->isChecked())
      meRespSQL->clear();
    else
      meRespSQL->appendPlainText(QString());
    quDynQuery.setSql(statement_.text);
    dtOra = GetServerTime();
    currdt.start();
    tiCas->start();
    auto* thread = new TSQLThread(this);
    worker_ = thread;
    thread->start();
  }
  return true;
}

void TfmWorkSheet::launchSelect() {
  quDynWork.setQueryAllRecords(mmQueryAllRecords->isChecked());
  currdt.start();
  tiCas->start();
  if (quDynWork.sqlText().contains(u"ROWID", Qt::CaseInsensitive)) quDynWork.setCachedUpdates(true);
  auto* thread = new TSelectThread(this);
  worker_ = thread;
  thread->start();
}

void TfmWorkSheet::qbeEnter() {
  if (running() || !quDynWork.isOpen() || lastQuery_.isEmpty()) return;
  sgQbe->clear();
  sgQbe->setColumnCount(quDynWork.fieldCount());
  sgQbe->setRowCount(1);
  QStringList names;
  for (const nuvo::db::Column& c : quDynWork.columns()) names << c.name;
  sgQbe->setHorizontalHeaderLabels(names);
  sgQbe->show();
  sgQbe->setFocus();
}

void TfmWorkSheet::qbeRun() {
  if (running() || lastQuery_.isEmpty() || sgQbe->isHidden()) return;
  QList<nuvo::sqlwork::QbeCondition> conditions;
  for (int c = 0; c < sgQbe->columnCount(); ++c)
    conditions << nuvo::sqlwork::QbeCondition{sgQbe->horizontalHeaderItem(c)->text(), cellText(sgQbe, 0, c)};
  const nuvo::sqlwork::QbeQuery query = nuvo::sqlwork::qbeQuery(lastQuery_, conditions);
  // Rows found by example are written back to the table of the query itself.
  QString table;
  try {
    if (quDynWork.isOpen() && quDynWork.canModify()) table = quDynWork.updatingTable();
  } catch (const nuvo::db::Error&) {
  }
  meRespError->clear();
  spExe->setChecked(true);
  spExe->setToolTip(nizSpExeHintBreak);
  dbmMemo->hide();
  quDynWork.setCachedUpdates(false);
  statement_ = nuvo::sqlwork::StrippedStatement{query.sql, 0, 0};
  placeErrors_ = false;
  ReadSessionIO(iBlock, iCGts, iPhRd, iBlChg, iCChg);
  lError = true;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  lSelect = true;
  lUpdate = lDelete = lInsert = false;
  zadnjiEkran = QStringLiteral("GRID");
  dsDynWork->setDataset(nullptr);
  quDynWork.close();
  quDynWork.deleteVariables();
  quDynWork.setSql(query.sql);
  for (int i = 0; i < query.values.size(); ++i) {
    const QString name = QStringLiteral("qbe%1").arg(i + 1);
    quDynWork.declareVariable(name, DataType::String);
    quDynWork.setVariable(name, query.values[i]);
  }
  quDynWork.setUpdatingTable(table);
  launchSelect();
}

void TfmWorkSheet::breakStatement() {
  tiCas->stop();
  if (currdt.isValid()) ShowElapsedTime(true);
  if (currDataBase) currDataBase->breakExecution();
  spExe->setToolTip(nizSpExeHint);
  pTipkaF9 = false;
  // A press while nothing runs only raises the button.
  if (!running()) spExe->setChecked(false);
  else spExe->setChecked(true);
}

QDateTime TfmWorkSheet::GetServerTime() {
  try {
    quGetTime.execute();
    const QDateTime time = quGetTime.field("CAS").asDate();
    quGetTime.close();
    return time;
  } catch (const nuvo::db::Error&) {
    return QDateTime::currentDateTime();
  }
}

void TfmWorkSheet::enableServerOutput(int size) {
  if (!currDataBase || !currDataBase->connected()) return;
  try {
    nuvo::db::Query q(currDataBase);
    q.setSql(size == 100000 ? kOutputEnable : kOutputAtStart);
    q.execute();
  } catch (const nuvo::db::Error&) {
  }
}

void TfmWorkSheet::showFailure(int line, int position, const QString& message) {
  const nuvo::sqlwork::ErrorPlace place =
      placeErrors_ ? nuvo::sqlwork::editorErrorPlace(statement_, line, position) : nuvo::sqlwork::ErrorPlace{};
  ShowExecError(place.line, place.position, message);
  showPage(TabRespError);
}

void TfmWorkSheet::selectFinished(bool failed, int line, int position, const QString& message) {
  worker_ = nullptr;
  tiCas->stop();
  dsDynWork->setDataset(&quDynWork);
  if (failed) {
    showFailure(line, position, message);
  } else {
    ShowElapsedTime(true);
    lError = false;
    showPage(TabRespGrid);
  }
  EndRun();
  AdjustGridColumns(dbgSelect, 100, 33);
  spExe->setToolTip(nizSpExeHint);
}

void TfmWorkSheet::sqlFinished(bool failed, int line, int position, const QString& message, qint64 rows) {
  worker_ = nullptr;
  tiCas->stop();
  bool napaka = failed;
  if (failed) {
    showFailure(line, position, message);
  } else {
    // Only a unit just compiled can have left compile errors.
    const QString word = statement_.text.left(6).toUpper();
    const bool warned = !message.isEmpty();
    if (word.startsWith(u"CREATE") || word.startsWith(u"ALTER") || warned) {
      try {
        napaka = ShowCompileErrors(dtOra);
      } catch (const nuvo::db::Error&) {
        nuvo::showMessage(QStringLiteral("SELECT ANY DICTIONARY privileg is missing"), nuvo::MessageKind::Error, this);
        napaka = false;
      }
      // Without the listing the server's warning still tells that the unit did not compile.
      if (warned && !napaka) {
        napaka = true;
        ShowExecError(0, 0, message);
        showPage(TabRespError);
      }
    }
    SetTransactionButtons(currDataBase->connected() && currDataBase->inTransaction());
    if (!napaka) {
      lError = false;
      ShowElapsedTime(true);
      meRespSQL->appendPlainText(context().nizDone);
      if (mmEchoON->isChecked()) {
        for (const QString& l : editorLines(editorText())) meRespSQL->appendPlainText(u'>' + l);
        meRespSQL->appendPlainText(QString());
      }
      if (lInsert || lUpdate || lDelete) meRespSQL->appendPlainText(QStringLiteral("%1 rows processed").arg(rows));
      showPage(TabRespSQL);
      if (meRespSQL->toPlainText().isEmpty()) meRespSQL->appendPlainText(QStringLiteral("Statement processed"));
    }
  }
  if (currDataBase->connected()) {
    QStringList output;
    try {
      output = currDataBase->takeOutput();
    } catch (const nuvo::db::Error&) {
    }
    for (const QString& l : output) (napaka ? meRespError : meRespSQL)->appendPlainText(l);
  }
  EndRun();
  spExe->setToolTip(nizSpExeHint);
}

void TfmWorkSheet::EndRun() {
  QApplication::restoreOverrideCursor();
  if (!lError) {
    ReadSessionIO(sBlock, sCGts, sPhRd, sBlChg, sCChg);
    laBlock->setText(QStringLiteral(" Block gets :%1").arg(sBlock - iBlock));
    laCGts->setText(QStringLiteral("Consistent gets:%1").arg(sCGts - iCGts));
    laPhRd->setText(QStringLiteral("Physical reads:%1").arg(sPhRd - iPhRd));
    laCChg->setText(QStringLiteral("Consistent changes:%1").arg(sCChg - iCChg));
    laBlChg->setText(QStringLiteral("Block changes:%1").arg(sBlChg - iBlChg));
    if (mmStatistics->isChecked()) showPage(tabSesStat);
  }
  ring.record(editorText());
  meWork->selectAll();
  spExe->setChecked(false);
}

void TfmWorkSheet::ShowElapsedTime(bool withMilliseconds) {
  laTime->setText(nuvo::sqlwork::formatElapsed(currdt.isValid() ? currdt.elapsed() : 0, withMilliseconds));
}

void TfmWorkSheet::ShowExecError(int line, int position, const QString& message) {
  meRespError->setPlainText(
      nuvo::sqlwork::formatErrorPane(editorLines(editorText()), line, position, message).join(u'\n'));
}

void TfmWorkSheet::SetErrorQuery(const QString& version) {
  quError.setSql(nuvo::sqlwork::isVersion7Query(version) ? kErrorV7 : kErrorV8);
}

bool TfmWorkSheet::ShowCompileErrors(const QDateTime& start) {
  QList<nuvo::sqlwork::CompileError> rows;
  quError.setVariable("trenCas", start);
  meRespError->clear();
  try {
    for (quError.execute(); !quError.eof(); quError.next())
      rows << nuvo::sqlwork::CompileError{quError.field("OBJECT").asString(),
                                          static_cast<int>(quError.field("LINE").asInteger()),
                                          static_cast<int>(quError.field("POSITION").asInteger()),
                                          quError.field("TEXT").asString()};
  } catch (...) {
    quError.close();
    showPage(TabRespError);
    throw;
  }
  quError.close();
  const QStringList lines = nuvo::sqlwork::compileErrorLines(rows);
  for (const QString& l : lines) meRespError->appendPlainText(l);
  showPage(TabRespError);
  return !lines.isEmpty();
}

void TfmWorkSheet::readSessionId() {
  ORACLESid = -1;
  if (!currDataBase || !currDataBase->connected()) return;
  try {
    quSid.execute();
    if (!quSid.eof()) ORACLESid = static_cast<int>(quSid.field("SID").asInteger());
  } catch (const nuvo::db::Error&) {
    ORACLESid = -1;
  }
  quSid.close();
}

void TfmWorkSheet::ReadSessionIO(int& block, int& cgets, int& phrd, int& blchg, int& cchg) {
  if (!mmStatisticsView->isEnabled()) return;
  try {
    quSesStat.setVariable("sid", ORACLESid);
    quSesStat.execute();
    if (quSesStat.eof()) throw nuvo::db::Error::client(QStringLiteral("no session"));
    block = static_cast<int>(quSesStat.field("BLOCK_GETS").asInteger());
    cgets = static_cast<int>(quSesStat.field("CONSISTENT_GETS").asInteger());
    phrd = static_cast<int>(quSesStat.field("PHYSICAL_READS").asInteger());
    blchg = static_cast<int>(quSesStat.field("BLOCK_CHANGES").asInteger());
    cchg = static_cast<int>(quSesStat.field("CONSISTENT_CHANGES").asInteger());
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nizErrStat, nuvo::MessageKind::Error, this);
    mmStatisticsView->setEnabled(false);
    mmStatistics->setEnabled(false);
    mmStatistics->setChecked(false);
    block = cgets = phrd = blchg = cchg = 0;
  }
  quSesStat.close();
}

void TfmWorkSheet::mmStatisticsClick() {
  if (mmStatistics->isChecked()) {
    showPage(tabSesStat);
  } else if (pcResp->currentWidget() == tabSesStat) {
    showPage(zadnjiEkran == u"GRID" ? TabRespGrid : zadnjiEkran == u"MEMO" ? TabRespSQL : TabRespError);
  } else {
    showPage(tabSesStat);
  }
}

void TfmWorkSheet::mmDBMS_OutputClick() {
  if (!currDataBase->connected()) return;
  try {
    nuvo::db::Query q(currDataBase);
    q.setSql(mmDBMS_Output->isChecked() ? kOutputEnable : kOutputDisable);
    q.execute();
  } catch (const nuvo::db::Error&) {
  }
}

void TfmWorkSheet::gridTitleClick(int column) {
  if (dbmMemo->isVisible()) {
    dbmMemo->hide();
    return;
  }
  const int row = qMax(0, dbgSelect->currentRow());
  if (!quDynWork.isOpen() || column >= quDynWork.fieldCount()) return;
  dbmMemo->setPlainText(row < quDynWork.recordCount() ? nuvo::db::displayText(quDynWork.value(row, column)) : QString());
  dbmMemo->show();
}

void TfmWorkSheet::btCommitClick() {
  try {
    currDataBase->applyUpdates({&quDynWork}, true);
    SetTransactionButtons(false);
    currDataBase->commit();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::btRollbackClick() {
  try {
    quDynWork.cancelUpdates();
  } catch (const nuvo::db::Error&) {
  }
  try {
    currDataBase->rollback();
  } catch (const nuvo::db::Error&) {
  }
  SetTransactionButtons(false);
}

// ---------------------------------------------------------------------------------------------
// Sessions

void TfmWorkSheet::bindAll(nuvo::db::Session* session) {
  dsDynWork->setDataset(nullptr);
  for (nuvo::db::SqlCommand* c : std::initializer_list<nuvo::db::SqlCommand*>{
           &quDynWork, &quDynQuery, &quTmp, &quGetTime, &quError, &quSesStat, &quSid, &quHistory, &quPutInHistory,
           &quUpdateHist, &quDeleteHistory, &quExplain, &quObjekti, &quPackages, &quInOut, &quTables, &quTabCol})
    c->setSession(session);
  dsDynWork->setDataset(&quDynWork);
}

void TfmWorkSheet::mmConnectClick() {
  if (running()) return;
  TfmMain& m = context();
  if (currDataBase->connected() && (currDataBase->inTransaction() || btCommit->isEnabled())) {
    if (nuvo::askYesNo(nizComCur, this))
      btCommitClick();
    else
      btRollbackClick();
  }
  // The dialog starts with an empty password; the program's own password stays as it was, so a
  // later save of the settings keeps it.
  const QString password = m.connPassword;
  m.connPassword.clear();
  auto* dialog = new TfmConnect(this);
  dialog->doaOracle = tmpDataBase.get();
  dialog->connForm = this;
  dialog->exec();
  m.connPassword = password;
  if (!tmpDataBase->connected()) {
    if (currDataBase == tmpDataBase.get()) Disconnect();
    return;
  }
  ORACLEVersion = m.getOracleVersion(*tmpDataBase, m.ORACLEVersionDod);
  m.changeDateFormat(*tmpDataBase, m.currentDateFormat);
  SetErrorQuery(ORACLEVersion);
  setToolTip(QString());
  LoadHistory();
  quDynWork.close();
  quTmp.close();
  quExplain.close();
  bindAll(tmpDataBase.get());
  currDataBase = tmpDataBase.get();
  readSessionId();
  if (mmDBMS_Output->isChecked()) enableServerOutput(100000);
  sUserCaption = windowTitle();
  paSQLLeft->setEnabled(true);
  mmDisconnect->setEnabled(true);
  SetTransactionButtons(false);
  showPage(TabRespError);
}

void TfmWorkSheet::Disconnect() {
  // The main session belongs to the whole program: only the window's own session is logged off.
  if (running() || currDataBase != tmpDataBase.get()) return;
  if (currDataBase->connected()) {
    if (currDataBase->inTransaction() || btCommit->isEnabled()) {
      if (nuvo::askYesNo(nizComCur, this))
        btCommitClick();
      else
        btRollbackClick();
    }
    currDataBase->logOff();
  }
  SetTransactionButtons(false);
  paSQLLeft->setEnabled(false);
  setWindowTitle(sCaption);
  setToolTip(sCaption);
  showPage(TabRespError);
}

// ---------------------------------------------------------------------------------------------
// Events

bool TfmWorkSheet::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::WindowActivate && fmMain()) {
    LargeRBONLINE->setChecked(context().command("mmActivateLargeRB")->isChecked());
    meWork->setFocus();
  }
  return handled;
}

bool TfmWorkSheet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbTabela && event->type() == QEvent::FocusIn) cbTabelaEnter();
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    if (key->key() == Qt::Key_F9 || (ctrl && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))) {
      if (!key->isAutoRepeat() && !running()) {
        pTipkaF9 = true;
        spExe->setChecked(true);
        spExeClick();
      }
      return true;
    }
    if (ctrl && key->key() == Qt::Key_F) {
      paFind->show();
      if (meWork->hasSelectedText() && !meWork->selectedText().contains(u'\n')) edFind->setText(meWork->selectedText());
      edFind->setFocus();
      edFind->selectAll();
      return true;
    }
    if (key->key() == Qt::Key_Escape && (watched == edFind || watched == edReplace)) {
      paFind->hide();
      meWork->setFocus();
      return true;
    }
    if (ctrl && key->key() == Qt::Key_P) {
      spBackClick();
      return true;
    }
    if (ctrl && key->key() == Qt::Key_N) {
      spNextClick();
      return true;
    }
    if (ctrl && key->key() == Qt::Key_Plus && (key->modifiers() & Qt::KeypadModifier)) {
      AdjustGridColumns(dbgSelect, 100, 33);
      return true;
    }
  } else if (event->type() == QEvent::KeyRelease && watched == meWork) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_D) {
      meWork->clear();
      return true;
    }
    if (mods == Qt::ControlModifier && key->key() == Qt::Key_T) {
      meWork->clear();
      setEditorText(QStringLiteral("SET TRANSACTION USE ROLLBACK SEGMENT ") + largeRBName_ + kCrLf);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfmWorkSheet::closeEvent(QCloseEvent* event) {
  TfmMain* m = fmMain();
  if (m && m->workSheetStevec == WorkStevec) --m->workSheetStevec;
  // A running statement is broken and its worker ends before the window goes.
  if (QThread* worker = worker_.data()) {
    currDataBase->breakExecution();
    worker->wait();
    QApplication::restoreOverrideCursor();
  }
  worker_ = nullptr;
  try {
    if (currDataBase && currDataBase->connected() && (currDataBase->inTransaction() || btCommit->isEnabled())) {
      if (nuvo::askYesNo(nizComCur, this)) {
        currDataBase->applyUpdates({&quDynWork}, true);
        currDataBase->commit();
      } else {
        quDynWork.cancelUpdates();
        currDataBase->rollback();
      }
    }
    if (currDataBase == tmpDataBase.get() && tmpDataBase->connected()) tmpDataBase->logOff();
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nizCloseForm, nuvo::MessageKind::Error, this);
  }
  event->accept();
}

// ---------------------------------------------------------------------------------------------
// History ring and table

void TfmWorkSheet::spBackClick() {
  if (auto text = ring.previous()) setEditorText(*text);
}

void TfmWorkSheet::spNextClick() {
  if (auto text = ring.next()) setEditorText(*text);
}

bool TfmWorkSheet::historyIsOwn() const {
  return currDataBase && currDataBase->connected() && edOwner->text().toUpper() == currDataBase->user();
}

void TfmWorkSheet::LoadHistory() {
  if (!currDataBase || !currDataBase->connected()) return;
  const QString owner = edOwner->text().toUpper();
  // The pointer is repaired at most once; a second broken read ends the load.
  for (int attempt = 0; attempt < 2; ++attempt) {
    QList<nuvo::sqlwork::HistoryRow> rows;
    QString pointerText;
    int pointerSlot = 0;
    try {
      nuvo::db::Query q(currDataBase);
      q.setSql(kLoadHistory);
      q.declareVariable("owner", DataType::String);
      q.setVariable("owner", owner);
      q.execute();
      if (q.eof()) return;
      pointerSlot = static_cast<int>(q.field("HIST_ZPST").asInteger());
      pointerText = q.field("HIST_UKAZ").asString();
      for (q.next(); !q.eof(); q.next())
        rows << nuvo::sqlwork::HistoryRow{static_cast<int>(q.field("HIST_ZPST").asInteger()),
                                          q.field("HIST_UKAZ").asString()};
    } catch (const nuvo::db::Error&) {
      nuvo::showMessage(nizErrHist, nuvo::MessageKind::Error, this);
      return;
    }
    if (const std::optional<int> pointer = nuvo::sqlwork::historyPointer(pointerText)) {
      nuvo::sqlwork::loadHistoryRows(ring, *pointer, rows);
      return;
    }
    const std::optional<int> repaired = nuvo::sqlwork::repairedHistoryPointer(rows);
    if (!repaired || attempt > 0) return;
    try {
      const bool hadTransaction = currDataBase->inTransaction();
      nuvo::db::Query q(currDataBase);
      q.setSql(kRepairHistory);
      q.declareVariable("ukaz", DataType::String);
      q.declareVariable("owner", DataType::String);
      q.declareVariable("zpst", DataType::Integer);
      q.setVariable("ukaz", QString::number(*repaired));
      q.setVariable("owner", owner);
      q.setVariable("zpst", pointerSlot);
      q.execute();
      // Only the repair is committed; work the session had open is left to the user.
      if (!hadTransaction) currDataBase->commit();
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
      return;
    }
  }
}

void TfmWorkSheet::spSaveHistClick() {
  if (currDataBase->inTransaction()) {
    nuvo::showMessage(nizErrExp, nuvo::MessageKind::Warning, this);
    return;
  }
  try {
    quPutInHistory.setVariable("niz", editorText());
    quPutInHistory.execute();
    currDataBase->commit();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::writeHistoryList() {
  quHistory.close();
  quHistory.setVariable("lastnik", edOwner->text().toUpper());
  try {
    quHistory.open();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::mmHistoryClick() {
  writeHistoryList();
  showPage(tabHist);
}

void TfmWorkSheet::spUpdateHistClick() {
  const int row = quHistory.currentRow();
  if (!historyIsOwn() || !quHistory.isOpen() || row < 0) return;
  try {
    quUpdateHist.setVariable("zapst", quHistory.value(row, QStringLiteral("HIST_ZPST")));
    quUpdateHist.setVariable("ukaz", editorText());
    quUpdateHist.execute();
    SetTransactionButtons(true);
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::spDeleteHistClick() {
  const int row = quHistory.currentRow();
  if (!historyIsOwn() || !quHistory.isOpen() || row < 0) return;
  try {
    quDeleteHistory.setVariable("zapUkaz", quHistory.value(row, QStringLiteral("HIST_ZPST")));
    quDeleteHistory.execute();
    SetTransactionButtons(true);
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  writeHistoryList();
}

// ---------------------------------------------------------------------------------------------
// Explain

bool TfmWorkSheet::runTmp(const QString& statement) {
  try {
    quTmp.deleteVariables();
    quTmp.setSql(statement);
    quTmp.execute();
    quTmp.close();
    return true;
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(nizErrOn + statement + QStringLiteral("\n\n") + e.message(), nuvo::MessageKind::Error, this);
    return false;
  }
}

void TfmWorkSheet::spExplainClick() {
  if (currDataBase->inTransaction()) {
    nuvo::showMessage(nizErrExp, nuvo::MessageKind::Warning, this);
    SetTransactionButtons(true);
    return;
  }
  showPage(tabExplain);
  static int explains = 0;
  if (ORACLESid < 0) readSessionId();
  const QString id = nuvo::sqlwork::explainStatementId(ORACLESid, ++explains);
  const QString explain = nuvo::sqlwork::explainStatement(id, editorLines(editorText()));
  auto removeRows = [&] {
    quTmp.setSql(kEmptyPlan);
    quTmp.declareVariable("id", nuvo::db::DataType::String);
    quTmp.setVariable("id", id);
    quTmp.execute();
    quTmp.close();
    quTmp.deleteVariables();  // quTmp runs other statements without binds
  };
  auto rollback = [&] {
    try {
      currDataBase->rollback();
    } catch (const nuvo::db::Error&) {
    }
  };
  try {
    removeRows();  // what an explain of an earlier session with this SID left behind
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(nizErrOn + kEmptyPlan.lines().join(u'\n') + QStringLiteral("\n\n") + e.message(),
                      nuvo::MessageKind::Error, this);
    rollback();
    return;
  }
  if (!runTmp(explain)) {
    rollback();
    return;
  }
  meExplain->clear();
  try {
    quExplain.setVariable("id", id);
    for (quExplain.execute(); !quExplain.eof(); quExplain.next())
      meExplain->appendPlainText(quExplain.field("ZAPOREDJE").asString());
    quExplain.close();
    removeRows();
    currDataBase->commit();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    rollback();
  }
  meExplain->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Builders

void TfmWorkSheet::InsertMacroText(bool newline, const QString& text) {
  meWork->insertAtCaret(context().prepareInsertTemplate(newline, text));
}

bool TfmWorkSheet::findNext() { return meWork->findNextText(edFind->text()); }

void TfmWorkSheet::replaceFound() { meWork->replaceFoundText(edFind->text(), edReplace->text()); }

int TfmWorkSheet::replaceAll() { return meWork->replaceAllText(edFind->text(), edReplace->text()); }

void TfmWorkSheet::MakeQueryLiveClick() { setEditorText(context().postaviLiveQuery(this, editorText())); }

void TfmWorkSheet::ExecuteFunctionClick() {
  if (firstTimeFunc) {
    firstTimeFunc = false;
    edUser->setText(context().currOwner.toUpper());
    btRefreshClick();
  }
  btRefresh->setDefault(true);
  showPage(tabProcFunc);
}

void TfmWorkSheet::btRefreshClick() {
  for (QTreeWidgetItem* top : {tnProc, tnFunc, tnPck}) qDeleteAll(top->takeChildren());
  try {
    quObjekti.setVariable("upor", edUser->text() + u'%');
    quObjekti.setVariable("objekt", edFilter->text() + u'%');
    for (quObjekti.execute(); !quObjekti.eof(); quObjekti.next()) {
      QTreeWidgetItem* parent = quObjekti.field("OBJECT_TYPE").asString() == u"PROCEDURE" ? tnProc : tnFunc;
      new QTreeWidgetItem(parent, {quObjekti.field("OWNER").asString().toLower() + u'.' +
                                   quObjekti.field("OBJECT_NAME").asString()});
    }
    quObjekti.close();
    quPackages.setVariable("upor", edUser->text() + u'%');
    quPackages.setVariable("objekt", edFilter->text() + u'%');
    QTreeWidgetItem* package = nullptr;
    QString packageKey;
    for (quPackages.execute(); !quPackages.eof(); quPackages.next()) {
      const QString key = quPackages.field("OWNER").asString() + u'.' + quPackages.field("PACKAGE_NAME").asString();
      if (!package || key != packageKey) {
        packageKey = key;
        package = new QTreeWidgetItem(tnPck, {quPackages.field("OWNER").asString().toLower() + u'.' +
                                              quPackages.field("PACKAGE_NAME").asString().toUpper()});
      }
      new QTreeWidgetItem(package, {quPackages.field("OBJECT_NAME").asString()});
    }
    quPackages.close();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::tvSQLClick(QTreeWidgetItem* node) {
  tvSQL->setCurrentItem(node);
  sgParams->setRowCount(0);
  QString owner, object, package = QStringLiteral("A");
  const bool member = node->parent() && node->parent()->parent() == tnPck;
  if (member) {
    object = node->text(0);
    const QString parent = node->parent()->text(0);
    owner = parent.section(u'.', 0, 0);
    package = parent.section(u'.', 1);
  } else if (node->text(0).contains(u'.')) {
    owner = node->text(0).section(u'.', 0, 0);
    object = node->text(0).section(u'.', 1);
  } else {
    sgParams->hide();
    return;
  }
  try {
    quInOut.setVariable("upor", owner);
    quInOut.setVariable("objekt", object.toUpper());
    quInOut.setVariable("pack", package);
    for (quInOut.execute(); !quInOut.eof(); quInOut.next()) {
      const QString name = quInOut.field("ARGUMENT_NAME").asString();
      const QString inOut = quInOut.field("IN_OUT").asString();
      if (name.isEmpty() && inOut == u"IN") continue;
      const int row = sgParams->rowCount();
      sgParams->insertRow(row);
      setCell(sgParams, row, 0, name, false);
      setCell(sgParams, row, 1, quInOut.field("DATA_TYPE").asString().toLower(), false);
      setCell(sgParams, row, 2, inOut, false);
      setCell(sgParams, row, 3, QString(), true);
    }
    quInOut.close();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  sgParams->setVisible(sgParams->rowCount() > 0);
}

void TfmWorkSheet::btInsertClick() {
  QTreeWidgetItem* node = tvSQL->currentItem();
  if (!node) return;
  const bool member = node->parent() && node->parent()->parent() == tnPck;
  const QString object = member ? node->parent()->text(0) + u'.' + node->text(0) : node->text(0);
  QList<nuvo::sqlwork::CallArgument> arguments;
  for (int row = 0; row < sgParams->rowCount(); ++row)
    arguments << nuvo::sqlwork::CallArgument{cellText(sgParams, row, 0), cellText(sgParams, row, 1),
                                             cellText(sgParams, row, 2), cellText(sgParams, row, 3)};
  meWork->clear();
  InsertMacroText(false, nuvo::sqlwork::callBlock(object, arguments, !sgParams->isHidden(), context().p_newLine));
}

void TfmWorkSheet::cbTabelaEnter() {
  const QString current = cbTabela->currentText();
  cbTabela->clear();
  try {
    quTables.setVariable("upor", edUserTabela->text().toUpper());
    quTables.setVariable("tabela", edFilterTabela->text().isEmpty() ? QStringLiteral("%")
                                                                    : edFilterTabela->text().toUpper() + u'%');
    for (quTables.execute(); !quTables.eof(); quTables.next()) cbTabela->addItem(quTables.field("TABLE_NAME").asString());
    quTables.close();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  cbTabela->setCurrentIndex(cbTabela->findText(current));
}

void TfmWorkSheet::cbTabelaChoose() {
  QStringList filters;
  for (int row = 0; row < sgColumns->rowCount(); ++row) filters << cellText(sgColumns, row, 8);
  sgColumns->setRowCount(0);
  try {
    quTabCol.setVariable("upor", edUserTabela->text().toUpper());
    quTabCol.setVariable("tabela", cbTabela->currentText());
    for (quTabCol.execute(); !quTabCol.eof(); quTabCol.next()) {
      const int row = sgColumns->rowCount();
      sgColumns->insertRow(row);
      setCell(sgColumns, row, 0, QStringLiteral(" "), false);
      for (int c = 0; c < 7; ++c) setCell(sgColumns, row, c + 1, quTabCol.field(c).asString(), false);
      setCell(sgColumns, row, 8, filters.value(row), true);
    }
    quTabCol.close();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  sgColumns->setVisible(sgColumns->rowCount() > 0);
}

void TfmWorkSheet::btStavekClick() {
  QList<nuvo::sqlwork::SelectColumn> columns;
  for (int row = 0; row < sgColumns->rowCount(); ++row)
    columns << nuvo::sqlwork::SelectColumn{cellText(sgColumns, row, 0) == u"+", cellText(sgColumns, row, 1),
                                           cellText(sgColumns, row, 2), cellText(sgColumns, row, 8)};
  setEditorText(nuvo::sqlwork::selectStatement(edUserTabela->text(), cbTabela->currentText(), columns,
                                               cbLive->isChecked()));
}

void TfmWorkSheet::CovertDelphiStringClick() {
  const std::optional<QStringList> lines = nuvo::sqlwork::convertDelphiString(meWork->text());
  if (!lines) {
    nuvo::showMessage(nizErrStr, nuvo::MessageKind::Warning, this);
    return;
  }
  setEditorText(lines->join(kCrLf));
}

void TfmWorkSheet::spConvertToAsciiClick() {
  if (!quDynWork.isOpen() || running()) return;
  quDynWork.fetchAll();
  QStringList labels;
  for (int c = 0; c < quDynWork.fieldCount(); ++c) labels << dsDynWork->headerData(c, Qt::Horizontal).toString();
  QList<QStringList> rows;
  for (int r = 0; r < quDynWork.recordCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < quDynWork.fieldCount(); ++c) cells << nuvo::db::displayText(quDynWork.value(r, c));
    rows << cells;
  }
  for (const QString& l : nuvo::sqlwork::gridAsText(labels, rows, context().pretvoriDescriptor()))
    meRespSQL->appendPlainText(l);
  showPage(TabRespSQL);
}

// ---------------------------------------------------------------------------------------------
// Files

void TfmWorkSheet::Open2Click() {
  QFileDialog dialog(this, QStringLiteral("Open"), context().CurrentEditInitDir,
                     QStringLiteral("SQL (*.sql);;All files (*)"));
  dialog.setObjectName("OpenDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("sql"));
  if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  try {
    meWork->loadFile(path);
    SetCurrentFile(path);
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::saveText(bool output) {
  QString path = output ? QString() : currentFile;
  if (path.isEmpty()) {
    QFileDialog dialog(this, QStringLiteral("Save"), context().CurrentEditInitDir,
                       QStringLiteral("SQL (*.sql);;All files (*)"));
    dialog.setObjectName("SaveDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    if (nuvo::execModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    path = dialog.selectedFiles().first();
    // The output pane goes to a file of its own; the editor's file stays the editor's.
    if (!output) SetCurrentFile(path);
  }
  try {
    if (output) {
      const QString text = nuvo::lfToCrlf(meRespSQL->toPlainText());
      if (context().currUnicode)
        nuvo::writeFileAtomically(path, QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
      else
        nuvo::writeTextFile(path, text);
    } else {
      meWork->saveFile(path);
    }
  } catch (const nuvo::PlatformError& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmWorkSheet::Save2Click() { saveText(meRespSQL->hasFocus()); }

void TfmWorkSheet::SaveAs1Click() {
  const bool output = meRespSQL->hasFocus();
  if (!output) currentFile.clear();
  saveText(output);
}

void TfmWorkSheet::dbgSelectDblClick() {
  const QModelIndex index = dbgSelect->currentIndex();
  if (!index.isValid() || !quDynWork.isOpen() || running()) return;
  const nuvo::db::Column& column = quDynWork.columns()[index.column()];
  const bool blob = column.type == DataType::Binary;
  const bool memo = column.type == DataType::Long || column.typeName == u"CLOB";
  if (!blob && !memo) return;
  auto* viewer = new TfmGetPict(this);
  viewer->pImage = blob;
  viewer->LoadButton->setText(blob ? QStringLiteral("Load Image") : QStringLiteral("Load text"));
  viewer->popravljanje = quDynWork.cachedUpdates();
  viewer->bindField(&quDynWork, index.row(), column.name);
  nuvo::execModal(*viewer);
}
