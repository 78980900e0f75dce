#include "platform/gnome/GnomeShortcuts.h"

#include "core/text/DesktopKeybindings.h"
#include "core/text/HotkeyNames.h"

// GLib's headers use "signals" as a name, which Qt's keywords would turn into a macro.
#undef signals
#include <gio/gio.h>
// For asking which store GSettings writes to.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gsettingsbackend.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace quillory::gnome {

namespace {

constexpr const char* kMediaKeys = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* kCustom = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
// Where GNOME's own keys live: the window manager's, the shell's, mutter's, the media keys.
constexpr std::array<const char*, 5> kKeybindingSchemas{
    "org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings", "org.gnome.mutter.keybindings",
    "org.gnome.mutter.wayland.keybindings", "org.gnome.settings-daemon.plugins.media-keys"};

// What each hotkey does, as GNOME's keyboard settings list it.
constexpr std::array<const char*, 5> kNames{"Quillory: show the window", "Quillory: move up the item list",
                                            "Quillory: move down the item list", "Quillory: copy the page shown",
                                            "Quillory: hide the window"};

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Settings = std::unique_ptr<GSettings, Unref>;

struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};

// A schema that is not installed would make g_settings_new abort the program.
std::unique_ptr<GSettingsSchema, SchemaUnref> FindSchema(const char* id)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return std::unique_ptr<GSettingsSchema, SchemaUnref>(source ? g_settings_schema_source_lookup(source, id, TRUE)
                                                                : nullptr);
}

Settings Open(const char* id, const char* path = nullptr)
{
    if (!FindSchema(id))
        return nullptr;
    return Settings(path ? g_settings_new_with_path(id, path) : g_settings_new(id));
}

// Every string of a key holding a string or a list of strings.
void Collect(GVariant* value, std::vector<std::string>& out)
{
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        out.emplace_back(g_variant_get_string(value, nullptr));
    } else if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)) {
        gsize count = 0;
        const gchar** strings = g_variant_get_strv(value, &count);
        for (gsize i = 0; i < count; ++i)
            out.emplace_back(strings[i]);
        g_free(static_cast<gpointer>(strings));
    }
}

std::string StringOf(GSettings* settings, const char* key)
{
    gchar* value = g_settings_get_string(settings, key);
    std::string out(value ? value : "");
    g_free(value);
    return out;
}

std::vector<std::string> CustomPaths(GSettings* mediaKeys)
{
    std::vector<std::string> paths;
    gchar** strings = g_settings_get_strv(mediaKeys, "custom-keybindings");
    for (gchar** at = strings; at && *at; ++at)
        paths.emplace_back(*at);
    g_strfreev(strings);
    return paths;
}

} // namespace

bool Offered()
{
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (!desktop)
        return false;
    bool gnome = false;
    for (std::string_view rest = desktop; !rest.empty() && !gnome;) {
        const std::size_t colon = rest.find(':');
        gnome = rest.substr(0, colon) == "GNOME";
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return gnome && FindSchema(kMediaKeys) && FindSchema(kCustom);
}

Survey Look()
{
    std::vector<std::string> used;
    for (const char* id : kKeybindingSchemas) {
        const auto schema = FindSchema(id);
        if (!schema)
            continue;
        const Settings settings = Open(id);
        gchar** keys = g_settings_schema_list_keys(schema.get());
        for (gchar** key = keys; key && *key; ++key) {
            GVariant* value = g_settings_get_value(settings.get(), *key);
            Collect(value, used);
            g_variant_unref(value);
        }
        g_strfreev(keys);
    }
    Survey survey;
    if (const Settings mediaKeys = Open(kMediaKeys)) {
        for (const std::string& path : CustomPaths(mediaKeys.get())) {
            const Settings custom = Open(kCustom, path.c_str());
            if (!custom)
                continue;
            bool ours = false;
            for (int id = 1; id <= kHotkeyCount; ++id)
                if (path == CustomKeybindingPath(id)) {
                    survey.oursMask |= 1U << (id - 1);
                    ours = true;
                }
            // Our own entries do not take the keys from us.
            if (!ours)
                used.push_back(StringOf(custom.get(), "binding"));
        }
    }
    survey.freeMask = FreeHotkeys(used) & ~survey.oursMask;
    return survey;
}

bool Bind(unsigned mask, const std::array<std::string, 5>& commands, std::string& why)
{
    GSettingsBackend* backend = g_settings_backend_get_default();
    // Without dconf's module GSettings keeps values in memory, and they would vanish at exit.
    const bool lasting = backend && std::strstr(G_OBJECT_TYPE_NAME(backend), "Memory") == nullptr;
    if (backend)
        g_object_unref(backend);
    const Settings mediaKeys = Open(kMediaKeys);
    if (!lasting || !mediaKeys) {
        why = "GNOME's settings store (dconf) is not available to Quillory.";
        return false;
    }
    for (int id = 1; id <= kHotkeyCount; ++id) {
        if ((mask & (1U << (id - 1))) == 0)
            continue;
        const std::string path = CustomKeybindingPath(id);
        const Settings custom = Open(kCustom, path.c_str());
        const auto at = static_cast<std::size_t>(id - 1);
        if (!custom || !g_settings_set_string(custom.get(), "name", kNames[at]) ||
            !g_settings_set_string(custom.get(), "command", commands[at].c_str()) ||
            !g_settings_set_string(custom.get(), "binding", AskedAccelerator(id).c_str())) {
            why = "GNOME's keyboard shortcut settings could not be written.";
            return false;
        }
    }
    // The list last: GNOME takes a shortcut up once its path is listed, with its settings in place.
    std::vector<std::string> paths = WithHotkeyPaths(CustomPaths(mediaKeys.get()), mask);
    std::vector<const gchar*> strv;
    strv.reserve(paths.size() + 1);
    for (const std::string& path : paths)
        strv.push_back(path.c_str());
    strv.push_back(nullptr);
    if (!g_settings_set_strv(mediaKeys.get(), "custom-keybindings", strv.data())) {
        why = "GNOME's keyboard shortcut settings could not be written.";
        return false;
    }
    // Written through dconf's service before this returns, so a quick exit loses nothing.
    g_settings_sync();
    return true;
}

} // namespace quillory::gnome
