#pragma once

#include "register_state.h"

#include <chrono>
#include <filesystem>

namespace orvel {

// Keeps the state file in step with the register without rewriting it on every change: a program
// writing 9999 goods one call at a time must not rewrite the whole file 9999 times. A change is
// saved at once when the last save is at least kInterval old; later changes wait for the next
// such change, for flush() (closing the port) or for the register's destruction (library unload,
// normal exit). Each save replaces the file atomically, so a crash can lose the last seconds'
// changes but never leaves a damaged file.
class StateSaver {
public:
    static constexpr std::chrono::seconds kInterval{2};

    explicit StateSaver(std::filesystem::path file);

    // The saved state, or the factory state when the file is missing or damaged.
    RegisterState load() const;

    void changed(const RegisterState& state);

    // Saves when something is unsaved. False when the save failed; the change then stays unsaved,
    // so the next occasion tries again.
    bool flush(const RegisterState& state);

private:
    std::filesystem::path m_file;
    bool m_unsaved = false;
    std::chrono::steady_clock::time_point m_nextSave = std::chrono::steady_clock::time_point::min();
};

} // namespace orvel
