#pragma once
// The hosting window: one database instance that hosts several installations of the applications,
// each with its own KADE and ZOZURO users. It shows which scripts each installation ran or lacks,
// the invalid objects of the installation users (compiled per owner, or recreated in one
// installation), edits the installation rows, deletes an installation and old statement rows, and
// copies an installation's own statement table into the shared one. Slovene texts only; closing
// hides it. Selecting an installation makes it the program's current one.

#include <QDialog>

#include "db/dataset.h"
#include "db/session.h"
#include "schema/hosting_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TThemedDBGrid;

class TfmMoreUsers : public QDialog {
  Q_OBJECT
 public:
  explicit TfmMoreUsers(QWidget* parent = nullptr);
  ~TfmMoreUsers() override;

  // Routines the pages share.
  bool LogOnInstallation(const QString& which);
  bool ExecStatement(const QString& statement, bool report);
  void ListInstallations();
  void SelectInstallation();
  // The installation of the list's current row (index 0 when the list is empty).
  nuvo::schema::Installation currentInstallation() const;

  // Scripts page.
  void btOsveziClick();
  void ShowInstallationScripts();
  void rbManjkajoceClick();
  void dbgNapakeDblClick();
  // Errors page.
  void btErrorUporOsveziClick();
  void ListOwnerInvalid();
  void ListObjectErrors();
  void btPrevediUporClick();
  // Installations page.
  void btNovaClick();
  void btUrediClick();
  void btShraniClick();
  void btPrekliciClick();
  void brBrisanjeClick();
  // Invalid objects page.
  void showObjectSource();
  void btPrevediInvalideClick();
  // Log-file page.
  void btNuvoEXSClick();
  void Button1Click();
  // Recreates the triggers the two import logs of the installation show as failed.
  void btIzvediClick();
  void btPrevediSpecialneBlokeClick();
  // Users page.
  void OpenInstallationUsers();
  void btRfsUporClick();
  void btDodajUporClick();
  void btBrisiUporClick();
  // The rights of an installation: "GRUPE" (its application users get the role) or "USERJI" (the
  // role and the schema users' objects).
  void SetRights(const QString& mode, const nuvo::schema::Installation& row);
  void BtPraviceClick();
  void btPrepisiClick();
  // Delete-scripts page.
  void btPrikazSkriptZaBrisanjeClick();
  void btBrisanjeSkriptClick();
  void edBrisiSkripteManjseExit();

  QTabWidget* pcMU;
  QWidget *tsIzvedene, *tsNapake, *tsNastavitev, *tsLog, *tsInvalidni, *tsUporabniki, *tsBrisi;
  // Scripts page.
  QLineEdit *eddatumOD, *edSkripte;
  QComboBox* cbZap;
  QCheckBox *cbIzvedeno, *cbZNapakami, *cbNeizvedeno;
  QRadioButton* rbManjkajoce;
  QPushButton* btOsvezi;
  TThemedDBGrid *dbgSkripte, *dbgInstall, *dbgNapake;
  QPlainTextEdit *dbmNapaka, *dbmSkripta;
  // Errors page.
  TThemedDBGrid *DBGrid1, *DBGrid2, *DBGrid3;
  QPushButton *btErrorUporOsvezi, *btPrevediUpor;
  // Installations page.
  TThemedDBGrid* dbgInstal;
  QLineEdit *dbeIndex, *dbeUser, *dbeFullName, *dbeInstance, *dbeKade, *DBEGesloKade, *dbeZozuro, *DBEGesloZozuro;
  QPushButton *btNova, *btUredi, *btShrani, *btPreklici, *brBrisanje;
  // Log-file page.
  TThemedDBGrid* dbgLog;
  QLabel* laUpor;
  QLineEdit* edLogFile;
  QPlainTextEdit *meLogFile, *meTrigg;
  QPushButton *btNuvoEXS, *Button1, *btIzvedi, *btPrevediSpecialneBloke;
  // Where the special blocks are read from (MU_proc beside the program).
  QString specialBlocksDir;
  // Users page.
  TThemedDBGrid *dbgInst, *dbgUpor;
  QLineEdit* edNovUpor;
  QPushButton *btRfsUpor, *btDodajUpor, *btBrisiUpor, *BtPravice, *btPrepisi;
  // Invalid objects page.
  TThemedDBGrid *dbgPrevedi, *DBGUserNapake;
  QToolButton *spInvalidKade, *spInvalidZozuro;
  QCheckBox* samoInvalidni;
  QLabel* laLastnik;
  QLineEdit* edInst;
  QPlainTextEdit* meProcedura;
  QPushButton *btInvalidRefresh, *btPrevediInvalide;
  // Delete-scripts page.
  QLineEdit *edBrisiSkripteManjse, *edBrisiSkripteLike, *edBrisiSkripteOd;
  QPushButton *btPrikazSkriptZaBrisanje, *btBrisanjeSkript;
  QListWidget* sbBrisaneSkripte;

  // What happened last to the installation row being edited: "NONE", "INSERT" or "EDIT".
  QString trenStateUser = QStringLiteral("NONE");
  QString trenStaroGesloKade, trenStaroGesloZozuro;
  // The owner whose invalid objects the invalid-objects page shows.
  QString trenutniLastnik;

  nuvo::db::Session osOracleTMP;
  nuvo::db::Dataset quInstal, quInst, quSkripte, quSCR_Pregled1, quScr_Pregled2, quNapake1, quNapake2;
  nuvo::db::Dataset quErrorUpor, quErrors, quErrorsVrstice, quInvalid, quInstUpor;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWidgets();
  QWidget* buildScriptsPage();
  QWidget* buildErrorsPage();
  QWidget* buildInstallationsPage();
  QWidget* buildLogPage();
  QWidget* buildInvalidPage();
  QWidget* buildUsersPage();
  QWidget* buildDeletePage();
  void pcMUChange(int index);
  void showInstallationRow();
  void setRowEditing(bool editing);
  nuvo::schema::Installation rowFromEdits() const;
  bool logOnTo(const QString& instance, const QString& user, const QString& password, bool kade);
  void runRights(const QString& user, const QString& stages);

  qint64 editedIndex_ = 0;
};
