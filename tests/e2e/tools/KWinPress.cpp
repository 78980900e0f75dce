// kwin_press KEY...: presses keys as a real keyboard would, through KWin's fake input (the
// compositor's own input path, so its global shortcuts see them), then releases them in reverse.
// KEY is a Linux key code name this tool knows: ctrl, shift, alt, meta, f1..f12. Exit 0 once KWin has
// taken the events, 2 on bad arguments, 1 when there is no fake input to use.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

struct Globals {
    org_kde_kwin_fake_input* fake = nullptr;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        globals->fake = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t)
{
}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemove};

// Linux input event codes (linux/input-event-codes.h).
int keyCode(std::string_view name)
{
    if (name == "ctrl")
        return 29;
    if (name == "shift")
        return 42;
    if (name == "alt")
        return 56;
    if (name == "meta")
        return 125;
    static constexpr int kF[] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88};
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int n = 0;
        for (const char c : name.substr(1)) {
            if (c < '0' || c > '9')
                return -1;
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12)
            return kF[n - 1];
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> keys;
    for (int i = 1; i < argc; ++i) {
        const int code = keyCode(argv[i]);
        if (code < 0) {
            std::fprintf(stderr, "kwin_press: unknown key '%s'\n", argv[i]);
            return 2;
        }
        keys.push_back(code);
    }
    if (keys.empty()) {
        std::fprintf(stderr, "usage: kwin_press KEY...\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "kwin_press: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.fake) {
        std::fprintf(stderr, "kwin_press: the compositor offers no fake input (version 4)\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(globals.fake, "Quillory tests", "presses hotkeys in end-to-end tests");
    for (const int key : keys)
        org_kde_kwin_fake_input_keyboard_key(globals.fake, static_cast<std::uint32_t>(key), 1);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        org_kde_kwin_fake_input_keyboard_key(globals.fake, static_cast<std::uint32_t>(*it), 0);
    const int ok = wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(globals.fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return ok < 0 ? 1 : 0;
}
