#pragma once

// What the checks before a launch ask of the machine they run on: whether a port is taken
// and whether a process lives. The checks take it as an interface, so that a caller can
// answer for a machine of its own making.
namespace quarnel {

enum class PortProtocol { Udp, Tcp };

class Machine {
public:
    virtual ~Machine() = default;
    // Whether something on this machine holds port: binding it on the loopback or on the
    // wildcard address fails because the address is in use. The probe never keeps a socket.
    virtual bool portInUse(PortProtocol protocol, int port) = 0;
    // Whether a process with this id runs on this machine.
    virtual bool processRunning(long pid) = 0;
};

// This machine: ports probed with sockets bound and closed at once, processes asked of the
// system.
class LocalMachine : public Machine {
public:
    bool portInUse(PortProtocol protocol, int port) override;
    bool processRunning(long pid) override;
};

} // namespace quarnel
