// A session manager for the end-to-end tests, on libSM: it takes one client at a time, acts on
// commands read from standard input, one per line, and reports what the client does on standard
// output, one event per line. Its first line is the address for the client's SESSION_MANAGER.
//
// Commands: checkpoint | shutdown | shutdown-quiet (a log-out that grants no interaction) |
//           cancel (the log-out is called off) | complete (a checkpoint is over) | die | quit
// Events:   registered | interact-request | interact-granted | interact-done [cancel] |
//           save-done success|failure | closed
#include <X11/ICE/ICElib.h>
#include <X11/ICE/ICEutil.h>
#include <X11/SM/SMlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

SmsConn g_client = nullptr;
std::vector<IceConn> g_connections;

void say(const char* event)
{
    std::printf("%s\n", event);
    std::fflush(stdout);
}

Status registerClient(SmsConn conn, SmPointer, char* previousId)
{
    char* id = SmsGenerateClientID(conn);
    SmsRegisterClientReply(conn, id);
    std::free(id);
    std::free(previousId);
    say("registered");
    return 1;
}

void interactRequest(SmsConn conn, SmPointer, int)
{
    say("interact-request");
    SmsInteract(conn);
    say("interact-granted");
}

void interactDone(SmsConn, SmPointer, Bool cancelShutdown)
{
    say(cancelShutdown ? "interact-done cancel" : "interact-done");
}

void saveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool)
{
}

void saveYourselfPhase2Request(SmsConn conn, SmPointer)
{
    SmsSaveYourselfPhase2(conn);
}

void saveYourselfDone(SmsConn, SmPointer, Bool success)
{
    say(success ? "save-done success" : "save-done failure");
}

void closeConnection(SmsConn conn, SmPointer, int count, char** reasons)
{
    SmFreeReasons(count, reasons);
    SmsCleanUp(conn);
    g_client = nullptr;
    say("closed");
}

void setProperties(SmsConn, SmPointer, int count, SmProp** properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void deleteProperties(SmsConn, SmPointer, int count, char** names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void getProperties(SmsConn conn, SmPointer)
{
    SmsReturnProperties(conn, 0, nullptr);
}

Status newClient(SmsConn conn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**)
{
    g_client = conn;
    std::memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = interactRequest;
    callbacks->interact_done.callback = interactDone;
    callbacks->save_yourself_request.callback = saveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = saveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->get_properties.callback = getProperties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    return 1;
}

// A client that goes away is an event, not the end of the session manager (libICE's own handler
// would exit).
void ignoreIoError(IceConn)
{
}

// The test's own session on a private display: any local client may join.
Bool anyHost(char*)
{
    return True;
}

void command(const std::string& line)
{
    if (line == "quit")
        std::exit(0);
    if (g_client == nullptr) {
        say("no-client");
        return;
    }
    if (line == "checkpoint")
        SmsSaveYourself(g_client, SmSaveBoth, False, SmInteractStyleAny, False);
    else if (line == "shutdown")
        SmsSaveYourself(g_client, SmSaveBoth, True, SmInteractStyleAny, False);
    else if (line == "shutdown-quiet")
        SmsSaveYourself(g_client, SmSaveBoth, True, SmInteractStyleNone, False);
    else if (line == "cancel")
        SmsShutdownCancelled(g_client);
    else if (line == "complete")
        SmsSaveComplete(g_client);
    else if (line == "die")
        SmsDie(g_client);
    else
        say("unknown-command");
}

} // namespace

int main()
{
    IceSetIOErrorHandler(ignoreIoError);
    char error[256] = {};
    if (!SmsInitialize("quillory-tests", "1", newClient, nullptr, anyHost, sizeof error, error)) {
        std::fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int listenCount = 0;
    IceListenObj* listeners = nullptr;
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error) || listenCount == 0) {
        std::fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < listenCount; ++i)
        IceSetHostBasedAuthProc(listeners[i], anyHost);
    char* ids = IceComposeNetworkIdList(listenCount, listeners);
    std::printf("%s\n", ids);
    std::fflush(stdout);
    std::free(ids);

    std::string pending;
    for (;;) {
        std::vector<pollfd> fds{{STDIN_FILENO, POLLIN, 0}};
        for (int i = 0; i < listenCount; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn c : g_connections)
            fds.push_back({IceConnectionNumber(c), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char chunk[256];
            const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (n <= 0)
                return 0;
            pending.append(chunk, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                command(pending.substr(0, end));
                pending.erase(0, end + 1);
            }
        }
        for (int i = 0; i < listenCount; ++i) {
            if (!(fds[static_cast<std::size_t>(1 + i)].revents & POLLIN))
                continue;
            IceAcceptStatus status;
            IceConn c = IceAcceptConnection(listeners[i], &status);
            if (c == nullptr)
                continue;
            IceConnectStatus state;
            while ((state = IceConnectionStatus(c)) == IceConnectPending)
                if (IceProcessMessages(c, nullptr, nullptr) == IceProcessMessagesIOError)
                    break;
            if (state == IceConnectAccepted)
                g_connections.push_back(c);
            else
                IceCloseConnection(c);
        }
        const std::size_t first = 1 + static_cast<std::size_t>(listenCount);
        for (std::size_t i = g_connections.size(); i-- > 0;) {
            if (!(fds[first + i].revents & (POLLIN | POLLHUP)))
                continue;
            if (IceProcessMessages(g_connections[i], nullptr, nullptr) == IceProcessMessagesIOError) {
                IceSetShutdownNegotiation(g_connections[i], False);
                IceCloseConnection(g_connections[i]);
                g_connections.erase(g_connections.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}
