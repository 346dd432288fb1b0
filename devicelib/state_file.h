#pragma once

#include "register_state.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace orvel {

// "emulated-register.state" in the user's data folder: $XDG_DATA_HOME/kkm-configurator, or
// ~/.local/share/kkm-configurator when XDG_DATA_HOME is unset or not absolute. Without HOME the
// home folder comes from the password database; an empty path when that has none either.
// Built for Windows: %APPDATA%\kkm-configurator, an empty path without APPDATA.
std::filesystem::path defaultStateFile();

// Why a state file could not be written: an errno value, or one of these refusals of our own.
enum SaveFailure : int {
    NoStateFolder = -1,       // no home folder to keep the state in
    FolderOfAnotherUser = -2, // someone else could read and replace our state there
};

// 0 when the file's folder is missing or belongs to the current user, FolderOfAnotherUser when
// it exists and does not, NoStateFolder for an empty path.
int checkStateFolder(const std::filesystem::path& file);

// Removes "<file name>.XXXXXX" temporaries that a save killed halfway left in the file's folder.
void removeStaleTemporaries(const std::filesystem::path& file);

// The CRC-32 (the one of zip and PNG) that the file's head holds for its payload.
uint32_t crc32(std::span<const uint8_t> data);

// The file: magic, format version, payload length and CRC-32, then the payload: the table bytes,
// the logo, and the occupied goods records in increasing number.
std::vector<uint8_t> serializeState(const RegisterState& state);

// nullopt for anything but a complete, intact file of this format holding valid data.
std::optional<RegisterState> parseState(std::span<const uint8_t> bytes);

// nullopt when the file is missing, unreadable or fails parseState.
std::optional<RegisterState> readStateFile(const std::filesystem::path& file);

// Replaces the file atomically (temporary file in the same folder, flushed to disk, renamed over
// it, the folder flushed too), creating the folder when needed. False on any failure, leaving no
// temporary file behind, with the reason (see SaveFailure) in `failure` when given.
bool writeStateFile(const std::filesystem::path& file, const RegisterState& state, int* failure = nullptr);

} // namespace orvel
