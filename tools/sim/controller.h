// The controller's side of the command language: takes complete commands out of the bytes a
// connection received and answers each one, framed as status byte, one byte, payload.
#pragma once

#include <string>

#include "plant.h"

namespace zeloe::sim {

std::string Framed(uint8_t status, const std::string& payload);

// Moves one complete command (including its trailing raw or text part) from `input` to
// `command`; false while the command is not complete yet.
bool TakeCommand(std::string& input, std::string& command);

// Executes one command against the station and returns the reply bytes.
std::string Execute(Station& station, const std::string& command);

}  // namespace zeloe::sim
