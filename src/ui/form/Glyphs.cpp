#include "ui/form/Glyphs.h"

#include <array>
#include <initializer_list>

// The resources live in a static library; nothing else references their object file, so the
// linker would drop it unless it is pulled in by name. The macro may not sit in a namespace.
static void initGlyphResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace quillory {
namespace {

constexpr std::size_t kGlyphCount = static_cast<std::size_t>(GlyphId::Tray) + 1;

// In the order of GlyphId.
constexpr std::array<const char*, kGlyphCount> kNames = {
    "save",         "open",        "add-item", "remove-item", "rename",   "copy",    "print", "align-left",
    "align-centre", "align-right", "bullet",   "overview",    "help-off", "help-on", "tray",
};

QIcon load(GlyphId id)
{
    QIcon icon;
    if (id == GlyphId::Tray) {
        for (const int side : {16, 32, 64})
            icon.addFile(QStringLiteral(":/glyphs/tray-%1.png").arg(side), QSize(side, side));
    } else {
        const auto* name = kNames.at(static_cast<std::size_t>(id));
        icon.addFile(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)), glyphSize(id));
    }
    return icon;
}

} // namespace

QSize glyphSize(GlyphId id)
{
    if (id == GlyphId::HelpOff || id == GlyphId::HelpOn)
        return {20, 20};
    return {16, 16};
}

QIcon Glyph(GlyphId id)
{
    // Only the user-interface thread asks for pictures.
    static const bool registered = (initGlyphResources(), true);
    (void)registered;
    static std::array<QIcon, kGlyphCount> cache;
    QIcon& icon = cache.at(static_cast<std::size_t>(id));
    if (icon.isNull())
        icon = load(id);
    return icon;
}

} // namespace quillory
