#pragma once
// Oracle-style ROWIDs: 18 characters of the base-64 alphabet A-Z a-z 0-9 + /, carrying the table's
// object id (6 characters) and the row's SQLite rowid (12 characters). Opaque to users; they round-trip.

#include <cstdint>
#include <string>

namespace engine::storage {

std::string encodeRowid(std::int64_t objectId, std::int64_t rowid);
// False when the text is no ROWID.
bool decodeRowid(const char* text, std::int64_t& objectId, std::int64_t& rowid);

}  // namespace engine::storage
