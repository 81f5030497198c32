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

const Node kStart[] = {
    {"Calling Syntax", {"nuvo_sql <command file>", "Each line: ACTION,parameter 1,parameter 2,parameter 3",
                        "CONNECT,user,password,database (third line or later)"}},
    {"Version Controler", {"VERSION,version file without extension,owner,object types"}},
    {"Refreshing Tables", {"REFRESH,refresh file"}},
    {"Execute Script",
     {"SCRIPT,script name,directory", "Directives of the script file start with --#",
      "Example of a declared variable: --#DECLARE :datum DATE"}},
    {"Checking for Invalid Objects and Compile Them (two time pass)", {"ERRORS,owner"}},
    {"Show server log", {"SHOWLOG,log kind"}},
    {"Large RolbackSegnent ON/OFF", {"LARGERB,ON or OFF,segment name"}},
    {"Restricted Session Enable/Disable", {"RESTRICTEDLOGIN,ENABLE or DISABLE,STOP"}},
    {"Grant rights", {"GRANT,owner,grantee"}},
    {"Check Previous Version", {"LASTVERSIONCHECK,comma list of script names"}},
    {"Import table(s)", {"IMPORT,command of the loader"}},
    {"Compare table structures", {"COMPARE,reference snapshot,current snapshot,difference file"}},
    {"Checking for sistem parameters", {"SISTEM,system file"}},
    {"Executing queries", {"IZVEDISQL,data file"}},
    {"Checking tables", {"CHECK_TABLES,user,table filter,CASCADE"}},
    {"Define owner of the objects", {"OWNER,owner"}},
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

}  // namespace

TfmAbout::TfmAbout(QWidget* parent)
    : QDialog(parent),
      pcAbout(new QTabWidget(this)),
      TreeView1(makeTree("TreeView1", kVersions)),
      twDesc(makeTree("twDesc", kInstallation)),
      twStart(makeTree("twStart", kStart)),
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
  resize(560, 420);
  connect(btExit, &QPushButton::clicked, this, &QDialog::close);
}
