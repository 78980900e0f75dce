#pragma once

#include "core/store/PosixIo.h"

#include <initializer_list>
#include <set>
#include <string>
#include <system_error>
#include <utility>

namespace quillory::test {

// Makes the store's operations fail as the system would, for the life of the object: a test run
// as root can read and write every file, so modes alone cannot make one fail.
class ScopedFaults {
public:
    // Each (operation, file name) listed fails with `reason`.
    explicit ScopedFaults(std::initializer_list<std::pair<const char*, const char*>> failing,
                          std::errc reason = std::errc::permission_denied)
    {
        for (const auto& [operation, name] : failing)
            m_failing.emplace(operation, name);
        store::detail::SetFaultHook([this, reason](std::string_view operation, std::string_view name) {
            const bool fails = m_failing.count({std::string(operation), std::string(name)}) != 0;
            return fails ? std::make_error_code(reason) : std::error_code();
        });
    }
    // Any rule: `hook` decides each operation (see store::detail::SetFaultHook).
    [[nodiscard]] static ScopedFaults byRule(store::detail::FaultHook hook) { return ScopedFaults(std::move(hook), 0); }
    ScopedFaults(const ScopedFaults&) = delete;
    ScopedFaults& operator=(const ScopedFaults&) = delete;
    ~ScopedFaults() { store::detail::SetFaultHook({}); }

private:
    ScopedFaults(store::detail::FaultHook hook, int) { store::detail::SetFaultHook(std::move(hook)); }

    std::set<std::pair<std::string, std::string>> m_failing;
};

} // namespace quillory::test
