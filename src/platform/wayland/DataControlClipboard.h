#pragma once

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class QMimeData;
class QSocketNotifier;
struct wl_display;
struct wl_proxy;
struct wl_registry;

namespace quillory {

// Sets the Wayland clipboard without the keyboard focus, through the compositor's data-control
// protocol (ext_data_control_manager_v1, else zwlr_data_control_manager_v1), on a connection of
// its own: Wayland gives the clipboard only to the focused client otherwise. Serves each format
// when a paste asks for it, without ever blocking on the reader. Lives on the user-interface
// thread; does nothing where the compositor offers neither protocol.
class DataControlClipboard final : public QObject {
public:
    // Connects to the compositor named by WAYLAND_DISPLAY; see available().
    DataControlClipboard();
    ~DataControlClipboard() override;

    // Whether the compositor offers data control and the connection stands.
    [[nodiscard]] bool available() const { return m_device != nullptr; }

    // Makes `data` the clipboard, offered in its own formats and the usual text aliases. False
    // when the compositor could not be told.
    [[nodiscard]] bool setSelection(std::unique_ptr<QMimeData> data);

    // The MIME types offered for `data`.
    [[nodiscard]] static std::vector<QByteArray> offeredTypes(const QMimeData& data);
    // The bytes served for `type`; empty for a type that is not offered.
    [[nodiscard]] static QByteArray bytesFor(const QMimeData& data, const QByteArray& type);

    struct Protocol;
    struct Source;

private:
    void dispatch();
    void fail();
    // A reader asked for `type` on `fd`; the bytes go out as the pipe takes them.
    void serve(Source* source, const char* type, int fd);
    void dropSource(Source* source);

    static void onGlobal(void* self, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* self, wl_registry* registry, std::uint32_t name);
    static void onDataOffer(void* self, wl_proxy* device, wl_proxy* offer);
    static void onSelection(void* self, wl_proxy* device, wl_proxy* offer);
    static void onFinished(void* self, wl_proxy* device);
    static void onSend(void* source, wl_proxy* proxy, const char* type, std::int32_t fd);
    static void onCancelled(void* source, wl_proxy* proxy);
    static void onOffer(void* self, wl_proxy* offer, const char* type);

    wl_display* m_display = nullptr;
    wl_proxy* m_registry = nullptr;
    wl_proxy* m_seat = nullptr;
    wl_proxy* m_manager = nullptr;
    wl_proxy* m_device = nullptr;
    const Protocol* m_protocol = nullptr;
    wl_proxy* m_lastOffer = nullptr; // others' offers, destroyed as they are replaced
    QSocketNotifier* m_notifier = nullptr;
    std::vector<std::unique_ptr<Source>> m_sources; // ours; the newest is the clipboard
};

} // namespace quillory
