#include "schema/tableRef.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "db/error.h"
#include "schema/table_dictionary.h"
#include "shell/Main.h"
#include "widgets/message_facade.h"

namespace {

void upperCaseEdit(QLineEdit* edit) {
  // Only what the user types is raised, so a name filled in with lower-case letters stays as it is.
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
}

void addNodes(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<nuvo::schema::ReferenceNode>& nodes) {
  for (const nuvo::schema::ReferenceNode& node : nodes) {
    auto* item = new QTreeWidgetItem(QStringList{nuvo::schema::referenceNodeText(node)});
    if (parent)
      parent->addChild(item);
    else
      tree->addTopLevelItem(item);
    addNodes(item, tree, node.children);
  }
}

}  // namespace

TfmRef::TfmRef(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmRef"));
  setWindowTitle(QStringLiteral("REFERENCES/DEPENDENCES"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  laUser = new QLabel(QStringLiteral("Owner:"), this);
  edUser = new QLineEdit(this);
  edUser->setObjectName(QStringLiteral("edUser"));
  laTabela = new QLabel(QStringLiteral("Table:"), this);
  edTabela = new QLineEdit(this);
  edTabela->setObjectName(QStringLiteral("edTabela"));
  upperCaseEdit(edUser);
  upperCaseEdit(edTabela);
  top->addWidget(laUser);
  top->addWidget(edUser, 1);
  top->addWidget(laTabela);
  top->addWidget(edTabela, 2);
  layout->addLayout(top);
  tvRef = new QTreeWidget(this);
  tvRef->setObjectName(QStringLiteral("tvRef"));
  tvRef->setHeaderHidden(true);
  tvRef->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tvRef->header()->setStretchLastSection(false);
  layout->addWidget(tvRef, 1);
  auto* buttons = new QHBoxLayout;
  btPrikazi = new QPushButton(QStringLiteral("&References"), this);
  btPrikazi->setObjectName(QStringLiteral("btPrikazi"));
  btPrikazi->setDefault(true);
  btDep = new QPushButton(QStringLiteral("&Dependences"), this);
  btDep->setObjectName(QStringLiteral("btDep"));
  btExit = new QPushButton(QStringLiteral("&Exit"), this);
  btExit->setObjectName(QStringLiteral("btExit"));
  for (QPushButton* b : {btDep, btExit}) b->setAutoDefault(false);
  buttons->addWidget(btPrikazi);
  buttons->addWidget(btDep);
  buttons->addStretch(1);
  buttons->addWidget(btExit);
  layout->addLayout(buttons);
  resize(640, 480);

  const auto guarded = [this](void (TfmRef::*call)()) {
    return [this, call] {
      try {
        (this->*call)();
      } catch (const nuvo::db::Error& e) {
        nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
      }
    };
  };
  connect(btPrikazi, &QPushButton::clicked, this, guarded(&TfmRef::btPrikaziClick));
  connect(btDep, &QPushButton::clicked, this, guarded(&TfmRef::btDepClick));
  connect(btExit, &QPushButton::clicked, this, &QDialog::accept);
}

TfmRef::~TfmRef() = default;

void TfmRef::showFor(const QString& owner, const QString& table, QWidget* parent) {
  TfmRef window(parent);
  window.currUser = owner;
  window.currTable = table;
  nuvo::execModal(window);
}

void TfmRef::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  edUser->setText(currUser);
  edTabela->setText(currTable);
}

void TfmRef::btPrikaziClick() {
  tvRef->clear();
  const auto tree = nuvo::schema::readReferenceTree(fmMain()->osOracle, edUser->text(), edTabela->text());
  addNodes(nullptr, tvRef, tree);
  tvRef->expandAll();
}

void TfmRef::btDepClick() {
  tvRef->clear();
  for (const nuvo::schema::Dependence& key :
       nuvo::schema::readDependences(fmMain()->osOracle, edUser->text(), edTabela->text())) {
    auto* item = new QTreeWidgetItem(QStringList{nuvo::schema::dependenceNodeText(key)});
    for (const QString& table : key.tables) item->addChild(new QTreeWidgetItem(QStringList{table}));
    tvRef->addTopLevelItem(item);
  }
  tvRef->expandAll();
}
