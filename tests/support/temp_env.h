#pragma once
#include <string>

namespace nuvo::test {

// Creates a fresh temporary directory with home/ and data/ below it and points NUVO_SQL_HOME and
// NUVO_SQL_DATA there. Called once by the test mains; removeTempEnvironment() deletes it again.
void setUpTempEnvironment();
void removeTempEnvironment();

// The temporary root made by setUpTempEnvironment().
const std::string& tempRoot();

// A new, empty directory below the temporary root, for one test's own files.
std::string makeTempDir(const std::string& prefix);

}  // namespace nuvo::test
