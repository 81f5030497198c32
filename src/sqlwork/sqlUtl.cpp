#include "sqlwork/sqlUtl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "db/error.h"
#include "db/query.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "shell/sql_catalog.h"
#include "sqlwork/index_drop_logic.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"

namespace {

// Indexes with a constraint of their name, or that a key constraint uses, are not listed: they go
// with their constraint. OWNER (hidden in the grid) is what the drop of a row uses.
const nuvo::SqlText kDropIndexes{"sqlUtl.quDropIndexes",
                                 {"select table_name,index_name,owner from all_indexes",
                                  "where (:oper is null or owner= :oper )and ",
                                  "(:indexName is null or index_name like :indexName )and",
                                  "(:tableName is null or table_name like :TableName )",
                                  "",
                                  "and NOT EXISTS (select constraint_name from all_constraints",
                                  "where owner=all_indexes.owner and",
                                  "constraint_name=all_indexes.index_name)",
                                  "and NOT EXISTS (select constraint_name from all_constraints",
                                  "where index_owner=all_indexes.owner and index_name=all_indexes.index_name)",
                                  "order by table_name,index_name"}};

QVariant orNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

}  // namespace

TfmSQLUtl::TfmSQLUtl(QWidget* parent) : QDialog(parent), quDropIndexes(&fmMain()->osOracle) {
  setObjectName(QStringLiteral("fmSQLUtl"));
  setWindowTitle(QStringLiteral("SQL-utilities"));
  setAttribute(Qt::WA_DeleteOnClose);
  quDropIndexes.setSql(kDropIndexes);
  quDropIndexes.setReadOnly(true);
  for (const char* name : {"oper", "indexName", "tableName"})
    quDropIndexes.declareVariable(QString::fromLatin1(name), nuvo::db::DataType::String);

  auto* layout = new QVBoxLayout(this);
  mmSQLUtl = new QMenuBar(this);
  mmSQLUtl->setObjectName(QStringLiteral("mmSQLUtl"));
  mmDropindexes = mmSQLUtl->addAction(QStringLiteral("Drop indexes"));
  mmDropindexes->setObjectName(QStringLiteral("mmDropindexes"));
  mmDropindexes->setToolTip(QStringLiteral("Drop indexes(not PK or FK)"));
  mmDropindexes->setStatusTip(mmDropindexes->toolTip());
  mmExit = mmSQLUtl->addAction(QStringLiteral("&Exit"));
  mmExit->setObjectName(QStringLiteral("mmExit"));
  layout->setMenuBar(mmSQLUtl);

  pcSQLUtil = new QStackedWidget(this);
  pcSQLUtil->setObjectName(QStringLiteral("pcSQLUtil"));
  tabNull = new QWidget(pcSQLUtil);
  tabNull->setObjectName(QStringLiteral("tabNull"));
  tabDropIndexes = new QWidget(pcSQLUtil);
  tabDropIndexes->setObjectName(QStringLiteral("tabDropIndexes"));
  pcSQLUtil->addWidget(tabNull);
  pcSQLUtil->addWidget(tabDropIndexes);
  layout->addWidget(pcSQLUtil, 1);

  auto* page = new QVBoxLayout(tabDropIndexes);
  laTitle = new QLabel(QStringLiteral("DROP INDEXES"), tabDropIndexes);
  QFont title = laTitle->font();
  title.setBold(true);
  title.setPointSizeF(title.pointSizeF() * 1.4);
  laTitle->setFont(title);
  page->addWidget(laTitle);
  auto* boxes = new QGridLayout;
  laOwner = new QLabel(QStringLiteral("Owner:"), tabDropIndexes);
  laIdxFilter = new QLabel(QStringLiteral("Index Filter:"), tabDropIndexes);
  laTabFilter = new QLabel(QStringLiteral("Table Filter:"), tabDropIndexes);
  edOwner = new QLineEdit(tabDropIndexes);
  edOwner->setObjectName(QStringLiteral("edOwner"));
  edIdxFilter = new QLineEdit(tabDropIndexes);
  edIdxFilter->setObjectName(QStringLiteral("edIdxFilter"));
  edTabFilter = new QLineEdit(tabDropIndexes);
  edTabFilter->setObjectName(QStringLiteral("edTabFilter"));
  // The owner is raised to capitals as it is typed.
  connect(edOwner, &QLineEdit::textEdited, edOwner, [this](const QString& text) {
    const int cursor = edOwner->cursorPosition();
    edOwner->setText(text.toUpper());
    edOwner->setCursorPosition(cursor);
  });
  btRefresh = new QPushButton(QStringLiteral("."), tabDropIndexes);
  btRefresh->setObjectName(QStringLiteral("btRefresh"));
  btRefresh->setFixedWidth(28);
  btRefresh->setDefault(true);
  boxes->addWidget(laOwner, 0, 0);
  boxes->addWidget(edOwner, 0, 1);
  boxes->addWidget(laIdxFilter, 1, 0);
  boxes->addWidget(edIdxFilter, 1, 1);
  boxes->addWidget(laTabFilter, 2, 0);
  boxes->addWidget(edTabFilter, 2, 1);
  boxes->addWidget(btRefresh, 2, 2);
  boxes->setColumnStretch(3, 1);
  page->addLayout(boxes);
  DBGrid1 = new TThemedDBGrid(tabDropIndexes);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setModel(new nuvo::widgets::DatasetModel(&quDropIndexes, DBGrid1));
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  page->addWidget(DBGrid1, 1);
  auto* buttons = new QHBoxLayout;
  btDrop = new QPushButton(QStringLiteral("&Drop Indexes"), tabDropIndexes);
  btDrop->setObjectName(QStringLiteral("btDrop"));
  btDrop->setAutoDefault(false);
  buttons->addStretch(1);
  buttons->addWidget(btDrop);
  page->addLayout(buttons);
  resize(560, 460);

  connect(&quDropIndexes, &nuvo::db::Dataset::opened, DBGrid1, [this] {
    const int owner = quDropIndexes.fieldIndex(QStringLiteral("OWNER"));
    for (int column = 0; column < quDropIndexes.fieldCount(); ++column) DBGrid1->setColumnHidden(column, column == owner);
  });
  connect(mmDropindexes, &QAction::triggered, this, &TfmSQLUtl::mmDropindexesClick);
  connect(mmExit, &QAction::triggered, this, &QWidget::close);
  connect(btRefresh, &QPushButton::clicked, this, [this] {
    try {
      btRefreshClick();
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  });
  connect(btDrop, &QPushButton::clicked, this, &TfmSQLUtl::btDropClick);

  pcSQLUtil->setCurrentWidget(tabNull);
  edOwner->setText(fmMain()->connUser);
}

TfmSQLUtl::~TfmSQLUtl() = default;

void TfmSQLUtl::mmDropindexesClick() { pcSQLUtil->setCurrentWidget(tabDropIndexes); }

void TfmSQLUtl::btRefreshClick() {
  quDropIndexes.close();
  listedForOwner_ = false;
  quDropIndexes.setVariable("oper", orNull(edOwner->text()));
  quDropIndexes.setVariable("indexName", edIdxFilter->text() + u'%');
  quDropIndexes.setVariable("TableName", edTabFilter->text() + u'%');
  quDropIndexes.open();
  listedForOwner_ = !edOwner->text().isEmpty();
}

void TfmSQLUtl::btDropClick() {
  if (!quDropIndexes.isOpen() || !nuvo::askYesNo(QStringLiteral("Are you sure"), this)) return;
  quDropIndexes.fetchAll();
  if (quDropIndexes.recordCount() == 0) return;
  // Without an owner the list holds every owner's indexes; one press would drop them all.
  if (!listedForOwner_) {
    nuvo::showMessage(QStringLiteral("ERROR ON DELETING INDEX :") +
                          quDropIndexes.value(0, QStringLiteral("INDEX_NAME")).toString() +
                          QStringLiteral("\n\nList the indexes of one owner to drop them."),
                      nuvo::MessageKind::Error, this);
    return;
  }
  QList<nuvo::sqlwork::ListedIndex> indexes;
  for (int row = 0; row < quDropIndexes.recordCount(); ++row)
    indexes.append({quDropIndexes.value(row, QStringLiteral("OWNER")).toString(),
                    quDropIndexes.value(row, QStringLiteral("TABLE_NAME")).toString(),
                    quDropIndexes.value(row, QStringLiteral("INDEX_NAME")).toString()});
  const nuvo::sqlwork::DropOutcome outcome = nuvo::sqlwork::dropIndexes(indexes, [](const QString& statement) {
    nuvo::db::Query drop(&fmMain()->osOracle);
    drop.setSql(statement);
    drop.execute();
  });
  if (!outcome.failedIndex.isEmpty())
    nuvo::showMessage(nuvo::sqlwork::dropFailedMessage(outcome), nuvo::MessageKind::Error, this);
}
