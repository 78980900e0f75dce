// portallatency RUNS BYTES: times the portal's Activated for the copy shortcut until the Wayland
// clipboard has served the whole page as text. Needs sway (or another compositor with wlr data
// control) on WAYLAND_DISPLAY, the stand-in portal of tests/e2e on the session bus, and Quillory
// running there with a page of BYTES bytes of UTF-8 text shown. Prints the median, min and max.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

struct State {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    std::map<zwlr_data_control_offer_v1*, std::set<std::string>> types;
    zwlr_data_control_offer_v1* selection = nullptr;
    bool fresh = false; // a selection arrived since the last look
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto* s = static_cast<State*>(data);
    if (std::strcmp(interface, "wl_seat") == 0 && !s->seat)
        s->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0)
        s->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, std::uint32_t)
{
}

void offerType(void* data, zwlr_data_control_offer_v1* offer, const char* type)
{
    static_cast<State*>(data)->types[offer].insert(type);
}
const zwlr_data_control_offer_v1_listener offerListener{&offerType};

void dataOffer(void* data, zwlr_data_control_v1*, zwlr_data_control_offer_v1* offer)
{
    zwlr_data_control_offer_v1_add_listener(offer, &offerListener, data);
}
void selection(void* data, zwlr_data_control_v1*, zwlr_data_control_offer_v1* offer)
{
    auto* s = static_cast<State*>(data);
    if (s->selection && s->selection != offer) {
        s->types.erase(s->selection);
        zwlr_data_control_offer_v1_destroy(s->selection);
    }
    s->selection = offer;
    if (offer)
        s->types[offer]; // known even when it offers nothing, so it is destroyed at the end
    s->fresh = true;
}
void finished(void*, zwlr_data_control_v1*)
{
}
const zwlr_data_control_v1_listener deviceListener{&dataOffer, &selection, &finished};

// Serves the reset text to whoever pastes it, then forgets the source when it is replaced.
void send(void*, zwlr_data_control_source_v1*, const char*, std::int32_t fd)
{
    (void)!write(fd, "reset", 5);
    close(fd);
}
void cancelled(void*, zwlr_data_control_source_v1* source)
{
    zwlr_data_control_source_v1_destroy(source);
}
const zwlr_data_control_source_v1_listener sourceListener{&send, &cancelled};

// Reads the selection as UTF-8 text until the writer closes it.
std::string readSelection(wl_display* display, zwlr_data_control_offer_v1* offer)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    zwlr_data_control_offer_v1_receive(offer, "text/plain;charset=utf-8", fds[1]);
    wl_display_flush(display);
    close(fds[1]);
    std::string bytes;
    char buffer[65536];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;)
        if (n > 0)
            bytes.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    close(fds[0]);
    return bytes;
}

bool isQuillorys(const State& s)
{
    const auto it = s.types.find(s.selection);
    return s.selection && it != s.types.end() && it->second.count("text/rtf") != 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    const std::size_t bytes = argc > 2 ? static_cast<std::size_t>(std::atol(argv[2])) : 0;

    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "portallatency: no Wayland display\n");
        return 2;
    }
    State state;
    const wl_registry_listener registryListener{&global, &globalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    wl_display_roundtrip(display);
    if (!state.manager || !state.seat) {
        std::fprintf(stderr, "portallatency: the compositor offers no wlr data control\n");
        return 2;
    }
    zwlr_data_control_v1* device = zwlr_data_control_manager_v1_get_data_control(state.manager, state.seat);
    zwlr_data_control_v1_add_listener(device, &deviceListener, &state);
    wl_display_roundtrip(display);

    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage press =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/StandIn"),
                                       QStringLiteral("org.quillory.StandIn"), QStringLiteral("Press"));
    press << QStringLiteral("copy-page") << QString();

    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        // Someone else's text first, so the next selection of Quillory's is the copy's.
        zwlr_data_control_source_v1* reset = zwlr_data_control_manager_v1_create_data_source(state.manager);
        zwlr_data_control_source_v1_add_listener(reset, &sourceListener, nullptr);
        zwlr_data_control_source_v1_offer(reset, "text/plain;charset=utf-8");
        zwlr_data_control_v1_set_selection(device, reset);
        do
            wl_display_roundtrip(display);
        while (isQuillorys(state));
        state.fresh = false;

        const auto start = Clock::now();
        const QDBusMessage reply = bus.call(press);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "portallatency: the stand-in portal did not press: %s\n",
                         qPrintable(reply.errorMessage()));
            return 2;
        }
        const auto deadline = start + std::chrono::seconds(5);
        while (!(state.fresh && isQuillorys(state))) {
            state.fresh = false;
            pollfd p{wl_display_get_fd(display), POLLIN, 0};
            wl_display_flush(display);
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "portallatency: no copy within 5 s\n");
                return 1;
            }
            if (poll(&p, 1, 100) > 0)
                wl_display_dispatch(display);
            else
                wl_display_dispatch_pending(display);
        }
        const std::string text = readSelection(display, state.selection);
        const auto end = Clock::now();
        if (bytes != 0 && text.size() != bytes) {
            std::fprintf(stderr, "portallatency: got %zu bytes, expected %zu\n", text.size(), bytes);
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "portal Activated to the clipboard served (%zu bytes), %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n",
        bytes, runs, ms[ms.size() / 2], ms.front(), ms.back());
    for (const auto& [offer, types] : state.types)
        zwlr_data_control_offer_v1_destroy(offer);
    zwlr_data_control_v1_destroy(device);
    zwlr_data_control_manager_v1_destroy(state.manager);
    wl_seat_destroy(state.seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
