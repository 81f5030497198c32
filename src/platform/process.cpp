#include "platform/process.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <utility>

#include "platform/error.h"
#include "platform/paths.h"

namespace nuvo {

namespace {

bool namesPath(const QString& program) {
  const bool drive = program.size() >= 2 && program.at(1) == ':' && program.at(0).isLetter();
  return drive || lastSeparatorIndex(program) >= 0;
}

// Waits for a started process to end, serving the program's events when there is an event loop.
void waitForEnd(QProcess& process) {
  if (!QCoreApplication::instance()) {
    process.waitForFinished(-1);
    return;
  }
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  // An application that quits ends every local loop; the process is still waited for.
  while (process.state() != QProcess::NotRunning) loop.exec();
}

}  // namespace

QStringList splitCommandLine(const QString& commandLine) {
  QStringList words;
  QString word;
  bool inWord = false;
  QChar quote;
  for (const QChar c : commandLine) {
    if (!quote.isNull()) {
      if (c == quote)
        quote = QChar();
      else
        word += c;
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c.isSpace()) {
      if (inWord) words.append(std::exchange(word, {}));
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.append(word);
  return words;
}

int RunProcessAndWait(const QString& commandLine) {
  const PlatformError cannotStart(QStringLiteral("Ne morem štartati procesa. \r\n\r\n") +
                                  commandLine);
  QStringList arguments = splitCommandLine(commandLine);
  if (arguments.isEmpty()) throw cannotStart;
  QString program = arguments.takeFirst();
  if (namesPath(program)) program = resolvePath(program);

  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setChildProcessModifier([] { ::setpgid(0, 0); });
  process.start();
  if (!process.waitForStarted(-1)) throw cannotStart;
  waitForEnd(process);
  if (process.exitStatus() == QProcess::CrashExit) return 128 + process.exitCode();
  return process.exitCode();
}

}  // namespace nuvo
