#pragma once

#include <QString>

namespace nuvo {

class IniFile;

// Paths as the program's users write them: "/" and "\" both separate, "X:" names a drive.

bool isPathSeparator(QChar c);

// Index (0-based) of the last "/" or "\", or -1.
qsizetype lastSeparatorIndex(const QString& path);

// Position (1-based) of the last separator, or -1 when there is none.
int desnaPozicija(const QString& path);

struct FileAndDirectory {
  QString fileName;   // at most 100 characters after the last separator
  QString directory;  // the path up to and including the last separator; empty when none
};
FileAndDirectory splitFileDir(const QString& path);
void FileDirName(const QString& path, QString& fileName, QString& directory);

// `directory` and `name` with one separator between them ("/" unless `directory` already ends with
// one; separators that begin `name` are dropped); an empty directory gives the name as it is.
QString joinPath(const QString& directory, const QString& name);

// The one way from a path the program was given to a file on this machine: "\" becomes "/"; a
// leading "X:" becomes the directory of key X in section DRIVES of the settings (default
// <data directory>/drives/x); when the path does not exist as written, each component is looked up
// case-insensitively in its directory, and the components from the first that matches nothing on
// are kept as written (a file yet to be created). The first overload reads the DRIVES section of
// MONITOR.INI.
QString resolvePath(const QString& path);
QString resolvePath(const QString& path, const IniFile& settings);

// The case-insensitive part of resolvePath alone, for paths that are already this machine's.
QString matchPathCase(const QString& path);

}  // namespace nuvo
