#pragma once
// The table-structure window: finds the tables and columns of any owner, here or over a database
// link, and shows one chosen table from several sides (columns, indexes, constraints, triggers,
// references, dependencies, views). Its data page shows and edits the table's rows (the marked
// columns, filtered and sorted by a free WHERE / ORDER BY text), its selection panel keeps chosen
// tables with their marks and filters in the settings file, and its Enable/Disable page takes down
// and restores the foreign keys that reference the table. A new window each time; freed when closed.

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
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TThemedDBGrid;

namespace nuvo::widgets {
class DatasetModel;
}

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
  // Makes the owner and table current (as the row of a list gives them) with the filter of the
  // data page, and loads the page shown.
  void chooseTable(const QString& owner, const QString& table, const QString& filter = QString());

  // The pop-ups of the pages; each acts on the row chosen and only while no link is chosen.
  void pmDropClick();
  void pmDeleteClick();
  void pmEnDisClick();
  void mmDisableTriggerClick() { switchTrigger(false); }
  void mmEnableTriggerClick() { switchTrigger(true); }
  // Switches the index and constraint grids between whole-row selection and single cells.
  void spUpdateClick();

  // Data page: the statement of the marked columns, reopened only when it changed.
  void loadData();
  // Runs the data statement with the filter box's text as its second line.
  void btWhereClick();
  // A click on a data column's title: extends the filter by the column, or shows its value.
  void dbgDataTitleClick(int column);
  void miAdjustColumnsClick();
  // Query by example: shows the value row under the data's columns; runs the data statement (with
  // its filter) restricted by the values typed there. The filter button or another table ends it.
  void qbeEnterClick();
  void qbeRunClick();
  // Toggles the display mark of a row of the columns page.
  void toggleMark(int row);

  // Selection panel.
  void SpeedButton1Click();
  void spInsertClick();
  void dbgKoloneDblClick();
  void spDeleteClick();
  void btSaveSelectedClick();
  void tvSelectedClick(QTreeWidgetItem* item);

  // Foreign-key scripts of the Enable/Disable page.
  void btPrepareClick();
  void cbDropClick();
  void btDisableClick();
  void btEnableClick();

  QComboBox *cbUser, *cbDBLink, *cbColOrder;
  QLineEdit *edTabela, *edKolona;
  QCheckBox* cbCol;
  QPushButton *btStru, *btRefresh, *btExit;
  QLabel *laOwner, *laTable, *laCol, *laLink, *laCurrTable, *laOrder;
  QTabWidget* pcTable;
  QWidget *tabTables, *tabData, *TabColumns, *tabIndexs, *tabConstr, *tabTrigg, *tabRef, *tabDep, *tabEnDis,
      *tabView;
  TThemedDBGrid *dbgTables, *dbgKolone, *dbgTrigger, *dbgViews;
  QPlainTextEdit *dbmCol, *DBMemo1, *DBMemo2;
  QTableWidget *sgColumns, *sgIndex, *sgConstraint;
  QTreeWidget *tvRef, *tvDep;
  QCheckBox* cbMaterlaizedView;
  QToolButton* spUpdate;
  QAction *pmDrop, *pmDelete, *pmEnDis, *mmDisableTrigger, *mmEnableTrigger;
  // Data page.
  TThemedDBGrid* dbgData;
  nuvo::widgets::DatasetModel* dsData;
  QPlainTextEdit* dbCelMemo;
  QLineEdit* edFilter;
  QPushButton* btWhere;
  QToolBar* navData;
  QAction *navInsert, *navDelete, *navEdit, *navPost, *navCancel, *navQbeEnter, *navQbeRun, *navRefresh,
      *miAdjustColumns;
  // Query by example: one row of values typed under the data's columns.
  QTableWidget* sgDataQbe;
  // Selection panel.
  QWidget* paSelected;
  QTreeWidget* tvSelected;
  QToolButton *SpeedButton1, *spInsert, *spDelete;
  QPushButton* btSaveSelected;
  QLabel* laSelection;
  // Enable/Disable page.
  QPlainTextEdit *meBrisi, *meNazaj;
  QCheckBox* cbDrop;
  QPushButton *btPrepare, *btDisable, *btEnable;
  QLabel* laScriptFile;
  QString nizSucc, nizUnSucc, nizDrop, nizCreate, nizDisable, nizEnable, nizBack;

  nuvo::db::Dataset quUsers, quTables, quColumns, quDBLinks, quTrigg, quViews, quMViews, quData;
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
  void buildDataPage();
  void buildSelectionPanel();
  void buildScriptPage();
  void connectDataPage();
  void setDataLanguageTexts(bool slovene);
  // The selected root (a child's root when a child is selected), or null.
  QTreeWidgetItem* selectedRoot() const;
  // The selected root when it is the selection of the current owner and table, else null.
  QTreeWidgetItem* currentSelectionRoot() const;
  void addSelection(const QString& table, const QString& owner, const QString& columns, const QString& filter);
  // Stores the marked columns in the current table's selection.
  void storeMarks();
  QStringList markedColumns() const;
  bool hasLobColumn() const;
  // Runs the script's lines and reports the result under the button's caption; true when every line ran.
  bool runScript(const QPlainTextEdit* memo, const QString& caption);
  // Keeps what the grid wrote: commits the session; when the commit fails, says why and reads the
  // data again, so that the grid shows what the table holds.
  void commitData();
  // Back to the data statement and filter from before the query by example.
  void endQbe();
  bool eventFilter(QObject* watched, QEvent* event) override;
  void updateActions();
  // Runs a statement that changes the schema; false (with the message shown) when it failed.
  bool execDyn(const QString& statement);

  QList<nuvo::schema::Index> indexes_;
  QList<nuvo::schema::Constraint> constraints_;
  QList<QString> constraintOfRow_;

  int svHeightCelMemo = 89;
  // The data statement and filter while a query by example runs in their place; else empty.
  QStringList qbeBase_;
  // The restore script still has to run: the take-down ran and the keys are not back.
  bool restorePending_ = false;

  QString currOwner_;
  QString currTableName_;
  QMap<QWidget*, QString> cache_;
};
