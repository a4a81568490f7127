// zeloe: a command-line host for the zeloe driver. It loads the driver library, keeps the
// instance block, prints the driver's messages and reads, writes and polls gates.
//
// Exit codes: the driver's result (0 ok, 1 refused or error reply, 2 no connection or no
// reply), 3 for a problem of the command line or the set-up, 0 for --help.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "gate/address.h"
#include "gate_list.h"
#include "host/codes.h"
#include "host/instance_block.h"
#include "host_session.h"
#include "station_check.h"
#include "tap.h"
#include "values.h"

namespace zeloe::cli {
namespace {

constexpr int kSetupFailed = 3;
std::atomic<bool> gStop{false};

void OnSignal(int) {
    gStop = true;
}

// Code page 437 box and shade characters of the banner, as UTF-8.
std::string Cp437ToUtf8(const char* text) {
    struct Glyph {
        unsigned char code;
        const char* utf8;
    };
    static const Glyph kGlyphs[] = {
        {176, "\u2591"}, {177, "\u2592"}, {178, "\u2593"}, {179, "\u2502"}, {191, "\u2510"},
        {192, "\u2514"}, {196, "\u2500"}, {217, "\u2518"}, {218, "\u250C"}, {219, "\u2588"},
    };
    std::string out;
    for (const char* p = text; *p != 0; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 128) {
            out += static_cast<char>(c);
            continue;
        }
        const char* glyph = "?";
        for (const auto& g : kGlyphs)
            if (g.code == c) glyph = g.utf8;
        out += glyph;
    }
    return out;
}

bool IsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

const char* ResultText(int32_t result) {
    switch (result) {
        case kOk:
            return "ok";
        case kRefused:
            return "refused or error reply";
        case kNoReply:
            return "no connection or no reply";
        default:
            return "?";
    }
}

int Report(int32_t result) {
    std::printf("result %d (%s)\n", result, ResultText(result));
    return result;
}

std::string ValueOrFailure(int32_t result, int32_t hostType, const ValueBuffer& value) {
    return result == kOk ? FormatValue(hostType, value) : std::string("-- ") + ResultText(result);
}

// The station of an access: --station, else the address's three digits, by the driver's rule.
std::optional<int32_t> StationFor(const std::string& address, int32_t given) {
    if (given >= 0) return given;
    const int station = StationOfAddress(address.c_str());
    if (station < 1 || station >= kStationCount) return std::nullopt;
    return station;
}

struct GateOptions {
    std::string address;
    int32_t hostType = -1;
    int32_t station = -1;

    int32_t Type() const {
        if (hostType >= 0) return hostType;
        return HostTypeForAddress(address).value_or(-1);
    }
};

void AddGateOptions(CLI::App* command, GateOptions& gate) {
    command->add_option("address", gate.address, "gate address, e.g. 001CSPEED")->required();
    command->add_option("-t,--type", gate.hostType,
                        "host data type (0 status, 3 float, 4 integer, 6 on/off, 7 text); "
                        "default: the one the type letter pairs with");
    command->add_option("-s,--station", gate.station,
                        "station number of the access (default: the address's digits)");
}

int Info(HostSession& session) {
    const DriverInfo d = session.Info();
    std::printf("driver code   %d\nshort name    %s\nblock size    %d\ninfo words    %d %d\n",
                d.driverCode, d.shortName, d.blockSize, d.infoWordA, d.infoWordB);
    std::printf("%s", Cp437ToUtf8(d.banner).c_str());
    return kOk;
}

int Check(const std::string& stationFile) {
    const int problems = CheckStationFile(stationFile, std::cout);
    return problems == 0 ? kOk : kRefused;
}

int Define(HostSession& session, const GateOptions& gate, int32_t blockLength) {
    session.Start(false);
    const bool isBlock = blockLength >= 0;
    const Definition d = session.Define(gate.address, gate.Type(), isBlock, blockLength);
    std::printf("station %d  kind/table %d  element index %d  words %d %d\n", d.station, d.kindCode,
                d.elementIndex, d.outWordA, d.outWordB);
    return Report(d.result);
}

void ReadAndShow(HostSession& session, const std::string& address) {
    ValueBuffer value{};
    const int32_t type = HostTypeForAddress(address).value_or(HostInteger);
    const int32_t station = StationFor(address, -1).value_or(0);
    const int32_t result = session.Read(address, station, type, value);
    std::printf("%s = %s\n", address.c_str(), ValueOrFailure(result, type, value).c_str());
}

int Restart(HostSession& session, int32_t station, const std::vector<std::string>& reads) {
    session.Start();
    for (const auto& address : reads) ReadAndShow(session, address);
    const int32_t result = Report(session.Restart(station));
    for (const auto& address : reads) ReadAndShow(session, address);
    return result;
}

int Read(HostSession& session, const GateOptions& gate, int32_t station) {
    ValueBuffer value{};
    session.Start();
    const int32_t result = session.Read(gate.address, station, gate.Type(), value);
    if (result == kOk)
        std::printf("%s = %s\n", gate.address.c_str(), FormatValue(gate.Type(), value).c_str());
    return Report(result);
}

int Write(HostSession& session, const GateOptions& gate, int32_t station,
          const std::string& valueText, bool verify) {
    ValueBuffer value{};
    if (auto problem = ParseValue(gate.Type(), valueText, value)) {
        std::fprintf(stderr, "zeloe: %s\n", problem->c_str());
        return kSetupFailed;
    }
    session.Start();
    const int32_t result = Report(session.Write(gate.address, station, gate.Type(), value));
    if (result != kOk || !verify) return result;
    ValueBuffer back{};
    const int32_t readBack = session.Read(gate.address, station, gate.Type(), back);
    if (readBack == kOk)
        std::printf("%s = %s\n", gate.address.c_str(), FormatValue(gate.Type(), back).c_str());
    return readBack;
}

int Block(HostSession& session, const GateOptions& gate, int32_t station, uint16_t count) {
    ValueBuffer value{};
    session.Start();
    const int32_t result = session.ReadBlock(gate.address, station, gate.Type(), count, value);
    if (result == kOk) {
        for (int i = 0; i < count && i < kMaxBlockElements; ++i) {
            ValueBuffer element{};
            std::copy_n(value.begin() + 4 * i, 4, element.begin());
            std::printf("[%d] %s\n", i, FormatValue(gate.Type(), element).c_str());
        }
    }
    return Report(result);
}

struct PollOptions {
    std::string gateList;
    int intervalMs = 1000;
    int cycles = 0;
    bool stats = false;
    std::string csvFile;
};

// Reply times and outcomes of one gate over the cycles of a poll.
struct GateStats {
    std::vector<double> replyMs;
    int failures = 0;
    int retries = 0;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void PrintStats(const std::vector<GateEntry>& gates, const std::vector<GateStats>& stats) {
    std::printf("%-34s %6s %8s %8s %9s %9s %9s\n", "gate", "reads", "failed", "retries", "median",
                "p95", "max ms");
    for (size_t i = 0; i < gates.size(); ++i) {
        const GateStats& s = stats[i];
        std::printf("%-34s %6zu %8d %8d %9.2f %9.2f %9.2f\n", gates[i].address.c_str(),
                    s.replyMs.size(), s.failures, s.retries, Percentile(s.replyMs, 0.5),
                    Percentile(s.replyMs, 0.95), Percentile(s.replyMs, 1.0));
    }
}

std::string Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char full[48];
    std::snprintf(full, sizeof full, "%s.%03dZ", text, static_cast<int>(millis));
    return full;
}

// A CSV field: quoted, with quotes doubled, whenever it holds a separator, quote or line end.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

int Poll(HostSession& session, const SessionOptions& options, const PollOptions& poll) {
    std::vector<GateEntry> gates;
    if (auto problem = ReadGateList(poll.gateList, gates)) {
        std::fprintf(stderr, "zeloe: %s\n", problem->c_str());
        return kSetupFailed;
    }
    std::ofstream csv;
    if (!poll.csvFile.empty()) {
        std::error_code error;
        const bool fresh = !std::filesystem::exists(poll.csvFile, error) ||
                           std::filesystem::file_size(poll.csvFile, error) == 0;
        csv.open(poll.csvFile, std::ios::app | std::ios::binary);
        if (!csv) {
            std::fprintf(stderr, "zeloe: cannot write %s\n", poll.csvFile.c_str());
            return kSetupFailed;
        }
        if (fresh) csv << "time,cycle,address,result,value\r\n";
    }
    session.Start();
    for (auto& entry : gates) {
        const Definition d = session.Define(entry.address, entry.hostType);
        if (d.result != kOk) std::printf("%-34s refused by DefineGate\n", entry.address.c_str());
    }
    std::vector<GateStats> stats(gates.size());
    int worst = kOk;
    const bool live = IsTerminal() && !options.quiet && !poll.stats;
    for (int cycle = 1; !gStop && (poll.cycles == 0 || cycle <= poll.cycles); ++cycle) {
        if (live && cycle > 1) std::printf("\x1b[H\x1b[2J");  // redraw the table in place
        std::printf("-- cycle %d\n", cycle);
        const auto cycleStart = std::chrono::steady_clock::now();
        for (size_t i = 0; i < gates.size(); ++i) {
            const GateEntry& entry = gates[i];
            ValueBuffer value{};
            const int32_t station = StationFor(entry.address, -1).value_or(0);
            const int retriesBefore = session.RetriesSeen();
            const auto readStart = std::chrono::steady_clock::now();
            const int32_t result = session.Read(entry.address, station, entry.hostType, value);
            stats[i].replyMs.push_back(std::chrono::duration<double, std::milli>(
                                           std::chrono::steady_clock::now() - readStart)
                                           .count());
            stats[i].retries += session.RetriesSeen() - retriesBefore;
            if (result != kOk) ++stats[i].failures;
            worst = std::max<int>(worst, result);
            const std::string shown = ValueOrFailure(result, entry.hostType, value);
            std::printf("%-34s %-22s %s\n", entry.address.c_str(),
                        KindName(entry.address.size() > 3 ? entry.address[3] : '?').c_str(),
                        shown.c_str());
            if (csv)
                csv << Timestamp() << ',' << cycle << ',' << CsvField(entry.address) << ','
                    << result << ',' << CsvField(result == kOk ? shown : "") << "\r\n";
        }
        if (csv) csv.flush();
        if (poll.stats) {
            std::printf("cycle %d took %.1f ms\n", cycle,
                        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                  cycleStart)
                            .count());
            PrintStats(gates, stats);
        }
        std::fflush(stdout);
        for (int waited = 0; waited < poll.intervalMs && !gStop; waited += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    session.Shutdown();
    if (poll.stats) {
        std::printf("-- totals\n");
        PrintStats(gates, stats);
    }
    return worst;
}

}  // namespace

int Main(int argc, char** argv) {
    CLI::App app{"zeloe: command-line host for the zeloe Opto 22 Ethernet driver"};
    app.require_subcommand(1);
    app.allow_windows_style_options(false);  // "/path" arguments are file names, not options
    SessionOptions options;
    std::string directory;
    app.add_option("--lib", options.library, "driver library (default: next to this program)");
    app.add_option("-i,--instance", options.instance, "instance number: reads zelOE<nn>.int")
        ->capture_default_str();
    app.add_option("-C,--dir", directory,
                   "directory that holds the station file (and where check and poll find theirs)");
    app.add_option("--timeout-ms", options.timeoutMs, "reply time-out given to Start (min 1000)")
        ->capture_default_str();
    app.add_flag("-q,--quiet", options.quiet, "do not print the driver's messages");

    auto* info = app.add_subcommand("info", "show the driver's information and banner");

    std::string stationFile;
    auto* check = app.add_subcommand("check", "explain what the driver makes of a station file");
    check->add_option("file", stationFile, "station file (default: zelOE<nn>.int)");

    GateOptions gate;
    int32_t blockLength = -1;
    auto* define = app.add_subcommand("define", "define a gate and show what the driver reports");
    AddGateOptions(define, gate);
    define->add_option("--block", blockLength, "define a block gate of this many elements");

    auto* read = app.add_subcommand("read", "read one gate");
    AddGateOptions(read, gate);

    std::string valueText;
    bool verify = false;
    auto* write = app.add_subcommand("write", "write one gate");
    AddGateOptions(write, gate);
    write->add_option("value", valueText, "the value (number, on/off, or text)")->required();
    write->add_flag("--verify", verify, "read the gate back afterwards");

    uint16_t count = 1;
    auto* block = app.add_subcommand("block", "read a run of table elements in one exchange");
    AddGateOptions(block, gate);
    block->add_option("-n,--count", count, "number of elements (at most 50)")->required();

    PollOptions pollOptions;
    auto* poll = app.add_subcommand("poll", "read a list of gates again and again");
    poll->add_option("gates", pollOptions.gateList,
                     "gate list: one address (and host type) per line")
        ->required();
    poll->add_option("--interval", pollOptions.intervalMs, "pause between cycles in ms")
        ->capture_default_str();
    poll->add_option("--cycles", pollOptions.cycles, "number of cycles (0: until Ctrl-C)")
        ->capture_default_str();
    poll->add_flag("--stats", pollOptions.stats,
                   "after each cycle: its time and, per gate, reply times, retries and failures");
    poll->add_option("--csv", pollOptions.csvFile,
                     "append one row per gate and cycle: time, cycle, address, result, value");

    int32_t restartStation = 0;
    auto* restart = app.add_subcommand("restart", "start, then reconnect one station");
    restart->add_option("station", restartStation, "station number")->required();
    std::vector<std::string> restartReads;
    restart->add_option("--read", restartReads, "gates to read before and after the restart");

    TapOptions tapOptions;
    auto* tap = app.add_subcommand(
        "tap", "relay a host's connections to a controller and show every command and reply");
    tap->add_option("--to", tapOptions.controller, "the controller's address (port 2001)")
        ->required();
    tap->add_option("--listen", tapOptions.listen, "where the host connects (port 2001)")
        ->capture_default_str();
    tap->add_option("--log", tapOptions.logFile, "also append every exchange as JSON lines");
    tap->add_flag("--any-address", tapOptions.anyAddress,
                  "allow listening on an address outside 127.0.0.0/8");
    tap->add_option("--seconds", tapOptions.seconds, "stop after this long (default: Ctrl-C)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);  // prints help or the problem
        return code == 0 ? 0 : kSetupFailed;
    }

    // The library path is taken from where zeloe was started; station files (and the gate list)
    // from the directory -C names, where the driver reads them.
    if (!options.library.empty())
        options.library = std::filesystem::absolute(options.library).string();
    if (!directory.empty()) {
        std::error_code error;
        std::filesystem::current_path(directory, error);
        if (error) {
            std::fprintf(stderr, "zeloe: cannot change to %s\n", directory.c_str());
            return kSetupFailed;
        }
    }

    if (tap->parsed()) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        return RunTap(tapOptions, gStop);
    }

    if (check->parsed()) {
        if (stationFile.empty()) {
            char name[40];
            std::snprintf(name, sizeof name, "zelOE%.2d.int", options.instance);
            stationFile = name;
        }
        return Check(stationFile);
    }

    HostSession session(options);
    if (!session.Ready()) {
        std::fprintf(stderr, "zeloe: %s\n", session.Error().c_str());
        return kSetupFailed;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    if (info->parsed()) return Info(session);
    if (define->parsed()) return Define(session, gate, blockLength);
    if (restart->parsed()) return Restart(session, restartStation, restartReads);
    if (poll->parsed()) return Poll(session, options, pollOptions);

    // read, write, block
    if (gate.Type() < 0) {
        std::fprintf(stderr, "zeloe: unknown type letter in %s; give --type\n",
                     gate.address.c_str());
        return kSetupFailed;
    }
    const auto station = StationFor(gate.address, gate.station);
    if (!station) {
        std::fprintf(stderr,
                     "zeloe: %s does not begin with a station number 001..255; give --station\n",
                     gate.address.c_str());
        return kSetupFailed;
    }
    if (read->parsed()) return Read(session, gate, *station);
    if (write->parsed()) return Write(session, gate, *station, valueText, verify);
    return Block(session, gate, *station, count);
}

}  // namespace zeloe::cli

int main(int argc, char** argv) {
    return zeloe::cli::Main(argc, argv);
}
