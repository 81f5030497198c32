#include "sqlwork/worksheet_logic.h"

namespace nuvo::sqlwork {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Drops leading blanks and CR LF pairs, counting the lines and the blanks of the line reached.
void skipLeadingBlanks(const QString& text, qsizetype& at, int& lines, int& columns) {
  while (at < text.size()) {
    if (text[at] == u' ') {
      ++at;
      ++columns;
    } else if (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
      at += 2;
      ++lines;
      columns = 0;
    } else {
      break;
    }
  }
}

int nextSlot(int slot) { return slot >= HistoryRing::kSlots ? 1 : slot + 1; }

bool containsCi(const QString& text, const char* part) { return text.contains(QLatin1String(part), Qt::CaseInsensitive); }

}  // namespace

StrippedStatement stripLeadingComments(const QString& text) {
  StrippedStatement result;
  qsizetype at = 0;
  int lines = 0;
  int columns = 0;
  skipLeadingBlanks(text, at, lines, columns);
  while (text.mid(at, 2) == u"--") {
    // The comment line goes with its line end (CR LF, or a lone LF from generated text); a last line
    // without one leaves nothing.
    const qsizetype lf = text.indexOf(u'\n', at);
    if (lf < 0) {
      at = text.size();
      break;
    }
    at = lf + 1;
    ++lines;
    columns = 0;
    skipLeadingBlanks(text, at, lines, columns);
  }
  result.text = text.mid(at);
  result.skippedLines = lines;
  result.skippedColumns = columns;
  return result;
}

ErrorPlace editorErrorPlace(const StrippedStatement& statement, int line, int position) {
  if (line == 0 && position == 0) return {};
  if (line <= 1) return {1 + statement.skippedLines, position + statement.skippedColumns};
  return {line + statement.skippedLines, position};
}

StatementKind classifyStatement(const QString& statement) {
  StatementKind kind;
  kind.desc = statement.left(4).toUpper() == u"DESC";
  const QString first = statement.left(6).toUpper();
  kind.select = first == u"SELECT";
  kind.update = first == u"UPDATE";
  kind.remove = first == u"DELETE";
  kind.insert = first == u"INSERT";
  return kind;
}

DescQuery buildDescQuery(const QString& statement) {
  // The name starts at the sixth character, so "DESCRIBE x" names "IBE X", as it always has.
  QString name = statement.mid(5, 200);
  while (!name.isEmpty() && name[0].isSpace()) name.remove(0, 1);
  name = name.toUpper();
  const qsizetype crLf = name.indexOf(kCrLf);
  if (crLf >= 0) name.truncate(crLf);
  DescQuery query;
  const qsizetype dot = name.indexOf(u'.');
  QString condition;
  if (dot >= 0) {
    query.owner = name.left(dot);
    query.table = name.mid(dot + 1);
    condition = QStringLiteral("owner=:owner and table_name=:tabela");
  } else {
    query.table = name;
    condition = QStringLiteral("owner=user and table_name=:tabela");
  }
  query.sql = {QStringLiteral("select substr(column_name,1,20) column_name,substr(data_type,1,20) data_type,"
                              "decode(data_type,'NUMBER',data_precision,data_length) data_length,"
                              "decode(data_type,'NUMBER',data_scale,null) data_precision,nullable,data_default "),
               QStringLiteral(" from all_tab_columns "),
               QStringLiteral("where ") + condition + QStringLiteral(" order by column_id")};
  return query;
}

QStringList formatErrorPane(const QStringList& editorLines, int line, int position, const QString& message) {
  QStringList pane;
  if (line != 0 || position != 0) {
    for (int i = 0; i < editorLines.size(); ++i) {
      pane << editorLines[i];
      if (i + 1 != line) continue;
      const QString& text = editorLines[i];
      int stars = 0;
      if (position >= 1 && position <= text.size()) {
        const QString scanned = text.mid(position - 1, 1000);
        static const QString delimiters = QStringLiteral(" ,()+-/*\r\n");
        qsizetype k = 0;
        while (k < scanned.size() && !delimiters.contains(scanned[k])) ++k;
        stars = static_cast<int>(qMin<qsizetype>(k, 19));
      }
      pane << QString(qMax(0, position - 1), u' ') + QString(stars, u'*');
    }
    pane << QString();
  }
  const QStringList pieces = message.split(u'\n');
  for (int i = 0; i + 1 < pieces.size(); ++i) pane << pieces[i];
  pane << QString();
  if (!pieces.last().isEmpty()) pane << pieces.last();
  return pane;
}

QString formatElapsed(qint64 milliseconds, bool withMilliseconds) {
  const qint64 hours = milliseconds / 3600000;
  const qint64 minutes = milliseconds / 60000 % 60;
  const qint64 seconds = milliseconds / 1000 % 60;
  const qint64 ms = milliseconds % 1000;
  auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
  QString text;
  if (hours != 0) text += two(hours) + u':';
  if (minutes != 0 || hours != 0) text += two(minutes) + u':';
  text += two(seconds);
  if (withMilliseconds) text += u':' + two(ms);
  return text;
}

QStringList compileErrorLines(const QList<CompileError>& rows) {
  QStringList lines;
  if (rows.isEmpty()) return lines;
  const QString object = rows.first().object;
  for (const CompileError& row : rows) {
    if (row.object != object) break;
    lines << QStringLiteral("%1/%2").arg(row.line).arg(row.position) << row.text;
  }
  return lines;
}

bool isVersion7Query(const QString& version) { return !(version > u"7" || version.size() > 1); }

int outputCharset(bool unicode, const QString& charset) {
  if (unicode) {
    if (charset == u"EUROPEAN") return 238;
    if (charset == u"RUSSIAN") return 204;
    if (charset == u"OEM") return 255;
  }
  return 238;
}

// ---------------------------------------------------------------------------------------------

QbeQuery qbeQuery(const QString& query, const QList<QbeCondition>& conditions) {
  QbeQuery result;
  QStringList where;
  for (const QbeCondition& c : conditions) {
    QString value = c.value.trimmed();
    if (value.isEmpty()) continue;
    QString column = c.column;
    column.replace(u'"', QStringLiteral("\"\""));
    column = u'"' + column + u'"';
    if (value.compare(u"NULL", Qt::CaseInsensitive) == 0) {
      where << column + QStringLiteral(" is null");
      continue;
    }
    QString op = QStringLiteral("=");
    for (const char* candidate : {"<>", "!=", "<=", ">=", "<", ">", "="}) {
      if (value.startsWith(QLatin1String(candidate))) {
        op = QLatin1String(candidate);
        value = value.mid(op.size()).trimmed();
        break;
      }
    }
    if (op == u"=" && (value.contains(u'%') || value.contains(u'_'))) op = QStringLiteral(" like ");
    result.values << value;
    where << column + op + QStringLiteral(":qbe%1").arg(result.values.size());
  }
  QString inner = query;
  while (!inner.isEmpty() && (inner.back().isSpace() || inner.back() == u';')) inner.chop(1);
  result.sql = where.isEmpty() ? inner
                               : QStringLiteral("select * from (\n") + inner + QStringLiteral("\n) where ") +
                                     where.join(QStringLiteral(" and "));
  return result;
}

// ---------------------------------------------------------------------------------------------

void HistoryRing::clear() {
  slots_.fill(QString());
  last_ = 0;
  shown_ = 0;
}

void HistoryRing::record(const QString& text) {
  if (last_ != 0 && slot(last_) == text) return;
  last_ = nextSlot(last_);
  setSlot(last_, text);
  shown_ = last_;
}

std::optional<QString> HistoryRing::moveTo(int target) {
  if (slot(target).isEmpty()) return std::nullopt;
  shown_ = target;
  return slot(target);
}

std::optional<QString> HistoryRing::previous() { return moveTo(shown_ <= 1 ? kSlots : shown_ - 1); }

std::optional<QString> HistoryRing::next() { return moveTo(nextSlot(shown_)); }

std::optional<int> historyPointer(const QString& text) {
  if (text.isEmpty()) return 0;
  bool ok = false;
  QString digits = text.left(3);
  while (!digits.isEmpty() && digits.back().isSpace()) digits.chop(1);
  const int value = digits.toInt(&ok);
  if (!ok || value < 0 || value > HistoryRing::kSlots) return std::nullopt;
  return value;
}

std::optional<int> repairedHistoryPointer(const QList<HistoryRow>& ringRows) {
  int lastFilled = 0;
  for (const HistoryRow& row : ringRows) {
    if (row.text.isEmpty()) return lastFilled;
    lastFilled = row.slot;
  }
  return std::nullopt;
}

void loadHistoryRows(HistoryRing& ring, int pointer, const QList<HistoryRow>& ringRows) {
  // Oldest first: the slots after the pointer, then those up to it.
  QList<const HistoryRow*> ordered;
  for (const HistoryRow& row : ringRows)
    if (row.slot > pointer && row.slot <= HistoryRing::kSlots && !row.text.isEmpty()) ordered << &row;
  for (const HistoryRow& row : ringRows)
    if (row.slot >= 1 && row.slot <= pointer && !row.text.isEmpty()) ordered << &row;
  int slot = HistoryRing::kSlots - static_cast<int>(ordered.size());
  for (const HistoryRow* row : ordered) ring.setSlot(++slot, row->text);
}

QString historyListText(const QString& statement) {
  const qsizetype lf = statement.indexOf(u'\n');
  if (lf < 0) return statement;
  QString first = statement.left(lf);
  if (first.endsWith(u'\r')) first.chop(1);
  return first + QStringLiteral("  ...");
}

// ---------------------------------------------------------------------------------------------

QString callBlock(const QString& object, const QList<CallArgument>& arguments, bool withGrid, const QString& newLine) {
  QString declarations;
  QString list;
  bool function = false;
  bool wrapped = false;
  const QString indent = QString(8, u' ');
  for (const CallArgument& a : arguments) {
    const bool isChar = containsCi(a.dataType, "CHAR");
    if (a.name.isEmpty()) {
      if (withGrid) {
        function = true;
        wrapped = !isChar;
      }
      continue;
    }
    const bool out = containsCi(a.inOut, "OUT");
    if (out) {
      if (declarations.isEmpty()) declarations = QStringLiteral("DECLARE ") + newLine;
      QString declaration;
      if (a.dataType.compare(u"VARCHAR2", Qt::CaseInsensitive) == 0)
        declaration = QStringLiteral("VARCHAR2(200):='") + a.value + QStringLiteral("' ");
      else if (a.dataType.compare(u"CHAR", Qt::CaseInsensitive) == 0)
        declaration = a.dataType + QStringLiteral(" :='") + a.value + u'\'';
      else
        declaration = a.dataType + QStringLiteral(" :=") + (a.value.isEmpty() ? QStringLiteral("0") : a.value);
      declarations += QStringLiteral("  ") + a.name + u' ' + declaration + u';' + newLine;
    }
    if (!withGrid) continue;
    QString value;
    if (out)
      value = a.name;
    else if (isChar)
      value = u'\'' + a.value + u'\'';
    else if (containsCi(a.dataType, "NUMBER") && a.value.isEmpty())
      value = QStringLiteral("NULL");
    else if (containsCi(a.dataType, "DATE"))
      value = QStringLiteral("to_date('") + a.value + QStringLiteral("','DD.MM.YYYY')");
    else
      value = a.value;
    list += (list.isEmpty() ? newLine : u',' + newLine) + indent + a.name + QStringLiteral("=> ") + value;
  }
  QString block = QStringLiteral("-- ") + object + newLine + declarations + QStringLiteral("begin ") + newLine +
                  QStringLiteral("  ");
  if (function)
    block += QStringLiteral("dbms_output.put_line( ") + (wrapped ? QStringLiteral("to_char(") : QString()) + object +
             u'(' + list + QStringLiteral("  )") + u')' + (wrapped ? QStringLiteral(")") : QString()) + u';';
  else
    block += object + (withGrid ? u'(' + list + u')' : QStringLiteral("()")) + u';';
  return block + newLine + QStringLiteral("end;");
}

QString selectStatement(const QString& owner, const QString& table, const QList<SelectColumn>& columns, bool live) {
  QString where;
  QStringList lines;
  QString line;
  for (const SelectColumn& c : columns) {
    const QString& f = c.filter;
    if (!f.isEmpty()) {
      const bool hasOperator = f.contains(u'>') || f.contains(u'<') || f.contains(u'=');
      const QString op = hasOperator ? QString() : (f.contains(u'%') ? QStringLiteral(" like ") : QStringLiteral("="));
      QString condition;
      if (containsCi(c.dataType, "CHAR"))
        condition = hasOperator ? c.name + f : c.name + op + u'\'' + f + u'\'';
      else if (containsCi(c.dataType, "DATE"))
        condition = QStringLiteral("to_char(") + c.name + QStringLiteral(",'DD.MM.YYYY')") + op + u'\'' + f + u'\'';
      else
        condition = c.name + op + f;
      where += (where.isEmpty() ? QStringLiteral("where ") : QStringLiteral(" and ")) + condition;
    }
    if (!c.shown) continue;
    const QString item = (live ? QStringLiteral("xxx.") : QString()) + c.name.trimmed().toLower();
    const QString joined = line.isEmpty() ? item : line + u',' + item;
    if (!line.isEmpty() && joined.size() > 90) {
      lines << line + u',';
      line = item;
    } else {
      line = joined;
    }
  }
  if (!line.isEmpty()) lines << line;
  if (live) {
    if (lines.isEmpty())
      lines << QStringLiteral("xxx.*,rowid");
    else
      lines.last() += QStringLiteral(",rowid");
  } else if (lines.isEmpty()) {
    lines << QStringLiteral("*");
  }
  QString text = QStringLiteral("select ") + lines.join(QStringLiteral("\n")) + QStringLiteral("\n from ") + owner +
                 u'.' + table + (live ? QStringLiteral(" xxx") : QString());
  if (!where.isEmpty()) text += u'\n' + where;
  return text;
}

std::optional<QStringList> convertDelphiString(const QString& text) {
  static const QString crLf = QStringLiteral("#$D#$A");
  static const QString lf = QStringLiteral("#$A");
  if (!text.contains(crLf)) return std::nullopt;
  QStringList lines;
  QString rest = text;
  while (true) {
    const qsizetype a = rest.indexOf(crLf);
    const qsizetype b = rest.indexOf(lf);
    if (a < 0 && b < 0) break;
    // #$A inside #$D#$A is found at a + 3; the earlier marker wins.
    const bool isCrLf = a >= 0 && (b < 0 || a <= b);
    const qsizetype at = isCrLf ? a : b;
    // The piece without its quotes: from the second character to the one before the closing quote.
    lines << (at >= 2 ? rest.mid(1, at - 2) : QString());
    rest = rest.mid(at + (isCrLf ? crLf.size() : lf.size()));
  }
  while (!rest.isEmpty() && rest.back().isSpace()) rest.chop(1);
  if (rest.startsWith(u'\'')) {
    rest.remove(0, 1);
    if (rest.endsWith(u'\'')) rest.chop(1);
  }
  lines << rest;
  return lines;
}

QStringList gridAsText(const QStringList& labels, const QList<QStringList>& rows, const QString& separator) {
  QStringList text{QStringLiteral(">>>")};
  QString header;
  for (const QString& label : labels) header += label + QStringLiteral("   ");
  text << header << QString(80, u'-');
  for (const QStringList& row : rows) text << row.join(separator);
  return text;
}

// ---------------------------------------------------------------------------------------------

bool MacroKeys::keyPress(QChar key, qint64 now, QString& inserted) {
  if (!isMacroKey(key)) {
    if (pending()) inserted += lastKey_;
    lastKey_ = QChar();
    macroDone_ = false;
    return false;
  }
  if (!pending()) {
    since_ = now;
    macroDone_ = false;
  } else if (lastKey_ != key) {
    // Another macro key: the pending one was only typed; the new one's first repeat expands it.
    inserted += lastKey_;
    since_ = now - kHoldMs - 1;
    macroDone_ = false;
  } else if (!macroDone_ && now - since_ > kHoldMs) {
    inserted += macros_.value(static_cast<int>(keys_.indexOf(key)));
    macroDone_ = true;
  }
  lastKey_ = key;
  return true;
}

void MacroKeys::keyRelease(QString& inserted) {
  if (pending() && !macroDone_) inserted += lastKey_;
  lastKey_ = QChar();
  macroDone_ = false;
}

QString explainStatementId(int sid, int serial) {
  return QStringLiteral("WS%1_%2").arg(sid < 0 ? QStringLiteral("X") : QString::number(sid)).arg(serial);
}

QString explainStatement(const QString& statementId, const QStringList& editorLines) {
  QString text = QStringLiteral("EXPLAIN PLAN SET STATEMENT_ID = '%1' INTO NUVO_UTIL.NUVO_PLAN_TABLE FOR ").arg(statementId);
  for (const QString& line : editorLines) text += u' ' + line;
  return text;
}

}  // namespace nuvo::sqlwork
