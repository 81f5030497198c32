#include "engine/plsql/packages/native.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>

#include "engine/storage/session.h"

namespace engine::plsql {

namespace {

const Value& nullValue() {
  static const Value v;
  return v;
}

}  // namespace

const Value& NativeCall::arg(std::size_t i) const { return i < args.size() ? args[i] : nullValue(); }

std::string NativeCall::text(std::size_t i) const {
  const Value& v = arg(i);
  if (v.isNull()) return {};
  if (v.kind() == Value::Kind::Text) return v.asText();
  return x.session.format(v);
}

std::int64_t NativeCall::integer(std::size_t i, std::int64_t ifNull) const {
  const Value& v = arg(i);
  if (v.isNull()) return ifNull;
  return toNumber(v).asInteger();
}

double NativeCall::number(std::size_t i, double ifNull) const {
  const Value& v = arg(i);
  if (v.isNull()) return ifNull;
  return toNumber(v).asDouble();
}

bool NativeCall::flag(std::size_t i, bool ifNull) const {
  const Value& v = arg(i);
  return v.isNull() ? ifNull : isTrue(v);
}

void raiseNative(int code, const std::string& message) {
  PlsqlError e;
  e.code = code;
  e.message = message;
  throw e;
}

void raiseOraText(int code, const std::string& text) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", code);
  raiseNative(code, prefix + text);
}

std::string databaseKey(const std::string& directory) {
  std::error_code ec;
  std::string key = std::filesystem::weakly_canonical(directory, ec).string();
  return ec ? directory : key;
}

std::string upperCase(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(const std::string& text) {
  auto b = text.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  auto e = text.find_last_not_of(" \t\r\n");
  return text.substr(b, e - b + 1);
}

const Native* findNative(const std::string& name) {
  static const std::map<std::string, const Native*> all = [] {
    std::map<std::string, const Native*> m;
    for (const auto* list : {&pipeNatives(), &lockNatives(), &jobNatives(), &schedulerNatives(), &sqlNatives(),
                             &repairNatives(), &fileNatives(), &mviewNatives(),
                             &utilityNatives(),
                             &rawNatives(),
                             &lobNatives(),
                             &cryptoNatives()})
      for (const auto& n : *list) m[n.name] = &n;
    return m;
  }();
  auto it = all.find(name);
  return it == all.end() ? nullptr : it->second;
}

const BuiltinPackage* findBuiltinPackage(const std::string& name) {
  static const BuiltinPackage* const all[] = {&dbmsPipePackage, &dbmsLockPackage, &dbmsJobPackage, &dbmsSchedulerPackage,
                                                  &dbmsSqlPackage, &dbmsRepairPackage, &utlFilePackage, &dbmsMviewPackage,
                                                  &dbmsUtilityPackage, &dbmsApplicationInfoPackage, &dbmsSessionPackage,
                                                  &utlRawPackage, &utlI18nPackage, &dbmsLobPackage, &dbmsCryptoPackage};
  for (const auto* p : all)
    if (name == p->name) return p;
  return nullptr;
}

}  // namespace engine::plsql
