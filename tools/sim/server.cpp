#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <iomanip>
#include <list>
#include <random>
#include <sstream>

#include "byte_text.h"
#include "controller.h"

namespace zeloe::sim {
namespace {

using Clock = std::chrono::steady_clock;

struct Output {
    Clock::time_point due;
    std::string bytes;
    bool close = false;
    bool reset = false;
};

struct Connection {
    int fd;
    Station* station;
    std::string input;
    int commands = 0;
    std::deque<Output> outputs;
    bool closing = false;  // no more commands are taken
};

struct Listener {
    Station* station;
    int fd = -1;
    Clock::time_point opensAt;
    // Late handshakes: until then the accept queue is kept full with our own connections, so
    // that the kernel leaves a client's handshake unanswered.
    Clock::time_point holdUntil;
    std::vector<int> fillers;
    bool failed = false;  // could not listen; never tried again
};

bool IsLoopback(const std::string& address) {
    in_addr parsed{};
    return inet_pton(AF_INET, address.c_str(), &parsed) == 1 && (ntohl(parsed.s_addr) >> 24) == 127;
}

int Listen(const std::string& address, std::string& error) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(2001);
    if (inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) != 1) {
        error = "not an IPv4 address";
        return -1;
    }
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, reinterpret_cast<sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
        listen(fd, 16) != 0) {
        error = std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

class Server {
  public:
    Server(Plant& plant, const ServerOptions& options, std::ostream& log)
        : plant_(plant), options_(options), log_(log), start_(Clock::now()) {}

    int Run(const std::atomic<bool>& stop) {
        for (auto& station : plant_.stations) {
            if (!options_.anyAddress && !IsLoopback(station.address)) {
                log_ << "zeloe-sim: " << station.address
                     << " is not a loopback address (127.0.0.0/8); use --any-address to allow it\n";
                return 2;
            }
            if (station.faults.refuse) {
                log_ << "station " << station.address << ": refuses connections\n";
                continue;
            }
            Listener listener{};
            listener.station = &station;
            listener.opensAt = start_ + std::chrono::milliseconds(station.faults.listenDelayMs);
            listeners_.push_back(listener);
        }
        OpenDueListeners();
        // A station due at start that cannot listen (its address in use by another process)
        // ends the simulator before it says "ready": whoever holds the address would be
        // answering in its place.
        for (const auto& l : listeners_) {
            if (l.failed) {
                for (auto& other : listeners_)
                    if (other.fd >= 0) close(other.fd);
                return 2;
            }
        }
        log_ << "ready" << std::endl;

        while (!stop) {
            OpenDueListeners();
            ReleaseHeldListeners();
            std::vector<pollfd> fds;
            std::vector<Listener*> polledListeners;
            std::vector<Connection*> polledConnections;
            for (auto& l : listeners_) {
                if (l.fd < 0 || !l.fillers.empty()) continue;
                fds.push_back({l.fd, POLLIN, 0});
                polledListeners.push_back(&l);
            }
            // A closing connection is not polled: its end of file or reset would keep it
            // ready and the loop spinning while its last output waits for its due time.
            for (auto& c : connections_) {
                if (c.closing) continue;
                fds.push_back({c.fd, POLLIN, 0});
                polledConnections.push_back(&c);
            }
            poll(fds.data(), fds.size(), WaitMs());
            size_t at = 0;
            for (Listener* l : polledListeners)
                if (fds[at++].revents & POLLIN) Accept(*l);
            for (Connection* c : polledConnections)
                if (fds[at++].revents & (POLLIN | POLLHUP | POLLERR)) Receive(*c);
            for (auto it = connections_.begin(); it != connections_.end();) {
                if (Flush(*it)) {
                    ++it;
                } else {
                    close(it->fd);
                    it = connections_.erase(it);
                }
            }
        }
        for (auto& c : connections_) close(c.fd);
        for (auto& l : listeners_)
            if (l.fd >= 0) close(l.fd);
        log_ << "stopped" << std::endl;
        return 0;
    }

  private:
    void OpenDueListeners() {
        for (auto& l : listeners_) {
            if (l.fd >= 0 || Clock::now() < l.opensAt) continue;
            std::string error;
            l.fd = Listen(l.station->address, error);
            if (l.fd < 0) {
                log_ << "zeloe-sim: cannot listen on " << l.station->address << ":2001: " << error
                     << "\n";
                l.opensAt = Clock::time_point::max();
                l.failed = true;
            } else {
                log_ << "listening on " << l.station->address << ":2001" << std::endl;
                if (l.station->faults.lateHandshakeMs > 0) HoldHandshakes(l);
            }
        }
    }

    void HoldHandshakes(Listener& l) {
        listen(l.fd, 0);  // one queued connection fills the queue
        sockaddr_in self{};
        socklen_t length = sizeof self;
        getsockname(l.fd, reinterpret_cast<sockaddr*>(&self), &length);
        for (int i = 0; i < 2; ++i) {
            const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            connect(filler, reinterpret_cast<sockaddr*>(&self), sizeof self);
            l.fillers.push_back(filler);
        }
        l.holdUntil = Clock::now() + std::chrono::milliseconds(l.station->faults.lateHandshakeMs);
    }

    void ReleaseHeldListeners() {
        for (auto& l : listeners_) {
            if (l.fillers.empty() || Clock::now() < l.holdUntil) continue;
            for (int queued; (queued = accept4(l.fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
                close(queued);
            for (int filler : l.fillers) close(filler);
            l.fillers.clear();
            listen(l.fd, 16);
            log_ << "station " << l.station->address << ": handshakes answered again" << std::endl;
        }
    }

    int WaitMs() const {
        auto next = Clock::now() + std::chrono::milliseconds(100);
        for (const auto& l : listeners_) {
            if (l.fd < 0 && l.opensAt < next) next = l.opensAt;
            if (!l.fillers.empty() && l.holdUntil < next) next = l.holdUntil;
        }
        for (const auto& c : connections_)
            if (!c.outputs.empty() && c.outputs.front().due < next) next = c.outputs.front().due;
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
        return ms < 0 ? 0 : static_cast<int>(ms) + 1;
    }

    void Trace(const Station& station, const char* direction, const std::string& bytes) {
        if (!options_.trace) return;
        const double t = std::chrono::duration<double>(Clock::now() - start_).count();
        log_ << std::fixed << std::setprecision(3) << "[" << t << "] " << station.address << ' '
             << direction << " \"" << tools::PrintableBytes(bytes) << "\"  "
             << tools::HexBytes(bytes) << (bytes.empty() ? "" : " ") << std::endl;
    }

    void Accept(Listener& l) {
        int fd = accept4(l.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        connections_.push_back({fd, l.station, "", 0, {}, false});
        if (options_.trace)
            log_ << "station " << l.station->address << ": connection accepted" << std::endl;
    }

    void Receive(Connection& c) {
        char buffer[4096];
        const ssize_t got = recv(c.fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            // The client has gone: queue the close once, after what is still due.
            c.closing = true;
            c.outputs.push_back({Clock::now(), "", true, false});
            return;
        }
        c.input.append(buffer, static_cast<size_t>(got));
        std::string command;
        while (!c.closing && TakeCommand(c.input, command)) Answer(c, command);
    }

    void Answer(Connection& c, const std::string& command) {
        Station& s = *c.station;
        const Faults& f = FaultsFor(s, command);
        ++c.commands;
        Trace(s, "<-", command);
        std::string reply;
        if (f.powerUpStuck && command != "A\r") {
            reply = Framed(4, "Power-up clear expected");
        } else {
            try {
                reply = Execute(s, command);
            } catch (const std::exception&) {
                reply = Framed(1, "bad value");
            }
        }
        const auto due = Clock::now() + std::chrono::milliseconds(f.delayMs);
        if (!f.silent) {
            if (f.garbage) {
                reply.assign(12, '\0');
                for (auto& byte : reply) byte = static_cast<char>(random_() & 0xFF);
                // Never a success or a power-up status: garbage always reads as an error.
                while (reply[0] == 0 || reply[0] == 4) reply[0] = static_cast<char>(random_());
            }
            if (f.truncate) reply.resize(std::max<size_t>(1, reply.size() / 2));
            if (f.oversize) reply += std::string(400, '#');
            if (f.replySize > 0) reply.resize(static_cast<size_t>(f.replySize), '#');
            if (f.closeMidReply) {
                c.outputs.push_back({due, reply.substr(0, std::max<size_t>(1, reply.size() / 2))});
                c.outputs.push_back({due, "", true, false});
                c.closing = true;
                return;
            }
            if (f.split && reply.size() > 1) {
                const size_t half = reply.size() / 2;
                c.outputs.push_back({due, reply.substr(0, half)});
                c.outputs.push_back(
                    {due + std::chrono::milliseconds(f.splitPauseMs), reply.substr(half)});
            } else {
                c.outputs.push_back({due, reply});
            }
        }
        // A station drops one connection: the reconnect that follows is served normally.
        const bool close = f.closeAfter > 0 && c.commands >= f.closeAfter;
        const bool reset = f.resetAfter > 0 && c.commands >= f.resetAfter;
        if (!f.dropped && (close || reset)) {
            f.dropped = true;
            c.closing = true;
            c.outputs.push_back({due, "", true, reset && !close});
        }
    }

    // Sends what is due; false when the connection is to be closed now.
    bool Flush(Connection& c) {
        while (!c.outputs.empty() && c.outputs.front().due <= Clock::now()) {
            Output out = c.outputs.front();
            c.outputs.pop_front();
            if (!out.bytes.empty()) {
                Trace(*c.station, "->", out.bytes);
                send(c.fd, out.bytes.data(), out.bytes.size(), MSG_NOSIGNAL);
            }
            if (out.close) {
                if (out.reset) {
                    linger hard{1, 0};  // closing with a zero linger sends a reset
                    setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                }
                if (options_.trace)
                    log_ << "station " << c.station->address << (out.reset ? ": reset" : ": closed")
                         << std::endl;
                return false;
            }
        }
        return true;
    }

    Plant& plant_;
    ServerOptions options_;
    std::ostream& log_;
    Clock::time_point start_;
    std::vector<Listener> listeners_;
    std::list<Connection> connections_;
    std::minstd_rand random_{2001};
};

}  // namespace

int Serve(Plant& plant, const ServerOptions& options, const std::atomic<bool>& stop,
          std::ostream& log) {
    Server server(plant, options, log);
    return server.Run(stop);
}

}  // namespace zeloe::sim
