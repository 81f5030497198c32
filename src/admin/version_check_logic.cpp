#include "admin/version_check_logic.h"

#include <QHash>

#include "db/query.h"
#include "platform/text_file.h"
#include "shell/sql_catalog.h"

namespace nuvo::admin {

namespace {

const SqlText kObjects{"checkVer.quObjekti",
                       {"select object_type,object_name,timestamp  from all_objects",
                        "where owner=:upor and object_type in ('TRIGGER','PROCEDURE','FUNCTION','PACKAGE','PACKAGE BODY')",
                        "order by object_type,object_name"}};
// In line order, so that the last tag line of an object is the one that counts.
const SqlText kSourceTags{"checkVer.quVerObjekti",
                          {"select name,type,text from all_source",
                           "where owner=:upor and instr(text,'NUVO_VERSION')<>0", "order by type,name,line"}};
const SqlText kTriggerTags{"checkVer.quVerTrigger",
                           {"select trigger_name,trigger_body from all_triggers", "where owner=:upor",
                            "order by trigger_name"}};

const QString kTag = QStringLiteral("NUVO_VERSION");

QString key(const QString& type, const QString& name) { return type + u'\n' + name; }

// The field before the next "#" and the remainder after it, cut to 100 characters.
QString takeField(QString& rest) {
  const int hash = rest.indexOf(u'#');
  const QString field = hash < 0 ? QString() : rest.left(hash);
  rest = (hash < 0 ? rest : rest.mid(hash + 1)).left(100);
  return field;
}

}  // namespace

QString noVersion() { return QString(6, u' '); }

bool typeInList(const QString& type, const QString& list) {
  return (u',' + list + u',').contains(u',' + type + u',');
}

QString versionOfLine(const QString& line) {
  const int quote = line.indexOf(QStringLiteral("'V"));
  return quote < 0 ? line.left(6) : line.mid(quote + 1, 6);
}

QString versionOfTriggerBody(const QString& body) {
  const int tag = body.indexOf(kTag);
  return tag < 0 ? QString() : versionOfLine(body.mid(tag, 50));
}

QString versionFileLine(const VersionRecord& record) {
  const QString version = record.version.isEmpty() ? noVersion() : record.version;
  return record.type + u'#' + record.name + u'#' + version + u'#' + record.timestamp + u'#';
}

VersionFileLine parseVersionFileLine(const QString& line) {
  QString rest = line;
  VersionFileLine fields;
  fields.type = takeField(rest);
  fields.name = takeField(rest);
  fields.version = takeField(rest);
  fields.timestamp = takeField(rest);
  return fields;
}

QStringList splitVersionFile(const QString& text) {
  QString unified = text;
  unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  QStringList lines = unified.split(u'\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

std::vector<VersionRow> compareVersions(std::vector<VersionRecord>& records, const QStringList& fileLines,
                                        const QString& typeList, bool compareTimestamp, const QString& notInFile) {
  QHash<QString, size_t> index;
  // Backwards, so that the first record of a name is the one found.
  for (size_t i = records.size(); i-- > 0;)
    if (typeInList(records[i].type, typeList)) index[key(records[i].type, records[i].name)] = i;

  std::vector<VersionRow> rows;
  for (const QString& text : fileLines) {
    const VersionFileLine line = parseVersionFileLine(text);
    if (line.type.isEmpty() || line.name.isEmpty() || !typeInList(line.type, typeList)) continue;
    const auto found = index.constFind(key(line.type, line.name));
    if (found == index.constEnd()) {
      if (line.version != noVersion() && line.version != u"V00.00")
        rows.push_back({line.type, line.name, line.version, QString::fromLatin1(kNotExist)});
      continue;
    }
    VersionRecord& record = records[*found];
    if (record.version != noVersion()) {
      if (record.version != line.version)
        rows.push_back({line.type, line.name, line.version, record.version});
      else if (compareTimestamp && record.timestamp < line.timestamp)
        rows.push_back({line.type, line.name, line.timestamp, record.timestamp});
    }
    record.matched = true;
  }
  for (const VersionRecord& record : records)
    if (!record.matched && typeInList(record.type, typeList) && record.version != noVersion())
      rows.push_back({record.type, record.name, notInFile, record.version});
  return rows;
}

std::vector<VersionRow> versionListRows(const std::vector<VersionRecord>& records, const QString& typeList) {
  std::vector<VersionRow> rows;
  QString lastType;
  for (const VersionRecord& record : records) {
    if (!typeInList(record.type, typeList)) continue;
    rows.push_back({record.type == lastType ? QString() : record.type, record.name, QString(), record.version});
    lastType = record.type;
  }
  return rows;
}

std::vector<VersionRecord> readVersionRecords(db::Session& session, const QString& owner, const QString& typeList) {
  std::vector<VersionRecord> records;
  QHash<QString, size_t> index;
  const auto run = [&session, &owner](db::Query& query, const SqlText& text) {
    query.setSql(text);
    query.declareVariable("upor", db::DataType::String);
    query.setVariable("upor", owner);
    query.execute();
  };
  db::Query objects(&session);
  run(objects, kObjects);
  for (; !objects.eof(); objects.next()) {
    const QString type = objects.field(0).asString();
    if (!typeInList(type, typeList)) continue;
    records.push_back({type, objects.field(1).asString(), noVersion(), objects.field(2).asString()});
    index.insert(key(type, records.back().name), records.size() - 1);
  }
  db::Query source(&session);
  run(source, kSourceTags);
  for (; !source.eof(); source.next()) {
    const auto found = index.constFind(key(source.field(1).asString(), source.field(0).asString()));
    if (found != index.constEnd()) records[*found].version = versionOfLine(source.field(2).asString());
  }
  db::Query triggers(&session);
  run(triggers, kTriggerTags);
  for (; !triggers.eof(); triggers.next()) {
    const QString version = versionOfTriggerBody(triggers.field(1).asString());
    const auto found = index.constFind(key(QStringLiteral("TRIGGER"), triggers.field(0).asString()));
    if (!version.isEmpty() && found != index.constEnd()) records[*found].version = version;
  }
  return records;
}

QStringList readVersionFile(const QString& path) { return splitVersionFile(readTextFile(path).text); }

void writeVersionFile(const QString& path, const std::vector<VersionRecord>& records) {
  QString text;
  for (const VersionRecord& record : records) text += versionFileLine(record) + QStringLiteral("\r\n");
  writeTextFile(path, text, encodingOf(fileCodePage()));
}

}  // namespace nuvo::admin
