// grabkey [MODIFIER+...]KEY: holds a passive grab of one key combination on the X root window
// until killed, as another program holding a hotkey would. KEY is F1..F35 or a keysym in hex
// (0xff7f); modifiers are shift, lock, ctrl, mod1 (alt) .. mod5. Prints "grabbed" once the server
// has accepted the grab; exits 1 when the server refuses it, 2 on bad usage or no display.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

std::optional<std::uint16_t> modifierOf(std::string_view name)
{
    if (name == "shift")
        return XCB_MOD_MASK_SHIFT;
    if (name == "lock")
        return XCB_MOD_MASK_LOCK;
    if (name == "ctrl" || name == "control")
        return XCB_MOD_MASK_CONTROL;
    if (name == "alt" || name == "mod1")
        return XCB_MOD_MASK_1;
    if (name.size() == 4 && name.starts_with("mod") && name[3] >= '2' && name[3] <= '5')
        return static_cast<std::uint16_t>(XCB_MOD_MASK_1 << (name[3] - '1'));
    return std::nullopt;
}

std::optional<xcb_keysym_t> keysymOf(const std::string& name)
{
    try {
        if (name.starts_with("0x"))
            return static_cast<xcb_keysym_t>(std::stoul(name, nullptr, 16));
        if (name.size() >= 2 && name[0] == 'F') {
            const unsigned long n = std::stoul(name.substr(1));
            if (n >= 1 && n <= 35)
                return static_cast<xcb_keysym_t>(0xffbe + n - 1);
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: grabkey [MODIFIER+...]KEY   e.g. grabkey ctrl+F2\n");
        return 2;
    }
    std::string_view combo = argv[1];
    std::uint16_t modifiers = 0;
    for (auto plus = combo.find('+'); plus != std::string_view::npos; plus = combo.find('+')) {
        const auto mod = modifierOf(combo.substr(0, plus));
        if (!mod) {
            std::fprintf(stderr, "grabkey: unknown modifier in %s\n", argv[1]);
            return 2;
        }
        modifiers |= *mod;
        combo.remove_prefix(plus + 1);
    }
    const auto keysym = keysymOf(std::string(combo));
    if (!keysym) {
        std::fprintf(stderr, "grabkey: unknown key %s\n", argv[1]);
        return 2;
    }

    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(xcb_connect(nullptr, nullptr),
                                                                                  &xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        std::fprintf(stderr, "grabkey: cannot open the display\n");
        return 2;
    }
    xcb_connection_t* c = connection.get();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(xcb_key_symbols_alloc(c),
                                                                                      &xcb_key_symbols_free);
    const std::unique_ptr<xcb_keycode_t, decltype(&std::free)> keycodes(
        xcb_key_symbols_get_keycode(symbols.get(), *keysym), &std::free);
    if (!keycodes || *keycodes == XCB_NO_SYMBOL) {
        std::fprintf(stderr, "grabkey: no key gives %s\n", argv[1]);
        return 2;
    }
    for (const xcb_keycode_t* k = keycodes.get(); *k != XCB_NO_SYMBOL; ++k) {
        const std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(
                c, xcb_grab_key_checked(c, 0, root, modifiers, *k, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)),
            &std::free);
        if (error) {
            std::fprintf(stderr, "grabkey: the server refused %s (X error %d)\n", argv[1], error->error_code);
            return 1;
        }
    }
    std::printf("grabbed\n");
    std::fflush(stdout);

    // Events are not wanted, only the connection's lifetime; this returns when the server goes.
    while (const auto event =
               std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>(xcb_wait_for_event(c), &std::free))
        ;
    return 0;
}
