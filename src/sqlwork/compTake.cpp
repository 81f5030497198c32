#include "sqlwork/compTake.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "widgets/icons.h"

TfmCompare::TfmCompare(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmCompare"));
  setWindowTitle(QStringLiteral("OPEN FILE FOR COMPARE AND PASTE CODE"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  paTop = new QWidget(this);
  paTop->setObjectName(QStringLiteral("paTop"));
  auto* top = new QHBoxLayout(paTop);
  top->setContentsMargins(2, 2, 2, 2);
  tbText = new QToolBar(paTop);
  tbText->setObjectName(QStringLiteral("tbText"));
  cbFontSize = new QComboBox(tbText);
  cbFontSize->setObjectName(QStringLiteral("cbFontSize"));
  for (int size : {8, 9, 10, 11, 12, 14, 16}) cbFontSize->addItem(QString::number(size));
  tbText->addWidget(cbFontSize);
  const struct {
    const char* name;
    const char* text;
    const char* icon;
    QStyle::StandardPixmap fallback;
  } actions[] = {
      {"acCopy", "Copy", "edit-copy", QStyle::SP_FileDialogContentsView},
      {"acPaste", "Paste", "edit-paste", QStyle::SP_DialogSaveButton},
      {"acSelectAll", "Select All", "edit-select-all", QStyle::SP_FileDialogListView},
      {"acFind", "Find", "edit-find", QStyle::SP_FileDialogContentsView},
  };
  for (const auto& a : actions) {
    QAction* action = tbText->addAction(nuvo::widgets::themedIcon(a.icon, a.fallback), QString::fromLatin1(a.text));
    action->setObjectName(QString::fromLatin1(a.name));
  }
  // The tool bar has no text to work on here.
  tbText->setEnabled(false);
  SpeedButton1 = new QToolButton(paTop);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setIcon(nuvo::widgets::themedIcon("document-open", QStyle::SP_DirOpenIcon));
  spExit = new QToolButton(paTop);
  spExit->setObjectName(QStringLiteral("spExit"));
  spExit->setIcon(nuvo::widgets::themedIcon("application-exit", QStyle::SP_DialogCloseButton));
  spExit->setToolTip(QStringLiteral("Exit"));
  top->addWidget(tbText, 1);
  top->addWidget(SpeedButton1);
  top->addWidget(spExit);
  layout->addWidget(paTop);
  layout->addStretch(1);
  connect(spExit, &QToolButton::clicked, this, &QWidget::close);
  resize(293, 442);
}

TfmCompare::~TfmCompare() = default;
