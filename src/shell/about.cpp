#include "shell/about.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <span>

namespace {

// A tree page: each node with its child lines.
struct Node {
  const char* text;
  std::initializer_list<const char*> children;
};

const Node kVersions[] = {
    {"ver 7.0x", {"7.00 Linux build on the embedded database", "7.01 Shared dialogs and data grid"}},
    {"ver 6.0x", {"6.00 Hosting of several installations on one instance"}},
    {"ver 5.0x", {"5.00 Lock and audit jobs"}},
    {"ver 4.0x", {"4.00 Table refresh and compare of structures"}},
    {"ver 3.0x", {"3.00 Projects and version check"}},
    {"ver 2.3x", {"2.30 Script executor with the statement table"}},
};

const Node kInstallation[] = {
    {"Tables",
     {"NUVO_UTIL.NUVO_HIST (worksheet history)", "NUVO_UTIL.NUVO_PL (project table)",
      "NUVO_UTIL.NUVO_PL_TPL (templates)", "NUVO_UTIL.NUVO_EXS (executed scripts)",
      "NUVO_UTIL.NUVO_PLAN_TABLE (plan table for explain)", "NUVO_UTIL.NUVO_INSTALATIONS (installation manager)",
      "NUVO_UTIL.VELMORASYS (system parameters; parameter oracleVersion)"}},
    {"Procedures/Functions", {"NUVO_UTIL.GetMemoFiltExs"}},
    {"Rights", {"Access to the tables, procedures and functions of NUVO_UTIL"}},
    {"Instalation", {"Run the installation script of NUVO_UTIL"}},
    {"Files", {"MONITOR.INI with the default parameters", "The macro file named in MONITOR.INI (CURR_MACRO_FILE)"}},
};

// The command-line help: for each node the calls of the program, the action lines and the notes.
// Its examples are exactly what the runner and the script parser accept (a test runs them through
// both): blanks between the parameters, a command file after "@", and directives at the start of
// a statement without "--" (a line that starts with "--" is left out of the statement).
struct HelpNode {
  const char* text;
  std::initializer_list<const char*> calls;
  std::initializer_list<const char*> actions;
  std::initializer_list<const char*> notes;
};

const HelpNode kStart[] = {
    {"Calling Syntax",
     {"nuvo_sql @COMMANDS.CMD KADE PASSWORD DEMO", "nuvo_sql SCRIPT UPG_701 C:\\SQL\\TRIG",
      "nuvo_sql @MU_COMMANDS.CMD KADE PASSWORD DEMO"},
     {"CONNECT KADE PASSWORD DEMO", "CONNECT ZOZURO 1 DEMO", "SCRIPT \"UPG 701\" C:\\SQL"},
     {"After @ comes a command file, each line of it one action; otherwise the parameters are one action.",
      "An action line is the action word and up to three parameters separated by blanks;",
      "a parameter with blanks goes between double quotes.",
      "CONNECT on the first line is the logon at start: the user, password and database of the",
      "command line fill what the line leaves out. From the third line on it is a new logon whose",
      "password is a code (1 to 5, Y) or empty for the stored one.",
      "A command file whose name starts with MU_ runs for every installation of",
      "NUVO_UTIL.NUVO_INSTALATIONS."}},
    {"Version Controler", {}, {"VERSION C:\\VER\\KADE KADE ALL"},
     {"version file without extension, owner, object types"}},
    {"Refreshing Tables", {}, {"REFRESH C:\\REFRESH\\TABLES.REF"}, {"refresh file"}},
    {"Execute Script", {}, {"SCRIPT UPG_701 C:\\SQL\\TRIG"},
     {"script name (the file UPG_701.sql) and its directory",
      "A line that starts with / ends a statement; a line that starts with -- is left out.",
      "Directives start a statement:",
      "#DECLARE VAR_DATUM \"01.01.2026\": :VAR_DATUM: in later statements becomes 01.01.2026",
      "#IF query #ENDIF statement: stored only when the query's first column (REZULTAT) is not 0;",
      "#IF2 governs two statements, #IFNOT negates the query",
      "#PL/SQL#C:\\SQL\\PCKLOG.SQL runs a PL/SQL file",
      "#DISABLE#KADE.ISEC_USERS, #ENABLE#KADE.ISEC_USERS switch the foreign keys to the table",
      "Example script:"}},
    {"Checking for Invalid Objects and Compile Them (two time pass)", {}, {"ERRORS KADE"}, {"owner"}},
    {"Show server log", {}, {"SHOWLOG LONG"}, {"log kind"}},
    {"Large RolbackSegnent ON/OFF", {}, {"LARGERB ON LARGERB"}, {"ON or OFF, segment name"}},
    {"Restricted Session Enable/Disable", {}, {"RESTRICTEDLOGIN ENABLE STOP"}, {"ENABLE or DISABLE, STOP"}},
    {"Grant rights", {}, {"GRANT KADE ANA"}, {"owner, grantee"}},
    {"Check Previous Version", {}, {"LASTVERSIONCHECK UPG_700,UPG_701"}, {"a comma list of script names"}},
    {"Import table(s)", {}, {"IMPORT \"KADE/PASSWORD FILE=PR107.DMP\""}, {"command of the loader (CURR_LOADER)"}},
    {"Compare table structures", {}, {"COMPARE C:\\SNAP\\REF.SNP C:\\SNAP\\NOW.SNP C:\\SNAP\\DIFF.TXT"},
     {"reference snapshot, current snapshot, difference file"}},
    {"Checking for sistem parameters", {}, {"SISTEM C:\\REPORT\\SISTEM.TXT"}, {"system file"}},
    {"Executing queries", {}, {"IZVEDISQL C:\\DATA\\QUERIES.SQL"}, {"data file"}},
    {"Checking tables", {}, {"CHECK_TABLES KADE PR% CASCADE"}, {"user, table filter, CASCADE"}},
    {"Define owner of the objects", {}, {"OWNER KADE"}, {"owner"}},
};

// The example script under "Execute Script", line by line.
const char* const kExampleScript[] = {
    "#DECLARE VAR_DATUM \"01.01.2026\"",
    "/",
    "-- left out of the statement",
    "update kade.pr107par set val1_107 = ':VAR_DATUM:' where attr_007 = 'aiDatum'",
    "/",
    "#IF select count(*) rezultat from all_tables where table_name = 'PR107PAR' #ENDIF",
    "create index pr107par_i1 on kade.pr107par (val1_107)",
    "/",
};

QTreeWidget* makeTree(const char* name, std::span<const Node> nodes) {
  auto* tree = new QTreeWidget;
  tree->setObjectName(name);
  tree->setHeaderHidden(true);
  for (const Node& node : nodes) {
    auto* item = new QTreeWidgetItem(tree, {QString::fromUtf8(node.text)});
    for (const char* child : node.children) new QTreeWidgetItem(item, {QString::fromUtf8(child)});
  }
  return tree;
}

QTreeWidget* makeHelpTree(const char* name, std::span<const HelpNode> nodes) {
  auto* tree = new QTreeWidget;
  tree->setObjectName(name);
  tree->setHeaderHidden(true);
  for (const HelpNode& node : nodes) {
    auto* item = new QTreeWidgetItem(tree, {QString::fromUtf8(node.text)});
    for (const auto& lines : {node.calls, node.actions, node.notes})
      for (const char* line : lines) new QTreeWidgetItem(item, {QString::fromUtf8(line)});
  }
  return tree;
}

QStringList collect(std::initializer_list<const char*> HelpNode::*member) {
  QStringList lines;
  for (const HelpNode& node : kStart)
    for (const char* line : node.*member) lines << QString::fromUtf8(line);
  return lines;
}

}  // namespace

QStringList TfmAbout::startActionExamples() { return collect(&HelpNode::actions); }

QStringList TfmAbout::startCallExamples() { return collect(&HelpNode::calls); }

QStringList TfmAbout::exampleScript() {
  QStringList lines;
  for (const char* line : kExampleScript) lines << QString::fromUtf8(line);
  return lines;
}

TfmAbout::TfmAbout(QWidget* parent)
    : QDialog(parent),
      pcAbout(new QTabWidget(this)),
      TreeView1(makeTree("TreeView1", kVersions)),
      twDesc(makeTree("twDesc", kInstallation)),
      twStart(makeHelpTree("twStart", kStart)),
      btExit(new QPushButton(QStringLiteral("&Exit"), this)) {
  instance = this;
  setObjectName("fmAbout");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("About ZI-VEZ Azazar"));
  pcAbout->setObjectName("pcAbout");
  btExit->setObjectName("btExit");
  pcAbout->addTab(TreeView1, QStringLiteral("Version"));
  pcAbout->addTab(twDesc, QStringLiteral("Instalation Hints"));
  pcAbout->addTab(twStart, QStringLiteral("Start Parameters"));
  auto* title = new QLabel(QStringLiteral("nuvo_sql"), this);
  title->setObjectName("laTitle");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(pcAbout, 1);
  layout->addWidget(btExit, 0, Qt::AlignRight);
  connect(btExit, &QPushButton::clicked, this, &QDialog::close);
  // The example script, under the last note of "Execute Script".
  const auto found = twStart->findItems(QStringLiteral("Execute Script"), Qt::MatchExactly);
  if (!found.isEmpty() && found.first()->childCount() > 0) {
    QTreeWidgetItem* example = found.first()->child(found.first()->childCount() - 1);
    for (const QString& line : exampleScript()) new QTreeWidgetItem(example, {line});
  }
  resize(760, 480);
}
