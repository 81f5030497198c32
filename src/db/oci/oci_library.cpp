#include "db/oci/oci_library.h"

#include <dlfcn.h>

#include <QDir>
#include <QFileInfo>
#include <map>
#include <memory>
#include <mutex>

namespace nuvo::db::oci {

namespace {

constexpr const char* kLibraryName = "libclntsh.so";

std::mutex& configMutex() {
  static std::mutex m;
  return m;
}

QString& configuredPath() {
  static QString path;
  return path;
}

// Resolves every function; false with the first missing name in `missing`.
bool resolve(void* handle, Api& api, QString* missing) {
  struct Entry {
    const char* name;
    void** slot;
  };
  const Entry entries[] = {
      {"OCIEnvNlsCreate", reinterpret_cast<void**>(&api.EnvNlsCreate)},
      {"OCIHandleAlloc", reinterpret_cast<void**>(&api.HandleAlloc)},
      {"OCIHandleFree", reinterpret_cast<void**>(&api.HandleFree)},
      {"OCIDescriptorFree", reinterpret_cast<void**>(&api.DescriptorFree)},
      {"OCIAttrSet", reinterpret_cast<void**>(&api.AttrSet)},
      {"OCIAttrGet", reinterpret_cast<void**>(&api.AttrGet)},
      {"OCIServerAttach", reinterpret_cast<void**>(&api.ServerAttach)},
      {"OCIServerDetach", reinterpret_cast<void**>(&api.ServerDetach)},
      {"OCISessionBegin", reinterpret_cast<void**>(&api.SessionBegin)},
      {"OCISessionEnd", reinterpret_cast<void**>(&api.SessionEnd)},
      {"OCIStmtPrepare", reinterpret_cast<void**>(&api.StmtPrepare)},
      {"OCIStmtExecute", reinterpret_cast<void**>(&api.StmtExecute)},
      {"OCIStmtFetch2", reinterpret_cast<void**>(&api.StmtFetch2)},
      {"OCIStmtGetPieceInfo", reinterpret_cast<void**>(&api.StmtGetPieceInfo)},
      {"OCIStmtSetPieceInfo", reinterpret_cast<void**>(&api.StmtSetPieceInfo)},
      {"OCIBindByName", reinterpret_cast<void**>(&api.BindByName)},
      {"OCIDefineByPos", reinterpret_cast<void**>(&api.DefineByPos)},
      {"OCIParamGet", reinterpret_cast<void**>(&api.ParamGet)},
      {"OCIErrorGet", reinterpret_cast<void**>(&api.ErrorGet)},
      {"OCITransCommit", reinterpret_cast<void**>(&api.TransCommit)},
      {"OCITransRollback", reinterpret_cast<void**>(&api.TransRollback)},
      {"OCIBreak", reinterpret_cast<void**>(&api.Break)},
      {"OCIReset", reinterpret_cast<void**>(&api.Reset)},
  };
  for (const Entry& e : entries) {
    *e.slot = dlsym(handle, e.name);
    if (!*e.slot) {
      *missing = QString::fromLatin1(e.name);
      return false;
    }
  }
  return true;
}

}  // namespace

void setConfiguredClientLibrary(const QString& path) {
  std::lock_guard lock(configMutex());
  configuredPath() = path.trimmed();
}

ClientLocation defaultClientLocation() {
  ClientLocation location;
  {
    std::lock_guard lock(configMutex());
    location.configured = configuredPath();
  }
  location.oracleHome = qEnvironmentVariable("ORACLE_HOME");
  return location;
}

QStringList clientLibraryCandidates(const ClientLocation& location) {
  QStringList files;
  if (!location.configured.isEmpty()) {
    files << (QFileInfo(location.configured).isDir() ? QDir(location.configured).filePath(QLatin1String(kLibraryName))
                                                       : location.configured);
  }
  if (!location.oracleHome.isEmpty())
    files << QDir(location.oracleHome).filePath(QStringLiteral("lib/") + QLatin1String(kLibraryName));
  if (location.librarySearchPath) files << QLatin1String(kLibraryName);
  files.removeDuplicates();
  return files;
}

const Api* loadClientLibrary(const ClientLocation& location, QString* why) {
  // One Api per library file opened, kept for the life of the process: a client library is
  // never unloaded while handles it allocated may still exist.
  static std::mutex mutex;
  static std::map<QString, std::unique_ptr<Api>> opened;
  std::lock_guard lock(mutex);
  const QStringList files = clientLibraryCandidates(location);
  QStringList failures;
  for (const QString& file : files) {
    if (auto it = opened.find(file); it != opened.end()) return it->second.get();
    // A bare name is looked up on the library search path; a path must exist.
    if (file.contains(QLatin1Char('/')) && !QFileInfo::exists(file)) {
      failures << file;
      continue;
    }
    void* handle = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* error = dlerror();
      failures << (file.contains(QLatin1Char('/')) || !error ? file : file + QStringLiteral(" (not in the library path)"));
      continue;
    }
    auto api = std::make_unique<Api>();
    QString missing;
    if (!resolve(handle, *api, &missing)) {
      dlclose(handle);
      failures << file + QStringLiteral(" (lacks ") + missing + u')';
      continue;
    }
    return opened.emplace(file, std::move(api)).first->second.get();
  }
  if (why) {
    *why = QStringLiteral("Oracle client library not found: ") +
           (failures.isEmpty() ? QStringLiteral("no place to look") : failures.join(QStringLiteral(", ")));
  }
  return nullptr;
}

}  // namespace nuvo::db::oci
