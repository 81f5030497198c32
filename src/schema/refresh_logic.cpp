#include "schema/refresh_logic.h"

#include "db/query.h"
#include "platform/text_file.h"
#include "schema/structure_logic.h"
#include "shell/sql_catalog.h"

namespace nuvo::schema {

namespace {

const SqlText kUsers{"refresh.quUsers", {"select username from all_users", "order by userName"}};
const SqlText kTables{"refresh.quTables",
                      {"select table_name from all_tables", " where owner=:upor", "order by table_name"}};
const SqlText kColumns{"refresh.quColumns",
                       {"select column_name,data_type from all_tab_columns",
                        " where owner= :upor and table_name=:tabela", " order by column_id"}};
// In key order, so a refresh file's key and the loaded one agree.
const SqlText kKeyColumns{"refresh.quPKeyColumn",
                          {"select c.column_name, c.data_type",
                           "from all_constraints k, all_cons_columns kc, all_tab_columns c",
                           "where k.owner=:upor and k.table_name=:tabela and k.constraint_type='P'",
                           "  and kc.owner=k.owner and kc.constraint_name=k.constraint_name",
                           "  and c.owner=k.owner and c.table_name=k.table_name and c.column_name=kc.column_name",
                           "order by kc.position"}};
const SqlText kLinks{"refresh.quLinks", {"select db_link from user_db_links"}};
const SqlText kSequences{"refresh.quSequence",
                         {"select sequence_name from all_sequences", "where sequence_owner=:upor and ",
                          "           (:ime='ALL' or sequence_name like :ime)", "order by sequence_name"}};
const SqlText kReadPipe{"refresh.spReadPipe", {"begin", "  readPipe('REFRESH',1,:outniz);", "end;"}};

const QString kCrLf = QStringLiteral("\n");
const QString kBreak = QStringLiteral("\n       ");  // a line break and seven blanks

QString keyName(const QString& entry) {
  const int blank = entry.indexOf(u' ');
  return blank < 0 ? entry : entry.left(blank);
}

QString keyType(const QString& entry) {
  const int blank = entry.indexOf(u' ');
  return blank < 0 ? QString() : entry.mid(blank + 1, 30);
}

bool isSequenceColumn(const RefreshDefinition& d, const QString& name) {
  return d.sequence && name == d.sequenceField;
}

bool anyMarked(const RefreshDefinition& d) {
  for (const RefreshColumn& c : d.columns)
    if (c.marked) return true;
  return false;
}

// The key's text in an error item: character keys as they are, others through to_char.
QString keyText(const RefreshDefinition& d, const QString& record) {
  QStringList parts;
  for (const QString& entry : d.keys) {
    const QString type = keyType(entry);
    const QString field = record + u'.' + keyName(entry);
    parts << (type == u"CHAR" || type == u"VARCHAR" || type == u"VARCHAR2" ? field
                                                                            : QStringLiteral("to_char(") + field + u')');
  }
  return parts.join(QStringLiteral("||'  '||"));
}

QString keyList(const RefreshDefinition& d, const QString& record) {
  QStringList parts;
  for (const QString& entry : d.keys) parts << record + u'.' + keyName(entry);
  return parts.join(u',');
}

// A list of the columns, a line break before the separator of every seventh one.
QString columnList(const RefreshDefinition& d, const std::function<QString(const QString&)>& item) {
  QString text;
  for (int i = 0; i < int(d.columns.size()); ++i) {
    if (i > 0) {
      if ((i + 1) % 7 == 0) text += kBreak;
      text += u',';
    }
    text += item(d.columns[size_t(i)].name);
  }
  return text;
}

QString asciiUpper(const QString& text) {
  QString upper = text;
  for (QChar& c : upper)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
  return upper;
}

}  // namespace

QString refreshSource(const RefreshDefinition& d) {
  QString source = d.sourceUser + u'.' + d.sourceTable;
  if (!d.link.isEmpty()) source += u'@' + d.link;
  return source;
}

QString refreshDest(const RefreshDefinition& d) { return d.destUser + u'.' + d.destTable; }

bool isAuditColumn(const QString& name) { return name == u"DATUMIPL" || name == u"USER_IPL"; }

QString keyParameterName(int k) { return QStringLiteral("sUnique") + QString::number(k); }

QStringList refreshSetColumns(const RefreshDefinition& d) {
  const bool all = !anyMarked(d);
  QStringList set;
  for (const RefreshColumn& c : d.columns)
    if ((all || c.marked) && !isAuditColumn(c.name) && !isSequenceColumn(d, c.name)) set << c.name;
  return set;
}

std::vector<RefreshRefusal> refreshCheck(const RefreshDefinition& d) {
  std::vector<RefreshRefusal> refusals;
  const bool same = refreshSource(d).trimmed().toUpper() == refreshDest(d).trimmed().toUpper();
  const bool filled = !d.sourceUser.trimmed().isEmpty() && !d.sourceTable.trimmed().isEmpty() &&
                      !d.destUser.trimmed().isEmpty() && !d.destTable.trimmed().isEmpty();
  if (d.keys.isEmpty() || !filled || same) {
    if (d.keys.isEmpty()) refusals.push_back(RefreshRefusal::KeyMissing);
    refusals.push_back(same ? RefreshRefusal::SameTables : RefreshRefusal::DataMissing);
    return refusals;
  }
  if (d.update && refreshSetColumns(d).isEmpty()) refusals.push_back(RefreshRefusal::NothingToUpdate);
  return refusals;
}

// An error item's text has its "?" blanked: a key or a server message holding one would otherwise
// end the item there and show the rest as items of their own.
QString refreshBlock(const RefreshDefinition& d, bool pipe) {
  const QString source = refreshSource(d);
  const QString dest = refreshDest(d);

  QStringList params, where;
  for (int k = 1; k <= d.keys.size(); ++k) {
    const QString& entry = d.keys[k - 1];
    params << keyParameterName(k) + u' ' + keyType(entry);
    where << keyName(entry) + u'=' + keyParameterName(k) + u' ';
  }
  const QString paramText = params.join(u',');
  const QString whereText = where.join(QStringLiteral("and "));
  const QString rsKeys = keyList(d, QStringLiteral("rS"));
  const QString rdKeys = keyList(d, QStringLiteral("rD"));
  const QString rsKeyText = keyText(d, QStringLiteral("rS"));
  const QString rdKeyText = keyText(d, QStringLiteral("rD"));

  const QString cols = columnList(d, [](const QString& name) { return name; });
  const QString vals = columnList(d, [&d](const QString& name) {
    return isSequenceColumn(d, name) ? QStringLiteral("iSeq") : QStringLiteral("rS.") + name;
  });
  const QStringList setColumns = refreshSetColumns(d);
  QString setList;
  for (int i = 0; i < setColumns.size(); ++i) {
    if (i > 0) setList += i % 3 == 0 ? QStringLiteral(",") + kBreak : QStringLiteral(",");
    setList += setColumns[i] + QStringLiteral("=rS.") + setColumns[i];
  }
  QString cond;
  if (anyMarked(d)) {
    for (const QString& c : setColumns) {
      cond += cond.isEmpty() ? QStringLiteral("IF ") : QStringLiteral(" or ");
      cond += QStringLiteral("((rS.%1<> rD.%1) or ( ( rS.%1 is null or rD.%1 is null) and not (rS.%1 is null and rD.%1 is null)) )")
                  .arg(c) +
              kCrLf + QStringLiteral("     ");
    }
    if (!cond.isEmpty()) cond += QStringLiteral("        THEN");
  }
  const QString insert = QStringLiteral("     (") + cols + u')' + kCrLf + QStringLiteral("    values ") + kCrLf +
                         QStringLiteral("     (") + vals + QStringLiteral(");");

  QStringList b;
  if (d.procedure && !d.procedureName.isEmpty())
    b << QStringLiteral("CREATE OR REPLACE PROCEDURE ") + d.procedureName + QStringLiteral(" IS");
  else
    b << QStringLiteral("DECLARE");
  b << QStringLiteral("  CURSOR cPrava is select * from ") + source + u';'
    << QStringLiteral("  rS ") + source + QStringLiteral("%ROWTYPE;");
  b << QStringLiteral(" CURSOR cOrig(") + paramText + QStringLiteral(") is select * from ") + dest
    << QStringLiteral("    where ") + whereText + QStringLiteral("for update;")
    << QStringLiteral("  rD ") + dest + QStringLiteral("%ROWTYPE;");
  if (d.deleteRows)
    b << QStringLiteral(" CURSOR cOrigDelete is select * from ") + dest + QStringLiteral(" for update;")
      << QStringLiteral(" CURSOR cPravaDelete(") + paramText + QStringLiteral(") is select * from ") + source
      << QStringLiteral("    where ") + whereText + QStringLiteral("for update;");
  b << QStringLiteral("  popr INTEGER:=0;") << QStringLiteral("  ni INTEGER:=0;") << QStringLiteral("  st INTEGER:=0;")
    << QStringLiteral("  pipe INTEGER;") << QStringLiteral("  stDel INTEGER:=0;")
    << QStringLiteral("  stDelNe INTEGER:=0;") << QStringLiteral("  intSt INTEGER:=0;")
    << QStringLiteral("  rt INTEGER;") << QStringLiteral("  iError INTEGER:=0;");
  if (!d.update) b << QStringLiteral("  dovoliUpdate BOOLEAN:=false;");
  if (d.sequence)
    b << QStringLiteral("  iSeq INTEGER;") << QStringLiteral("  FUNCTION f_getSequence RETURN INTEGER IS")
      << QStringLiteral("    cursor cSeq is select ") + d.sequenceName + QStringLiteral(".nextval from dual;")
      << QStringLiteral("    seq INTEGER;") << QStringLiteral("  BEGIN") << QStringLiteral("    OPEN cSeq;")
      << QStringLiteral("    FETCH cSeq INTO seq;") << QStringLiteral("    CLOSE cSeq;")
      << QStringLiteral("    RETURN seq;") << QStringLiteral("  END;") << QString();
  if (!pipe) {
    b << QString() << QStringLiteral("  PROCEDURE f_error(type CHAR,cont CHAR) IS") << QStringLiteral("  BEGIN");
    if (d.saveErrors)
      b << QStringLiteral("    insert into nuvo_util.nuvo_err (error_type,error_cont) values (type,cont);");
    else
      b << QStringLiteral("    dbms_output.put_line(type||'  '||cont);");
    b << QStringLiteral("  END;") << QString();
  }
  b << QStringLiteral("BEGIN");
  if (pipe)
    b << QStringLiteral("  Pipe:=dbms_pipe.create_pipe('REFRESH',20000);")
      << QStringLiteral("  dbms_pipe.purge('REFRESH');") << QStringLiteral("  dbms_pipe.reset_buffer;")
      << QStringLiteral("  rt:=dbms_pipe.send_message('REFRESH');");
  b << QStringLiteral("  LOCK TABLE ") + dest + QStringLiteral(" IN EXCLUSIVE MODE NOWAIT;");
  b << QStringLiteral("  open cPrava;") << QStringLiteral("  LOOP") << QStringLiteral("    FETCH cPrava into rS;")
    << QStringLiteral("    EXIT when cPrava%NOTFOUND;") << QStringLiteral("    st:=st+1;")
    << QStringLiteral("    open cOrig(") + rsKeys + QStringLiteral(");") << QStringLiteral("    FETCH cOrig INTO rD;")
    << QStringLiteral("    IF cOrig%FOUND THEN");
  if (!d.update) {
    b << QStringLiteral("      null;");
  } else {
    if (!cond.isEmpty()) b << QStringLiteral("      ") + cond;
    b << QStringLiteral("         popr:=popr+1;") << QStringLiteral("         update ") + dest + QStringLiteral(" set ")
      << QStringLiteral("         ") + setList << QStringLiteral("         where current of cOrig;");
    if (!cond.isEmpty()) b << QStringLiteral("      END if;  ");
  }
  b << QStringLiteral("    ELSE ") << QStringLiteral("      BEGIN");
  if (d.sequence) b << QStringLiteral("       iSeq:=f_getSequence;");
  b << QStringLiteral("       INSERT INTO ") + dest << QStringLiteral("         ") + insert
    << QStringLiteral("        ni:=ni+1;") << QStringLiteral("      EXCEPTION") << QStringLiteral("        WHEN OTHERS THEN")
    << QStringLiteral("            iError:=iError+1;");
  if (pipe)
    b << QStringLiteral("            sendtoPipe('REFRESH','# ?+'||replace(substr(") + rsKeyText +
             QStringLiteral("||chr(13)||chr(10)||'    '||SQLERRM,1,95),'?',' ')||'?');");
  else
    b << QStringLiteral("            f_error('UNIQUE+',substr(") + rsKeyText + QStringLiteral("||'    '||SQLERRM,1,95));");
  b << QStringLiteral("      END;") << QStringLiteral("    END if;") << QStringLiteral("    close cOrig;");
  b << QStringLiteral("    IF intST=100 THEN ") << QStringLiteral("       intST:=1;");
  if (pipe)
    b << QStringLiteral("       sendtoPipe('REFRESH',' ?S'||to_char(st)||'?U'||to_char(popr)||'?I'||to_char(ni)||'?');");
  b << QStringLiteral("    ELSE ") << QStringLiteral("       intST:=intst+1; ") << QStringLiteral("    END if; ")
    << QStringLiteral("  END LOOP;") << QStringLiteral("  close cPrava;");
  if (d.deleteRows) {
    b << QString() << QStringLiteral("  -- DELETE") << QStringLiteral("  open cOrigDelete;") << QStringLiteral("  intST:=1;")
      << QStringLiteral("  LOOP") << QStringLiteral("    FETCH cOrigDelete INTO rD;")
      << QStringLiteral("    EXIT WHEN cOrigDelete%NOTFOUND;") << QStringLiteral("    st:=st+1;")
      << QStringLiteral("    IF intST=100 THEN ") << QStringLiteral("       intST:=1;");
    if (pipe) b << QStringLiteral("       sendtoPipe('REFRESH',' ?S'||to_char(st)||'?D'||to_char(stDel)||'?');");
    b << QStringLiteral("    ELSE ") << QStringLiteral("       intST:=intst+1; ") << QStringLiteral("    END if; ")
      << QStringLiteral("    open cPravaDelete(") + rdKeys + QStringLiteral(");")
      << QStringLiteral("    FETCH cPravaDelete INTO rS;") << QStringLiteral("    IF cPravaDelete%NOTFOUND THEN")
      << QStringLiteral("      BEGIN") << QStringLiteral("        DELETE ") + dest + QStringLiteral(" where current of cOrigDelete;")
      << QStringLiteral("        stDel:=stDel+1;") << QStringLiteral("      EXCEPTION") << QStringLiteral("        WHEN OTHERS THEN")
      << QStringLiteral("            iError:=iError+1;");
    if (pipe)
      b << QStringLiteral("            sendtoPipe('REFRESH','# ?-'||replace(substr(") + rdKeyText +
               QStringLiteral("||chr(13)||chr(10)||'    '||SQLERRM,1,95),'?',' ')||'?');");
    else
      b << QStringLiteral("         f_error('DELETE',substr(") + rdKeyText + QStringLiteral("||'    '||SQLERRM,1,95));");
    b << QStringLiteral("      END;") << QStringLiteral("    END if;") << QStringLiteral("    close cPravaDelete;")
      << QStringLiteral("  END loop;") << QStringLiteral("  close cOrigDelete;");
  }
  if (pipe) {
    b << QStringLiteral(
        "  sendtoPipe('REFRESH','#/?S'||to_char(st)||'?U'||to_char(popr)||'?I'||to_char(ni)||'?D'||to_char(stDel)||'?');");
  } else {
    const QString summary = QStringLiteral(
        "'ALL:'|| to_char(st)||'  UPDATED:'||to_char(popr)||'  INSERTED:'||to_char(ni)||'  DELETED:'||to_char(stDel)||'  "
        "ERRORS:'||to_char(iError));");
    b << QStringLiteral("  dbms_output.put_line('") + dest + QStringLiteral("'||'  '||") + summary
      << QStringLiteral("  f_error('") + dest + QStringLiteral("',") + summary;
  }
  b << QStringLiteral("  END;");
  return b.join(u'\n');
}

bool isEndMessage(const QString& message) { return message.startsWith(u'/'); }

void applyPipeMessage(const QString& message, RefreshProgress& progress, QStringList& errors) {
  QString text = message.mid(2, 100);
  int question;
  while (!text.isEmpty() && (question = text.indexOf(u'?')) >= 0) {
    const QChar kind = text.at(0);
    const QString value = text.mid(1, question - 1);
    text = text.mid(question + 1, 100);
    if (kind == u'S')
      progress.read = value;
    else if (kind == u'U')
      progress.updated = value;
    else if (kind == u'I')
      progress.inserted = value;
    else if (kind == u'D')
      progress.deleted = value;
    else if (kind == u'-')
      errors << QStringLiteral("ERROR ON DELETING:   ") + value;
    else if (kind == u'+')
      errors << QStringLiteral("ERROR ON INSERTING:   ") + value;
  }
}

QStringList blockErrorLines(const QString& destTable, const QString& error) {
  QStringList lines{QStringLiteral("ERROR ON REFRESHING TABLE ") + destTable, QString(37, u'-')};
  QString rest = error;
  for (;;) {
    const int lf = rest.indexOf(u'\n');
    if (lf < 0) break;
    lines << rest.left(lf);
    rest = rest.mid(lf + 1, 10000);
  }
  lines << rest;
  return lines;
}

bool RefreshFileReader::nextTable(RefreshDefinition& d, bool& commit, const ColumnLoader& load) {
  while (next_ < lines_.size()) {
    const QString line = asciiUpper(lines_[next_++]);
    if (line.startsWith(u'#')) {
      if (!parameters_) continue;  // a comment
      parameters_ = false;
      return true;
    }
    if (!parameters_) {
      parameters_ = true;
      d.sourceUser.clear();
      d.sourceTable.clear();
      d.link.clear();
      d.destUser.clear();
      d.destTable.clear();
    }
    const int equals = line.indexOf(u'=');
    if (equals < 0) continue;
    const QString key = line.left(equals);
    const QString value = line.mid(equals + 1, 200);
    if (key == u"OWNERS") {
      d.sourceUser = value;
    } else if (key == u"TABLES") {
      d.sourceTable = value;
      load(d);
    } else if (key == u"DBLD") {
      d.link = value;
    } else if (key == u"OWNERD") {
      d.destUser = value;
    } else if (key == u"TABLED") {
      d.destTable = value;
    } else if (key == u"FIELDS") {
      for (const QString& name : value.split(u','))
        for (RefreshColumn& c : d.columns)
          if (c.name == name) {
            c.marked = true;
            break;
          }
    } else if (key == u"UPDATE") {
      d.update = value == u"TRUE";
    } else if (key == u"DELETE") {
      d.deleteRows = value == u"TRUE";
    } else if (key == u"UNIQUE") {
      d.keys = value.split(u',');
    } else if (key == u"SEQUENCE") {
      const int comma = value.indexOf(u',');
      if (comma >= 0) {
        d.sequence = true;
        QString field = value.left(comma);
        while (field.endsWith(u' ')) field.chop(1);
        QString name = value.mid(comma + 1);
        while (name.startsWith(u' ')) name.remove(0, 1);
        d.sequenceField = field;
        d.sequenceName = name.left(50);
      }
    } else if (key == u"COMMIT") {
      commit = value == u"TRUE";
    }
  }
  return false;
}

QStringList readRefreshFile(const QString& path) {
  QString text = readTextFile(path).text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  QStringList lines = text.split(u'\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the end of the last line
  return lines;
}

QString refreshFileHelp() {
  return QStringList{QString(),
                     QStringLiteral("STRUCTURE OF RFS SCRIPT FILE:"),
                     QString(),
                     QString(),
                     QStringLiteral("#comment"),
                     QStringLiteral("OWNERS=                   Source Owner Name"),
                     QStringLiteral("TABLES=                      Source Table Name"),
                     QStringLiteral("DBLD=                          Destination Database Link"),
                     QStringLiteral("OWNERD=                   Destination Owner Name"),
                     QStringLiteral("TABLED=                      Destination Table Name"),
                     QStringLiteral("FIELDS=field1,field2...   Fields Checked for Update  "),
                     QStringLiteral("UPDATE=                     True,False (default False)"),
                     QStringLiteral("DELETE=                      True,False (default False)"),
                     QStringLiteral("UNIQUE= field1 type1,... unique key structure"),
                     QStringLiteral("SEQUENCE=field_name,sequence_name"),
                     QStringLiteral("COMMIT=                     True,False  - Commit After Successful "),
                     QStringLiteral("                                                           Execution"),
                     QString(),
                     QStringLiteral("#next table"),
                     QStringLiteral("."),
                     QStringLiteral("."),
                     QStringLiteral("."),
                     QString(),
                     QStringLiteral("#                                     Obligatory at the End of File")}
      .join(u'\n');
}

namespace {

QStringList firstColumn(db::Query& query) {
  QStringList values;
  query.execute();
  for (; !query.eof(); query.next()) values << query.field(0).asString();
  return values;
}

// The dictionary text read through the link (upper-cased), when one is given; a text that is no
// link name is refused (std::invalid_argument).
QString viaLink(const QStringList& lines, const QString& link) {
  return overLink(lines.join(u'\n'), link.trimmed().toUpper());
}

}  // namespace

QStringList readRefreshUsers(db::Session& session, const QString& link) {
  db::Query query(&session);
  query.setSql(viaLink(kUsers, link));
  return firstColumn(query);
}

QStringList readRefreshTables(db::Session& session, const QString& owner, const QString& link) {
  db::Query query(&session);
  query.setSql(viaLink(kTables, link));
  query.declareVariable("upor", db::DataType::String);
  query.setVariable("upor", owner.toUpper());
  return firstColumn(query);
}

std::vector<RefreshColumn> readRefreshColumns(db::Session& session, const QString& owner, const QString& table) {
  db::Query query(&session);
  query.setSql(kColumns);
  query.declareVariable("upor", db::DataType::String);
  query.declareVariable("tabela", db::DataType::String);
  query.setVariable("upor", owner.toUpper());
  query.setVariable("tabela", table.toUpper());
  std::vector<RefreshColumn> columns;
  for (query.execute(); !query.eof(); query.next())
    columns.push_back({query.field(0).asString(), query.field(1).asString(), false});
  return columns;
}

QStringList readRefreshKey(db::Session& session, const QString& owner, const QString& table) {
  db::Query query(&session);
  query.setSql(kKeyColumns);
  query.declareVariable("upor", db::DataType::String);
  query.declareVariable("tabela", db::DataType::String);
  query.setVariable("upor", owner.toUpper());
  query.setVariable("tabela", table.toUpper());
  QStringList keys;
  for (query.execute(); !query.eof(); query.next())
    keys << query.field(0).asString() + u' ' + query.field(1).asString();
  return keys;
}

QStringList readRefreshLinks(db::Session& session) {
  db::Query query(&session);
  query.setSql(kLinks);
  QStringList links;
  for (const QString& link : firstColumn(query)) links << link.section(u'.', 0, 0);
  return links;
}

QStringList readRefreshSequences(db::Session& session, const QString& owner, const QString& pattern) {
  db::Query query(&session);
  query.setSql(kSequences);
  query.declareVariable("upor", db::DataType::String);
  query.declareVariable("ime", db::DataType::String);
  query.setVariable("upor", owner);
  query.setVariable("ime", pattern);
  return firstColumn(query);
}

QString readRefreshPipe(db::Session& session) {
  db::Query query(&session);
  query.setSql(kReadPipe);
  query.declareVariable("outniz", db::DataType::String);
  query.execute();
  return query.getVariable("outniz").toString();
}

void loadRefreshColumns(db::Session& session, RefreshDefinition& d) {
  d.columns = readRefreshColumns(session, d.sourceUser, d.sourceTable);
  if (d.columns.empty()) return;
  d.keys = readRefreshKey(session, d.sourceUser, d.sourceTable);
}

}  // namespace nuvo::schema
