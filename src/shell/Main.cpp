#include "shell/Main.h"

#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "admin/allGrant.h"
#include "admin/checkVer.h"
#include "schema/moreInstall.h"
#include "schema/userInst.h"
#include "schema/refresh.h"
#include "admin/disabled.h"
#include "admin/errors.h"
#include "db/error.h"
#include "db/oci/oci_library.h"
#include "platform/IFileInfo.h"
#include "platform/appdirs.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "shell/about.h"
#include "shell/connect.h"
#include "shell/iKript.h"
#include "shell/main_helpers.h"
#include "shell/runner.h"
#include "shell/setup.h"
#include "shell/sql_catalog.h"
#include "shell/userComm.h"
#include "schema/cmpstru.h"
#include "schema/tabStru.h"
#include "sqlwork/editpl.h"
#include "sqlwork/execScr.h"
#include "sqlwork/sqlUtl.h"
#include "sqlwork/workshet.h"
#include "widgets/icons.h"
#include "widgets/message_facade.h"

namespace {

TfmMain* g_fmMain = nullptr;

enum ItemFlag : unsigned {
  kGroup = 1,       // a menu of its own
  kHidden = 2,      // designed hidden
  kAvailable = 4,   // its command exists; other items stay disabled
  kCheckable = 8,
  kSeparator = 16,
};

struct MenuItem {
  const char* parent;  // nullptr: the menu bar
  const char* name;
  const char* english;
  const char* slovene;  // nullptr: the English caption in both languages
  unsigned flags;
};

// The main menu in order, with the captions of both languages.
const MenuItem kMenu[] = {
    {nullptr, "mmConnDisc", "&Connect/Setup", "&Prijava/Odjava", kGroup | kAvailable},
    {"mmConnDisc", "mmConnect", "&Connect", "Prijava", kAvailable},
    {"mmConnDisc", "mmDisconnect", "&Disconnect", "Odjava", kAvailable},
    {"mmConnDisc", "mmSetup", "Setup", "Nastavitve", kAvailable},
    {"mmConnDisc", "mmUserComments", "User Comments", "Komentarji", kAvailable},
    {nullptr, "mmWorkSheet", "&WorkSheet", "P&oizvedbe", kGroup | kAvailable},
    {"mmWorkSheet", "mmNormal", "&Normal", "Klasične", kAvailable},
    {"mmWorkSheet", "mmMasterDetail", "Master-Detail", "Oče/otrok", 0},
    {"mmWorkSheet", "mmScript", "&Script", "Skripta", 0},
    {nullptr, "mmProject", "&Version", "&Verzije", kGroup | kAvailable},
    {"mmProject", "Project1", "Project", "Projekt", kHidden},
    {"mmProject", "mmVersionCheck", "Version Check", "Verzije", kAvailable},
    {"mmProject", "mmInstalations", "Instalations", "Instalacije", kHidden | kAvailable},
    {nullptr, "mmEditPL", "Edit P&L ", "&Urejevalnik", kAvailable},
    {nullptr, "mmExecScript", "execute &Script", "&Skripte", kAvailable},
    {nullptr, "mmStructures", "Stru&ctures", "S&trukture", kGroup | kAvailable},
    {"mmStructures", "mmTabStru", "&Tables", "Tabele", kAvailable},
    {"mmStructures", "mmPLSQLStru", "PL/SQL blocks", "PL/SQL bloki", 0},
    {"mmStructures", "mmGrantRevokerights", "Grant/Revoke rigjts", "Pravice", kAvailable},
    {nullptr, "mmStatus", "&Errors", "&Napake", kAvailable},
    {nullptr, "mmCompare", "&Utilities", "Ra&zno", kGroup | kAvailable},
    {"mmCompare", "mmActivateLargeRB", "Large RB Online", "Velik RB Online", kCheckable | kAvailable},
    {"mmCompare", "mmVelmoraLOGactivities", "Velmora LOG activities", "Prijava/Odjava", 0},
    {"mmCompare", "mmShowVELMORAlog", "Show VELMORA log", "Prikaži VELMORA log", 0},
    {"mmCompare", "mmShowOraclesfile", "Show Oracle's file", "Prikaži Oracle datoteko", 0},
    {"mmCompare", "mmPipe", "Pipes", "Pipe", 0},
    {"mmCompare", "mmSistemskiParametri", "System Params", "Sistemski parametri", kHidden},
    {"mmCompare", "mmRestrictedEnable", "Restricted Session ON", "Omejitev prijav na Oracle", kAvailable},
    {"mmCompare", "mmRestrictedDisable", "Restricted Session OFF", "Sprostitev prijav na Oracle", kAvailable},
    {"mmCompare", "mmShowSession", "Show Unrestricted sessions", "Prikaz nedovoljenih prijav", kAvailable},
    {"mmCompare", "mmLongLogin", "Show logins under...", "Predolge prijave", 0},
    {"mmCompare", "mmRefreshTables", "Refresh &Tables", "Osveževanje tabel", kAvailable},
    {"mmCompare", "mmCompare2", "C&ompare", "Primerjava struktur", kAvailable},
    {"mmCompare", "mmChecktables", "C&heck tables", "Preveri tabele", 0},
    {"mmCompare", "mmRepairtables", "&Repair table", "Popravi Tabelo", 0},
    {"mmCompare", "mmConstraints", "Search for disabled constraints", "Iskanje ukinjenih konstraintov", kAvailable},
    {"mmCompare", "mmSearchfordisabledtriggers", "Search for disabled triggers",
     "Iskanje ukinjenih triggerjev", kAvailable},
    {"mmCompare", "mmSQLUtil", "&SQLUtil", "Razni programi", kHidden | kAvailable},
    {"mmCompare", "mmTablesreccount", "Tables-reccount", "Tabele-pomožni progami", 0},
    {"mmCompare", "mmSistem", "Oracle-view ", "Oracle-pregled", 0},
    {"mmCompare", "mmGenerateProc", "Generate Replace procedure", "generiraj Replace proceduro", 0},
    {"mmCompare", "mmMoreInstalationsCrtica", "-", nullptr, kSeparator | kHidden},
    {"mmCompare", "mmInstalationsformoreusers", "Instalations for more users", "Več uporabnikov-hosting",
     kHidden | kAvailable},
    {nullptr, "mmLockAudit", "System Jobs", "Sistemska opravila", kGroup | kAvailable},
    {"mmLockAudit", "mmLock", "Lock", "Zaklepanje", 0},
    {"mmLockAudit", "mmAudit", "Auditing", "Auditing", 0},
    {"mmLockAudit", "mmKocka", "Cube", "Kocka", 0},
    {"mmLockAudit", "mmMonitor", "Monitor", nullptr, 0},
    {"mmLockAudit", "mmTableLength", "Table's length", "Dolžine tabel", 0},
    {"mmLockAudit", "mmAnalyzeTable", "Analyze table", nullptr, kHidden},
    {nullptr, "mmAbout", "About", "Pomoč", kAvailable},
    {nullptr, "mmExit", "E&xit", "&Konec", kAvailable},
};

struct ToolButton {
  const char* name;
  const char* english;  // the hint
  const char* slovene;
  unsigned flags;
  const char* icon;  // the desktop theme's icon, else the style's `fallback`
  QStyle::StandardPixmap fallback;
};

// The buttons show only their pictures, so all of them fit the window's default width in either
// language; the hint names each one.
const ToolButton kToolbar[] = {
    {"tbConnect", "Connect to Database", "Prijava", kAvailable | kCheckable, "network-connect", QStyle::SP_DriveNetIcon},
    {"tbWorkSheet", "Work Sheet", "Poizvedbe", kAvailable, "accessories-text-editor", QStyle::SP_FileDialogDetailedView},
    {"tbMasterDetail", "Master/Detail Form", "Poizvedbe-Oče/otrok", 0, "view-list-tree", QStyle::SP_FileDialogListView},
    {"tbWSPart", "WorkSheet-SCRIPT", "Poizvedbe-skripta", 0, "text-x-script", QStyle::SP_FileIcon},
    {"tbEditPL", "Edit PL/SQL Script", "Urejevalnik PL/SQL skript", kAvailable, "document-edit",
     QStyle::SP_FileDialogContentsView},
    {"tbOpenProject", "Version", "Verzije", kAvailable, "document-open", QStyle::SP_DirOpenIcon},
    {"tbExecScript", "Execute Script", "Izvajanje Skript", kAvailable, "system-run", QStyle::SP_MediaPlay},
    {"tbErrors", "Errors", "Pregled napak", kAvailable, "dialog-error", QStyle::SP_MessageBoxCritical},
    {"tbStructures", "Table Structures", "Strukture tabel,podatki,odvisnosti,indeksi", kAvailable, "x-office-spreadsheet",
     QStyle::SP_FileDialogInfoView},
    {"tbPLBlocks", "PL/SQL structures", "Strukture PL/SQL blokov", 0, "text-x-generic", QStyle::SP_FileLinkIcon},
    {"tbMin", "Minimize/Maximize Main Form", "Zmanjševanje glavne forme", kAvailable, "view-restore",
     QStyle::SP_TitleBarShadeButton},
    {"tbOkna", "Select Window", "Prikaz odprtih oken", kAvailable, "preferences-system-windows",
     QStyle::SP_TitleBarNormalButton},
    {"ToolButton4", "Settings", "Nastavitve", kAvailable, "preferences-system", QStyle::SP_ComputerIcon},
    {"tbExit", "Exit", "Izhod iz programa", kAvailable, "application-exit", QStyle::SP_DialogCloseButton},
};

// The toolbar buttons that offer the open windows of their kind (by window-name prefix) before
// they run their menu command for a new one.
struct ChooserButton {
  const char* button;
  const char* prefix;
  const char* newCommand;
};
const ChooserButton kChooserButtons[] = {
    {"tbWorkSheet", "WorkSheet", "mmNormal"},        {"tbMasterDetail", "fmMasterDetail", "mmMasterDetail"},
    {"tbWSPart", "fmSQLPart", "mmScript"},           {"tbEditPL", "fmEdit", "mmEditPL"},
    {"tbExecScript", "fmScript", "mmExecScript"},    {"tbErrors", "fmErrors", "mmStatus"},
    {"tbStructures", "fmTableStru", "mmTabStru"},    {"tbPLBlocks", "fmplSQLStru", "mmPLSQLStru"},
};

// The commands that follow the connection (all designed disabled).
const char* const kSessionCommands[] = {
    "tbWorkSheet", "tbWSPart",  "tbOpenProject", "tbEditPL",     "tbExecScript", "tbErrors",
    "tbStructures", "tbPLBlocks", "mmWorkSheet", "mmProject",    "mmEditPL",     "mmExecScript",
    "mmCompare",   "mmStructures", "mmStatus"};

const char* kAvailableProperty = "nuvoAvailable";

QString programDirectory() { return nuvo::homeDirectory() + u'/'; }

// The fixed SQL texts of the main window.
const nuvo::SqlText kQuDynSistem{"Main.quDynSistem",
                                 {"select rTrim(val1_107) BPI from pr107par where  attr_007='aiZZZSRegistration'"}};
// Sessions of users who would lose their logon with a restricted session.
const nuvo::SqlText kQuRestricted{
    "Main.quRestricted",
    {"select userName,osUser,terminal,program from v$session ", "where username not in (",
     "     select grantee from dba_role_privs", "    where granted_role=:grupa and",
     "        exists (select grantee from dba_sys_privs where grantee=dba_role_privs.grantee and",
     "                          privilege like '%RESTRICTED%')", "  )"}};
const nuvo::SqlText kInstallations{"Main.installations", {"select * from NUVO_UTIL.NUVO_INSTALATIONS"}};
// The installations the logon user belongs to, directly or as one of an installation's schemas.
const nuvo::SqlText kMainUser{
    "Main.najdiglavnegaUserja",
    {"select instance,userIndex,user_KADE,USER_ZOZURO,pass_kade,pass_zozuro",
     "  from  NUVO_UTIL.NUVO_INSTALATIONS ", "  where userIndex in",
     "       (select userindex from NUVO_UTIL.NUVO_INST_USERS  where username=:upor )", "", "union", "",
     "select instance,userIndex,user_KADE,USER_ZOZURO,pass_kade,pass_zozuro",
     "  from  NUVO_UTIL.NUVO_INSTALATIONS", "        where (user_kade=:upor or user_zozuro=:upor)"}};
const nuvo::SqlText kRightsProbe{"Main.rightsProbe", {"select * from all_tables"}};
const nuvo::SqlText kTableExists{"Main.TableExists",
                                 {"select count(*) stevilo from all_tables", "where owner=:lastnik and table_name=:tabela"}};
const nuvo::SqlText kSysParameter{"Main.BeriParameter",
                                  {" select sysVred,sysOpis from nuvo_util.velmoraSys ", "   where sysSprem=:sprem"}};
const nuvo::SqlText kBanner{"Main.banner", {"select * from V$VERSION where upper(banner) like 'ORACLE%'"}};
const nuvo::SqlText kCompatible{"Main.compatible", {"select value from v$parameter where name='compatible'"}};
const nuvo::SqlText kLogParamStatus{
    "Main.NastaviUserIPL.status",
    {"select status from ALL_objects where object_name='PCKLOGPARAM'", "       and owner=:lastnik"}};
const nuvo::SqlText kInitParam{"Main.NastaviUserIPL", {"begin", "  kade.pckLogParam.InitParam(:userIpl);", "end;"}};
// In a hosted installation the logon user's own package.
const nuvo::SqlText kInitParamOwn{"Main.NastaviUserIPL.own",
                                  {"begin", "  pckLogParam.InitParam(:userIpl);", "end;"}};
const nuvo::SqlText kAuditLink{"Main.CheckAuditHost.link",
                               {"select username,host from user_db_links where user='KADE' and db_link='NUVOAUDT'"}};
const nuvo::SqlText kAuditTablesRemote{
    "Main.CheckAuditHost.remote",
    {"select count(*) vseh from all_tables@NUVOAUDT", " where owner=:lastnik and  table_name like 'AUD_%'"}};
const nuvo::SqlText kAuditTablesLocal{
    "Main.CheckAuditHost.local",
    {"select count(*) vseh from all_tables", " where owner='KADE' and  table_name like 'AUD_%'"}};
const nuvo::SqlText kCanUseLargeRB{"Main.CanUseLargeRB", {" select KADE.PCKLogParam.CanUseLargeRB largeRB from dual"}};
const nuvo::SqlText kActivateLargeRB{"Main.activateLARGERB",
                                     {"begin", "nuvo_util.activateLARGERB(:segment,:mode);", "end;"}};

}  // namespace

TfmMain* fmMain() { return g_fmMain; }

TfmMain::TfmMain(const QStringList& parameters, QWidget* parent)
    : QMainWindow(parent),
      paMainToolBar(new QWidget(this)),
      tbMain(new QToolBar(paMainToolBar)),
      paMain(new QWidget(this)),
      Slika(new QLabel(paMain)),
      meVhod(new QPlainTextEdit(paMain)),
      meVhodParam(new QPlainTextEdit(paMain)),
      meMU(new QPlainTextEdit(paMain)),
      popMain(new QMenu(this)),
      pmOkna(new QMenu(this)),
      tiCloseForm(new QTimer(this)) {
  g_fmMain = this;
  setObjectName("fmMain");
  const std::pair<QObject*, const char*> names[] = {
      {paMainToolBar, "paMainToolBar"}, {tbMain, "tbMain"}, {paMain, "paMain"},
      {Slika, "Slika"},                 {meVhod, "meVhod"}, {meVhodParam, "meVhodParam"},
      {meMU, "meMU"},                   {popMain, "popMain"}, {pmOkna, "pmOkna"},
      {tiCloseForm, "tiCloseForm"}};
  for (const auto& [object, name] : names) object->setObjectName(name);
  quDynSistem.setSql(kQuDynSistem);
  quDynSistem1.setSql(quDynSistem.sqlText());
  quRestricted.setSql(kQuRestricted);
  quRestricted.declareVariable("grupa", nuvo::db::DataType::String);
  quRestricted.setVariable("grupa", QStringLiteral("DUD"));
  tiCloseForm->setInterval(1000);
  connect(tiCloseForm, &QTimer::timeout, this, &TfmMain::tiCloseFormTimer);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* toolbarLayout = new QVBoxLayout(paMainToolBar);
  toolbarLayout->setContentsMargins(0, 0, 0, 0);
  tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbarLayout->addWidget(tbMain);
  layout->addWidget(paMainToolBar);
  layout->addWidget(paMain, 1);
  auto* clientLayout = new QVBoxLayout(paMain);
  clientLayout->addWidget(Slika);
  for (QPlainTextEdit* memo : {meVhod, meVhodParam, meMU}) memo->hide();
  setCentralWidget(central);
  resize(900, 160);

  createMenus();
  createToolbar();
  popMain->addAction(QStringLiteral("ORACLE:"));
  popMain->addSeparator();
  for (const char* name : {"miVersion", "miServer", "miUser"}) popMain->addAction(QString())->setObjectName(name);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { popMain->popup(mapToGlobal(at)); });

  FormCreate(parameters);
}

TfmMain::~TfmMain() {
  if (g_fmMain == this) g_fmMain = nullptr;
}

QAction* TfmMain::command(const QString& name) const {
  if (auto* menu = findChild<QMenu*>(name)) return menu->menuAction();
  return findChild<QAction*>(name);
}

void TfmMain::createMenus() {
  for (const MenuItem& item : kMenu) {
    QAction* action = nullptr;
    if (item.flags & kGroup) {
      auto* menu = new QMenu(QString::fromUtf8(item.english), this);
      menu->setObjectName(item.name);
      menuBar()->addMenu(menu);
      action = menu->menuAction();
    } else {
      QWidget* parentMenu = item.parent ? static_cast<QWidget*>(findChild<QMenu*>(item.parent)) : menuBar();
      action = new QAction(QString::fromUtf8(item.english), this);
      action->setObjectName(item.name);
      action->setSeparator(item.flags & kSeparator);
      action->setCheckable(item.flags & kCheckable);
      parentMenu->addAction(action);
    }
    action->setProperty(kAvailableProperty, bool(item.flags & kAvailable));
    action->setEnabled(item.flags & kAvailable);
    action->setVisible(!(item.flags & kHidden));
  }
  connect(command("mmConnect"), &QAction::triggered, this, &TfmMain::mmConnectClick);
  connect(command("mmDisconnect"), &QAction::triggered, this, &TfmMain::mmDisconnectClick);
  connect(command("mmExit"), &QAction::triggered, this, &QWidget::close);
  command("mmActivateLargeRB")->setStatusTip(QStringLiteral("Large RB ONLINE, other public RB OFFLINE"));
  command("mmActivateLargeRB")->setToolTip(command("mmActivateLargeRB")->statusTip());
  connect(command("mmActivateLargeRB"), &QAction::triggered, this, [this] {
    // The check mark follows the switch's outcome, not the click.
    command("mmActivateLargeRB")->toggle();
    mmActivateLargeRBClick();
  });
  connect(command("mmUserComments"), &QAction::triggered, this, [this] {
    auto* comments = new TfmComments(this);
    nuvo::execModal(*comments);
  });
  connect(command("mmSetup"), &QAction::triggered, this, [this] { openSetupWindow(this, false); });
  connect(command("mmAbout"), &QAction::triggered, this, [this] { (new TfmAbout(this))->show(); });
  connect(command("mmNormal"), &QAction::triggered, this, [this] {
    auto* sheet = new TfmWorkSheet;
    sheet->WorkStevec = ++workSheetStevec;
    sheet->setObjectName(QStringLiteral("WorkSheet_%1").arg(workSheetStevec));
    sheet->show();
  });
  connect(command("mmExecScript"), &QAction::triggered, this, [] {
    auto* script = new TfmScript;
    script->p_auto = false;
    script->show();
  });
  connect(command("mmStatus"), &QAction::triggered, this, [] { TfmErrors::openNew(); });
  connect(command("mmEditPL"), &QAction::triggered, this, [] { (new TfmEditPL)->show(); });
  // The table-structure window: a new one each time, several may be open, freed when closed.
  connect(command("mmTabStru"), &QAction::triggered, this, [] {
    static int opened = 0;
    auto* structures = new TfmTableStru;
    structures->setObjectName(QStringLiteral("fmTableStru_%1").arg(++opened));
    structures->show();
  });
  connect(command("mmVersionCheck"), &QAction::triggered, this, [] { (new TfmCheckVersion)->show(); });
  connect(command("mmInstalations"), &QAction::triggered, this, [this] { (new TfmInstUsers(this))->show(); });
  connect(command("mmInstalationsformoreusers"), &QAction::triggered, this, [this] {
    if (FfmMoreUsers) FfmMoreUsers->deleteLater();
    FfmMoreUsers = new TfmMoreUsers(this);
    FfmMoreUsers->show();
    FfmMoreUsers->raise();
  });
  // The structure compare: a new window each time.
  connect(command("mmCompare2"), &QAction::triggered, this, [] { (new TfmCmpStru)->show(); });
  // The grant window: a new one each time, freed when closed.
  connect(command("mmGrantRevokerights"), &QAction::triggered, this, [] { (new TfmGrantAll)->show(); });
  connect(command("mmRefreshTables"), &QAction::triggered, this, [] { (new TfmRefresh)->show(); });
  // The windows of disabled constraints and triggers are made once; closing hides them.
  connect(command("mmConstraints"), &QAction::triggered, this, [this] {
    if (!FfmDisRef) FfmDisRef = new TfmDisRef(this);
    FfmDisRef->show();
    FfmDisRef->raise();
  });
  connect(command("mmSearchfordisabledtriggers"), &QAction::triggered, this, [this] {
    if (!FfmDisTrigg) FfmDisTrigg = new TfmDisTrigg(this);
    FfmDisTrigg->show();
    FfmDisTrigg->raise();
  });
  // The index-drop utility: a new window each time, freed when closed.
  connect(command("mmSQLUtil"), &QAction::triggered, this, [this] { (new TfmSQLUtl(this))->show(); });
  const std::pair<const char*, std::pair<const char*, const char*>> restricted[] = {
      {"mmRestrictedEnable", {"Si prepričan, da želiš preprečiti prijave na bazo?", "ENABLE"}},
      {"mmRestrictedDisable", {"Si prepričan, da želiš omogočiti vsem uporabnikom prijavo na bazo?", "DISABLE"}},
  };
  for (const auto& [name, question] : restricted)
    connect(command(name), &QAction::triggered, this, [this, question] {
      if (nuvo::askYesNo(QString::fromUtf8(question.first), this)) SetRestrictedSession(QString::fromUtf8(question.second));
    });
  connect(command("mmShowSession"), &QAction::triggered, this, [this] {
    QString list;
    ListUnrestrictedSessions(QStringLiteral("P"), list);
  });
}

void TfmMain::createToolbar() {
  for (const ToolButton& button : kToolbar) {
    QAction* action = tbMain->addAction(nuvo::widgets::themedIcon(button.icon, button.fallback),
                                        QString::fromUtf8(button.english));
    action->setObjectName(button.name);
    action->setToolTip(QString::fromUtf8(button.english));
    action->setCheckable(button.flags & kCheckable);
    action->setProperty(kAvailableProperty, bool(button.flags & kAvailable));
    action->setEnabled(button.flags & kAvailable);
  }
  connect(command("tbConnect"), &QAction::triggered, this, &TfmMain::tbConnectClick);
  connect(command("tbMin"), &QAction::triggered, this, [this] { SetToolbarStrip(false); });
  connect(command("tbExit"), &QAction::triggered, this, &QWidget::close);
  connect(command("tbOkna"), &QAction::triggered, this, &TfmMain::tbOknaClick);
  // The toolbar's settings button saves the settings as they stand with one click.
  connect(command("ToolButton4"), &QAction::triggered, this, [this] { openSetupWindow(this, true); });
  connect(command("tbOpenProject"), &QAction::triggered, command("mmVersionCheck"), &QAction::trigger);
  for (const ChooserButton& chooser : kChooserButtons)
    connect(command(chooser.button), &QAction::triggered, this, [this, chooser] {
      QAction* fresh = command(chooser.newCommand);
      lastPMFunction = [fresh] { fresh->trigger(); };
      QWidget* button = tbMain->widgetForAction(command(chooser.button));
      if (ChooseOpenWindow(QString::fromLatin1(chooser.prefix), button ? button->x() : 0)) fresh->trigger();
    });
  for (const char* name : kSessionCommands) command(name)->setEnabled(false);
}

void TfmMain::FormCreate(const QStringList& parameters) {
  visinaCela = height();
  visinaSlika = paMain->height();
  Slika->setVisible(true);

  const QScreen* screen = QApplication::primaryScreen();
  const ScreenGeometry geometry{screen ? screen->geometry().width() : 1920,
                                screen ? screen->geometry().height() : 1080, width()};
  const nuvo::IniFile monitorIni(nuvo::monitorIniPath());
  readMonitorIni(*this, monitorIni, geometry, programDirectory());
  nuvo::setFileCodePage(nuvo::codePageOfCharset(currCharset));
  // The Oracle client library's file or directory, for a client outside ORACLE_HOME and the
  // library path.
  nuvo::db::oci::setConfiguredClientLibrary(
      monitorIni.readString(QStringLiteral("ALIAS"), QStringLiteral("CURR_OCI_LIBRARY")));

  applyStartParameters(*this, parameters, startupIo(), programDirectory());
  meVhodParam->setPlainText(runLines.join(u'\n'));
  if (currMoreInstall) meVhod->setPlainText(vecInstalacijLines.join(u'\n'));

  SetLanguageTexts();
  mainString = windowTitle();
  setWindowTitle(nizMain + QStringLiteral("    ") + p_verzijaPLSQL);
  if (slovene()) command("mmRefreshTables")->setVisible(false);
  if (currMinimizedMain == u"D") SetToolbarStrip(true);
}

StartupIo TfmMain::startupIo() {
  return {&loadTextLines, &TKript::vzemiGeslo, [](TMainContext& c) {
            const LoginData data = TKript::ReadLoginData();
            if (data.user.isEmpty()) return;
            c.connUser = data.user;
            c.connPassword = data.password;
            c.connServer = data.alias;
          }};
}

void TfmMain::SetLanguageTexts() {
  setSharedTexts(*this);
  const bool slo = slovene();
  for (const MenuItem& item : kMenu)
    if (!(item.flags & kSeparator))
      command(item.name)->setText(QString::fromUtf8(slo && item.slovene ? item.slovene : item.english));
  for (const ToolButton& button : kToolbar) {
    const QString hint = QString::fromUtf8(slo && button.slovene ? button.slovene : button.english);
    command(button.name)->setText(hint);
    command(button.name)->setToolTip(hint);
  }
  const nuvo::TIFileInfo info(QCoreApplication::applicationFilePath());
  p_verzijaPLSQL = QStringLiteral("     Ver.%1 (%2) ").arg(info.FsFileVersion, info.aiFileDateString());
}

void TfmMain::SetToolbarStrip(bool force) {
  if (force || !paMain->isHidden()) {
    paMain->hide();
    resize(width(), visinaCela - visinaSlika + 1);
    // The strip stays whole on the screen whatever place the settings give it.
    const QScreen* screen = this->screen();
    // Before the window manager has framed the window, its title bar is reckoned at the style's size.
    QSize frame = frameGeometry().size();
    if (frame == size()) frame.rheight() += style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    move(screen ? nuvo::shell::keptOnScreen({currMinLeft, currMinTop}, frame, screen->availableGeometry())
                : QPoint(currMinLeft, currMinTop));
    return;
  }
  resize(width(), visinaCela);
  paMain->show();
  const QScreen* screen = this->screen();
  const int screenHeight = screen ? screen->geometry().height() : 0;
  if (screen && y() + height() > screenHeight) move(x(), screenHeight - height() - 30);
}

void TfmMain::SetConnectedCommands(bool connected) {
  for (const char* name : kSessionCommands) {
    QAction* action = command(name);
    action->setEnabled(connected && action->property(kAvailableProperty).toBool());
  }
}

bool TfmMain::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::WindowActivate) FormActivate();
  // Without a window manager a window is never activated: the first activation then follows the
  // showing, so the logon and an unattended run cannot wait for ever.
  if (event->type() == QEvent::Show && prvicNaFormi)
    QTimer::singleShot(nuvo::kActivationFallbackMs, this, [this] {
      if (prvicNaFormi) FormActivate();
    });
  return handled;
}

void TfmMain::giveBackLargeRB() {
  if (currLargeRB != u"D") return;
  currLargeRB = QStringLiteral("N");
  command("mmActivateLargeRB")->setChecked(true);
  mmActivateLargeRBClick();
}

void TfmMain::closeEvent(QCloseEvent* event) {
  if (bClearLoginData) TKript::ClearLoginData();
  if (osOracle.connected()) giveBackLargeRB();
  ended_ = true;
  event->accept();
  // The program ends with its main window, whatever other windows are still open; an unattended run
  // that failed ends it with a nonzero status.
  if (runFailed)
    QCoreApplication::exit(1);
  else
    QCoreApplication::quit();
}

void TfmMain::FormActivate() {
  // The logon dialog and message boxes activate this window again while it runs.
  if (activating_) return;
  activating_ = true;
  const auto done = qScopeGuard([this] { activating_ = false; });
  if (!osOracle.connected()) tbConnectClick();
  if (ended_) return;
  updateMainCaption();
  if (!runParamType.isEmpty() && prvicNaFormi && osOracle.connected()) {
    prvicNaFormi = false;
    if (currMoreInstall) {
      runner().runMultiInstallation();
    } else {
      currUserIndex = -1;
      IzvediCeloSkripto();
    }
    if (ended_) return;
  }
  prvicNaFormi = false;

  delete currMacros;
  currMacros = new QPlainTextEdit(this);
  currMacros->setObjectName("currMacros");
  currMacros->hide();
  currMacros->setFixedWidth(600);
  QStringList macroLines;
  if (loadTextLines(currMacroFile, macroLines)) currMacros->setPlainText(macroLines.join(u'\n'));

  declRunParam = false;
  najdiglavnegaUserja();
  command("mmKocka")->setVisible(!currCubeCompany.isEmpty());
}

void TfmMain::updateMainCaption() {
  QString marker;
  if (osOracle.connected() && aliJeVecInstacijNaTrenutniInstanci(connServer)) {
    nuvo::db::Query query(&osOracle);
    query.setSql(kInstallations);
    bool ok = true;
    try {
      query.execute();
      marker = QStringLiteral("  (MULTIUSER)");
    } catch (const nuvo::db::Error&) {
      ok = false;
    }
    command("mmInstalationsformoreusers")->setVisible(ok);
    command("mmMoreInstalationsCrtica")->setVisible(ok);
  }
  setWindowTitle(nizMain + QStringLiteral("  ") + connUser + u'@' + connServer + QStringLiteral("  Oracle:") +
                 ORACLEVersionAll + marker + p_verzijaPLSQL);
}

bool TfmMain::aliJeVecInstacijNaTrenutniInstanci(const QString& instance) {
  QStringList lines;
  if (!loadTextLines(QStringLiteral("vecInstalacij"), lines)) return false;
  meMU->setPlainText(lines.join(u'\n'));
  return hostsSeveralInstallations(lines, instance);
}

void TfmMain::najdiglavnegaUserja() {
  if (!currMoreInstall || !osOracle.connected()) return;
  nuvo::db::Query query(&osOracle);
  query.setSql(kMainUser);
  query.declareVariable("upor", nuvo::db::DataType::String);
  query.setVariable("upor", connUser);
  try {
    query.execute();
  } catch (const nuvo::db::Error&) {
    return;
  }
  if (query.eof()) return;
  currInstanceAs = query.field("INSTANCE").asString();
  currUserIndex = static_cast<int>(query.field("USERINDEX").asInteger());
  currUserAsKade = query.field("USER_KADE").asString();
  currPassAsKade = query.field("PASS_KADE").asString();
  currUserAsZozuro = query.field("USER_ZOZURO").asString();
  currPassAsZozuro = query.field("PASS_ZOZURO").asString();
}

bool TfmMain::runConnectDialog() {
  auto* dialog = new TfmConnect(this);
  dialog->doaOracle = &osOracle;
  dialog->connForm = this;
  dialog->cbConnect->setEnabled(!pAutoG);
  dialog->FSaveLoginData = bHaveToSaveLoginData;
  if (pAutoG) dialog->tiAuto->start();
  const int result = dialog->exec();
  bHaveToSaveLoginData = false;
  return result != TfmConnect::kExitProgram;
}

void TfmMain::tbConnectClick() {
  const QString rememberedPassword = connPassword;
  command("tbConnect")->setChecked(true);
  if (!runConnectDialog()) {
    close();
    return;
  }
  pAutoG = false;

  try {
    nuvo::db::Query probe(&osOracle);
    probe.setSql(kRightsProbe);
    probe.execute();
    probe.close();
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nizMissingRights, nuvo::MessageKind::Error, this);
    close();
    return;
  }
  if (osOracle.connected()) CheckAuditHost(p_hostAudit);

  if (p_ScriptAudit) {
    if (p_hostAudit == u"N") {
      close();
      return;
    }
    if (p_hostAudit == u"Z") {
      connPassword = !rememberedPassword.isEmpty() && connUser == p_hostAuditUpor ? rememberedPassword
                                                                                  : TKript::auditPassword();
      connUser = p_hostAuditUpor;
      connServer = p_hostAuditHost;
    }
    command("tbConnect")->setChecked(true);
    pAutoG = true;
    if (!runConnectDialog()) {
      close();
      return;
    }
    pAutoG = false;
  }

  statusBar()->clearMessage();
  const bool connected = osOracle.connected();
  SetConnectedCommands(connected);
  if (!connected) return;
  command("tbConnect")->setChecked(false);
  ORACLEVersion = getOracleVersion(osOracle, ORACLEVersionDod);
  NastaviUserIPL();
  command("miVersion")->setText(QStringLiteral("Version : ") + ORACLEVersionAll + u'(' + ORACLEVersionDod + u')');
  command("miServer")->setText(QStringLiteral("Server  : ") + connServer.toUpper());
  command("miUser")->setText(QStringLiteral("User    : ") + connUser.toUpper());
  command("mmSistemskiParametri")->setVisible(TableExists("NUVO_UTIL", "SISTEMSKI_PARAMETRI"));
}

void TfmMain::mmConnectClick() {
  connPassword.clear();
  tbConnectClick();
  najdiglavnegaUserja();
}

void TfmMain::mmDisconnectClick() {
  osOracle.logOff();
  SetConnectedCommands(false);
}

int TfmMain::countOf(const QStringList& sql, const QList<std::pair<QString, QString>>& binds) {
  nuvo::db::Query query(&osOracle);
  query.setSql(sql);
  for (const auto& [name, value] : binds) {
    query.declareVariable(name, nuvo::db::DataType::String);
    query.setVariable(name, value);
  }
  try {
    query.execute();
    return query.eof() ? 0 : static_cast<int>(query.field(0).asInteger());
  } catch (const nuvo::db::Error&) {
    return 0;
  }
}

bool TfmMain::TableExists(const QString& owner, const QString& table) {
  return countOf(kTableExists,
                 {{"lastnik", owner}, {"tabela", table}}) > 0;
}

void TfmMain::BeriParameter(const QString& name, QString& value, QString& description) {
  value.clear();
  description.clear();
  if (!TableExists("NUVO_UTIL", "VELMORASYS")) return;
  nuvo::db::Query query(&osOracle);
  query.setSql(kSysParameter);
  query.declareVariable("sprem", nuvo::db::DataType::String);
  query.setVariable("sprem", name);
  try {
    query.execute();
    if (query.eof()) return;
    value = query.field("SYSVRED").asString();
    description = query.field("SYSOPIS").asString();
  } catch (const nuvo::db::Error&) {
  }
}

QString TfmMain::getOracleVersion(nuvo::db::Session& session, QString& dod) {
  QString parameter, description;
  BeriParameter(QStringLiteral("OracleVersion"), parameter, description);
  OracleVersion version = defaultOracleVersion();
  if (!parameter.isEmpty()) {
    version = versionFromText(parameter);
  } else {
    bool fromBanner = false;
    try {
      nuvo::db::Query banner(&session);
      banner.setSql(kBanner);
      banner.execute();
      fromBanner = !banner.eof() && versionFromBanner(banner.field("BANNER").asString(), version);
    } catch (const nuvo::db::Error&) {
    }
    if (!fromBanner) {
      try {
        nuvo::db::Query compatible(&session);
        compatible.setSql(kCompatible);
        compatible.execute();
        if (!compatible.eof()) version = versionFromText(compatible.field("VALUE").asString());
      } catch (const nuvo::db::Error&) {
      }
    }
  }
  ORACLEVersionAll = version.all;
  dod = version.dod;
  return version.major;
}

void TfmMain::NastaviUserIPL() {
  if (!osOracle.connected()) return;
  try {
    nuvo::db::Query format(&osOracle);
    format.setSql(QStringLiteral("alter session set nls_date_format = '") +
                  QString(currentDateFormat).replace(u'\'', QStringLiteral("''")) + u'\'');
    format.execute();
  } catch (const nuvo::db::Error&) {
  }
  if (CurrentUserIpl.isEmpty()) return;
  try {
    nuvo::db::Query status(&osOracle);
    status.setSql(kLogParamStatus);
    status.declareVariable("lastnik", nuvo::db::DataType::String);
    status.setVariable("lastnik", currMoreInstall ? connUser : QStringLiteral("KADE"));
    for (status.execute(); !status.eof(); status.next())
      if (status.field("STATUS").asString() != u"VALID") return;
    nuvo::db::Query init(&osOracle);
    init.setSql(currMoreInstall ? kInitParamOwn : kInitParam);
    init.declareVariable("userIpl", nuvo::db::DataType::String);
    init.setVariable("userIpl", CurrentUserIpl);
    init.execute();
  } catch (const nuvo::db::Error&) {
  }
}

void TfmMain::CheckAuditHost(QString& mode) {
  p_hostAuditUpor.clear();
  p_hostAuditHost.clear();
  const bool hadTransaction = osOracle.inTransaction();
  int remote = 0;
  try {
    nuvo::db::Query link(&osOracle);
    link.setSql(kAuditLink);
    link.execute();
    if (!link.eof()) {
      p_hostAuditUpor = link.field("USERNAME").asString();
      p_hostAuditHost = link.field("HOST").asString();
      // Counted through the link itself; its host is a connect string, not a link name.
      remote = countOf(kAuditTablesRemote,
                       {{"lastnik", p_hostAuditUpor}});
    }
  } catch (const nuvo::db::Error&) {
  }
  int local = 0;
  if (remote <= 5)
    local = countOf(kAuditTablesLocal, {});
  mode = auditModeFromCounts(remote, local);
  if (!hadTransaction && osOracle.inTransaction()) osOracle.rollback();
}

QList<QWidget*> TfmMain::openWindows() const {
  QList<QWidget*> windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget != this && widget->isWindow() && !qobject_cast<QMenu*>(widget) && !widget->objectName().isEmpty() &&
        !widget->isHidden())
      windows << widget;
  return windows;
}

namespace {

// Fills pmOkna with one item per window; a click brings that window to the front.
void listWindows(TfmMain& main, const QList<QWidget*>& windows) {
  main.pmOkna->clear();
  main.aTrenOkna.clear();
  main.trenOkna = 0;
  for (QWidget* window : windows) {
    if (main.trenOkna == nuvo::shell::kMaxChooserWindows) break;
    QAction* item = main.pmOkna->addAction(window->windowTitle());
    item->setObjectName(window->objectName());
    const int index = main.trenOkna++;
    main.aTrenOkna << window;
    QObject::connect(item, &QAction::triggered, &main, [&main, index] { main.FocusChosenWindow(index); });
  }
}

}  // namespace

bool TfmMain::ChooseOpenWindow(const QString& prefix, int x) {
  QCoreApplication::processEvents();
  listWindows(*this, nuvo::shell::windowsWithPrefix(openWindows(), prefix));
  if (trenOkna == 0) return true;
  QAction* fresh = pmOkna->addAction(QStringLiteral("New"));
  fresh->setObjectName("New");
  connect(fresh, &QAction::triggered, this, [this] {
    if (lastPMFunction) lastPMFunction();
  });
  pmOkna->popup(QPoint(this->x() + x, y() + 50));
  return false;
}

void TfmMain::FocusChosenWindow(int index) {
  if (index < 0 || index >= aTrenOkna.size() || !aTrenOkna[index]) return;
  QWidget* window = aTrenOkna[index];
  if (window->isMinimized()) window->showNormal();
  window->raise();
  window->activateWindow();
}

void TfmMain::tbOknaClick() {
  listWindows(*this, openWindows());
  if (trenOkna > 0) pmOkna->popup(QPoint(x() + 400, y() + 50));
}

void TfmMain::mmActivateLargeRBClick() {
  const bool quiet = declRunParam;
  QAction* item = command("mmActivateLargeRB");
  const QString mode = item->isChecked() ? QStringLiteral("OFFLINE") : QStringLiteral("ONLINE");
  QString answer = QStringLiteral("D");
  try {
    nuvo::db::Query ask(&osOracle);
    ask.setSql(kCanUseLargeRB);
    ask.execute();
    answer = ask.eof() ? QString() : ask.field("LARGERB").asString();
  } catch (const nuvo::db::Error&) {
  }
  if (answer.toUpper() != u"D") return;
  try {
    nuvo::db::Query block(&osOracle);
    block.setSql(kActivateLargeRB);
    block.declareVariable("segment", nuvo::db::DataType::String);
    block.declareVariable("mode", nuvo::db::DataType::String);
    block.setVariable("segment", currLargeRBName);
    block.setVariable("mode", mode);
    block.execute();
  } catch (const nuvo::db::Error&) {
    nuvo::showMessage(nizErrorRB + u' ' + currLargeRBName + u' ' + mode, nuvo::MessageKind::Error, this);
    return;
  }
  item->setChecked(!item->isChecked());
  if (!quiet) nuvo::showMessage(currLargeRBName + QStringLiteral(" :") + mode, nuvo::MessageKind::Information, this);
}

bool TfmMain::SetRestrictedSession(const QString& mode) {
  // Only the two modes of the statement; anything else never reaches the server.
  const QString upper = mode.trimmed().toUpper();
  if (upper == u"ENABLE" || upper == u"DISABLE") {
    try {
      nuvo::db::Query alter(&osOracle);
      alter.setSql(QStringLiteral("ALTER SYSTEM ") + upper + QStringLiteral(" RESTRICTED SESSION"));
      alter.execute();
      return true;
    } catch (const nuvo::db::Error&) {
    }
  }
  nuvo::showMessage(napakaRestricted, nuvo::MessageKind::Error, this);
  return false;
}

void TfmMain::ListUnrestrictedSessions(const QString& mode, QString& list) {
  list.clear();
  try {
    for (quRestricted.execute(); !quRestricted.eof(); quRestricted.next())
      list += quRestricted.field("USERNAME").asString() + u' ' + quRestricted.field("PROGRAM").asString() + u' ' +
              quRestricted.field("TERMINAL").asString() + u' ' + quRestricted.field("OSUSER").asString() +
              QStringLiteral("\r\n");
    quRestricted.close();
  } catch (const nuvo::db::Error& error) {
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    return;
  }
  if (mode != u"K") nuvo::showMessage(list, nuvo::MessageKind::Information, this);
}

void TfmMain::preberiMacroTipke(QWidget* editor, QMenu* popup, const std::function<void(QAction*)>& handler) {
  if (mcKeys.isEmpty() && nrMacros == 0) {
    const QString text = currMacros ? currMacros->toPlainText() : QString();
    const nuvo::shell::Macros macros = nuvo::shell::parseMacros(text.isEmpty() ? QStringList() : text.split(u'\n'));
    mcKeys = macros.keys;
    mcUkaz = int(macros.keyboard.size());
    for (int k = 0; k < mcUkaz; ++k) mcMacro[k] = macros.keyboard[k];
    nrMacros = int(macros.popup.size());
    for (int i = 0; i < nrMacros; ++i) {
      mcMacroHeader[i] = macros.popupHeaders[i];
      stMacro[i] = macros.popup[i];
    }
  }
  if (!popup) return;
  for (int i = 1; i <= nrMacros; ++i) {
    auto* item = new QAction(mcMacroHeader[i - 1], editor);
    item->setObjectName(QStringLiteral("Macro%1").arg(i));
    if (handler) connect(item, &QAction::triggered, editor, [handler, item] { handler(item); });
    popup->addAction(item);
  }
}

void TfmMain::FileDirName(const QString& path, QString& fileName, QString& directory) const {
  nuvo::FileDirName(path, fileName, directory);
}

QString TfmMain::zamenjave(const QString& text, const QString& mode) const {
  return nuvo::shell::zamenjave(text, mode, currUserAsKade, currUserAsZozuro);
}

QString TfmMain::postaviLiveQuery(QObject*, const QString& statement) {
  const nuvo::shell::LiveQuery live = nuvo::shell::postaviLiveQuery(statement);
  if (live.refused)
    nuvo::showMessage(QStringLiteral("SQL stavek z GROUP BY ukazom ne morem pretvoriti v LIVE"),
                      nuvo::MessageKind::Information, this);
  return live.text;
}

bool TfmMain::execDyn(const QString& statement) {
  try {
    quDyn.setSql(statement);
    quDyn.execute();
    return true;
  } catch (const nuvo::db::Error& error) {
    nuvo::showMessage(error.message(), nuvo::MessageKind::Error, this);
    return false;
  }
}

bool TfmMain::sporocilo(const QString& text) { return nuvo::askYesNo(text, this); }

QString TfmMain::getClipboard() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QString text = clipboard ? clipboard->text() : QString();
  return text.size() <= 10 ? text : QString();
}

QString TfmMain::prepareInsertTemplate(bool newline, const QString& text) const {
  return nuvo::shell::prepareInsertTemplate(newline ? p_newLine : QString(), text, getClipboard());
}

QString TfmMain::brezNL(const QString& text) const { return nuvo::shell::brezNL(text); }

QString TfmMain::pretvoriDescriptor() const { return nuvo::shell::pretvoriDescriptor(currDescriptor); }

bool TfmMain::changeDateFormat(nuvo::db::Session& session, const QString& format) {
  const bool hadTransaction = osOracle.connected() && osOracle.inTransaction();
  bool ok = !format.contains(u'"');  // the format is pasted between double quotes
  if (ok) {
    try {
      nuvo::db::Query quDateFormat(&session);
      quDateFormat.setSql(QStringLiteral("alter session set nls_date_format=\"") + format + u'"');
      quDateFormat.execute();
    } catch (const nuvo::db::Error&) {
      ok = false;
    }
  }
  if (ok) {
    DateSeparator = u'.';
    ShortDateFormat = nuvo::shell::clientDateFormat(format);
  } else {
    nuvo::showMessage(QStringLiteral("Wrong DATE FORMAT"), nuvo::MessageKind::Error, this);
  }
  if (!hadTransaction && osOracle.connected() && osOracle.inTransaction()) osOracle.rollback();
  return ok;
}

bool TfmMain::SessionInTransaction() const {
  const QString database = osOracle.database();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->objectName().startsWith(u"WorkSheet")) continue;
    bool open = false;
    if (QMetaObject::invokeMethod(window, "jeVTransakciji", Qt::DirectConnection, Q_RETURN_ARG(bool, open),
                                  Q_ARG(QString, database)) &&
        open)
      return true;
  }
  return false;
}

QString TfmMain::f_venPodpicje(const QString& text) const { return nuvo::shell::f_venPodpicje(text); }
