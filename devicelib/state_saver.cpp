#include "state_saver.h"

#include "factory_state.h"
#include "state_file.h"

namespace orvel {

StateSaver::StateSaver(std::filesystem::path file)
    : m_file(std::move(file)) {}

RegisterState StateSaver::load() const {
    auto state = readStateFile(m_file);
    return state ? std::move(*state) : factoryState();
}

void StateSaver::changed(const RegisterState& state) {
    m_unsaved = true;
    if (std::chrono::steady_clock::now() >= m_nextSave)
        flush(state);
}

bool StateSaver::flush(const RegisterState& state) {
    if (!m_unsaved)
        return true;
    // A failed save also waits its interval, so a full disk is not retried on every change.
    m_nextSave = std::chrono::steady_clock::now() + kInterval;
    m_unsaved = !writeStateFile(m_file, state);
    return !m_unsaved;
}

} // namespace orvel
