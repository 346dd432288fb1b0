#pragma once

#include "register_state.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace orvel {

// "emulated-register.state" in the user's data folder: $XDG_DATA_HOME/kkm-configurator, or
// ~/.local/share/kkm-configurator when XDG_DATA_HOME is unset or not absolute (the temporary
// folder when HOME is unset too).
std::filesystem::path defaultStateFile();

// The file: magic, format version, payload length and CRC-32, then the payload: the table bytes,
// the logo, and the occupied goods records in increasing number.
std::vector<uint8_t> serializeState(const RegisterState& state);

// nullopt for anything but a complete, intact file of this format holding valid data.
std::optional<RegisterState> parseState(std::span<const uint8_t> bytes);

// nullopt when the file is missing, unreadable or fails parseState.
std::optional<RegisterState> readStateFile(const std::filesystem::path& file);

// Replaces the file atomically (temporary file in the same folder, flushed to disk, renamed over
// it), creating the folder when needed. False on any failure, leaving no temporary file behind.
bool writeStateFile(const std::filesystem::path& file, const RegisterState& state);

} // namespace orvel
