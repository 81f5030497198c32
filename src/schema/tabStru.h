#pragma once
// The table-structure window: finds the tables and columns of any owner, here or over a database
// link, and shows one chosen table from several sides (columns, indexes, constraints, triggers,
// references, dependencies, views). A new window each time; freed when closed.

#include <QDialog>
#include <QMap>

#include "db/dataset.h"
#include "schema/table_dictionary.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QAction;
class QToolButton;
class QTreeWidget;
class TThemedDBGrid;

class TfmTableStru : public QDialog {
  Q_OBJECT
 public:
  explicit TfmTableStru(QWidget* parent = nullptr);
  ~TfmTableStru() override;

  void SetLanguageTexts();
  // Lists the tables (or columns) of the owner and table boxes, over the chosen link.
  void btStruClick();
  void cbColClick();
  void btRefreshClick();
  // Loads the shown page for the current table unless it shows that table already.
  void pcTableChange();
  void clearCache();
  // A link chosen hides the pages that read the local dictionary only and turns off every action
  // that changes a schema.
  void cbDBLinkChange();

  const QString& currOwner() const { return currOwner_; }
  const QString& currTableName() const { return currTableName_; }
  QString link() const;
  // Makes the owner and table current (as the row of a list gives them).
  void chooseTable(const QString& owner, const QString& table);

  // The pop-ups of the pages; each acts on the row chosen and only while no link is chosen.
  void pmDropClick();
  void pmDeleteClick();
  void pmEnDisClick();
  void mmDisableTriggerClick() { switchTrigger(false); }
  void mmEnableTriggerClick() { switchTrigger(true); }
  // Switches the index and constraint grids between whole-row selection and single cells.
  void spUpdateClick();

  QComboBox *cbUser, *cbDBLink, *cbColOrder;
  QLineEdit *edTabela, *edKolona;
  QCheckBox* cbCol;
  QPushButton *btStru, *btRefresh, *btExit;
  QLabel *laOwner, *laTable, *laCol, *laLink, *laCurrTable, *laOrder;
  QTabWidget* pcTable;
  QWidget *tabTables, *TabColumns, *tabIndexs, *tabConstr, *tabTrigg, *tabRef, *tabDep, *tabView;
  TThemedDBGrid *dbgTables, *dbgKolone, *dbgTrigger, *dbgViews;
  QPlainTextEdit *dbmCol, *DBMemo1, *DBMemo2;
  QTableWidget *sgColumns, *sgIndex, *sgConstraint;
  QTreeWidget *tvRef, *tvDep;
  QCheckBox* cbMaterlaizedView;
  QToolButton* spUpdate;
  QAction *pmDrop, *pmDelete, *pmEnDis, *mmDisableTrigger, *mmEnableTrigger;
  nuvo::db::Dataset quUsers, quTables, quColumns, quDBLinks, quTrigg, quViews, quMViews;
  // User of each link, by link name.
  QMap<QString, QString> linkUsers;

 private:
  void loadColumns();
  void loadIndexes();
  void loadConstraints();
  void loadTriggers();
  void loadReferences();
  void loadDependencies();
  void loadViews();
  void tableRowChanged();
  void columnRowChanged();
  void switchTrigger(bool enable);
  void updateActions();
  // Runs a statement that changes the schema; false (with the message shown) when it failed.
  bool execDyn(const QString& statement);

  QList<nuvo::schema::Index> indexes_;
  QList<nuvo::schema::Constraint> constraints_;
  QList<QString> constraintOfRow_;

  QString currOwner_;
  QString currTableName_;
  QMap<QWidget*, QString> cache_;
};
