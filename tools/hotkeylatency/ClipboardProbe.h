#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <xcb/xcb.h>

namespace hotkeylatency {

using Clock = std::chrono::steady_clock;

// One X client that takes the CLIPBOARD selection, types a key combination through XTest and
// fetches the clipboard's UTF8_STRING from whoever owns it then, plain or in INCR chunks. Every
// wait ends at the deadline given; nothing blocks on the server without one. Not copyable.
class ClipboardProbe {
public:
    // Connects to $DISPLAY; throws std::runtime_error when there is no display, no XTest, or a key
    // of the combination has no keycode.
    ClipboardProbe();
    ~ClipboardProbe();
    ClipboardProbe(const ClipboardProbe&) = delete;
    ClipboardProbe& operator=(const ClipboardProbe&) = delete;

    // Makes this client the CLIPBOARD owner (refusing every request), so what was there is gone.
    [[nodiscard]] bool takeClipboard(Clock::time_point deadline);

    // Control down, F4 down, F4 up, Control up, sent as one batch.
    void typeCtrlF4();

    // True when another client took the clipboard from us (the SelectionClear has come).
    [[nodiscard]] bool lostClipboard() const { return !m_owner; }

    // Handles events until `done` holds or the deadline passes; false at the deadline.
    [[nodiscard]] bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline);

    // The current owner's UTF8_STRING; nullopt when it refuses, the transfer breaks or the deadline
    // passes.
    [[nodiscard]] std::optional<std::string> fetchText(Clock::time_point deadline);

    // Whether the last text fetched came in INCR chunks.
    [[nodiscard]] bool lastWasIncremental() const { return m_incremental; }

    // Set when a fetch failed, saying how.
    [[nodiscard]] const std::string& lastProblem() const { return m_problem; }

private:
    struct EventDeleter {
        void operator()(xcb_generic_event_t* e) const;
    };
    using Event = std::unique_ptr<xcb_generic_event_t, EventDeleter>;

    [[nodiscard]] Event nextEvent(Clock::time_point deadline);
    [[nodiscard]] Event waitFor(const std::function<bool(const xcb_generic_event_t&)>& wanted,
                                Clock::time_point deadline);
    void handle(const xcb_generic_event_t& event);
    [[nodiscard]] std::optional<xcb_timestamp_t> serverTime(Clock::time_point deadline);
    [[nodiscard]] std::optional<std::string> readProperty(bool& incremental);
    [[nodiscard]] std::optional<std::string> readIncrements(Clock::time_point deadline);
    [[nodiscard]] xcb_atom_t atom(const char* name);
    [[nodiscard]] xcb_keycode_t keycodeOf(std::uint32_t keysym);
    bool fail(std::string problem);

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_clipboard = XCB_NONE;
    xcb_atom_t m_utf8 = XCB_NONE;
    xcb_atom_t m_incr = XCB_NONE;
    xcb_atom_t m_data = XCB_NONE;
    xcb_atom_t m_stamp = XCB_NONE;
    xcb_keycode_t m_control = 0;
    xcb_keycode_t m_f4 = 0;
    bool m_owner = false;
    bool m_incremental = false;
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    std::string m_problem;
};

} // namespace hotkeylatency
