// Explains, line by line, what the driver makes of a station file.
#pragma once

#include <iosfwd>
#include <string>

namespace zeloe::cli {

// Prints one verdict per line read; returns the number of lines with a problem.
int CheckStationFile(const std::string& path, std::ostream& out);

// Dotted IPv4 text as the driver accepts it for a connection.
bool IsControllerAddress(const std::string& text);

}  // namespace zeloe::cli
