#include "shell/setup.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "db/query.h"
#include "platform/appdirs.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "shell/Main.h"
#include "shell/iKript.h"
#include "shell/settings_io.h"
#include "shell/sql_catalog.h"
#include "shell/tabUtil.h"
#include "widgets/message_facade.h"

using nuvo::shell::MacroKind;

namespace {

const nuvo::SqlText kSysParamCount{"setup.WriteSysParam.count",
                                   {" select count(*) stevilo from nuvo_util.velmoraSys ", "   where sysSprem=:sprem"}};
const nuvo::SqlText kSysParamInsert{"setup.WriteSysParam.insert",
                                    {" insert into nuvo_util.velmoraSys ", "   values(:sprem,:vred,:opis)"}};
const nuvo::SqlText kSysParamUpdate{
    "setup.WriteSysParam.update",
    {" update nuvo_util.velmoraSys ", "   set sysVred=:vred, sysOpis=:opis", " where sysSprem=:sprem"}};

const QString kOracleVersion = QStringLiteral("OracleVersion");

// A group of labelled controls.
QGroupBox* group(QWidget* parent, const char* name, const QString& title) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  new QFormLayout(box);
  return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption) {
  auto* result = new QLabel(caption, parent);
  result->setObjectName(name);
  return result;
}

template <typename Control>
Control* named(Control* control, const char* name) {
  control->setObjectName(name);
  return control;
}

QLineEdit* edit(QGroupBox* box, const char* name, const char* labelName, const QString& caption) {
  auto* result = named(new QLineEdit(box), name);
  static_cast<QFormLayout*>(box->layout())->addRow(label(box, labelName, caption), result);
  return result;
}

// An editable list: it offers `items` and takes any text.
QComboBox* combo(QGroupBox* box, const char* name, const char* labelName, const QString& caption,
                 const QStringList& items) {
  auto* result = named(new QComboBox(box), name);
  result->setEditable(true);
  result->addItems(items);
  static_cast<QFormLayout*>(box->layout())->addRow(label(box, labelName, caption), result);
  return result;
}

QCheckBox* check(QGroupBox* box, const char* name, const QString& caption) {
  auto* result = named(new QCheckBox(caption, box), name);
  static_cast<QFormLayout*>(box->layout())->addRow(result);
  return result;
}

// Sets the caption of a label, button, group box, menu or menu item.
void setCaption(QObject* object, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(object))
    action->setText(text);
  else if (auto* menu = qobject_cast<QMenu*>(object))
    menu->setTitle(text);
  else if (auto* box = qobject_cast<QGroupBox*>(object))
    box->setTitle(text);
  else if (auto* textLabel = qobject_cast<QLabel*>(object))
    textLabel->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(object))
    button->setText(text);
}

// Centred on the screen rather than over the main window, which may be reduced to its toolbar
// strip; a window larger than the screen keeps its top left corner on it.
void centreOnScreen(QWidget& window) {
  window.adjustSize();
  const QRect screen = window.screen()->availableGeometry();
  QRect frame(QPoint(), window.size());
  frame.moveCenter(screen.center());
  window.move(std::max(frame.left(), screen.left()), std::max(frame.top(), screen.top()));
}

struct Caption {
  const char* name;
  const char* text;
};

// The Slovene captions that are fixed texts; the ones taken from the program's shared texts are set
// in SetLanguageTexts.
const Caption kSloveneCaptions[] = {
    {"mmFile", "&Datoteka"},
    {"mmSave", "&Shrani"},
    {"mmSpecial", "&Specialne nastavitve"},
    {"mmParams", "&Parametri"},
    {"mmShortcutsMacros", "&Okrajšave/makroji"},
    {"mmShortCuts", "Okrajšave"},
    {"mmMacrosPopUp", "Makroji"},
    {"laSysOpis", "Vse nastavitve so v tabeli   NUVO_UTIL.VelmoraSys"},
    {"laSysVersion", "Verzija Oracla"},
    {"laUpor", "Uporabnik:"},
    {"laLang", "Jezik:"},
    {"cbSavePassword", "Shrani"},
    {"laPassword", "Geslo:"},
    {"laServer", "Strežnik:"},
    {"laLastVersion", "Zad.ver.:"},
    {"laDateFormat", "Format dat:"},
    {"laNuvoUser", "Velmora upor:"},
    {"WorkSheet", "Poizvedbe"},
    {"laFont", "Font"},
    {"laForce", "OCI"},
    {"GroupBox3", "Delni SQL"},
    {"laMacroDat", "Makro dat.:"},
    {"laRefreshDir", "Osveževalni dir.:"},
    {"laCompareDir", "Primerjalni dir.:"},
    {"laUser", "Upor.:"},
    {"laShowLog", "LOG parametri:"},
    {"GroupBox5", "Test verzije"},
    {"laChkUpor", "Upor:"},
    {"laChkTip", "Tip:"},
    {"laChkFile", "Datoteka:"},
    {"GroupBox7", "Skripte"},
    {"GroupBox4", "Ažuriranje PL/SQL blokov"},
    {"laSqlFont", "Font:"},
    {"GroupBox6", "Projekt"},
    {"laPrjCurr", "Trenutni projekt:"},
    {"laPrjType", "Trenutni tip:"},
    {"cbSmall", "Minimiziran ekran"},
    {"laTop", "Vrh:"},
    {"laLeft", "Levo:"},
    {"laComment", "Dir.za komentarje:"},
    {"laLargeRB", "Ime za LARGERB:"},
    {"btChangeParam", "S&premeni"},
    {"laFile", "Datoteka:"},
    {"sysSysSave", "Shrani"},
    {"laOwner", "Lastnik:"},
};

// The labels that show the shared texts "current directory" and "current file".
const char* const kDirLabels[] = {"laCurrDir", "laPartDir", "laScrDir", "laSqlDir"};
const char* const kFileLabels[] = {"laCurrFile", "laPartFile", "laScrFile"};

struct MessageTexts {
  QString TFmSetup::*field;
  const char* english;
  const char* slovene;
};

const MessageTexts kMessages[] = {
    {&TFmSetup::nizTrenDir, "Current dir:", "Tren.direktorij:"},
    {&TFmSetup::nizTrenDat, "Current file:", "Tren.datoteka:"},
    {&TFmSetup::nizShortcuts, "Shortcuts", "Okrajšave"},
    {&TFmSetup::nizMacro, "Macro", "Makroji"},
    {&TFmSetup::nizMcrOK, "ShortCuts/Macros successfuly saved", "Okrajšave/Makroji uspešno shranjeni"},
    {&TFmSetup::nizMcrErr, "Error on Writing to file ", "Napaka pri shranjevanje v datoteko:  "},
    {&TFmSetup::nizErrNiTabele, "Parameter table NUVO_UTIL.VELMORASYS doesn't exists",
     "Tabela parametrov NUVO_UTIL.VELMORASYS ne obstaja!"},
    {&TFmSetup::nizTabNOK, "After # there must be a valid number", "Po znaku # mora biti število"},
    {&TFmSetup::notWholeNumberText, "Top and Left must be whole numbers; the previous value is kept.",
     "Vrh in Levo morata biti celi števili; ostane prejšnja vrednost."},
    {&TFmSetup::pendingText,
     "The parameter is changed in the open transaction of the session; it is kept with its next Commit.",
     "Parameter je spremenjen v odprti transakciji seje; ohranjen bo z njeno naslednjo potrditvijo (Commit)."},
    {&TFmSetup::macrosFullText, "There can be at most 25 popup macros.", "Makrojev je lahko največ 25."},
    {&TFmSetup::macrosCutText, "The macro file has %1 popup macros more than 25; only the first 25 are kept.",
     "Datoteka ima %1 makrojev preko 25; ostane prvih 25."},
    {&TFmSetup::headerLineText,
     "The text of \"%1\" has a line beginning with # or /, which the file would read as a new macro; "
     "nothing was saved.",
     "Besedilo \"%1\" ima vrstico, ki se začne z # ali /, kar bi datoteka prebrala kot nov makro; "
     "nič ni shranjeno."},
};

}  // namespace

TFmSetup::TFmSetup(TfmMain* main)
    : QDialog(main),
      mmSetup(new QMenuBar(this)),
      pcSetup(named(new QStackedWidget(this), "pcSetup")),
      TabParam(named(new QWidget(pcSetup), "TabParam")),
      TabSM(named(new QWidget(pcSetup), "TabSM")),
      tabNuvoSys(named(new QWidget(pcSetup), "tabNuvoSys")),
      tiAutoSave(named(new QTimer(this), "tiAutoSave")),
      main_(main) {
  instance = this;
  setObjectName("FmSetup");
  setWindowTitle(QStringLiteral("FmSetup"));
  setAttribute(Qt::WA_DeleteOnClose);
  tiAutoSave->setInterval(500);
  tiAutoSave->setSingleShot(true);
  buildMenu();
  buildParamPage();
  buildMacroPage();
  buildSysPage();
  pcSetup->addWidget(TabParam);
  pcSetup->addWidget(TabSM);
  pcSetup->addWidget(tabNuvoSys);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(mmSetup);
  layout->addWidget(pcSetup);
  connectHandlers();
  FormCreate();
  centreOnScreen(*this);
}

void TFmSetup::buildMenu() {
  mmSetup->setObjectName("mmSetup");
  QMenu* file = named(mmSetup->addMenu(QStringLiteral("File")), "mmFile");
  mmSave = named(file->addAction(QStringLiteral("Save")), "mmSave");
  mmParams = named(mmSetup->addAction(QStringLiteral("Params")), "mmParams");
  QMenu* macros = named(mmSetup->addMenu(QStringLiteral("Shortcuts/Macros")), "mmShortcutsMacros");
  mmShortCuts = named(macros->addAction(QStringLiteral("ShortCuts")), "mmShortCuts");
  mmMacrosPopUp = named(macros->addAction(QStringLiteral("Macros-PopUp")), "mmMacrosPopUp");
  mmSpecial = named(mmSetup->addAction(QStringLiteral("Special")), "mmSpecial");
  mmExit = named(mmSetup->addAction(QStringLiteral("Exit")), "mmExit");
}

void TFmSetup::buildParamPage() {
  QWidget* page = TabParam;
  QGroupBox* oracle = group(page, "laChkUpor", QStringLiteral("Oracle "));
  edDateFormat = edit(oracle, "edDateFormat", "laDateFormat", QStringLiteral("Date Format"));
  edUser = edit(oracle, "edUser", "laUpor", QStringLiteral("User:"));
  edPassword = edit(oracle, "edPassword", "laPassword", QStringLiteral("Password:"));
  edPasswordUtil = named(new QLineEdit(oracle), "edPasswordUtil");
  static_cast<QFormLayout*>(oracle->layout())->addRow(QString(), edPasswordUtil);
  for (QLineEdit* password : {edPassword, edPasswordUtil}) password->setEchoMode(QLineEdit::Password);
  edServer = edit(oracle, "edServer", "laServer", QStringLiteral("Server"));
  cbSavePassword = check(oracle, "cbSavePassword", QStringLiteral("Save "));
  edVelmoraUser = edit(oracle, "edVelmoraUser", "laNuvoUser", QStringLiteral("Velmora User:"));
  edLanguage = edit(oracle, "edLanguage", "laLang", QStringLiteral("Lang:"));
  edLastnik = edit(oracle, "edLastnik", "laOwner", QStringLiteral("Owner:"));

  QGroupBox* workSheet = group(page, "WorkSheet", QStringLiteral("WorkSheet"));
  cbEditPLFont = combo(workSheet, "cbEditPLFont", "laFont", QStringLiteral("Edit PL Font:"),
                       {QStringLiteral("Ms Sans Serif"), QStringLiteral("Courier New")});
  cbForceOCI = combo(workSheet, "cbForceOCI", "laForce", QStringLiteral("Force OCI:"),
                     {QStringLiteral("Yes"), QStringLiteral("No")});
  edDesc = edit(workSheet, "edDesc", "laDesc", QStringLiteral("Descriptor(ASC):"));
  edDesc->setToolTip(QStringLiteral("You can type Tabulator as   #9"));

  QGroupBox* mdq = group(page, "GroupBox2", QStringLiteral("Master/Detail"));
  edMDQDir = edit(mdq, "edMDQDir", "laCurrDir", QStringLiteral("Current Dir:"));
  edMDQFile = edit(mdq, "edMDQFile", "laCurrFile", QStringLiteral("Current File:"));
  QGroupBox* part = group(page, "GroupBox3", QStringLiteral("Part SQL"));
  edPartDir = edit(part, "edPartDir", "laPartDir", QStringLiteral("Current Dir:"));
  edPartFile = edit(part, "edPartFile", "laPartFile", QStringLiteral("Current File:"));
  QGroupBox* plsql = group(page, "GroupBox4", QStringLiteral("Edit PL/SQL"));
  edPLDir = edit(plsql, "edPLDir", "laSqlDir", QStringLiteral("Current Dir:"));
  edPLFont = edit(plsql, "edPLFont", "laSqlFont", QStringLiteral("Current Font:"));
  QGroupBox* version = group(page, "GroupBox5", QStringLiteral("Version Check"));
  edVerUser = edit(version, "edVerUser", "laUser", QStringLiteral("User:"));
  edVerType = edit(version, "edVerType", "laChkTip", QStringLiteral("Type:"));
  edVerFile = edit(version, "edVerFile", "laChkFile", QStringLiteral("File:"));
  edLastVer = edit(version, "edLastVer", "laLastVersion", QStringLiteral("Last Ver.:"));
  QGroupBox* project = group(page, "GroupBox6", QStringLiteral("Project"));
  edPrProject = edit(project, "edPrProject", "laPrjCurr", QStringLiteral("Current Project:"));
  edPrType = edit(project, "edPrType", "laPrjType", QStringLiteral("Current Type:"));
  QGroupBox* script = group(page, "GroupBox7", QStringLiteral("Script"));
  edScriptDir = edit(script, "edScriptDir", "laScrDir", QStringLiteral("Current Dir:"));
  edScriptFile = edit(script, "edScriptFile", "laScrFile", QStringLiteral("Current File:"));

  QGroupBox* other = group(page, "GroupBox8", QString());
  edMacroFile = edit(other, "edMacroFile", "laMacroDat", QStringLiteral("Macro File:"));
  edRefreshDir = edit(other, "edRefreshDir", "laRefreshDir", QStringLiteral("Refresh Dir:"));
  edCompareDir = edit(other, "edCompareDir", "laCompareDir", QStringLiteral("Compare Dir:"));
  cbSmall = check(other, "cbSmall", QStringLiteral("Minimized Main Screen"));
  edTop = edit(other, "edTop", "laTop", QStringLiteral("Top:"));
  edLeft = edit(other, "edLeft", "laLeft", QStringLiteral("Left:"));
  edComment = edit(other, "edComment", "laComment", QStringLiteral("Comment FIle Dir:"));
  edShowLog = edit(other, "edShowLog", "laShowLog", QStringLiteral("Show Log:"));
  edLoader = edit(other, "edLoader", "laLoader", QStringLiteral("Loader:"));

  QGroupBox* onPage = group(page, "PanelPage", QString());
  onPage->setFlat(true);
  edLargeRB = edit(onPage, "edLargeRB", "laLargeRB", QStringLiteral("Large RB name:"));
  edVelmoraDir = edit(onPage, "edVelmoraDir", "laVelmoraDir", QStringLiteral("VELMORA dir: "));
  QGroupBox* panel4 = group(page, "Panel4", QString());
  cbUnicode = check(panel4, "cbUnicode", QStringLiteral("Unicode"));
  cbCharSet = combo(panel4, "cbCharSet", "laCharSet", QStringLiteral("Charset: "),
                    {QStringLiteral("OEM"), QStringLiteral("EASTEUROPE"), QStringLiteral("RUSSIAN")});
  QGroupBox* panel5 = group(page, "Panel5", QString());
  edCubeCompany = edit(panel5, "edCubeCompany", "laCubeCompany", QStringLiteral(" Cube comp:"));

  btSaveToDisk = named(new QPushButton(QStringLiteral("&Save "), page), "btSaveToDisk");
  btSaveToDisk->setToolTip(QStringLiteral("Save parameters to Disk"));
  btChangeParam = named(new QPushButton(QStringLiteral("Change"), page), "btChangeParam");
  btChangeParam->setDefault(true);
  btExit = named(new QPushButton(QStringLiteral("Exit"), page), "btExit");

  // Four columns, each stacking its own groups, so that the page fits a screen of 768 pixels with
  // its buttons; the fields are wide enough to show their usual values whole.
  auto* groups = new QHBoxLayout;
  const QList<QWidget*> columns[] = {{oracle, panel4, panel5},
                                     {workSheet, mdq, part},
                                     {plsql, project, script, version},
                                     {other, onPage}};
  for (const QList<QWidget*>& column : columns) {
    auto* stack = new QVBoxLayout;
    for (QWidget* box : column) stack->addWidget(box);
    stack->addStretch(1);
    groups->addLayout(stack);
  }
  const int textWidth = page->fontMetrics().horizontalAdvance(QStringLiteral("EASTEUROPE_CHARSET"));
  for (QLineEdit* field : page->findChildren<QLineEdit*>()) field->setMinimumWidth(textWidth + 16);
  for (QComboBox* field : page->findChildren<QComboBox*>()) field->setMinimumWidth(textWidth + 40);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {btSaveToDisk, btChangeParam, btExit}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(groups, 1);
  layout->addLayout(buttons);
}

void TFmSetup::buildMacroPage() {
  QWidget* page = TabSM;
  pcSM = named(new QStackedWidget(page), "pcSM");
  tab1Short = named(new QWidget(pcSM), "tab1Short");
  Tab1Macro = named(new QWidget(pcSM), "Tab1Macro");
  sgMacro = named(new QTableWidget(1, 2, tab1Short), "sgMacro");
  sgMC = named(new QTableWidget(1, 1, Tab1Macro), "sgMC");
  meMacro = named(new QPlainTextEdit(Tab1Macro), "meMacro");
  for (QTableWidget* grid : {sgMacro, sgMC}) {
    grid->verticalHeader()->setSectionsMovable(true);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
  }
  (new QVBoxLayout(tab1Short))->addWidget(sgMacro);
  auto* macroLayout = new QHBoxLayout(Tab1Macro);
  macroLayout->addWidget(sgMC, 1);
  macroLayout->addWidget(meMacro, 2);
  pcSM->addWidget(tab1Short);
  pcSM->addWidget(Tab1Macro);

  edShortFile = named(new QLineEdit(page), "edShortFile");
  btRead = named(new QPushButton(QStringLiteral("Read"), page), "btRead");
  const auto toolButton = [page](const char* name, const QString& text, const QString& hint) {
    auto* button = named(new QToolButton(page), name);
    button->setText(text);
    button->setToolTip(hint);
    return button;
  };
  spNew = toolButton("spNew", QStringLiteral("+"), QStringLiteral("New Macro"));
  spDelete = toolButton("spDelete", QStringLiteral("-"), QStringLiteral("Delete Macro"));
  spSave = toolButton("spSave", QStringLiteral("Save"), QStringLiteral("Save"));
  laStat = named(new QLabel(page), "laStat");
  QFont big = laStat->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  laStat->setFont(big);
  laStat->setStyleSheet(QStringLiteral("color: red"));

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(label(page, "laFile", QStringLiteral("File:")));
  bottom->addWidget(edShortFile, 1);
  bottom->addWidget(btRead);
  for (QToolButton* button : {spNew, spDelete, spSave}) bottom->addWidget(button);
  bottom->addWidget(laStat, 1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(pcSM, 1);
  layout->addLayout(bottom);
}

void TFmSetup::buildSysPage() {
  QWidget* page = tabNuvoSys;
  edSysVersion = named(new QLineEdit(page), "edSysVersion");
  sysSysSave = named(new QPushButton(QStringLiteral("&Save "), page), "sysSysSave");
  Button2 = named(new QPushButton(QStringLiteral("Exit"), page), "Button2");
  auto* version = new QHBoxLayout;
  version->addWidget(label(page, "laSysVersion", QStringLiteral("Oracle Version:")));
  version->addWidget(edSysVersion, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(sysSysSave);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(label(page, "laSysOpis", QStringLiteral("All parameters are in table    NUVO_UTIL.Velmora.sys")));
  layout->addLayout(version);
  layout->addStretch();
  layout->addLayout(buttons);
}

void TFmSetup::connectHandlers() {
  connect(mmSave, &QAction::triggered, this, &TFmSetup::mmSaveClick);
  connect(mmParams, &QAction::triggered, this, &TFmSetup::mmParamsClick);
  connect(mmShortCuts, &QAction::triggered, this, &TFmSetup::mmShortCutsClick);
  connect(mmMacrosPopUp, &QAction::triggered, this, &TFmSetup::mmMacrosPopUpClick);
  connect(mmSpecial, &QAction::triggered, this, &TFmSetup::mmSpecialClick);
  connect(mmExit, &QAction::triggered, this, &TFmSetup::mmExitClick);
  connect(tiAutoSave, &QTimer::timeout, this, &TFmSetup::tiAutoSaveTimer);
  connect(btSaveToDisk, &QPushButton::clicked, this, &TFmSetup::btSaveToDiskClick);
  connect(btChangeParam, &QPushButton::clicked, this, &TFmSetup::btChangeParamClick);
  connect(btExit, &QPushButton::clicked, this, &TFmSetup::btExitClick);
  connect(Button2, &QPushButton::clicked, this, &TFmSetup::btExitClick);
  connect(cbSmall, &QCheckBox::clicked, this, &TFmSetup::cbSmallClick);
  connect(edDesc, &QLineEdit::editingFinished, this, &TFmSetup::edDescExit);
  connect(sysSysSave, &QPushButton::clicked, this, &TFmSetup::sysSysSaveClick);
  connect(btRead, &QPushButton::clicked, this, &TFmSetup::btReadClick);
  connect(spNew, &QToolButton::clicked, this, &TFmSetup::spNewClick);
  connect(spDelete, &QToolButton::clicked, this, &TFmSetup::spDeleteClick);
  connect(spSave, &QToolButton::clicked, this, &TFmSetup::spSaveClick);
  connect(sgMC, &QTableWidget::currentCellChanged, this, &TFmSetup::sgMCDrawCell);
  connect(meMacro, &QPlainTextEdit::textChanged, this, &TFmSetup::meMacroChange);
  for (const MacroKind kind : {MacroKind::Shortcut, MacroKind::Popup}) {
    QTableWidget* table = grid(kind);
    connect(table, &QTableWidget::itemChanged, this, [this, kind](QTableWidgetItem* item) {
      gridItemChanged(kind, item->row(), item->column(), item->text());
    });
    // The header only shows a drag; the rows themselves move in the macro list.
    connect(table->verticalHeader(), &QHeaderView::sectionMoved, this, [this, kind, table](int, int from, int to) {
      {
        const QSignalBlocker blocker(table->verticalHeader());
        table->verticalHeader()->moveSection(to, from);
      }
      kind == MacroKind::Popup ? sgMCRowMoved(from, to) : sgMacroRowMoved(from, to);
    });
  }
}

bool TFmSetup::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

void TFmSetup::SetLanguageTexts() {
  const bool slovene = main_->slovene();
  for (const MessageTexts& message : kMessages)
    this->*message.field = QString::fromUtf8(slovene ? message.slovene : message.english);
  if (!slovene) return;
  for (const char* name : kDirLabels) setCaption(findChild<QObject*>(name), nizTrenDir);
  for (const char* name : kFileLabels) setCaption(findChild<QObject*>(name), nizTrenDat);
  for (const Caption& caption : kSloveneCaptions)
    setCaption(findChild<QObject*>(caption.name), QString::fromUtf8(caption.text));
  mmExit->setText(main_->nizExit);
  btSaveToDisk->setText(main_->nizSave);
  btExit->setText(main_->nizExit);
  spNew->setToolTip(QStringLiteral("Nov makro"));
  spDelete->setToolTip(QStringLiteral("Briši makro"));
  spSave->setToolTip(main_->nizSave);
  edDesc->setToolTip(QStringLiteral("Tabulator izberete z nizom #9 "));
}

void TFmSetup::FormCreate() {
  SetLanguageTexts();
  const TfmMain& m = *main_;
  trenUser = m.connUser;
  autoSave = false;
  edShortFile->setText(m.currMacroFile);
  laStat->clear();
  pcSM->setCurrentWidget(tab1Short);

  const std::pair<QLineEdit*, QString> texts[] = {
      {edDateFormat, m.currentDateFormat},  {edUser, m.connUser},
      {edPassword, m.connPassword},         {edPasswordUtil, m.connPasswordUtil},
      {edServer, m.connServer},             {edVelmoraUser, m.CurrentUserIpl},
      {edLanguage, m.currLanguage},         {edLastnik, m.currOwnerFile},
      {edDesc, m.currDescriptor},           {edMDQDir, m.CurrentMDQInitDir},
      {edMDQFile, m.CurrentMDQLast},        {edPartDir, m.CurrentPartInitDir},
      {edPartFile, m.CurrentPartFile},      {edPLDir, m.TmpCurrentEditInitDir},
      {edPLFont, m.currEditPLFont},         {edVerUser, m.currVerOwner},
      {edVerType, m.currVerType},           {edVerFile, m.currVerFile},
      {edPrProject, m.CurrentActiveProject}, {edPrType, m.CurrentActiveType},
      {edScriptDir, m.currentScriptDir},    {edScriptFile, m.currentScript},
      {edMacroFile, m.currMacroFile},       {edRefreshDir, m.currentRefreshDir},
      {edCompareDir, m.CurrentCheckInitDir}, {edComment, m.currCommentsFile},
      {edShowLog, m.currShowLogType},       {edLoader, m.currLoader},
      {edLargeRB, m.currLargeRBName},       {edVelmoraDir, m.currVELMORADir},
      {edCubeCompany, m.currCubeCompany},
  };
  for (const auto& [control, text] : texts) control->setText(text);
  cbEditPLFont->setEditText(m.currEditPLFont);
  cbForceOCI->setEditText(m.currForceOCI);
  cbCharSet->setEditText(m.currCharset);
  cbSavePassword->setChecked(m.currShrani == u"ECM1");
  cbSmall->setChecked(m.currMinimizedMain == u"D");
  cbUnicode->setChecked(m.currUnicode);
  shownLastVer_ = TfmtableUtil::GetLastVer();
  edLastVer->setText(shownLastVer_);

  // While the main window is reduced to its toolbar, its place now is what a save should record.
  const bool fullSize = !m.paMain->isHidden();
  acceptedTop_ = QString::number(fullSize ? m.currMinTop : m.y());
  acceptedLeft_ = QString::number(fullSize ? m.currMinLeft : m.x());
  edTop->setText(acceptedTop_);
  edLeft->setText(acceptedLeft_);
  pcSetup->setCurrentWidget(TabParam);
}

void TFmSetup::FormActivate() {
  // Activation comes again after every message box; reading the file then would throw away edits.
  if (activated_) return;
  activated_ = true;
  btReadClick();
  if (autoSave) tiAutoSave->start();
}

bool TFmSetup::checkPosition(QLineEdit* edit, QString& accepted) {
  if (nuvo::shell::integerSetting(edit->text())) {
    accepted = edit->text();
    return true;
  }
  edit->setText(accepted);
  return false;
}

bool TFmSetup::ApplySettings() {
  TfmMain& m = *main_;
  const bool topAccepted = checkPosition(edTop, acceptedTop_);
  const bool leftAccepted = checkPosition(edLeft, acceptedLeft_);
  if (!topAccepted || !leftAccepted) nuvo::showMessage(notWholeNumberText, nuvo::MessageKind::Warning, this);
  edDescExit();

  m.currEditPLFont = cbEditPLFont->currentText();
  m.currForceOCI = cbForceOCI->currentText();
  m.connUser = edUser->text();
  m.connPassword = edPassword->text();
  m.connPasswordUtil = edPasswordUtil->text();
  m.connServer = edServer->text();
  m.CurrentMDQInitDir = edMDQDir->text();
  m.CurrentMDQLast = edMDQFile->text();
  m.CurrentPartInitDir = edPartDir->text();
  m.CurrentPartFile = edPartFile->text();
  m.currOwner = m.currOwnerFile = edLastnik->text();
  m.currVerOwner = edVerUser->text();
  // Only a typed last version is recorded: the one shown belongs to the server and user the
  // window opened with, which the edits above may have changed.
  if (edLastVer->text() != shownLastVer_) {
    TfmtableUtil::ShraniLastVer(edLastVer->text());
    shownLastVer_ = edLastVer->text();
  }

  m.currVerFile = edVerFile->text();
  m.currVerType = edVerType->text();
  m.CurrentActiveProject = edPrProject->text();
  m.CurrentActiveType = edPrType->text();
  m.currLargeRBName = edLargeRB->text();
  m.currLanguage = edLanguage->text();
  m.currLoader = edLoader->text();
  m.currVELMORADir = edVelmoraDir->text();
  m.TmpCurrentEditInitDir = edPLDir->text();
  m.currEditPLFont = edPLFont->text();  // the Edit PL/SQL group's font wins over the worksheet's list
  m.currentScript = edScriptFile->text();
  m.currentScriptDir = edScriptDir->text();
  m.CurrentCheckInitDir = edCompareDir->text();
  m.currentRefreshDir = edRefreshDir->text();
  m.CurrentUserIpl = edVelmoraUser->text();
  m.currMacroFile = edMacroFile->text();
  m.currShowLogType = edShowLog->text();
  m.currDescriptor = edDesc->text();
  m.currUnicode = cbUnicode->isChecked();
  m.currCharset = cbCharSet->currentText();
  nuvo::setFileCodePage(nuvo::codePageOfCharset(m.currCharset));

  m.currCommentsFile = nuvo::shell::withClosingSeparator(edComment->text());
  m.currShrani = cbSavePassword->isChecked() ? QStringLiteral("ECM1") : QStringLiteral("N");
  const bool dateAccepted = m.changeDateFormat(m.osOracle, edDateFormat->text());
  if (dateAccepted) m.currentDateFormat = edDateFormat->text();
  m.currCubeCompany = edCubeCompany->text();
  return dateAccepted;
}

void TFmSetup::btChangeParamClick() {
  try {
    if (ApplySettings()) close();
  } catch (const nuvo::PlatformError& error) {  // MONITOR.INI refused the last version
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
  }
}

void TFmSetup::btSaveToDiskClick() {
  try {
    ApplySettings();  // the file is written with the old date format when the server refused the new one
    nuvo::IniFile ini(nuvo::monitorIniPath());
    nuvo::shell::writeEntries(ini, nuvo::shell::settingsEntries(
                                       *main_, {edTop->text(), edLeft->text(), edLanguage->text()}));
    if (const auto stored = nuvo::shell::passwordToStore(*main_))
      TKript::shraniGeslo(main_->connServer, stored->user, stored->password, trenUser);
  } catch (const nuvo::PlatformError& error) {
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    return;
  }
  close();
}

void TFmSetup::mmSaveClick() { btSaveToDiskClick(); }

void TFmSetup::btExitClick() { close(); }

void TFmSetup::mmExitClick() { close(); }

void TFmSetup::tiAutoSaveTimer() {
  btSaveToDiskClick();
  if (isVisible()) close();
}

void TFmSetup::cbSmallClick() {
  main_->currMinimizedMain = cbSmall->isChecked() ? QStringLiteral("D") : QStringLiteral("N");
}

void TFmSetup::edDescExit() {
  if (nuvo::shell::isValidDescriptor(edDesc->text())) return;
  nuvo::showMessage(nizTabNOK, nuvo::MessageKind::Warning, this);
  edDesc->setText(main_->currDescriptor);
}

void TFmSetup::mmParamsClick() { pcSetup->setCurrentWidget(TabParam); }

void TFmSetup::mmShortCutsClick() {
  pcSetup->setCurrentWidget(TabSM);
  pcSM->setCurrentWidget(tab1Short);
  laStat->setText(nizShortcuts);
}

void TFmSetup::mmMacrosPopUpClick() {
  pcSetup->setCurrentWidget(TabSM);
  pcSM->setCurrentWidget(Tab1Macro);
  laStat->setText(nizMacro);
}

void TFmSetup::mmSpecialClick() {
  pcSetup->setCurrentWidget(tabNuvoSys);
  QString value, description;
  main_->BeriParameter(kOracleVersion, value, description);
  edSysVersion->setText(value);
}

void TFmSetup::sysSysSaveClick() {
  // Only a failed write keeps the window open; without the table there is nothing to retry.
  if (WriteSysParam(kOracleVersion, edSysVersion->text(), QString()) != SysParamWrite::Failed) close();
}

TFmSetup::SysParamWrite TFmSetup::WriteSysParam(const QString& name, const QString& value, const QString& description) {
  nuvo::db::Session& session = main_->osOracle;
  const bool hadTransaction = session.connected() && session.inTransaction();
  const auto bind = [](nuvo::db::Query& query, const char* variable, const QString& text) {
    query.declareVariable(QString::fromLatin1(variable), nuvo::db::DataType::String);
    query.setVariable(QString::fromLatin1(variable), text);
  };
  qint64 count = 0;
  try {
    nuvo::db::Query counter(&session);
    counter.setSql(kSysParamCount);
    bind(counter, "sprem", name);
    counter.execute();
    count = counter.field("STEVILO").asInteger();
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nizErrNiTabele, nuvo::MessageKind::Error, this);
    return SysParamWrite::NoTable;
  }
  try {
    nuvo::db::Query write(&session);
    write.setSql(count == 0 ? kSysParamInsert : kSysParamUpdate);
    bind(write, "sprem", name);
    bind(write, "vred", value);
    bind(write, "opis", description);
    write.execute();
  } catch (const nuvo::db::Error& error) {
    if (!hadTransaction && session.inTransaction()) session.rollback();
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    return SysParamWrite::Failed;
  }
  // Work the session had open before is not ours to commit: the change waits for its commit.
  if (hadTransaction)
    nuvo::showMessage(pendingText, nuvo::MessageKind::Information, this);
  else
    session.commit();
  return SysParamWrite::Written;
}

// The macro file editor.

MacroKind TFmSetup::currentKind() const {
  return pcSM->currentWidget() == tab1Short ? MacroKind::Shortcut : MacroKind::Popup;
}

QTableWidget* TFmSetup::grid(MacroKind kind) const { return kind == MacroKind::Shortcut ? sgMacro : sgMC; }

void TFmSetup::fillGrid(MacroKind kind) {
  QTableWidget* table = grid(kind);
  const QSignalBlocker blocker(table);
  const auto& rows = macros_.rows(kind);
  table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < rows.size(); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(rows[row].key));
    if (kind == MacroKind::Shortcut) table->setItem(row, 1, new QTableWidgetItem(nuvo::crlfToLf(rows[row].text)));
  }
}

void TFmSetup::gridItemChanged(MacroKind kind, int row, int column, const QString& text) {
  auto& rows = macros_.rows(kind);
  if (row < 0 || row >= rows.size()) return;
  if (column == 0)
    rows[row].key = text;
  else
    rows[row].text = nuvo::lfToCrlf(text);
}

void TFmSetup::btReadClick() {
  sgMacro->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("ShortCut Value")});
  sgMC->setHorizontalHeaderLabels({QStringLiteral("PopUp Text")});
  const QString name = edShortFile->text();
  const QString path = name.isEmpty() ? QString() : nuvo::resolvePath(name);
  int dropped = 0;
  if (QFileInfo(path).isFile()) {
    try {
      const nuvo::DecodedText file = nuvo::readTextFile(path);
      macroEncoding_ = file.encoding;
      dropped = macros_.read(nuvo::shell::splitFileLines(file.text));
      main_->currMacroFile = name;
    } catch (const nuvo::PlatformError& error) {
      nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    }
  }
  fillGrid(MacroKind::Shortcut);
  fillGrid(MacroKind::Popup);
  sgMacro->setCurrentCell(0, 0);
  sgMC->setCurrentCell(0, 0);
  sgMCDrawCell();
  if (dropped > 0) nuvo::showMessage(macrosCutText.arg(dropped), nuvo::MessageKind::Warning, this);
}

void TFmSetup::spNewClick() {
  const MacroKind kind = currentKind();
  const int row = macros_.addRow(kind);
  if (row < 0) {
    nuvo::showMessage(macrosFullText, nuvo::MessageKind::Warning, this);
    return;
  }
  fillGrid(kind);
  grid(kind)->setCurrentCell(row, 0);
  if (kind == MacroKind::Popup) meMacro->clear();
}

void TFmSetup::spDeleteClick() {
  const MacroKind kind = currentKind();
  QTableWidget* table = grid(kind);
  const int row = table->currentRow();
  if (!macros_.deleteRow(kind, row)) return;
  fillGrid(kind);
  table->setCurrentCell(std::min(row, table->rowCount() - 1), 0);
  if (kind == MacroKind::Popup) sgMCDrawCell();
}

void TFmSetup::spSaveClick() {
  if (const auto row = macros_.rowWithHeaderLine()) {
    row->kind == MacroKind::Shortcut ? mmShortCutsClick() : mmMacrosPopUpClick();
    grid(row->kind)->setCurrentCell(row->row, 0);
    nuvo::showMessage(headerLineText.arg(macros_.rows(row->kind)[row->row].key), nuvo::MessageKind::Warning, this);
    return;
  }
  const QString name = edShortFile->text();
  bool written = !name.isEmpty();
  try {
    if (written)
      nuvo::writeTextFile(nuvo::resolvePath(name), nuvo::shell::joinFileLines(macros_.lines()), macroEncoding_);
  } catch (const nuvo::PlatformError&) {
    written = false;
  }
  if (!written) {
    nuvo::showMessage(nizMcrErr + name + QStringLiteral(" !"), nuvo::MessageKind::Error, this);
    return;
  }
  main_->currMacroFile = name;
  nuvo::showMessage(nizMcrOK, nuvo::MessageKind::Information, this);
}

void TFmSetup::sgMCDrawCell() {
  const int row = sgMC->currentRow();
  const auto& rows = macros_.rows(MacroKind::Popup);
  if (row < 0 || row >= rows.size()) return;
  showingMacro_ = true;
  meMacro->setPlainText(nuvo::crlfToLf(rows[row].text));
  showingMacro_ = false;
}

void TFmSetup::meMacroChange() {
  if (showingMacro_) return;
  const int row = sgMC->currentRow();
  auto& rows = macros_.rows(MacroKind::Popup);
  if (row < 0 || row >= rows.size()) return;
  rows[row].text = nuvo::lfToCrlf(meMacro->toPlainText());
}

void TFmSetup::moveGridRow(MacroKind kind, int from, int to) {
  macros_.moveRow(kind, from, to);
  fillGrid(kind);
  grid(kind)->setCurrentCell(to, 0);
  if (kind == MacroKind::Popup) sgMCDrawCell();
}

void TFmSetup::sgMCRowMoved(int from, int to) { moveGridRow(MacroKind::Popup, from, to); }

void TFmSetup::sgMacroRowMoved(int from, int to) { moveGridRow(MacroKind::Shortcut, from, to); }

void openSetupWindow(TfmMain* main, bool autoSave) {
  auto* setup = new TFmSetup(main);
  setup->autoSave = autoSave;
  nuvo::execModal(*setup);
}
