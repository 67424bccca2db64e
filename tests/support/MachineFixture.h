#pragma once

#include "check/Machine.h"

#include <cstdint>
#include <set>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quarnel::test {

#ifdef _WIN32
using Socket = SOCKET;
#else
using Socket = int;
inline int closesocket(Socket socket) {
    return ::close(socket);
}
#endif

// A machine whose ports are all free and whose running processes are the ones listed.
struct QuietMachine : Machine {
    bool portInUse(PortProtocol, int) override { return false; }
    bool processRunning(long pid) override { return running.count(pid) > 0; }
    std::set<long> running;
};

// A socket holding a loopback port (a TCP one listening) until the object goes.
class LoopbackPort {
public:
    LoopbackPort(PortProtocol protocol, int port) {
        const bool udp = protocol == PortProtocol::Udp;
        socket_ = ::socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, 0);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(static_cast<std::uint16_t>(port));
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bound_ = ::bind(socket_, reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0 &&
                 (udp || ::listen(socket_, 1) == 0);
    }
    ~LoopbackPort() { closesocket(socket_); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;

    bool bound() const { return bound_; }

private:
    Socket socket_;
    bool bound_ = false;
};

// A game port P whose UDP P, P+1, P+10 and TCP P+20 are free here now; 0 when none is.
inline int freeGamePort() {
    LocalMachine local;
    for (int port = 20011; port < 64000; port += 97) {
        bool free = !local.portInUse(PortProtocol::Tcp, port + 20);
        for (int p : {port, port + 1, port + 10})
            free = free && !local.portInUse(PortProtocol::Udp, p);
        if (free)
            return port;
    }
    return 0;
}

} // namespace quarnel::test
