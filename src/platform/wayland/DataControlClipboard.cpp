#include "platform/wayland/DataControlClipboard.h"

#include <QMetaObject>
#include <QMimeData>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <algorithm>
#include <array>

#include <fcntl.h>
#include <unistd.h>

#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace quillory {

// The two protocols differ in their names only: the same requests and events in the same order.
struct DataControlClipboard::Protocol {
    const char* name;
    const wl_interface* manager;
    const wl_interface* device;
    const wl_interface* source;
};

struct DataControlClipboard::Source {
    DataControlClipboard* owner = nullptr;
    wl_proxy* proxy = nullptr;
    std::unique_ptr<QMimeData> data;
};

namespace {

const DataControlClipboard::Protocol kExt{"ext_data_control_manager_v1", &ext_data_control_manager_v1_interface,
                                          &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface};
const DataControlClipboard::Protocol kWlr{"zwlr_data_control_manager_v1", &zwlr_data_control_manager_v1_interface,
                                          &zwlr_data_control_v1_interface, &zwlr_data_control_source_v1_interface};

// Request opcodes, alike in both protocols.
constexpr std::uint32_t kCreateDataSource = 0;
constexpr std::uint32_t kGetDataDevice = 1;
constexpr std::uint32_t kManagerDestroy = 2;
constexpr std::uint32_t kSetSelection = 0;
constexpr std::uint32_t kDeviceDestroy = 1;
constexpr std::uint32_t kOffer = 0;
constexpr std::uint32_t kSourceDestroy = 1;
constexpr std::uint32_t kOfferDestroy = 1;

struct DeviceListener {
    void (*dataOffer)(void*, wl_proxy*, wl_proxy*);
    void (*selection)(void*, wl_proxy*, wl_proxy*);
    void (*finished)(void*, wl_proxy*);
    void (*primarySelection)(void*, wl_proxy*, wl_proxy*);
};
struct SourceListener {
    void (*send)(void*, wl_proxy*, const char*, std::int32_t);
    void (*cancelled)(void*, wl_proxy*);
};
struct OfferListener {
    void (*offer)(void*, wl_proxy*, const char*);
};

template <typename Listener> void listen(wl_proxy* proxy, const Listener& listener, void* data)
{
    // libwayland calls through a table of function pointers laid out as the interface's events.
    wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<Listener*>(&listener)), data);
}

void destroyWith(wl_proxy* proxy, std::uint32_t opcode)
{
    if (proxy)
        wl_proxy_marshal_flags(proxy, opcode, nullptr, wl_proxy_get_version(proxy), WL_MARSHAL_FLAG_DESTROY);
}

const QByteArray kUtf8Text = QByteArrayLiteral("text/plain;charset=utf-8");
const QByteArray kPlainText = QByteArrayLiteral("text/plain");
// The names X11 clients and older Wayland clients ask text by.
const std::array<QByteArray, 3> kTextAliases{QByteArrayLiteral("UTF8_STRING"), QByteArrayLiteral("TEXT"),
                                             QByteArrayLiteral("STRING")};

// Writes one format into a reader's pipe as fast as the reader takes it, then closes the pipe.
class PipeWriter final : public QObject {
public:
    PipeWriter(QObject* parent, int fd, QByteArray bytes) : QObject(parent), m_fd(fd), m_bytes(std::move(bytes))
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        if (!write()) {
            m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
            connect(m_notifier, &QSocketNotifier::activated, this, [this] {
                if (write()) {
                    m_notifier->setEnabled(false);
                    deleteLater();
                }
            });
        } else {
            deleteLater();
        }
    }
    ~PipeWriter() override { ::close(m_fd); }
    PipeWriter(const PipeWriter&) = delete;
    PipeWriter& operator=(const PipeWriter&) = delete;

private:
    // True when done: everything written, or the reader gone.
    bool write()
    {
        while (m_written < m_bytes.size()) {
            const ssize_t n =
                ::write(m_fd, m_bytes.constData() + m_written, static_cast<std::size_t>(m_bytes.size() - m_written));
            if (n > 0)
                m_written += n;
            else if (n < 0 && errno == EINTR)
                continue;
            else
                return !(n < 0 && errno == EAGAIN);
        }
        return true;
    }

    int m_fd;
    QByteArray m_bytes;
    qsizetype m_written = 0;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace

DataControlClipboard::DataControlClipboard()
{
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return;
    // A reader that goes away mid-paste must not take the program with it.
    std::signal(SIGPIPE, SIG_IGN);
    static const wl_registry_listener registryListener{&DataControlClipboard::onGlobal,
                                                       &DataControlClipboard::onGlobalRemove};
    m_registry = reinterpret_cast<wl_proxy*>(wl_display_get_registry(m_display));
    wl_registry_add_listener(reinterpret_cast<wl_registry*>(m_registry), &registryListener, this);
    if (wl_display_roundtrip(m_display) < 0 || !m_manager || !m_seat) {
        fail();
        return;
    }
    m_device = wl_proxy_marshal_flags(m_manager, kGetDataDevice, m_protocol->device, wl_proxy_get_version(m_manager), 0,
                                      nullptr, m_seat);
    static const DeviceListener deviceListener{&DataControlClipboard::onDataOffer, &DataControlClipboard::onSelection,
                                               &DataControlClipboard::onFinished, &DataControlClipboard::onSelection};
    listen(m_device, deviceListener, this);
    if (wl_display_roundtrip(m_display) < 0) {
        fail();
        return;
    }
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DataControlClipboard::dispatch);
}

DataControlClipboard::~DataControlClipboard()
{
    fail();
}

void DataControlClipboard::onGlobal(void* self, wl_registry* registry, std::uint32_t name, const char* interface,
                                    std::uint32_t version)
{
    auto* me = static_cast<DataControlClipboard*>(self);
    if (std::strcmp(interface, "wl_seat") == 0 && !me->m_seat) {
        me->m_seat = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        return;
    }
    for (const Protocol* protocol : {&kExt, &kWlr}) {
        // The standard protocol wins over the older one whichever the compositor lists first.
        if (std::strcmp(interface, protocol->name) != 0 || (me->m_protocol == &kExt))
            continue;
        if (me->m_manager)
            destroyWith(me->m_manager, kManagerDestroy);
        (void)version;
        me->m_manager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, protocol->manager, 1));
        me->m_protocol = protocol;
    }
}

void DataControlClipboard::onGlobalRemove(void*, wl_registry*, std::uint32_t)
{
}

void DataControlClipboard::onDataOffer(void* self, wl_proxy*, wl_proxy* offer)
{
    // Other clients' selections: their types are of no interest, but the offer must be released.
    static const OfferListener offerListener{&DataControlClipboard::onOffer};
    listen(offer, offerListener, self);
}

void DataControlClipboard::onOffer(void*, wl_proxy*, const char*)
{
}

void DataControlClipboard::onSelection(void* self, wl_proxy*, wl_proxy* offer)
{
    auto* me = static_cast<DataControlClipboard*>(self);
    if (me->m_lastOffer && me->m_lastOffer != offer)
        destroyWith(me->m_lastOffer, kOfferDestroy);
    me->m_lastOffer = offer;
}

void DataControlClipboard::onFinished(void* self, wl_proxy*)
{
    // Not from inside the connection's own dispatch, which the teardown would pull away.
    auto* me = static_cast<DataControlClipboard*>(self);
    QMetaObject::invokeMethod(
        me, [me] { me->fail(); }, Qt::QueuedConnection);
}

void DataControlClipboard::onSend(void* source, wl_proxy*, const char* type, std::int32_t fd)
{
    auto* s = static_cast<Source*>(source);
    s->owner->serve(s, type, fd);
}

void DataControlClipboard::onCancelled(void* source, wl_proxy*)
{
    auto* s = static_cast<Source*>(source);
    s->owner->dropSource(s);
}

void DataControlClipboard::dispatch()
{
    if (!m_display)
        return;
    if (wl_display_dispatch(m_display) < 0 || wl_display_flush(m_display) < 0)
        fail();
}

void DataControlClipboard::fail()
{
    delete m_notifier;
    m_notifier = nullptr;
    for (const auto& s : m_sources)
        destroyWith(s->proxy, kSourceDestroy);
    m_sources.clear();
    if (m_lastOffer)
        destroyWith(m_lastOffer, kOfferDestroy);
    m_lastOffer = nullptr;
    destroyWith(m_device, kDeviceDestroy);
    m_device = nullptr;
    destroyWith(m_manager, kManagerDestroy);
    m_manager = nullptr;
    if (m_seat)
        wl_proxy_destroy(m_seat);
    m_seat = nullptr;
    if (m_registry)
        wl_proxy_destroy(m_registry);
    m_registry = nullptr;
    if (m_display)
        wl_display_disconnect(m_display);
    m_display = nullptr;
}

bool DataControlClipboard::setSelection(std::unique_ptr<QMimeData> data)
{
    if (!m_device || !data)
        return false;
    auto source = std::make_unique<Source>();
    source->owner = this;
    source->data = std::move(data);
    source->proxy = wl_proxy_marshal_flags(m_manager, kCreateDataSource, m_protocol->source,
                                           wl_proxy_get_version(m_manager), 0, nullptr);
    if (!source->proxy)
        return false;
    static const SourceListener sourceListener{&DataControlClipboard::onSend, &DataControlClipboard::onCancelled};
    listen(source->proxy, sourceListener, source.get());
    for (const QByteArray& type : offeredTypes(*source->data))
        wl_proxy_marshal_flags(source->proxy, kOffer, nullptr, wl_proxy_get_version(source->proxy), 0,
                               type.constData());
    wl_proxy_marshal_flags(m_device, kSetSelection, nullptr, wl_proxy_get_version(m_device), 0, source->proxy);
    m_sources.push_back(std::move(source));
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        fail();
        return false;
    }
    return wl_display_get_error(m_display) == 0;
}

void DataControlClipboard::serve(Source* source, const char* type, int fd)
{
    new PipeWriter(this, fd, bytesFor(*source->data, QByteArray(type)));
}

void DataControlClipboard::dropSource(Source* source)
{
    destroyWith(source->proxy, kSourceDestroy);
    std::erase_if(m_sources, [source](const std::unique_ptr<Source>& s) { return s.get() == source; });
}

std::vector<QByteArray> DataControlClipboard::offeredTypes(const QMimeData& data)
{
    std::vector<QByteArray> types;
    for (const QString& format : data.formats())
        types.push_back(format.toUtf8());
    if (data.hasText()) {
        if (std::find(types.begin(), types.end(), kPlainText) == types.end())
            types.push_back(kPlainText);
        types.push_back(kUtf8Text);
        types.insert(types.end(), kTextAliases.begin(), kTextAliases.end());
    }
    return types;
}

QByteArray DataControlClipboard::bytesFor(const QMimeData& data, const QByteArray& type)
{
    if (type == kPlainText || type == kUtf8Text || type == kTextAliases[0] || type == kTextAliases[1])
        return data.text().toUtf8();
    if (type == kTextAliases[2])
        return data.text().toLatin1();
    const auto types = offeredTypes(data);
    if (std::find(types.begin(), types.end(), type) == types.end())
        return {};
    return data.data(QString::fromUtf8(type));
}

} // namespace quillory
