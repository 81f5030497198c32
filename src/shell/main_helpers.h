#pragma once
// The text helpers of the main window that every subsystem calls, as pure functions: the main
// window's members (Main.h) supply the program context and show the messages.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace nuvo::shell {

// Replaces the whole-word occurrences of `oldText` (matched ignoring case) by `newText`. A match
// counts only when the character before it is a line break, tab, blank or one of + * . ( = , < > / '
// (so never at the very start of the text).
QString zamenjaj(const QString& text, const QString& oldText, const QString& newText);

// Renames the schemas KADE and ZOZURO for an installation. Mode "SKRIPTA" renames "KADE.", "'KADE'",
// "ZOZURO.", "'ZOZURO'" and "TO DUD"; any other mode "KADE " and "ZOZURO ".
QString zamenjave(const QString& text, const QString& mode, const QString& userAsKade,
                  const QString& userAsZozuro);

// A SELECT rewritten to return the row identifier so a grid can edit it. `refused` is set when the
// statement has a GROUP BY (it is returned unchanged then).
struct LiveQuery {
  QString text;
  bool refused = false;
};
LiveQuery postaviLiveQuery(const QString& statement);

// The statement without its final ";" when it is plain SQL; PL/SQL blocks and units keep it.
QString f_venPodpicje(const QString& text);

// Fills the ":?" marks of a template with `clipboard` (at most 10 characters, else "?"): as it
// stands after a blank, with its first letter upper-cased elsewhere. `frame` goes before and after.
QString prepareInsertTemplate(const QString& frame, const QString& text, const QString& clipboard);

// Where a window whose frame (title bar included) has `frameSize` goes when it is asked to stand at
// `wanted`: moved up and left as far as needed to lie whole on the `available` part of the screen,
// never above or left of it.
QPoint keptOnScreen(QPoint wanted, QSize frameSize, const QRect& available);

// Every CR LF becomes a single CR.
QString brezNL(const QString& text);

// The column separator of a setting: "#n" is the character with code n, anything else itself.
QString pretvoriDescriptor(const QString& setting);

// An Oracle date format ("DD.MM.YYYY HH24:MI:SS") as the client's date format
// ("dd.MM.yyyy HH:mm:ss"), for the dates the program formats itself.
QString clientDateFormat(const QString& oracleFormat);

// The macros of a macro file.
struct Macros {
  QString keys;              // one key character per keyboard macro
  QStringList keyboard;      // keyboard[k] belongs to keys[k]
  QStringList popupHeaders;  // menu captions of the pop-up macros
  QStringList popup;         // popup[i] belongs to popupHeaders[i]
};
inline constexpr int kMaxKeyboardMacros = 50;
inline constexpr int kMaxPopupMacros = 25;
// Parses the lines of a macro file: "#k" starts the keyboard macro of key k, "/caption" a pop-up
// macro, other lines are the body of the macro started last, joined with CR LF. A "#" line without
// its key character starts a macro that is dropped with its body, as are macros beyond the limits.
Macros parseMacros(const QStringList& lines);

// The windows whose object name begins with `prefix` (case-sensitive), at most 100, in order.
inline constexpr int kMaxChooserWindows = 100;
QList<QWidget*> windowsWithPrefix(const QList<QWidget*>& windows, const QString& prefix);

}  // namespace nuvo::shell
