// The simulated plant: controllers (stations) with their variables, tables, I/O points and
// status objects, and the faults each one should show.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zeloe::sim {

using PointRecord = std::array<uint8_t, 20>;

struct UnitStatus {
    bool configured = true;
    bool enabled = true;
};

struct Faults {
    int delayMs = 0;        // every reply comes this much later
    bool silent = false;    // commands are taken but never answered
    int closeAfter = 0;     // the first connection is closed after this many commands (0: never)
    int resetAfter = 0;     // the first connection is reset after this many commands (0: never)
    bool split = false;     // every reply in two TCP segments
    int splitPauseMs = 50;  // the pause between the two segments
    int listenDelayMs = 0;  // connections are refused for this long after start
    bool refuse = false;    // never listens: every connection is refused
    bool oversize = false;  // 400 extra bytes after every reply
    bool truncate = false;  // every reply cut to its first half
    bool garbage = false;   // every reply replaced by random bytes (status never 0 or 4)
    bool closeMidReply = false;    // half of the reply, then the connection is closed
    int replySize = 0;             // every reply padded with '#' or cut to exactly this (0: off)
    bool powerUpStuck = false;     // status 4 for every command; the clear never helps
    int lateHandshakeMs = 0;       // handshakes go unanswered this long after start
    mutable bool dropped = false;  // the one close or reset of these faults has happened
};

struct Station {
    std::string address;
    bool powerUp = false;  // answers status 4 until the power-up clear "A" arrives
    std::map<std::string, int32_t> integers;
    std::map<std::string, float> floats;
    std::map<std::string, float> timers;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<int32_t>> integerTables;
    std::map<std::string, std::vector<float>> floatTables;
    std::map<std::string, std::vector<std::string>> stringTables;
    std::map<std::string, PointRecord> points;  // digital and analog alike
    std::map<std::string, UnitStatus> digitalUnits, analogUnits, pidLoops;
    std::map<std::string, bool> events;
    Faults faults;                             // for every command
    std::map<std::string, Faults> gateFaults;  // only for commands that name this gate
};

// The faults that apply to one command: those of a gate it names, else the station's.
const Faults& FaultsFor(const Station& station, const std::string& command);

struct Plant {
    std::vector<Station> stations;
};

// A point record as the simulator hands it out: flags, state bit, value and recognisable
// filler in the bytes the driver must carry unchanged.
PointRecord MakePointRecord(bool unitConfigured, bool enabled, bool on, float value);

// Loads a plant file; an error text on failure.
std::optional<std::string> LoadPlant(const std::string& path, Plant& plant);

// Applies "NAME" or "NAME=VALUE" to a station's faults; an error text for an unknown name.
std::optional<std::string> ApplyFault(Faults& faults, const std::string& setting);

// Applies "NAME[=VALUE][@GATE]": to the gate's faults when a gate is named, else to the
// station's.
std::optional<std::string> ApplyStationFault(Station& station, const std::string& setting);

}  // namespace zeloe::sim
