#pragma once
// The window of disabled foreign keys (the rows that break one, enabling it) and the window of
// disabled or enabled triggers (switching one or all). Closing only hides them.

#include <QDialog>

#include "admin/disabled_logic.h"
#include "db/dataset.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TThemedDBGrid;

class TfmDisRef : public QDialog {
  Q_OBJECT
 public:
  explicit TfmDisRef(QWidget* parent = nullptr);
  ~TfmDisRef() override;

  void SetLanguageTexts();
  // Lists the disabled foreign keys of the owner (every owner when empty) and builds the query of
  // the first one.
  void btRefrNapClick();
  // Builds the violating-rows query of the current row.
  void buildQuery();
  void btNapakeClick();
  void spCaptureClick();
  void btEnableClick();

  // The key of the current row as last read (with its owner, whatever the owner box holds now).
  const nuvo::admin::ForeignKey& currentKey() const { return key_; }
  QString queryText() const { return query_; }

  QLineEdit* edUser;
  QPushButton *btRefrNap, *btNapake, *btEnable, *btExit;
  QToolButton* spCapture;
  QLabel *laUser, *laTabelaTitle, *laKoloneTitle, *laTabela, *laKolone, *laStat;
  TThemedDBGrid *dbgDisabled, *dbgNapake;
  nuvo::db::Dataset quConsNap;
  nuvo::db::Dataset quNapake;
  QString nizWorking, nizEnabling;

 private:
  nuvo::admin::ForeignKey key_;
  QString query_;
};

class TfmDisTrigg : public QDialog {
  Q_OBJECT
 public:
  explicit TfmDisTrigg(QWidget* parent = nullptr);
  ~TfmDisTrigg() override;

  void SetLanguageTexts();
  void btRefreshClick();
  void btEnableClick() { alter(true); }
  void btDisableClick() { alter(false); }

  QLineEdit* edOwner;
  QLabel* laOwner;
  QRadioButton *rbDisabled, *rbEnabled;
  QCheckBox *cbAll, *cbShowMemo;
  QPushButton *btRefresh, *btEnable, *btDisable, *btEnd;
  TThemedDBGrid* DBGrid;
  QPlainTextEdit* DBMemo;
  nuvo::db::Dataset quTrigg;

 protected:
  bool event(QEvent* event) override;

 private:
  void alter(bool enable);
  void showBody();
};
