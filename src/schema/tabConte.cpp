#include "schema/tabConte.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "db/error.h"
#include "schema/table_content_logic.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"

TfmTableContent::TfmTableContent(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmTableContent"));
  setWindowTitle(QStringLiteral("Show Table Constructors"));
  auto* layout = new QVBoxLayout(this);
  TvTable = new QTreeWidget(this);
  TvTable->setObjectName(QStringLiteral("TvTable"));
  TvTable->setHeaderHidden(true);
  TvTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Long check conditions scroll sideways instead of being cut.
  TvTable->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  TvTable->header()->setStretchLastSection(false);
  layout->addWidget(TvTable, 1);
  auto* buttons = new QHBoxLayout;
  btShowExit = new QPushButton(QStringLiteral("&Exit"), this);
  btShowExit->setObjectName(QStringLiteral("btShowExit"));
  btShowExit->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(btShowExit);
  layout->addLayout(buttons);
  connect(btShowExit, &QPushButton::clicked, this, &QDialog::accept);
  for (const nuvo::schema::ContentCategory& category : nuvo::schema::tableContent({}, {}, {}))
    TvTable->addTopLevelItem(new QTreeWidgetItem(QStringList{category.title}));
  resize(640, 480);
}

TfmTableContent::~TfmTableContent() = default;

void TfmTableContent::showFor(const QString& owner, const QString& table, QWidget* parent) {
  TfmTableContent window(parent);
  window.cUpor = owner;
  window.cTabela = table;
  nuvo::execModal(window);
}

bool TfmTableContent::FormActivate() {
  TfmMain* main = fmMain();
  if (!main || !main->osOracle.connected()) return false;
  QList<nuvo::schema::ContentCategory> content;
  try {
    content = nuvo::schema::readTableContent(main->osOracle, cUpor, cTabela);
  } catch (const nuvo::db::Error& e) {
    failed_ = true;
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    return false;
  }
  failed_ = false;
  for (int i = 0; i < content.size() && i < TvTable->topLevelItemCount(); ++i) {
    QTreeWidgetItem* category = TvTable->topLevelItem(i);
    qDeleteAll(category->takeChildren());
    for (const QString& item : content[i].items) category->addChild(new QTreeWidgetItem(QStringList{item}));
    category->setExpanded(true);
  }
  return true;
}

bool TfmTableContent::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    if (failed_)
      failed_ = false;
    else
      FormActivate();
  }
  return QDialog::event(event);
}

void TfmTableContent::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}
