#include "plant.h"

#include <toml++/toml.h>
#include <cstring>

namespace zeloe::sim {

PointRecord MakePointRecord(bool unitConfigured, bool enabled, bool on, float value) {
    PointRecord record{};
    record[0] = unitConfigured ? 0 : 1;
    record[1] = enabled ? 1 : 0;
    record[2] = 0x5A;
    record[3] = static_cast<uint8_t>(0x81 | (on ? 0x04 : 0));
    const uint8_t filler[] = {0x11, 0x22, 0x33, 0x44};
    std::memcpy(record.data() + 4, filler, 4);
    std::memcpy(record.data() + 8, &value, 4);
    for (int i = 12; i < 20; ++i) record[static_cast<size_t>(i)] = static_cast<uint8_t>(0xA0 + i);
    return record;
}

namespace {

bool NamesGate(const std::string& command, const std::string& gate);

template <typename T, typename Read>
void ReadMap(const toml::table& station, const char* key, std::map<std::string, T>& out,
             Read read) {
    if (const auto* table = station[key].as_table())
        for (const auto& [name, node] : *table) out[std::string(name.str())] = read(node);
}

float AsFloat(const toml::node& node) {
    return static_cast<float>(node.value<double>().value_or(0));
}

template <typename T, typename Read>
std::vector<T> ReadArray(const toml::node& node, Read read) {
    std::vector<T> out;
    if (const auto* array = node.as_array())
        for (const auto& element : *array) out.push_back(read(element));
    return out;
}

UnitStatus ReadUnit(const toml::node& node) {
    UnitStatus unit;
    if (const auto* table = node.as_table()) {
        unit.configured = (*table)["configured"].value_or(true);
        unit.enabled = (*table)["enabled"].value_or(true);
    }
    return unit;
}

void ReadFaults(const toml::table& table, Faults& f) {
    f.delayMs = table["delay_ms"].value_or(f.delayMs);
    f.silent = table["silent"].value_or(f.silent);
    f.closeAfter = table["close_after"].value_or(f.closeAfter);
    f.resetAfter = table["reset_after"].value_or(f.resetAfter);
    f.split = table["split"].value_or(f.split);
    f.splitPauseMs = table["split_pause_ms"].value_or(f.splitPauseMs);
    f.listenDelayMs = table["listen_delay_ms"].value_or(f.listenDelayMs);
    f.refuse = table["refuse"].value_or(f.refuse);
    f.oversize = table["oversize"].value_or(f.oversize);
    f.truncate = table["truncate"].value_or(f.truncate);
    f.garbage = table["garbage"].value_or(f.garbage);
    f.closeMidReply = table["close_mid_reply"].value_or(f.closeMidReply);
    f.replySize = table["size"].value_or(f.replySize);
    f.powerUpStuck = table["power_up_stuck"].value_or(f.powerUpStuck);
    f.lateHandshakeMs = table["late_handshake_ms"].value_or(f.lateHandshakeMs);
}

// The words of a command's first line without their sigils: "^SPEED @@ ." names SPEED.
bool NamesGate(const std::string& command, const std::string& gate) {
    const std::string line = command.substr(0, command.find('\r'));
    size_t at = 0;
    while (at < line.size()) {
        size_t end = line.find(' ', at);
        if (end == std::string::npos) end = line.size();
        size_t word = at;
        while (word < end && std::strchr("^*}{%~|", line[word]) != nullptr) ++word;
        if (line.compare(word, end - word, gate) == 0 && end - word == gate.size()) return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

std::optional<std::string> LoadPlant(const std::string& path, Plant& plant) {
    toml::table root;
    try {
        root = toml::parse_file(path);
    } catch (const toml::parse_error& error) {
        return path + ": " + std::string(error.description());
    }
    const auto* stations = root["station"].as_array();
    if (stations == nullptr) return path + ": no [[station]] entries";
    for (const auto& node : *stations) {
        const auto* table = node.as_table();
        if (table == nullptr) continue;
        Station s;
        s.address = (*table)["address"].value_or(std::string());
        if (s.address.empty()) return path + ": a station without address";
        s.powerUp = (*table)["power_up"].value_or(false);
        ReadMap(*table, "integers", s.integers, [](const toml::node& n) {
            return static_cast<int32_t>(n.value<int64_t>().value_or(0));
        });
        ReadMap(*table, "floats", s.floats, AsFloat);
        ReadMap(*table, "timers", s.timers, AsFloat);
        ReadMap(*table, "strings", s.strings,
                [](const toml::node& n) { return n.value<std::string>().value_or(""); });
        ReadMap(*table, "integer_tables", s.integerTables, [](const toml::node& n) {
            return ReadArray<int32_t>(n, [](const toml::node& e) {
                return static_cast<int32_t>(e.value<int64_t>().value_or(0));
            });
        });
        ReadMap(*table, "float_tables", s.floatTables,
                [](const toml::node& n) { return ReadArray<float>(n, AsFloat); });
        ReadMap(*table, "string_tables", s.stringTables, [](const toml::node& n) {
            return ReadArray<std::string>(
                n, [](const toml::node& e) { return e.value<std::string>().value_or(""); });
        });
        auto readPoint = [](const toml::node& n, bool analog) {
            const auto* t = n.as_table();
            const bool configured = t ? (*t)["unit_configured"].value_or(true) : true;
            const bool enabled = t ? (*t)["enabled"].value_or(true) : true;
            const bool on = t && !analog ? (*t)["on"].value_or(false) : false;
            const float value = t && analog ? static_cast<float>((*t)["value"].value_or(0.0)) : 0.f;
            return MakePointRecord(configured, enabled, on, value);
        };
        ReadMap(*table, "digital_points", s.points,
                [&](const toml::node& n) { return readPoint(n, false); });
        ReadMap(*table, "analog_points", s.points,
                [&](const toml::node& n) { return readPoint(n, true); });
        ReadMap(*table, "digital_units", s.digitalUnits, ReadUnit);
        ReadMap(*table, "analog_units", s.analogUnits, ReadUnit);
        ReadMap(*table, "pid_loops", s.pidLoops, ReadUnit);
        ReadMap(*table, "events", s.events, [](const toml::node& n) { return n.value_or(false); });
        if (const auto* faults = (*table)["faults"].as_table()) ReadFaults(*faults, s.faults);
        if (const auto* gates = (*table)["gate_faults"].as_table())
            for (const auto& [name, gateNode] : *gates)
                if (const auto* faults = gateNode.as_table())
                    ReadFaults(*faults, s.gateFaults[std::string(name.str())]);
        plant.stations.push_back(std::move(s));
    }
    return std::nullopt;
}

std::optional<std::string> ApplyFault(Faults& f, const std::string& setting) {
    const auto equals = setting.find('=');
    const std::string name = setting.substr(0, equals);
    const bool hasValue = equals != std::string::npos;
    int value = 1;
    if (hasValue) {
        try {
            value = std::stoi(setting.substr(equals + 1));
        } catch (...) {
            return "fault " + name + " needs a number";
        }
    }
    if (name == "delay")
        f.delayMs = value;
    else if (name == "silent")
        f.silent = value != 0;
    else if (name == "close-after")
        f.closeAfter = value;
    else if (name == "reset-after")
        f.resetAfter = value;
    else if (name == "split")
        f.split = value != 0;
    else if (name == "split-pause")
        f.splitPauseMs = value;
    else if (name == "listen-delay")
        f.listenDelayMs = value;
    else if (name == "refuse")
        f.refuse = value != 0;
    else if (name == "oversize")
        f.oversize = value != 0;
    else if (name == "truncate")
        f.truncate = value != 0;
    else if (name == "garbage")
        f.garbage = value != 0;
    else if (name == "close-mid-reply")
        f.closeMidReply = value != 0;
    else if (name == "size")
        f.replySize = value;
    else if (name == "power-up-stuck")
        f.powerUpStuck = value != 0;
    else if (name == "late-handshake")
        f.lateHandshakeMs = value;
    else
        return "unknown fault " + name;
    return std::nullopt;
}

std::optional<std::string> ApplyStationFault(Station& station, const std::string& setting) {
    const auto at = setting.find('@');
    if (at == std::string::npos) return ApplyFault(station.faults, setting);
    return ApplyFault(station.gateFaults[setting.substr(at + 1)], setting.substr(0, at));
}

const Faults& FaultsFor(const Station& station, const std::string& command) {
    for (const auto& [gate, faults] : station.gateFaults)
        if (NamesGate(command, gate)) return faults;
    return station.faults;
}

}  // namespace zeloe::sim
