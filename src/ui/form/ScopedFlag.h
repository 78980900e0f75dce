#pragma once

namespace quillory {

// Sets a flag for the life of the object and clears it after, also when an exception passes.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) noexcept : m_flag(flag) { m_flag = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { m_flag = false; }

private:
    bool& m_flag;
};

} // namespace quillory
