#pragma once
// The index-drop utility: lists an owner's indexes that back no constraint, filtered by index and
// table name prefixes, and drops every listed index. Non-modal; English texts only; freed on close.

#include <QDialog>

#include "db/dataset.h"

class QLabel;
class QLineEdit;
class QMenuBar;
class QAction;
class QPushButton;
class QStackedWidget;
class TThemedDBGrid;

class TfmSQLUtl : public QDialog {
  Q_OBJECT
 public:
  explicit TfmSQLUtl(QWidget* parent = nullptr);
  ~TfmSQLUtl() override;

  void mmDropindexesClick();
  void btRefreshClick();
  // Asks first; drops the listed indexes in list order, each by the owner it was listed with, and
  // stops at the first the server refuses. The list is not read again.
  void btDropClick();

  QMenuBar* mmSQLUtl;
  QAction *mmDropindexes, *mmExit;
  QStackedWidget* pcSQLUtil;
  QWidget *tabNull, *tabDropIndexes;
  QLabel *laTitle, *laOwner, *laIdxFilter, *laTabFilter;
  QLineEdit *edOwner, *edIdxFilter, *edTabFilter;
  QPushButton *btRefresh, *btDrop;
  TThemedDBGrid* DBGrid1;
  nuvo::db::Dataset quDropIndexes;

 private:
  // The list was read for one owner (not for every owner).
  bool listedForOwner_ = false;
};
