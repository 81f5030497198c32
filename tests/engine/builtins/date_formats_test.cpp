// Date format models of TO_CHAR and TO_DATE. The session clock reads 2026-03-15 10:20:30.
#include "sql_fixture.h"

namespace engine::builtins::test {
namespace {

using DateFormats = SqlFixture;

// 2026-03-05 was a Thursday, day 64 of the year, in ISO week 10.
constexpr const char* kDate = "'2026-03-05 14:07:09'";

std::string toChar(const char* format) { return std::string("ora_to_char_date(") + kDate + ", '" + format + "')"; }

TEST_F(DateFormats, ToCharPrintsEveryElement) {
  struct FormatCase {
    const char* format;
    const char* expected;
  };
  const FormatCase cases[] = {
      {"YYYY-MM-DD HH24:MI:SS", "2026-03-05 14:07:09"},
      {"DD-MON-RR", "05-MAR-26"},
      {"DD-Mon-YYYY", "05-Mar-2026"},
      {"dd-mon-yy", "05-mar-26"},
      {"YYY Y", "026 6"},
      {"Month", "March    "},
      {"MONTH", "MARCH    "},
      {"FMMonth DD, YYYY", "March 5, 2026"},
      {"Day", "Thursday "},
      {"FMDay", "Thursday"},
      {"DY dy Dy", "THU thu Thu"},
      {"D DDD", "5 064"},
      {"FMDDD", "64"},
      {"J", "2461105"},
      {"HH:MI AM", "02:07 PM"},
      {"HH12 a.m.", "02 p.m."},
      {"hh24:mi", "14:07"},
      {"SSSSS", "50829"},
      {"Q WW IW W", "1 10 10 1"},
      {"\"Quarter \"Q", "Quarter 1"},
      {"YYYY/MM/DD;", "2026/03/05;"},
      {"RM", "III "},
      {"CC", "21"},
      {"DDTH \"of\" FMMonth", "05TH of March"},
      {"FMddth", "5th"},
      {"YYYY AD", "2026 AD"},
      {"YYYY b.c.", "2026 a.d."},
  };
  for (const auto& c : cases) EXPECT_EQ(eval(toChar(c.format)), c.expected) << c.format;
}

TEST_F(DateFormats, ToCharEdgesAndErrors) {
  check({
      {"ora_to_char_date('2026-03-01 00:00:00', 'FMDDth')", "1st"},
      {"ora_to_char_date('2026-03-02 00:00:00', 'FMDDth')", "2nd"},
      {"ora_to_char_date('2026-03-03 00:00:00', 'FMDDth')", "3rd"},
      {"ora_to_char_date('2026-03-11 00:00:00', 'FMDDth')", "11th"},
      {"ora_to_char_date('2026-03-13 00:00:00', 'FMDDth')", "13th"},
      {"ora_to_char_date('2026-03-22 00:00:00', 'FMDDth')", "22nd"},
      {"ora_to_char_date('2026-03-05 00:05:00', 'HH:MI AM')", "12:05 AM"},
      {"ora_to_char_date('2026-03-05 12:00:00', 'HH12 PM')", "12 PM"},
      {"ora_to_char_date('0099-01-01 00:00:00', 'YYYY')", "0099"},
      {"ora_to_char_date('0099-01-01 00:00:00', 'FMYYYY')", "99"},
      {"ora_to_char_date('2026-03-05 14:07:09', 'YYYY-XX')", "ORA-01821: date format not recognized"},
      {"ora_to_char_date('2026-03-05 14:07:09', '\"open')", "ORA-01821"},
      {"ora_to_char_date('2026-03-05 14:07:09')", "05-MAR-26"},
  });
}

TEST_F(DateFormats, ToCharWithoutAFormatFollowsTheSessionsDateFormat) {
  context_.nlsDateFormat = "YYYY-MM-DD HH24:MI";
  check({
      {"ora_to_char_date('2026-03-05 14:07:09')", "2026-03-05 14:07"},
      {"ora_to_date('2026-03-05 14:07')", "2026-03-05 14:07:00"},
      {"ora_text_to_date('2026-03-05 14:07')", "2026-03-05 14:07:00"},
  });
}

TEST_F(DateFormats, ToDateReadsTextByTheModel) {
  check({
      {"ora_to_date('2026-03-05', 'YYYY-MM-DD')", "2026-03-05 00:00:00"},
      {"ora_to_date('2026-03-05 14:07:09', 'YYYY-MM-DD HH24:MI:SS')", "2026-03-05 14:07:09"},
      {"ora_to_date('05-MAR-26')", "2026-03-05 00:00:00"},
      {"ora_to_date('05-mar-2026')", "2026-03-05 00:00:00"},
      {"ora_to_date('05-March-26', 'DD-MON-RR')", "2026-03-05 00:00:00"},
      {"ora_to_date('05-Mar-2026', 'dd-mon-yyyy')", "2026-03-05 00:00:00"},
      {"ora_to_date('2026-JAN-01', 'YYYY-MM-DD')", "2026-01-01 00:00:00"},
      {"ora_to_date('10:30 PM', 'HH:MI AM')", "2026-03-01 22:30:00"},
      {"ora_to_date('12:15 AM', 'HH:MI AM')", "2026-03-01 00:15:00"},
      {"ora_to_date('2461105', 'J')", "2026-03-05 00:00:00"},
      {"ora_to_date('VIII.2026', 'RM.YYYY')", "2026-08-01 00:00:00"},
      {"ora_to_date('21st March 2026 AD', 'DDth Month YYYY AD')", "2026-03-21 00:00:00"},
      {"ora_to_date('21 March 2026 BC', 'DD Month YYYY BC')", "ORA-01841"},
      {"ora_to_date('XIII.2026', 'RM.YYYY')", "ORA-01843"},
      {"ora_to_date('065 2026', 'DDD YYYY')", "2026-03-06 00:00:00"},
      {"ora_to_date('50829', 'SSSSS')", "2026-03-01 14:07:09"},
      {"ora_to_date('Quarter 2026', '\"Quarter\" YYYY')", "2026-03-01 00:00:00"},
      {"ora_to_date('05-MAR-2026', 'DD-MON-YYYY', 'NLS_DATE_LANGUAGE=AMERICAN')", "2026-03-05 00:00:00"},
  });
}

TEST_F(DateFormats, RrPutsTwoDigitYearsNearTheCurrentYearAndYyInTheCurrentCentury) {
  check({
      {"ora_to_date('01-JAN-49')", "2049-01-01 00:00:00"},
      {"ora_to_date('01-JAN-50')", "1950-01-01 00:00:00"},
      {"ora_to_date('01-JAN-99', 'DD-MON-RRRR')", "1999-01-01 00:00:00"},
      {"ora_to_date('01-01-99', 'DD-MM-YY')", "2099-01-01 00:00:00"},
      {"ora_to_date('01-01-2020', 'DD-MM-YY')", "2020-01-01 00:00:00"},
  });
}

TEST_F(DateFormats, WithoutFxPunctuationIsLooseAndMayBeLeftOut) {
  check({
      {"ora_to_date('2026/03/05', 'YYYY-MM-DD')", "2026-03-05 00:00:00"},
      {"ora_to_date('20260305', 'YYYYMMDD')", "2026-03-05 00:00:00"},
      {"ora_to_date('2026-3-5', 'YYYY-MM-DD')", "2026-03-05 00:00:00"},
      {"ora_to_date('2026-01-05', 'YYYY-MM-DD HH24:MI:SS')", "2026-01-05 00:00:00"},
      {"ora_to_date('10AUGUST2016', 'DD-MM-RR')", "2016-08-10 00:00:00"},
      {"ora_to_date('10AUG2016', 'DD-MON-RR')", "2016-08-10 00:00:00"},
      {"ora_to_date('1989-12-09', 'DD-MON-RR')", "ORA-01861"},
      {"ora_to_date('2026-3-5', 'FXYYYY-MM-DD')", "ORA-01862"},
      {"ora_to_date('10-AUGUST-2016', 'FXDD-MM-RR')", "ORA-01858"},
      {"ora_to_date('2026/03/05', 'FXYYYY-MM-DD')", "ORA-01861"},
      {"ora_to_date('2026-03-05', 'FXYYYY-MM-DD')", "2026-03-05 00:00:00"},
  });
}

TEST_F(DateFormats, ToDateRaisesOraclesErrors) {
  check({
      {"ora_to_date('2026-13-01', 'YYYY-MM-DD')", "ORA-01843: not a valid month"},
      {"ora_to_date('01-XYZ-2026', 'DD-MON-YYYY')", "ORA-01843"},
      {"ora_to_date('2026-01-32', 'YYYY-MM-DD')", "ORA-01847: day of month must be between 1 and last day of month"},
      {"ora_to_date('2026-02-30', 'YYYY-MM-DD')", "ORA-01839: date not valid for month specified"},
      {"ora_to_date('25:00', 'HH24:MI')", "ORA-01850: hour must be between 0 and 23"},
      {"ora_to_date('13:00', 'HH:MI')", "ORA-01849"},
      {"ora_to_date('10:60', 'HH24:MI')", "ORA-01851: minutes must be between 0 and 59"},
      {"ora_to_date('10:10:61', 'HH24:MI:SS')", "ORA-01852: seconds must be between 0 and 59"},
      {"ora_to_date('2026-01-01 extra', 'YYYY-MM-DD')",
       "ORA-01830: date format picture ends before converting entire input string"},
      {"ora_to_date('x2026', 'YYYY')",
       "ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"ora_to_date('ABC', 'DD-MON-YYYY')", "ORA-01858"},
      {"ora_to_date('0000-01-01', 'YYYY-MM-DD')", "ORA-01841"},
      {"ora_to_date('1 2026', 'Q YYYY')", "ORA-01820"},
      {"ora_to_date('10:00 XM', 'HH:MI AM')", "ORA-01855"},
      {"ora_to_date('2026-03-05', 'YYYY-MM-DD-XX')", "ORA-01821"},
  });
}

}  // namespace
}  // namespace engine::builtins::test
