#include "fault_plan.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace orvel {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void apply(FaultPlan& plan, std::string_view key, std::string_view value) {
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < 0)
        return;
    if (key == "garble-every")
        plan.garbleEvery = number;
    else if (key == "lost-after")
        plan.lostAfter = number;
    else if (key == "slow-call")
        plan.slowCall = number;
    else if (key == "slow-ms")
        plan.slowMs = number;
    else if (key == "refuse-table")
        plan.refuseTable = number;
}

} // namespace

FaultPlan parseFaultPlan(std::string_view text) {
    FaultPlan plan;
    while (!text.empty()) {
        const auto end = text.find_first_of("\n;");
        std::string_view pair = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        pair = pair.substr(0, pair.find('#'));
        const auto equals = pair.find('=');
        if (equals != std::string_view::npos)
            apply(plan, trimmed(pair.substr(0, equals)), trimmed(pair.substr(equals + 1)));
    }
    return plan;
}

FaultPlan loadFaultPlan(const std::filesystem::path& folder) {
    if (const char* variable = std::getenv("ORVEL_FAULTS"))
        return parseFaultPlan(variable);
    std::ifstream file(folder / "orvel-faults.txt");
    std::ostringstream text;
    text << file.rdbuf();
    return parseFaultPlan(text.str());
}

Fault FaultInjector::next(bool repeated, uint8_t writtenTable) {
    ++m_exchanges;
    if (repeated)
        ++m_repeated;
    if (m_plan.lostAfter > 0 && m_exchanges > m_plan.lostAfter)
        return Fault::Lost;
    if (writtenTable != 0 && writtenTable == m_plan.refuseTable)
        return Fault::Refused;
    if (repeated && m_plan.garbleEvery > 0 && m_repeated % m_plan.garbleEvery == 0)
        return Fault::Garbled;
    if (m_exchanges == m_plan.slowCall)
        return Fault::Slow;
    return Fault::None;
}

} // namespace orvel
