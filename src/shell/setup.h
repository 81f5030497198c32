#pragma once
// The settings window: the program context's settings (applied to the running program and saved
// to MONITOR.INI), the macro file editor and the utility schema's OracleVersion parameter.

#include <QDialog>
#include <QPointer>

#include "platform/text_file.h"
#include "shell/macro_file.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTimer;
class QToolButton;
class QWidget;
class TfmMain;

class TFmSetup : public QDialog {
  Q_OBJECT
 public:
  explicit TFmSetup(TfmMain* main);
  static inline QPointer<TFmSetup> instance;

  QString trenUser;       // the configured user when the window was created
  bool autoSave = false;  // set by the toolbar's opener: apply, save and close by itself

  // Message texts of the program language.
  QString nizTrenDir, nizTrenDat, nizShortcuts, nizMacro, nizMcrOK, nizMcrErr, nizErrNiTabele, nizTabNOK;
  QString notWholeNumberText;  // a window position that is not a whole number
  QString pendingText;         // a parameter written inside an open transaction
  QString macrosFullText;      // New on a full pop-up macro list
  QString macrosCutText;       // a macro file with more pop-up macros than the list holds
  QString headerLineText;      // a macro text with a line the file would read as a new macro

  void FormCreate();
  void FormActivate();
  void SetLanguageTexts();

  // Copies the controls into the program context and applies the date format to the main session;
  // returns whether the server accepted the date format (the window may close then). Throws
  // PlatformError when a typed last version cannot be written to MONITOR.INI.
  bool ApplySettings();
  void btChangeParamClick();
  // Applies, writes MONITOR.INI, stores the password when asked to and closes.
  void btSaveToDiskClick();
  void mmSaveClick();
  void tiAutoSaveTimer();
  // Closes without applying (also Button2 of the Special page).
  void btExitClick();
  void mmExitClick();
  void cbSmallClick();
  void edDescExit();
  void mmParamsClick();
  void mmShortCutsClick();
  void mmMacrosPopUpClick();
  void mmSpecialClick();
  void sysSysSaveClick();
  // Inserts or updates one row of NUVO_UTIL.VELMORASYS and commits it when the main session had no
  // open transaction before. A missing table and a failed insert or update are shown to the user.
  enum class SysParamWrite { Written, NoTable, Failed };
  SysParamWrite WriteSysParam(const QString& name, const QString& value, const QString& description);

  // The macro file editor.
  void btReadClick();
  void spNewClick();
  void spDeleteClick();
  void spSaveClick();
  void sgMCDrawCell();  // shows the selected pop-up macro's text in meMacro
  void meMacroChange();
  void sgMCRowMoved(int from, int to);
  void sgMacroRowMoved(int from, int to);
  const nuvo::shell::MacroFile& macros() const { return macros_; }

  QMenuBar* mmSetup;
  QAction *mmSave, *mmParams, *mmShortCuts, *mmMacrosPopUp, *mmSpecial, *mmExit;
  QStackedWidget* pcSetup;
  QWidget *TabParam, *TabSM, *tabNuvoSys;
  QTimer* tiAutoSave;

  // TabParam
  QLineEdit *edDateFormat, *edUser, *edPassword, *edPasswordUtil, *edServer, *edVelmoraUser, *edLanguage,
      *edLastnik, *edDesc, *edMDQDir, *edMDQFile, *edPartDir, *edPartFile, *edPLDir, *edPLFont, *edVerUser,
      *edVerType, *edVerFile, *edLastVer, *edPrProject, *edPrType, *edScriptDir, *edScriptFile, *edMacroFile,
      *edRefreshDir, *edCompareDir, *edTop, *edLeft, *edComment, *edShowLog, *edLoader, *edLargeRB,
      *edVelmoraDir, *edCubeCompany;
  QComboBox *cbEditPLFont, *cbForceOCI, *cbCharSet;
  QCheckBox *cbSavePassword, *cbSmall, *cbUnicode;
  QPushButton *btSaveToDisk, *btChangeParam, *btExit;

  // TabSM
  QLineEdit* edShortFile;
  QPushButton* btRead;
  QToolButton *spNew, *spDelete, *spSave;
  QLabel* laStat;
  QStackedWidget* pcSM;
  QWidget *tab1Short, *Tab1Macro;
  QTableWidget *sgMacro, *sgMC;
  QPlainTextEdit* meMacro;

  // tabNuvoSys
  QLineEdit* edSysVersion;
  QPushButton *sysSysSave, *Button2;

 protected:
  bool event(QEvent* event) override;

 private:
  void buildParamPage();
  void buildMacroPage();
  void buildSysPage();
  void buildMenu();
  void connectHandlers();
  // Refuses a window position that is not a whole number: the edit goes back to `accepted`.
  bool checkPosition(QLineEdit* edit, QString& accepted);
  nuvo::shell::MacroKind currentKind() const;
  QTableWidget* grid(nuvo::shell::MacroKind kind) const;
  void fillGrid(nuvo::shell::MacroKind kind);
  void gridItemChanged(nuvo::shell::MacroKind kind, int row, int column, const QString& text);
  void moveGridRow(nuvo::shell::MacroKind kind, int from, int to);

  TfmMain* main_;
  nuvo::shell::MacroFile macros_;
  nuvo::TextEncoding macroEncoding_ = nuvo::TextEncoding::Utf8;
  bool activated_ = false;
  bool showingMacro_ = false;  // meMacro is being filled, not edited
  QString shownLastVer_;
  QString acceptedTop_, acceptedLeft_;
};

// Opens the settings window modally; with `autoSave` (the toolbar's one-click save) it applies and
// saves the settings by itself half a second after it is first shown, then closes.
void openSetupWindow(TfmMain* main, bool autoSave);
