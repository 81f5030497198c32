#pragma once
// The repeat intervals of scheduler jobs (packages/schedule.cpp).

#include <string>

namespace engine::storage {
class SessionImpl;
}

namespace engine::plsql {

// ORA-27465 unless `interval` is empty, a calendar expression or a PL/SQL date expression.
void checkRepeatInterval(storage::SessionImpl& session, const std::string& interval);
// The next run (ISO) after `after` (ISO): by the calendar, counting from `start`, or the expression's
// value; empty when there is none.
std::string nextRunDate(storage::SessionImpl& session, const std::string& interval, const std::string& start,
                        const std::string& after);

}  // namespace engine::plsql
