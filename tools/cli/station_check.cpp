#include "station_check.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "link/ipv4_text.h"
#include "link/station_line.h"

namespace zeloe::cli {

bool IsControllerAddress(const std::string& text) {
    uint32_t address = 0;
    return text.size() < kAddressSlotSize && ParseControllerAddress(text.c_str(), address);
}

int CheckStationFile(const std::string& path, std::ostream& out) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        out << path
            << ": a directory; the driver reports \"Init File ... not found\" and "
               "connects nothing\n";
        return -1;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out << path
            << ": cannot be opened; the driver reports \"Init File ... not found\" and "
               "connects nothing\n";
        return -1;
    }
    // The driver's own reader and its limits, over the bytes of the file.
    StationFileBytes nextByte([&file] {
        const int byte = file.get();
        return byte == std::char_traits<char>::eof() ? -1 : byte & 0xFF;
    });

    int problems = 0;
    for (int lineNumber = 1; lineNumber <= kMaxStationLines; ++lineNumber) {
        char line[kStationLineSize] = {};
        const StationLine read = ReadStationLine(nextByte, line);
        if (read == StationLine::kEnd) {
            // The reader leaves the kept characters of a short last line without line end.
            if (line[0] != 0) {
                out << "line " << lineNumber << ": last line without LF and only "
                    << std::char_traits<char>::length(line) << " characters: the driver drops it\n";
                ++problems;
            }
            break;
        }
        out << "line " << lineNumber << ": ";
        if (read == StationLine::kOverlong) {
            out << "longer than " << kMaxStationLineBytes
                << " bytes: refused as an illegal line, skipped\n";
            ++problems;
            continue;
        }
        if (line[0] == 0) {
            out << "empty: the list ends here; the driver reads no further line\n";
            break;
        }
        const StationEntry entry = DecodeStationLine(line);
        out << "\"" << line << "\" -> ";
        switch (entry.verdict) {
            case StationEntry::kIllegalStation:
                out << "station number " << entry.station
                    << " is illegal (valid 1..255): line skipped\n";
                ++problems;
                break;
            case StationEntry::kAddressTooLong:
                out << "an address of 16 or more characters cannot be an IPv4 address: line "
                       "skipped\n";
                ++problems;
                break;
            case StationEntry::kAccepted:
                if (!IsControllerAddress(entry.address)) {
                    out << "station " << entry.station << ", address \"" << entry.address
                        << "\" is not a dotted IPv4 address: the driver will not connect it\n";
                    ++problems;
                } else {
                    out << "station " << entry.station << " at " << entry.address;
                    if (line[0] < '0' || line[0] > '9' || line[1] < '0' || line[1] > '9' ||
                        line[2] < '0' || line[2] > '9')
                        out << " (the first three characters are not all digits!)";
                    out << "\n";
                }
                break;
        }
        if (lineNumber == kMaxStationLines && nextByte() >= 0)
            out << "the driver reads no more than " << kMaxStationLines
                << " lines: the rest is ignored\n";
    }
    return problems;
}

}  // namespace zeloe::cli
