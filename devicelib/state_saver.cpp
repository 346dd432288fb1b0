#include "state_saver.h"

#include "factory_state.h"
#include "state_file.h"

namespace orvel {

StateSaver::StateSaver(std::filesystem::path file)
    : m_file(std::move(file)) {}

RegisterState StateSaver::load() const {
    removeStaleTemporaries(m_file);
    auto state = checkStateFolder(m_file) == 0 ? readStateFile(m_file) : std::nullopt;
    return state ? std::move(*state) : factoryState();
}

bool StateSaver::changed(const RegisterState& state) {
    m_unsaved = true;
    saveIfDue(state);
    return m_lastFailure == 0;
}

void StateSaver::saveIfDue(const RegisterState& state) {
    if (Clock::now() >= dueAt())
        flush(state);
}

StateSaver::Clock::time_point StateSaver::dueAt() const {
    return m_unsaved ? m_nextSave : Clock::time_point::max();
}

bool StateSaver::flush(const RegisterState& state) {
    if (!m_unsaved)
        return true;
    // A failed save also waits its interval, so a full disk is not retried on every change.
    m_nextSave = Clock::now() + kInterval;
    m_unsaved = !writeStateFile(m_file, state, &m_lastFailure);
    return !m_unsaved;
}

} // namespace orvel
