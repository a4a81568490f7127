// Explains, line by line, what the driver makes of a station file: the same code as the
// driver's reads each line and decides on it.
#pragma once

#include <iosfwd>
#include <string>

namespace zeloe::cli {

// Prints one verdict per line read; returns the number of lines with a problem, or -1 when the
// file cannot be opened (the driver would report it as not found).
int CheckStationFile(const std::string& path, std::ostream& out);

// Dotted IPv4 text as the driver accepts it for a connection.
bool IsControllerAddress(const std::string& text);

}  // namespace zeloe::cli
