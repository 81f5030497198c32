#pragma once

#include <QString>
#include <QStringList>

namespace nuvo {

// Splits a command line into program and arguments as a shell does for simple quoting: blanks
// separate, '...' and "..." group (quotes removed, no escapes inside), and a quoted part joins the
// text next to it. Backslashes are ordinary characters, so Windows paths pass unchanged. An
// unclosed quote runs to the end of the line.
QStringList splitCommandLine(const QString& commandLine);

// Starts the command line as a new process (its own process group, the program's current
// directory, standard input empty, output to the program's own output) and waits for it without a
// time limit, processing the program's events meanwhile when an application object exists (a local
// event loop, no busy wait). A program named with a path goes through resolvePath. Returns the exit
// code; a process killed by a signal gives 128 + the signal number (as a shell reports it).
// Throws PlatformError "Ne morem štartati procesa. " CR LF CR LF + the command line when the
// process cannot be started. Once started, a child's exit status can always be read, so the wait
// itself has no failure.
int RunProcessAndWait(const QString& commandLine);

}  // namespace nuvo
