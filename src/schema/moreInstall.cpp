#include "schema/moreInstall.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "admin/errors_logic.h"
#include "schema/hosting_users_logic.h"
#include "shell/main_context.h"
#include "db/error.h"
#include "db/query.h"
#include "shell/CThemedDBGrid.h"
#include "shell/Main.h"
#include "sqlwork/execScr.h"
#include "widgets/dataset_model.h"
#include "widgets/message_facade.h"
#include "widgets/window_commands.h"
#include "shell/IGridUtils.h"

using nuvo::schema::Installation;
using nuvo::widgets::guarded;

namespace {

const nuvo::SqlText kLastIndex{
    "moreInstall.quLastIndex",
    {"select max(userIndex) userIndex , max(instance) instance from nuvo_util.nuvo_instalations"}};
const nuvo::SqlText kInstallationUsers{
    "moreInstall.quInstUpor",
    {"select rowid,xxx.* from nuvo_util.nuvo_inst_users xxx", "where xxx.userIndex=:userIndex order by userName"}};
// The logging context of the installation's KADE schema, set after its logon.
const nuvo::SqlText kInitParam{"moreInstall.quTMP", {"begin", "  pckLogParam.InitParam(:ipl);", "end;"}};

using nuvo::shell::named;

TfmMain& context() { return *fmMain(); }

QString logonFailed(const QString& instance, const QString& user) {
  return QStringLiteral("Neuspešna prijava na instanco:") + instance + QStringLiteral("  uporabnik:") + user;
}

void openWith(nuvo::db::Dataset& dataset, const QList<QPair<const char*, QVariant>>& values) {
  dataset.close();
  for (const auto& [name, value] : values) {
    if (!dataset.hasVariable(name)) dataset.declareVariable(name, nuvo::db::DataType::String);
    dataset.setVariable(name, value);
  }
  dataset.open();
}

QString field(const nuvo::db::Dataset& dataset, const char* name) {
  const int row = dataset.currentRow();
  if (!dataset.isOpen() || row < 0 || row >= dataset.recordCount()) return QString();
  return dataset.value(row, QString::fromLatin1(name)).toString();
}

}  // namespace

TfmMoreUsers::TfmMoreUsers(QWidget* parent)
    : QDialog(parent),
      quInstal(&context().osOracle),
      quInst(&context().osOracle),
      quSkripte(&context().osOracle),
      quSCR_Pregled1(&context().osOracle),
      quScr_Pregled2(&context().osOracle),
      quNapake1(&context().osOracle),
      quNapake2(&context().osOracle),
      quErrorUpor(&context().osOracle),
      quErrors(&context().osOracle),
      quErrorsVrstice(&context().osOracle),
      quInvalid(&context().osOracle),
      quInstUpor(&context().osOracle) {
  setObjectName(QStringLiteral("fmMoreUsers"));
  setWindowTitle(QStringLiteral("Več uporabnikov-hosting"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  const QList<QPair<nuvo::db::Dataset*, const nuvo::SqlText*>> texts{
      {&quInstal, &nuvo::schema::kInstallationRows}, {&quInst, &nuvo::schema::kInstallationList},
      {&quSkripte, &nuvo::schema::kScriptNames},     {&quSCR_Pregled1, &nuvo::schema::kInstallationsRun},
      {&quScr_Pregled2, &nuvo::schema::kInstallationsMiss}, {&quNapake1, &nuvo::schema::kScriptRowsOf},
      {&quNapake2, &nuvo::schema::kScriptsMissingOf}, {&quErrorUpor, &nuvo::schema::kInvalidCounts},
      {&quErrors, &nuvo::schema::kOwnerErrors},      {&quErrorsVrstice, &nuvo::schema::kErrorLines},
      {&quInvalid, &nuvo::schema::kInvalidObjects},  {&quInstUpor, &kInstallationUsers}};
  for (const auto& [dataset, text] : texts) {
    dataset->setSql(*text);
    dataset->setReadOnly(true);
  }
  specialBlocksDir = QCoreApplication::applicationDirPath() + QStringLiteral("/MU_proc/");
  buildWidgets();
  if (!context().osOracle.connected()) return;
  try {
    quInstal.open();
    pcMU->setCurrentWidget(tsIzvedene);
    pcMUChange(pcMU->currentIndex());
    trenutniLastnik = context().currUserAsKade;
    ListInstallations();
    trenStaroGesloKade.clear();
    trenStaroGesloZozuro.clear();
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

TfmMoreUsers::~TfmMoreUsers() {
  try {
    if (osOracleTMP.connected()) osOracleTMP.logOff();
  } catch (...) {
  }
}

void TfmMoreUsers::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

namespace {
// A read-only grid of a dataset; the row identifier the dataset reads for editing stays hidden.
TThemedDBGrid* makeGrid(QWidget* parent, nuvo::db::Dataset* dataset, const char* name) {
  auto* grid = named(new TThemedDBGrid(parent), name);
  grid->setModel(new nuvo::widgets::DatasetModel(dataset, grid));
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QObject::connect(dataset, &nuvo::db::Dataset::opened, grid, [grid, dataset] {
    for (int column = 0; column < dataset->fieldCount(); ++column)
      if (dataset->columns()[column].name.compare(u"ROWID", Qt::CaseInsensitive) == 0) grid->setColumnHidden(column, true);
  });
  return grid;
}

// A grid's current row follows into its dataset, and `then` runs after a change of row.
void followRows(TThemedDBGrid* grid, QObject* receiver, std::function<void()> then) {
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, receiver,
                   [grid, then](const QModelIndex& index) {
                     auto* model = grid->datasetModel();
                     if (!index.isValid() || !model || !model->dataset()) return;
                     model->dataset()->setCurrentRow(index.row());
                     if (then) then();
                   });
}

QPushButton* closeButton(QDialog* window, QWidget* parent, const char* name) {
  auto* button = named(new QPushButton(QStringLiteral("Konec"), parent), name);
  QObject::connect(button, &QPushButton::clicked, window, &QDialog::close);
  return button;
}
}  // namespace

void TfmMoreUsers::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  pcMU = named(new QTabWidget(this), "pcMU");
  tsIzvedene = buildScriptsPage();
  tsNapake = buildErrorsPage();
  tsNastavitev = buildInstallationsPage();
  tsLog = buildLogPage();
  tsInvalidni = buildInvalidPage();
  tsUporabniki = buildUsersPage();
  tsBrisi = buildDeletePage();
  pcMU->addTab(tsIzvedene, QStringLiteral("Izvedene skripte"));
  pcMU->addTab(tsNapake, QStringLiteral("Napake"));
  pcMU->addTab(tsNastavitev, QStringLiteral("Nastavitev instalacij"));
  pcMU->addTab(tsLog, QStringLiteral("Popravi napake iz LOG datoteke"));
  pcMU->addTab(tsInvalidni, QStringLiteral("Invalidni objekti"));
  pcMU->addTab(tsUporabniki, QStringLiteral("Uporabniki"));
  pcMU->addTab(tsBrisi, QStringLiteral("Brisi skripte"));
  layout->addWidget(pcMU);
  connect(pcMU, &QTabWidget::currentChanged, this, [this](int index) {
    try {
      pcMUChange(index);
    } catch (const nuvo::db::Error& e) {
      nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
    }
  });
  resize(1100, 660);
}

QWidget* TfmMoreUsers::buildScriptsPage() {
  auto* page = named(new QWidget, "tsIzvedene");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  eddatumOD = named(new QLineEdit(page), "eddatumOD");
  eddatumOD->setMaximumWidth(110);
  edSkripte = named(new QLineEdit(page), "edSkripte");
  edSkripte->setMaximumWidth(140);
  cbZap = named(new QComboBox(page), "cbZap");
  cbZap->addItems({"INDEX", "UPORABNIK", "ZADNJA SKRIPTA", "INSTANCA"});
  cbIzvedeno = named(new QCheckBox(QStringLiteral("izvedeno"), page), "cbIzvedeno");
  cbZNapakami = named(new QCheckBox(QStringLiteral("z napakami"), page), "cbZNapakami");
  cbNeizvedeno = named(new QCheckBox(QStringLiteral("neizvedeno"), page), "cbNeizvedeno");
  cbZNapakami->setChecked(true);
  cbNeizvedeno->setChecked(true);
  rbManjkajoce = named(new QRadioButton(QStringLiteral("manjkajoče skripte"), page), "rbManjkajoce");
  btOsvezi = named(new QPushButton(QStringLiteral("&Osveži"), page), "btOsvezi");
  top->addWidget(new QLabel(QStringLiteral("Od datuma:"), page));
  top->addWidget(eddatumOD);
  top->addWidget(new QLabel(QStringLiteral("Skripte:"), page));
  top->addWidget(edSkripte);
  top->addWidget(new QLabel(QStringLiteral("Vrstni red:"), page));
  top->addWidget(cbZap);
  for (QWidget* w : std::initializer_list<QWidget*>{cbIzvedeno, cbZNapakami, cbNeizvedeno, rbManjkajoce, btOsvezi})
    top->addWidget(w);
  top->addStretch(1);
  top->addWidget(closeButton(this, page, "btKonecIzv"));
  layout->addLayout(top);

  auto* split = new QSplitter(Qt::Horizontal, page);
  dbgSkripte = makeGrid(split, &quSkripte, "dbgSkripte");
  auto* right = new QSplitter(Qt::Vertical, split);
  dbgInstall = makeGrid(right, &quSCR_Pregled1, "dbgInstall");
  dbgNapake = makeGrid(right, &quNapake1, "dbgNapake");
  auto* memos = new QSplitter(Qt::Horizontal, right);
  dbmNapaka = named(new QPlainTextEdit(memos), "dbmNapaka");
  dbmSkripta = named(new QPlainTextEdit(memos), "dbmSkripta");
  for (QPlainTextEdit* memo : {dbmNapaka, dbmSkripta}) memo->setReadOnly(true);
  split->setStretchFactor(1, 3);
  layout->addWidget(split, 1);

  connect(btOsvezi, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btOsveziClick));
  connect(rbManjkajoce, &QRadioButton::toggled, this, [this] { rbManjkajoceClick(); });
  followRows(dbgInstall, this, guarded(this, &TfmMoreUsers::ShowInstallationScripts));
  followRows(dbgNapake, this, [this] {
    if (rbManjkajoce->isChecked()) return;
    dbmNapaka->setPlainText(field(quNapake1, "SCRIPT_ERR"));
    dbmSkripta->setPlainText(field(quNapake1, "SCRIPT_CONT"));
  });
  connect(dbgNapake, &QAbstractItemView::doubleClicked, this, [this] { dbgNapakeDblClick(); });
  return page;
}

QWidget* TfmMoreUsers::buildErrorsPage() {
  auto* page = named(new QWidget, "tsNapake");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  btErrorUporOsvezi = named(new QPushButton(QStringLiteral("&Osveži"), page), "btErrorUporOsvezi");
  btPrevediUpor =
      named(new QPushButton(QStringLiteral("&Prevedi invalide za izbrano instalacijo"), page), "btPrevediUpor");
  top->addWidget(btErrorUporOsvezi);
  top->addWidget(btPrevediUpor);
  top->addStretch(1);
  top->addWidget(closeButton(this, page, "btKonecNapake"));
  layout->addLayout(top);
  auto* split = new QSplitter(Qt::Horizontal, page);
  DBGrid1 = makeGrid(split, &quErrorUpor, "DBGrid1");
  auto* right = new QSplitter(Qt::Vertical, split);
  DBGrid2 = makeGrid(right, &quErrors, "DBGrid2");
  DBGrid3 = makeGrid(right, &quErrorsVrstice, "DBGrid3");
  split->setStretchFactor(1, 3);
  layout->addWidget(split, 1);
  connect(btErrorUporOsvezi, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btErrorUporOsveziClick));
  connect(btPrevediUpor, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btPrevediUporClick));
  followRows(DBGrid1, this, guarded(this, &TfmMoreUsers::ListOwnerInvalid));
  followRows(DBGrid2, this, guarded(this, &TfmMoreUsers::ListObjectErrors));
  connect(&quErrors, &nuvo::db::Dataset::opened, this, [this] {
    const int full = quErrors.fieldIndex(QStringLiteral("FULL_NAME"));
    for (int column = 0; column < quErrors.fieldCount(); ++column) DBGrid2->setColumnHidden(column, column == full);
  });
  return page;
}

QWidget* TfmMoreUsers::buildInstallationsPage() {
  auto* page = named(new QWidget, "tsNastavitev");
  auto* layout = new QVBoxLayout(page);
  dbgInstal = makeGrid(page, &quInstal, "dbgInstal");
  layout->addWidget(dbgInstal, 1);
  auto* form = new QGridLayout;
  const auto edit = [page](const char* name) { return named(new QLineEdit(page), name); };
  dbeIndex = edit("dbeIndex");
  dbeUser = edit("dbeUser");
  dbeFullName = edit("dbeFullName");
  dbeInstance = edit("dbeInstance");
  dbeKade = edit("dbeKade");
  DBEGesloKade = edit("DBEGesloKade");
  dbeZozuro = edit("dbeZozuro");
  DBEGesloZozuro = edit("DBEGesloZozuro");
  const QList<QPair<const char*, QLineEdit*>> fields{
      {"Index:", dbeIndex},        {"Lastnik:", dbeUser},       {"Naziv:", dbeFullName},
      {"Instanca:", dbeInstance},  {"KADE uporabnik:", dbeKade}, {"KADE geslo:", DBEGesloKade},
      {"ZOZURO uporabnik:", dbeZozuro}, {"ZOZURO geslo:", DBEGesloZozuro}};
  for (int i = 0; i < fields.size(); ++i) {
    form->addWidget(new QLabel(QString::fromUtf8(fields[i].first), page), i / 4, (i % 4) * 2);
    form->addWidget(fields[i].second, i / 4, (i % 4) * 2 + 1);
  }
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  btNova = named(new QPushButton(QStringLiteral("&Nova"), page), "btNova");
  btUredi = named(new QPushButton(QStringLiteral("&Uredi"), page), "btUredi");
  btShrani = named(new QPushButton(QStringLiteral("&Shrani"), page), "btShrani");
  btPreklici = named(new QPushButton(QStringLiteral("Prekliči"), page), "btPreklici");
  brBrisanje = named(new QPushButton(QStringLiteral("&Brisanje Instance"), page), "brBrisanje");
  for (QPushButton* b : {btNova, btUredi, btShrani, btPreklici, brBrisanje}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(closeButton(this, page, "btKonecNastavitev"));
  layout->addLayout(buttons);
  setRowEditing(false);
  connect(btNova, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btNovaClick));
  connect(btUredi, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btUrediClick));
  connect(btShrani, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btShraniClick));
  connect(btPreklici, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btPrekliciClick));
  connect(brBrisanje, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::brBrisanjeClick));
  followRows(dbgInstal, this, [this] {
    if (trenStateUser != u"INSERT" || !btShrani->isEnabled()) showInstallationRow();
  });
  connect(&quInstal, &nuvo::db::Dataset::opened, this, [this] { showInstallationRow(); });
  return page;
}

QWidget* TfmMoreUsers::buildLogPage() {
  auto* page = named(new QWidget, "tsLog");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  laUpor = named(new QLabel(page), "laUpor");
  laUpor->setMinimumWidth(80);
  edLogFile = named(new QLineEdit(QDir::homePath() + QStringLiteral("/importlog/"), page), "edLogFile");
  edLogFile->setMinimumWidth(220);
  Button1 = named(new QPushButton(QStringLiteral("Preberi"), page), "Button1");
  btIzvedi = named(new QPushButton(QStringLiteral("&Popravi napake iz LOGa"), page), "btIzvedi");
  btIzvedi->setToolTip(QStringLiteral("LOG datoteki morata imeti IME INSTANCE (npr. IZAS1.LOG, FZAS1.LOG)"));
  btPrevediSpecialneBloke = named(new QPushButton(QStringLiteral("Prevedi posebnosti"), page), "btPrevediSpecialneBloke");
  btPrevediSpecialneBloke->setToolTip(QStringLiteral("prevedi AUDIT procedure(na poddirektoriju MU_proc)"));
  btNuvoEXS = named(new QPushButton(QStringLiteral("&Prepiši NUVO_EXS(instalacije)"), page), "btNuvoEXS");
  top->addWidget(new QLabel(QStringLiteral("Uporabnik:"), page));
  top->addWidget(laUpor);
  top->addWidget(new QLabel(QStringLiteral("LOG direktorij:"), page));
  top->addWidget(edLogFile, 1);
  top->addWidget(Button1);
  top->addWidget(btIzvedi);
  top->addWidget(btPrevediSpecialneBloke);
  top->addWidget(btNuvoEXS);
  top->addWidget(closeButton(this, page, "btLogKonec"));
  layout->addLayout(top);
  auto* split = new QSplitter(Qt::Horizontal, page);
  dbgLog = makeGrid(split, &quInst, "dbgLog");
  auto* memos = new QSplitter(Qt::Vertical, split);
  meLogFile = named(new QPlainTextEdit(memos), "meLogFile");
  meTrigg = named(new QPlainTextEdit(memos), "meTrigg");
  for (QPlainTextEdit* memo : {meLogFile, meTrigg}) {
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  }
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);
  connect(btNuvoEXS, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btNuvoEXSClick));
  connect(Button1, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::Button1Click));
  connect(btIzvedi, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btIzvediClick));
  connect(btPrevediSpecialneBloke, &QPushButton::clicked, this,
          guarded(this, &TfmMoreUsers::btPrevediSpecialneBlokeClick));
  // Choosing an installation here makes it the program's current one with its KADE user.
  followRows(dbgLog, this, [this] {
    const Installation row = currentInstallation();
    TfmMain& m = context();
    trenutniLastnik = row.userKade;
    m.currUserAsKade = row.userKade;
    m.currPassAsKade = row.passKade;
    m.currUserAsZozuro = row.userZozuro;
    m.currPassAsZozuro = row.passZozuro;
    laUpor->setText(row.userKade);
  });
  return page;
}

QWidget* TfmMoreUsers::buildInvalidPage() {
  auto* page = named(new QWidget, "tsInvalidni");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  spInvalidKade = named(new QToolButton(page), "spInvalidKade");
  spInvalidKade->setText(QStringLiteral("KADE"));
  spInvalidZozuro = named(new QToolButton(page), "spInvalidZozuro");
  spInvalidZozuro->setText(QStringLiteral("ZOZURO"));
  for (QToolButton* b : {spInvalidKade, spInvalidZozuro}) b->setCheckable(true);
  spInvalidKade->setChecked(true);
  samoInvalidni = named(new QCheckBox(QStringLiteral("samo z invalidnimi"), page), "samoInvalidni");
  laLastnik = named(new QLabel(page), "laLastnik");
  btInvalidRefresh = named(new QPushButton(QStringLiteral("&Osveži"), page), "btInvalidRefresh");
  btPrevediInvalide = named(new QPushButton(QStringLiteral("Prevedi vse invalidne objekte"), page), "btPrevediInvalide");
  for (QWidget* w : std::initializer_list<QWidget*>{spInvalidKade, spInvalidZozuro, samoInvalidni})
    top->addWidget(w);
  top->addWidget(btInvalidRefresh);
  top->addWidget(new QLabel(QStringLiteral("Lastnik:"), page));
  top->addWidget(laLastnik);
  top->addStretch(1);
  top->addWidget(btPrevediInvalide);
  top->addWidget(closeButton(this, page, "btKonecInvalid"));
  layout->addLayout(top);
  auto* split = new QSplitter(Qt::Horizontal, page);
  dbgPrevedi = makeGrid(split, &quInst, "dbgPrevedi");
  auto* right = new QSplitter(Qt::Vertical, split);
  DBGUserNapake = makeGrid(right, &quInvalid, "DBGUserNapake");
  meProcedura = named(new QPlainTextEdit(right), "meProcedura");
  meProcedura->setLineWrapMode(QPlainTextEdit::NoWrap);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);
  connect(btInvalidRefresh, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::ListInstallations));
  connect(btPrevediInvalide, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btPrevediInvalideClick));
  for (QToolButton* b : {spInvalidKade, spInvalidZozuro})
    connect(b, &QToolButton::clicked, this, guarded(this, &TfmMoreUsers::SelectInstallation));
  followRows(dbgPrevedi, this, [this] {
    meProcedura->clear();
    guarded(this, &TfmMoreUsers::SelectInstallation)();
  });
  followRows(DBGUserNapake, this, guarded(this, &TfmMoreUsers::showObjectSource));
  return page;
}

QWidget* TfmMoreUsers::buildUsersPage() {
  auto* page = named(new QWidget, "tsUporabniki");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  edInst = named(new QLineEdit(QStringLiteral("%"), page), "edInst");
  edInst->setMaximumWidth(120);
  btRfsUpor = named(new QPushButton(QStringLiteral("&Osveži"), page), "btRfsUpor");
  BtPravice = named(new QPushButton(QStringLiteral("Nastavi pravice"), page), "BtPravice");
  btPrepisi = named(new QPushButton(QStringLiteral("&Prepiši iz ISEC_USERS"), page), "btPrepisi");
  top->addWidget(new QLabel(QStringLiteral("Instalacije:"), page));
  top->addWidget(edInst);
  top->addWidget(btRfsUpor);
  top->addWidget(BtPravice);
  top->addWidget(btPrepisi);
  top->addStretch(1);
  top->addWidget(closeButton(this, page, "btKonecUpor"));
  layout->addLayout(top);
  auto* split = new QSplitter(Qt::Horizontal, page);
  dbgInst = makeGrid(split, &quInst, "dbgInst");
  auto* right = new QWidget(split);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* add = new QHBoxLayout;
  edNovUpor = named(new QLineEdit(right), "edNovUpor");
  edNovUpor->setMaxLength(30);
  nuvo::widgets::upperCaseEdit(edNovUpor);
  btDodajUpor = named(new QPushButton(QStringLiteral("&Dodaj uporabnika"), right), "btDodajUpor");
  btBrisiUpor = named(new QPushButton(QStringLiteral("&Briši uporabnika"), right), "btBrisiUpor");
  add->addWidget(new QLabel(QStringLiteral("Uporabnik:"), right));
  add->addWidget(edNovUpor, 1);
  add->addWidget(btDodajUpor);
  add->addWidget(btBrisiUpor);
  rightLayout->addLayout(add);
  dbgUpor = makeGrid(right, &quInstUpor, "dbgUpor");
  rightLayout->addWidget(dbgUpor, 1);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 1);
  layout->addWidget(split, 1);
  connect(btRfsUpor, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btRfsUporClick));
  connect(edInst, &QLineEdit::returnPressed, this, guarded(this, &TfmMoreUsers::btRfsUporClick));
  connect(btDodajUpor, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btDodajUporClick));
  connect(edNovUpor, &QLineEdit::returnPressed, this, guarded(this, &TfmMoreUsers::btDodajUporClick));
  connect(btBrisiUpor, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btBrisiUporClick));
  connect(BtPravice, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::BtPraviceClick));
  connect(btPrepisi, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btPrepisiClick));
  followRows(dbgInst, this, [this] {
    meProcedura->clear();
    guarded(this, &TfmMoreUsers::SelectInstallation)();
    guarded(this, &TfmMoreUsers::OpenInstallationUsers)();
  });
  return page;
}

QWidget* TfmMoreUsers::buildDeletePage() {
  auto* page = named(new QWidget, "tsBrisi");
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  edBrisiSkripteManjse = named(new QLineEdit(QStringLiteral("%"), page), "edBrisiSkripteManjse");
  edBrisiSkripteLike = named(new QLineEdit(QStringLiteral("%"), page), "edBrisiSkripteLike");
  edBrisiSkripteOd = named(new QLineEdit(QStringLiteral("%"), page), "edBrisiSkripteOd");
  form->addRow(QStringLiteral("Skripte manjše od:"), edBrisiSkripteManjse);
  form->addRow(QStringLiteral("Skripta enaka:"), edBrisiSkripteLike);
  form->addRow(QStringLiteral("Izvedeno OD:"), edBrisiSkripteOd);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  btPrikazSkriptZaBrisanje = named(new QPushButton(QStringLiteral("&Prikaži skripte"), page), "btPrikazSkriptZaBrisanje");
  btBrisanjeSkript = named(new QPushButton(QStringLiteral("Brisanje skript"), page), "btBrisanjeSkript");
  top->addWidget(btPrikazSkriptZaBrisanje);
  top->addWidget(btBrisanjeSkript);
  top->addStretch(1);
  top->addWidget(closeButton(this, page, "btKonecBrisi"));
  layout->addLayout(top);
  sbBrisaneSkripte = named(new QListWidget(page), "sbBrisaneSkripte");
  layout->addWidget(sbBrisaneSkripte, 1);
  connect(edBrisiSkripteManjse, &QLineEdit::editingFinished, this, [this] { edBrisiSkripteManjseExit(); });
  connect(btPrikazSkriptZaBrisanje, &QPushButton::clicked, this,
          guarded(this, &TfmMoreUsers::btPrikazSkriptZaBrisanjeClick));
  connect(btBrisanjeSkript, &QPushButton::clicked, this, guarded(this, &TfmMoreUsers::btBrisanjeSkriptClick));
  connect(sbBrisaneSkripte, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { edBrisiSkripteLike->setText(item->text()); });
  return page;
}

void TfmMoreUsers::pcMUChange(int index) {
  QWidget* page = pcMU->widget(index);
  if (!context().osOracle.connected()) return;
  if (page == tsIzvedene) {
    nuvo::db::Query since(&context().osOracle);
    since.setSql(nuvo::schema::kScriptsSince);
    since.execute();
    eddatumOD->setText(since.eof() ? QString() : since.field(0).asString());
    btOsveziClick();
  } else if (page == tsUporabniki) {
    OpenInstallationUsers();
  } else if (page == tsBrisi) {
    btPrikazSkriptZaBrisanjeClick();
  } else if (page == tsNapake) {
    btErrorUporOsveziClick();
  }
}

// ---------------------------------------------------------------- shared routines

Installation TfmMoreUsers::currentInstallation() const {
  Installation row;
  row.index = field(quInst, "USERINDEX").toLongLong();
  row.userName = field(quInst, "USERNAME");
  row.fullName = field(quInst, "FULLNAME");
  row.instance = field(quInst, "INSTANCE");
  row.userKade = field(quInst, "USER_KADE");
  row.passKade = field(quInst, "PASS_KADE");
  row.userZozuro = field(quInst, "USER_ZOZURO");
  row.passZozuro = field(quInst, "PASS_ZOZURO");
  return row;
}

bool TfmMoreUsers::LogOnInstallation(const QString& which) {
  const TfmMain& m = context();
  const bool kade = which == u"KADE";
  return logOnTo(field(quInst, "INSTANCE"), kade ? m.currUserAsKade : m.currUserAsZozuro,
                 kade ? m.currPassAsKade : m.currPassAsZozuro, kade);
}

bool TfmMoreUsers::logOnTo(const QString& instance, const QString& user, const QString& password, bool kade) {
  try {
    if (osOracleTMP.connected()) osOracleTMP.logOff();
    osOracleTMP.logOn(user, password, instance);
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(logonFailed(instance, user), nuvo::MessageKind::Error, this);
    return false;
  }
  if (kade) {
    try {
      nuvo::db::Query init(&osOracleTMP);
      init.setSql(kInitParam);
      init.declareVariable("ipl", nuvo::db::DataType::String);
      init.setVariable("ipl", context().CurrentUserIpl);
      init.execute();
    } catch (const nuvo::db::Error&) {
      // The installation may lack its logging context; the logon stands.
    }
  }
  return true;
}

bool TfmMoreUsers::ExecStatement(const QString& statement, bool report) {
  try {
    nuvo::db::Query query(&context().osOracle);
    query.setSql(statement);
    query.execute();
    return true;
  } catch (const nuvo::db::Error&) {
    if (!report) return true;
    nuvo::showMessage(QStringLiteral("NAPAKA: ") + statement, nuvo::MessageKind::Error, this);
    return false;
  }
}

void TfmMoreUsers::ListInstallations() {
  quInst.close();
  quInst.deleteVariables();
  if (samoInvalidni->isChecked()) {
    quInst.setSql(nuvo::schema::kInstallationListInvalid);
    quInst.open();
  } else {
    quInst.setSql(nuvo::schema::kInstallationList);
    openWith(quInst, {{"inst", edInst->text().isEmpty() ? QStringLiteral("%") : edInst->text()}});
  }
  // The first listed installation is the one every page shows and acts on.
  if (quInst.recordCount() > 0) quInst.setCurrentRow(0);
  SelectInstallation();
}

void TfmMoreUsers::SelectInstallation() {
  if (quInst.recordCount() == 0) {
    laLastnik->clear();
    quInvalid.close();
    return;
  }
  const Installation row = currentInstallation();
  TfmMain& m = context();
  // All four fields come from the same row, whichever user the page shows.
  m.currUserAsKade = row.userKade;
  m.currPassAsKade = row.passKade;
  m.currUserAsZozuro = row.userZozuro;
  m.currPassAsZozuro = row.passZozuro;
  trenutniLastnik = spInvalidKade->isChecked() ? row.userKade : row.userZozuro;
  laLastnik->setText(trenutniLastnik);
  openWith(quInvalid, {{"lastnik", trenutniLastnik}});
}

// ---------------------------------------------------------------- scripts page

void TfmMoreUsers::btOsveziClick() {
  const QString skripte = edSkripte->text() + u'%';
  openWith(quSkripte, {{"datum", eddatumOD->text()}, {"skripte", skripte}});
  dbgSkripte->setVisible(true);
  const QString order = QStringLiteral("order by ") + nuvo::schema::orderingColumn(cbZap->currentText());
  const bool missing = rbManjkajoce->isChecked();
  nuvo::db::Dataset& upper = missing ? quScr_Pregled2 : quSCR_Pregled1;
  const nuvo::SqlText& text = missing ? nuvo::schema::kInstallationsMiss : nuvo::schema::kInstallationsRun;
  upper.close();
  upper.setSqlLine(static_cast<int>(text.lines().size()) - 1, order);
  QList<QPair<const char*, QVariant>> values{{"datum", eddatumOD->text()}, {"skripte", skripte}};
  if (!missing)
    values << qMakePair("status", QVariant(nuvo::schema::statusLetters(cbIzvedeno->isChecked(),
                                                                        cbZNapakami->isChecked(),
                                                                        cbNeizvedeno->isChecked())));
  openWith(upper, values);
  dbgInstall->datasetModel()->setDataset(&upper);
  ShowInstallationScripts();
}

void TfmMoreUsers::ShowInstallationScripts() {
  const bool missing = rbManjkajoce->isChecked();
  nuvo::db::Dataset& upper = missing ? quScr_Pregled2 : quSCR_Pregled1;
  nuvo::db::Dataset& lower = missing ? quNapake2 : quNapake1;
  QList<QPair<const char*, QVariant>> values{
      {"upor", field(upper, "USERNAME")}, {"datum", eddatumOD->text()}, {"skripte", edSkripte->text() + u'%'}};
  if (!missing)
    values << qMakePair("status", QVariant(nuvo::schema::statusLetters(cbIzvedeno->isChecked(),
                                                                        cbZNapakami->isChecked(),
                                                                        cbNeizvedeno->isChecked())));
  openWith(lower, values);
  dbgNapake->datasetModel()->setDataset(&lower);
  dbmNapaka->setPlainText(missing ? QString() : field(quNapake1, "SCRIPT_ERR"));
  dbmSkripta->setPlainText(missing ? QString() : field(quNapake1, "SCRIPT_CONT"));
}

void TfmMoreUsers::rbManjkajoceClick() {
  const bool missing = rbManjkajoce->isChecked();
  dbmNapaka->setVisible(!missing);
  dbmSkripta->setVisible(!missing);
}

void TfmMoreUsers::dbgNapakeDblClick() {
  const nuvo::db::Dataset& lower = rbManjkajoce->isChecked() ? quNapake2 : quNapake1;
  const QString name = field(lower, "SCRIPT_NAME");
  auto* script = new TfmScript;
  script->p_auto = false;
  script->cbAllScripts->setCurrentText(name);
  guarded(script, &TfmScript::cbAllScriptsClick)();
  script->show();
}

// ---------------------------------------------------------------- errors page

void TfmMoreUsers::btErrorUporOsveziClick() {
  quErrorUpor.close();
  quErrorUpor.open();
  if (quErrorUpor.recordCount() > 0) quErrorUpor.setCurrentRow(0);
  ListOwnerInvalid();
}

void TfmMoreUsers::ListOwnerInvalid() {
  openWith(quErrors, {{"lastnik", field(quErrorUpor, "OWNER")}});
  if (quErrors.recordCount() > 0) quErrors.setCurrentRow(0);
  ListObjectErrors();
}

void TfmMoreUsers::ListObjectErrors() {
  openWith(quErrorsVrstice, {{"lastnik", field(quErrorUpor, "OWNER")}, {"imeProcedure", field(quErrors, "FULL_NAME")}});
}

void TfmMoreUsers::btPrevediUporClick() {
  const QString owner = field(quErrorUpor, "OWNER");
  QList<nuvo::admin::StoredObject> objects;
  for (int row = 0; row < quErrors.recordCount(); ++row)
    objects << nuvo::admin::StoredObject{owner, quErrors.value(row, QStringLiteral("FULL_NAME")).toString(),
                                         quErrors.value(row, QStringLiteral("OBJECT_TYPE")).toString().trimmed()};
  btPrevediUpor->setEnabled(false);
  for (const auto& object : objects) {
    QCoreApplication::processEvents();
    nuvo::admin::compileObject(context().osOracle, object, nullptr);  // failures stay listed as invalid
  }
  btPrevediUpor->setEnabled(true);
  ListOwnerInvalid();
}

// ---------------------------------------------------------------- installations page

void TfmMoreUsers::setRowEditing(bool editing) {
  for (QLineEdit* e : {dbeIndex, dbeUser, dbeFullName, dbeInstance, dbeKade, DBEGesloKade, dbeZozuro, DBEGesloZozuro})
    e->setReadOnly(!editing);
  btShrani->setEnabled(editing);
  btPreklici->setEnabled(editing);
  btNova->setEnabled(!editing);
  btUredi->setEnabled(!editing);
  brBrisanje->setEnabled(!editing);
  dbgInstal->setEnabled(!editing);
}

void TfmMoreUsers::showInstallationRow() {
  dbeIndex->setText(field(quInstal, "USERINDEX"));
  dbeUser->setText(field(quInstal, "USERNAME"));
  dbeFullName->setText(field(quInstal, "FULLNAME"));
  dbeInstance->setText(field(quInstal, "INSTANCE"));
  dbeKade->setText(field(quInstal, "USER_KADE"));
  DBEGesloKade->setText(field(quInstal, "PASS_KADE"));
  dbeZozuro->setText(field(quInstal, "USER_ZOZURO"));
  DBEGesloZozuro->setText(field(quInstal, "PASS_ZOZURO"));
}

Installation TfmMoreUsers::rowFromEdits() const {
  Installation row;
  row.index = dbeIndex->text().trimmed().toLongLong();
  row.userName = dbeUser->text().trimmed();
  row.fullName = dbeFullName->text();
  row.instance = dbeInstance->text().trimmed();
  row.userKade = dbeKade->text().trimmed();
  row.passKade = DBEGesloKade->text();
  row.userZozuro = dbeZozuro->text().trimmed();
  row.passZozuro = DBEGesloZozuro->text();
  return row;
}

void TfmMoreUsers::btNovaClick() {
  nuvo::db::Query last(&context().osOracle);
  last.setSql(kLastIndex);
  last.execute();
  const QVariant maxIndex = last.eof() ? QVariant() : last.field("USERINDEX").value();
  const QVariant maxInstance = last.eof() ? QVariant() : last.field("INSTANCE").value();
  last.close();
  const Installation row = nuvo::schema::newInstallationDefaults(maxIndex, maxInstance);
  trenStateUser = QStringLiteral("INSERT");
  setRowEditing(true);
  dbeIndex->setText(QString::number(row.index));
  dbeUser->setText(row.userName);
  dbeFullName->clear();
  dbeInstance->setText(row.instance);
  dbeKade->setText(row.userKade);
  DBEGesloKade->clear();
  dbeZozuro->setText(row.userZozuro);
  DBEGesloZozuro->clear();
  ListInstallations();
}

void TfmMoreUsers::btUrediClick() {
  if (quInstal.recordCount() == 0) return;
  showInstallationRow();
  editedIndex_ = field(quInstal, "USERINDEX").toLongLong();
  trenStateUser = QStringLiteral("EDIT");
  trenStaroGesloKade = DBEGesloKade->text();
  trenStaroGesloZozuro = DBEGesloZozuro->text();
  setRowEditing(true);
}

void TfmMoreUsers::btPrekliciClick() {
  if (trenStateUser == u"INSERT") trenStateUser = QStringLiteral("NONE");
  setRowEditing(false);
  showInstallationRow();
}

void TfmMoreUsers::btShraniClick() {
  const Installation row = rowFromEdits();
  if (row.index <= 0) {
    nuvo::showMessage(QStringLiteral("Index instalacije mora biti pozitivno število."), nuvo::MessageKind::Error, this);
    return;
  }
  if (trenStateUser == u"INSERT") {
    nuvo::schema::insertInstallation(context().osOracle, row);
    setRowEditing(false);
    // The schema users of the new installation, then its first rights pass on that installation.
    for (const auto& [user, password] : {qMakePair(row.userKade, row.passKade), qMakePair(row.userZozuro, row.passZozuro)}) {
      bool refused = false;
      const QStringList statements = nuvo::schema::newInstallationAccountStatements(user, password, &refused);
      if (refused)
        nuvo::showMessage(QStringLiteral("NAPAKA: neveljavno ime ali geslo uporabnika ") + user, nuvo::MessageKind::Error,
                          this);
      for (const QString& statement : statements) ExecStatement(statement, true);
    }
    if (!row.userKade.isEmpty() && !row.passKade.isEmpty()) SetRights(QStringLiteral("GRUPE"), row);
    trenStateUser = QStringLiteral("NONE");
  } else if (trenStateUser == u"EDIT") {
    nuvo::schema::updateInstallation(context().osOracle, editedIndex_, row);
    setRowEditing(false);
    QStringList refused;
    for (const QString& statement :
         nuvo::schema::passwordChangeStatements(row, trenStaroGesloKade, trenStaroGesloZozuro, &refused))
      ExecStatement(statement, true);
    for (const QString& user : refused)
      nuvo::showMessage(QStringLiteral("NAPAKA: neveljavno ime ali geslo uporabnika ") + user,
                        nuvo::MessageKind::Error, this);
    trenStaroGesloKade = row.passKade;
    trenStaroGesloZozuro = row.passZozuro;
  }
  quInstal.close();
  quInstal.open();
  for (int r = 0; r < quInstal.recordCount(); ++r)
    if (quInstal.value(r, QStringLiteral("USERINDEX")).toLongLong() == row.index) dbgInstal->selectRow(r);
  ListInstallations();
}

void TfmMoreUsers::brBrisanjeClick() {
  if (quInstal.recordCount() == 0) return;
  if (!nuvo::askYesNo(QStringLiteral("BRISANJE UPORABNIKA - PAZITE !!!"), this)) return;
  Installation row;
  row.index = field(quInstal, "USERINDEX").toLongLong();
  row.userName = field(quInstal, "USERNAME");
  nuvo::schema::deleteInstallation(context().osOracle, row, [this](const QString& text) {
    nuvo::showMessage(text, nuvo::MessageKind::Error, this);
  });
  trenStateUser = QStringLiteral("NONE");
  quInstal.close();
  quInstal.open();
  ListInstallations();
}

// ---------------------------------------------------------------- invalid objects page

void TfmMoreUsers::showObjectSource() {
  meProcedura->setPlainText(nuvo::schema::buildObjectSource(context().osOracle, laLastnik->text(),
                                                            field(quInvalid, "OBJECT_NAME"),
                                                            field(quInvalid, "OBJECT_TYPE")));
}

void TfmMoreUsers::btPrevediInvalideClick() {
  TfmMain& m = context();
  nuvo::schema::InstallationLogon logon;
  logon.database = field(quInst, "INSTANCE");
  const bool zozuro = trenutniLastnik != m.currUserAsKade;
  logon.user = zozuro ? m.currUserAsZozuro : m.currUserAsKade;
  logon.password = zozuro ? m.currPassAsZozuro : m.currPassAsKade;
  const QString keptKade = m.currUserAsKade, keptZozuro = m.currUserAsZozuro;
  btPrevediInvalide->setEnabled(false);
  DBGUserNapake->datasetModel()->setDataset(nullptr);
  const auto report = nuvo::schema::recompileInstallation(
      m.osOracle, osOracleTMP, logon, [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); },
      [] { QCoreApplication::processEvents(); });
  m.currUserAsKade = keptKade;
  m.currUserAsZozuro = keptZozuro;
  DBGUserNapake->datasetModel()->setDataset(&quInvalid);
  btPrevediInvalide->setEnabled(true);
  m.pAutoG = false;
  meProcedura->clear();
  if (!report.loggedOn) {
    nuvo::showMessage(logonFailed(logon.database, logon.user), nuvo::MessageKind::Error, this);
    return;
  }
  QString text = QStringLiteral("Prevedenih objektov: %1").arg(report.recreated);
  if (!report.failures.isEmpty())
    text += QStringLiteral(", napak: %1\n").arg(report.failures.size()) + report.failures.join(u'\n');
  nuvo::showMessage(text, report.failures.isEmpty() ? nuvo::MessageKind::Information : nuvo::MessageKind::Warning,
                    this);
}

// ---------------------------------------------------------------- log-file page

void TfmMoreUsers::btNuvoEXSClick() {
  if (!LogOnInstallation(QStringLiteral("KADE"))) return;
  if (!nuvo::schema::copyOwnStatementTable(osOracleTMP, field(quInst, "USERNAME"))) {
    nuvo::showMessage(QStringLiteral("Podatki že obstajajo v NUVO_UTIL.NUVO_EXS !!!"), nuvo::MessageKind::Warning,
                      this);
    return;
  }
  nuvo::showMessage(QStringLiteral("Tabela NUVO_EXS prepisana"), nuvo::MessageKind::Information, this);
}

// ---------------------------------------------------------------- delete-scripts page

void TfmMoreUsers::edBrisiSkripteManjseExit() {
  edBrisiSkripteLike->setText(
      nuvo::schema::likeAfterLessThan(edBrisiSkripteManjse->text(), edBrisiSkripteLike->text()));
}

void TfmMoreUsers::btPrikazSkriptZaBrisanjeClick() {
  sbBrisaneSkripte->clear();
  const auto filter = nuvo::schema::buildDeleteFilter(edBrisiSkripteManjse->text(), edBrisiSkripteLike->text(),
                                                      edBrisiSkripteOd->text());
  sbBrisaneSkripte->addItems(nuvo::schema::scriptsToDelete(context().osOracle, filter));
}

void TfmMoreUsers::btBrisanjeSkriptClick() {
  const auto filter = nuvo::schema::buildDeleteFilter(edBrisiSkripteManjse->text(), edBrisiSkripteLike->text(),
                                                      edBrisiSkripteOd->text());
  if (filter.empty()) return;
  if (!nuvo::askYesNo(QStringLiteral("ALI ZARES HOČETE BRISATI IZBRANE SKRIPTE?  PAZLJIVO !!!"), this)) return;
  nuvo::schema::deleteScripts(context().osOracle, filter);
  nuvo::showMessage(QStringLiteral("Skripte so brisane"), nuvo::MessageKind::Information, this);
  for (QLineEdit* e : {edBrisiSkripteManjse, edBrisiSkripteLike, edBrisiSkripteOd}) e->setText(QStringLiteral("%"));
  btPrikazSkriptZaBrisanjeClick();
}

// ---------------------------------------------------------------- users page

void TfmMoreUsers::OpenInstallationUsers() {
  quInstUpor.close();
  if (!quInstUpor.hasVariable("userIndex")) quInstUpor.declareVariable("userIndex", nuvo::db::DataType::Integer);
  quInstUpor.setVariable("userIndex", field(quInst, "USERINDEX").toLongLong());
  quInstUpor.open();
}

void TfmMoreUsers::btRfsUporClick() {
  ListInstallations();
  OpenInstallationUsers();
}

void TfmMoreUsers::btDodajUporClick() {
  if (quInst.recordCount() == 0 || edNovUpor->text().trimmed().isEmpty()) return;
  const QString refused =
      nuvo::schema::addInstallationUser(context().osOracle, currentInstallation().index, edNovUpor->text());
  if (!refused.isEmpty()) {
    nuvo::showMessage(refused, nuvo::MessageKind::Warning, this);
    return;
  }
  edNovUpor->clear();
  OpenInstallationUsers();
}

void TfmMoreUsers::btBrisiUporClick() {
  const QString user = field(quInstUpor, "USERNAME");
  if (user.isEmpty()) return;
  try {
    nuvo::schema::removeInstallationUser(context().osOracle, currentInstallation().index, user);
  } catch (const nuvo::db::Error& e) {
    context().osOracle.rollback();
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
  OpenInstallationUsers();
}

void TfmMoreUsers::runRights(const QString& user, const QString& stages) {
  try {
    nuvo::schema::runRightsBlock(osOracleTMP, user, stages);
  } catch (const nuvo::db::Error& e) {
    nuvo::showMessage(e.message(), nuvo::MessageKind::Error, this);
  }
}

void TfmMoreUsers::SetRights(const QString& mode, const Installation& row) {
  TfmMain& m = context();
  m.currUserAsKade = row.userKade;
  m.currPassAsKade = row.passKade;
  if (mode == u"GRUPE") {
    if (logOnTo(row.instance, row.userKade, row.passKade, true)) runRights(row.userKade, QStringLiteral("U"));
  } else {
    m.currUserAsZozuro = row.userZozuro;
    m.currPassAsZozuro = row.passZozuro;
    if (logOnTo(row.instance, row.userKade, row.passKade, true)) runRights(row.userKade, QStringLiteral("GX"));
    if (logOnTo(row.instance, row.userZozuro, row.passZozuro, false)) runRights(row.userZozuro, QStringLiteral("X"));
  }
  if (osOracleTMP.connected()) osOracleTMP.logOff();
}

void TfmMoreUsers::BtPraviceClick() {
  if (quInst.recordCount() == 0) return;
  const Installation row = currentInstallation();
  // The role comes first: the application users are granted the role the schema users' pass makes.
  SetRights(QStringLiteral("USERJI"), row);
  SetRights(QStringLiteral("GRUPE"), row);
  nuvo::showMessage(QStringLiteral("PRAVICE nastavljene"), nuvo::MessageKind::Information, this);
}

void TfmMoreUsers::btPrepisiClick() {
  if (quInst.recordCount() == 0) return;
  const Installation row = currentInstallation();
  if (LogOnInstallation(QStringLiteral("KADE"))) {
    nuvo::schema::CopyReport report;
    try {
      report = nuvo::schema::copyApplicationUsers(context().osOracle, osOracleTMP, row.index, row.userName);
    } catch (const nuvo::db::Error& e) {
      report.failures << e.message();
    }
    if (osOracleTMP.connected()) osOracleTMP.logOff();
    if (!report.failures.isEmpty())
      nuvo::showMessage(QStringLiteral("Niso prepisani:\n") + report.failures.join(u'\n'), nuvo::MessageKind::Warning,
                        this);
  }
  OpenInstallationUsers();
}

// ---------------------------------------------------------------- import logs and special blocks

void TfmMoreUsers::Button1Click() {
  QStringList lines;
  const QString path = nuvo::schema::importLogPaths(edLogFile->text(), context().currUserAsKade).value(0);
  if (loadTextLines(path, lines)) meLogFile->setPlainText(lines.join(u'\n'));
}

void TfmMoreUsers::btIzvediClick() {
  TfmMain& m = context();
  const QStringList paths = nuvo::schema::importLogPaths(edLogFile->text(), m.currUserAsKade);
  // The failures of both passes stay listed together.
  meTrigg->clear();
  for (int pass = 0; pass < paths.size(); ++pass) {
    QStringList lines;
    if (!loadTextLines(paths[pass], lines)) continue;
    meLogFile->setPlainText(lines.join(u'\n'));
    if (!LogOnInstallation(pass == 0 ? QStringLiteral("KADE") : QStringLiteral("ZOZURO"))) continue;
    // The triggers are made as the installation's user, so that the names the log leaves
    // unqualified are its own.
    const QStringList failed = nuvo::schema::recreateTriggers(
        osOracleTMP, nuvo::schema::scanImportLog(lines),
        [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); });
    for (const QString& line : failed) meTrigg->appendPlainText(line);
    osOracleTMP.logOff();
  }
  nuvo::showMessage(QStringLiteral("KONEC PREVAJANJA NAPAK IZ LOG DATOTEKE!"), nuvo::MessageKind::Information, this);
}

void TfmMoreUsers::btPrevediSpecialneBlokeClick() {
  TfmMain& m = context();
  if (!LogOnInstallation(QStringLiteral("KADE"))) return;
  btPrevediSpecialneBloke->setEnabled(false);
  const auto report = nuvo::schema::runSpecialBlocks(
      osOracleTMP, specialBlocksDir, m.currUserAsKade, [this](const QString& drop) { ExecStatement(drop, false); },
      [&m](const QString& text) { return m.zamenjave(text, QStringLiteral("SKRIPTA")); },
      [] { QCoreApplication::processEvents(); });
  btPrevediSpecialneBloke->setEnabled(true);
  if (osOracleTMP.connected()) osOracleTMP.logOff();
  if (!report.missingFile.isEmpty()) {
    nuvo::showMessage(QStringLiteral("Datoteke ni mogoče brati: ") + report.missingFile, nuvo::MessageKind::Error,
                      this);
    return;
  }
  ListInstallations();
  nuvo::showMessage(nuvo::schema::specialBlocksMessage(report.failures), nuvo::MessageKind::Information, this);
}
