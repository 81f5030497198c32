#pragma once

#include <QString>

namespace nuvo {

// The directory of the files the program keeps beside its executable (MONITOR.INI, instance.txt,
// the macro file, MU_proc): $NUVO_SQL_HOME when set, else the executable's directory.
QString homeDirectory();

// The data directory (embedded databases, drive mapping): $NUVO_SQL_DATA when set, else the XDG
// data home's nuvo_sql/.
QString dataDirectory();

// The settings file MONITOR.INI: in homeDirectory() when that directory is writable, else in the
// XDG config home's nuvo_sql/ (created when missing). A file of that name in another case
// ("monitor.ini") is the one used.
QString monitorIniPath();

}  // namespace nuvo
