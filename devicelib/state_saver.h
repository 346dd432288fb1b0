#pragma once

#include "register_state.h"

#include <chrono>
#include <filesystem>

namespace orvel {

// Keeps the state file in step with the register without rewriting it on every change: a program
// writing 9999 goods one call at a time must not rewrite the whole file 9999 times. A change is
// saved at once when the last save attempt is at least kInterval old, otherwise as soon as it is
// (the register's save thread or its next call sees to that), and by flush() (closing the port,
// the register's destruction at unload and normal exit). So a change reaches the disk at most
// kInterval after it was accepted, and a crash or kill loses at most the last kInterval's changes.
// Each save replaces the file atomically, so a crash never leaves a damaged file.
// Not thread-safe: the register guards it together with the state.
class StateSaver {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kInterval{2};

    explicit StateSaver(std::filesystem::path file);

    // The saved state, or the factory state when the file is missing or damaged, or its folder
    // is refused (see checkStateFolder). Also clears away the temporaries of a save killed
    // halfway, so only while no other program may be saving.
    RegisterState load() const;

    // Notes a change and saves it when due. False when the state is known not to be on disk:
    // this save failed, or the last one did and the change waits for the next try.
    bool changed(const RegisterState& state);

    // Saves a pending change whose time has come.
    void saveIfDue(const RegisterState& state);

    // When the pending change is due; Clock::time_point::max() when nothing is pending.
    Clock::time_point dueAt() const;

    // Saves when something is unsaved. False when the save failed; the change then stays unsaved,
    // so the next occasion tries again.
    bool flush(const RegisterState& state);

    // Gives up an unsaved change, which must not be saved over what another program saves next.
    void discard() { m_unsaved = false; }

    // Why the last save failed (see SaveFailure), 0 when it did not.
    int lastFailure() const { return m_lastFailure; }

private:
    std::filesystem::path m_file;
    bool m_unsaved = false;
    int m_lastFailure = 0;
    Clock::time_point m_nextSave = Clock::time_point::min();
};

} // namespace orvel
