#include "check/Machine.h"

#include <cerrno>
#include <cstdint>
#include <limits>

#ifdef _WIN32
// Winsock comes before the rest of the Windows headers.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quarnel {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
void closeSocket(Socket s) {
    closesocket(s);
}
bool addressInUse() {
    const int error = WSAGetLastError();
    return error == WSAEADDRINUSE || error == WSAEACCES;
}
// Winsock wants to be started once per process before its first socket.
void startSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
void closeSocket(Socket s) {
    ::close(s);
}
bool addressInUse() {
    return errno == EADDRINUSE;
}
void startSockets() {}
#endif

// Tries to bind port on address (host byte order) and closes the socket at once. True only
// when the bind fails because the address is taken; a port the user may not bind (below
// 1024 without privileges) is not counted as in use.
bool bindFails(PortProtocol protocol, std::uint32_t address, int port) {
    const bool udp = protocol == PortProtocol::Udp;
    const Socket s =
        ::socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, udp ? IPPROTO_UDP : IPPROTO_TCP);
    if (s == kNoSocket)
        return false;
#ifndef _WIN32
    if (!udp) {
        // A TCP port that a closed connection still waits on is free for a new listener.
        const int on = 1;
        ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
#endif
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    where.sin_addr.s_addr = htonl(address);
    const bool failed =
        ::bind(s, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 && addressInUse();
    closeSocket(s);
    return failed;
}

} // namespace

bool LocalMachine::portInUse(PortProtocol protocol, int port) {
    if (port <= 0 || port > 65535)
        return false;
    startSockets();
    return bindFails(protocol, INADDR_LOOPBACK, port) || bindFails(protocol, INADDR_ANY, port);
}

bool LocalMachine::processRunning(long pid) {
    if (pid <= 0)
        return false;
#ifdef _WIN32
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr)
        return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    // A larger number would turn into a process group once it is a pid_t.
    if (pid > std::numeric_limits<pid_t>::max())
        return false;
    // Signal 0 only asks whether the process exists; one of another user answers EPERM.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

} // namespace quarnel
