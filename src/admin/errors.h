#pragma once
// The status window of stored code: the invalid objects of an owner in compile order (compile one,
// Recompile All), the state of all stored objects with their last change (search, order, drop), and
// the compile errors of the owner. Several may be open; the newest is the program-wide one.

#include <QDialog>
#include <QPointer>

#include "admin/errors_logic.h"
#include "db/dataset.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolBar;
class TThemedDBGrid;

class TfmErrors : public QDialog {
  Q_OBJECT
 public:
  // Lists the invalid objects of the current owner (the logged-on user when none is set).
  explicit TfmErrors(QWidget* parent = nullptr);
  ~TfmErrors() override;

  // Creates a status window, makes it the program-wide one and shows it.
  static TfmErrors* openNew();
  // The newest status window still open.
  static TfmErrors* current();

  enum class View { Invalid, State, Errors };
  View view() const { return view_; }
  bool recompiling() const { return recompiling_; }
  // The object of the list's current row (nothing listed: empty names).
  nuvo::admin::StoredObject currentObject() const;

  void SetLanguageTexts();
  void tbInvalidClick();
  void tbSPClick();
  void tbErrorsClick();
  void btRefreshClick();
  void rbTypeClick();
  void tbCompileClick();
  // Compiles every listed object, then lists the invalid ones again. Returns when done; while it
  // runs the window takes only Cancel, and closing waits for the loop to end.
  void tbCompileAllClick();
  void btDropObjectClick();

  QToolBar* ToolBar1;
  QAction *tbInvalid, *tbSP, *tbErrors, *tbCompile, *tbCompileAll, *tbExit;
  QLabel *laOwner, *laSearch;
  QLineEdit *edOwner, *edSearch;
  QPushButton *btRefresh, *btDropObject;
  QGroupBox* gbOrder;
  QRadioButton *rbType, *rbObject, *rbLast;
  QCheckBox *cbInvalid, *cbPrekini;
  QStackedWidget* pcPages;
  QWidget *tsList, *tsErrors;
  TThemedDBGrid *DBGrid1, *DBGrid2;
  QPlainTextEdit* DBMemo1;
  nuvo::db::Dataset quInvalid;
  nuvo::db::Dataset quErrors;
  // The last single compile ended without a database error but left the object invalid.
  bool lNapaka = false;

  QString nizInvalid, nizState, nizErrors, nizErrDrop, nizDroped;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWidgets();
  // Opens the list for `owner` with the status filter, name filter and ordering given.
  void openList(const QString& owner, const QString& status, const QVariant& name, nuvo::admin::ListOrder order);
  nuvo::admin::ListOrder chosenOrder() const;
  void setView(View view);
  void showErrorText();
  void setCommandsEnabled(bool enabled);

  View view_ = View::Invalid;
  // The owner the list was read for: every statement on a row acts on it, whatever the box holds now.
  QString listedOwner_;
  QString listedStatus_;
  QVariant listedName_;
  bool recompiling_ = false;
  bool closeRequested_ = false;
};
