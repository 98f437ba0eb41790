#include "RawNet.h"

#include "BenchWire.h"

#include <QHash>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <vector>

namespace bench {

namespace {

sockaddr_in SocketAddress(const QHostAddress& address, quint16 port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(address.toIPv4Address());
    return a;
}

// One station's run of messages, one connection at a time.
struct Chain {
    int k = 0;
    int next = 0; // index of the message under way
    int fd = -1;
    QByteArray frame;
    qsizetype written = 0;
    QByteArray reply;
    qint64 deadlineNs = 0;
    sockaddr_in from{};
};

class SendWorker {
public:
    SendWorker(QList<Chain> chains, int perStation, const std::function<QByteArray(int, int)>& frame,
               sockaddr_in to, int timeoutMs)
        : chains_(std::move(chains)), perStation_(perStation), frame_(frame), to_(to),
          timeoutNs_(qint64(timeoutMs) * 1000000) {}

    RawSendResult run() {
        epoll_ = epoll_create1(EPOLL_CLOEXEC);
        live_ = int(chains_.size());
        for (int c = 0; c < chains_.size(); ++c)
            open(c);
        epoll_event events[256];
        while (live_ > 0) {
            const int n = epoll_wait(epoll_, events, 256, 100);
            for (int e = 0; e < n; ++e)
                step(int(events[e].data.u32), events[e].events);
            const qint64 now = NowNs();
            for (int c = 0; c < chains_.size(); ++c)
                if (chains_[c].fd >= 0 && now > chains_[c].deadlineNs)
                    finish(c, false);
        }
        ::close(epoll_);
        return result_;
    }

private:
    void open(int c) {
        Chain& ch = chains_[c];
        ch.frame = frame_(ch.k, ch.next);
        ch.written = 0;
        ch.reply.clear();
        ch.deadlineNs = NowNs() + timeoutNs_;
        ch.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(ch.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ::setsockopt(ch.fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &one, sizeof one);
        if (::bind(ch.fd, reinterpret_cast<const sockaddr*>(&ch.from), sizeof ch.from) != 0) {
            finish(c, false);
            return;
        }
        if (::connect(ch.fd, reinterpret_cast<const sockaddr*>(&to_), sizeof to_) != 0 &&
            errno != EINPROGRESS) {
            finish(c, false);
            return;
        }
        epoll_event ev{};
        ev.events = EPOLLOUT;
        ev.data.u32 = quint32(c);
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, ch.fd, &ev);
    }

    void step(int c, quint32 events) {
        Chain& ch = chains_[c];
        if (ch.fd < 0)
            return;
        if (ch.written < ch.frame.size()) {
            if (events & (EPOLLERR | EPOLLHUP)) {
                finish(c, false);
                return;
            }
            const ssize_t w = ::send(ch.fd, ch.frame.constData() + ch.written,
                                     size_t(ch.frame.size() - ch.written), MSG_NOSIGNAL);
            if (w < 0) {
                if (errno != EAGAIN)
                    finish(c, false);
                return;
            }
            ch.written += w;
            if (ch.written == ch.frame.size()) {
                epoll_event ev{};
                ev.events = EPOLLIN;
                ev.data.u32 = quint32(c);
                ::epoll_ctl(epoll_, EPOLL_CTL_MOD, ch.fd, &ev);
            }
            return;
        }
        char buf[64];
        const ssize_t r = ::recv(ch.fd, buf, sizeof buf, 0);
        if (r > 0)
            ch.reply.append(buf, r);
        if (ch.reply.size() >= 16 || r == 0 || (r < 0 && errno != EAGAIN))
            finish(c, ch.reply.left(16).contains("OK"));
    }

    void finish(int c, bool ok) {
        Chain& ch = chains_[c];
        if (ch.fd >= 0) {
            ::close(ch.fd); // also leaves the epoll set
            ch.fd = -1;
        }
        ok ? ++result_.ok : ++result_.failed;
        result_.endNs = NowNs();
        if (++ch.next < perStation_)
            open(c);
        else
            --live_;
    }

    QList<Chain> chains_;
    int perStation_;
    const std::function<QByteArray(int, int)>& frame_;
    sockaddr_in to_;
    qint64 timeoutNs_;
    int epoll_ = -1;
    int live_ = 0;
    RawSendResult result_;
};

} // namespace

RawSendResult RawSendAll(const QList<int>& who, int perStation, const std::function<QHostAddress(int)>& from,
                         const std::function<QByteArray(int, int)>& frame, const QHostAddress& to,
                         quint16 port, int threads, int timeoutMs) {
    threads = std::clamp(threads, 1, int(std::max<qsizetype>(who.size(), 1)));
    QList<QList<Chain>> parts(threads);
    for (qsizetype i = 0; i < who.size(); ++i) {
        Chain ch;
        ch.k = who.at(i);
        ch.from = SocketAddress(from(ch.k), 0);
        parts[i % threads].append(ch);
    }
    RawSendResult total;
    total.startNs = NowNs();
    if (who.isEmpty() || perStation < 1)
        return total;
    std::mutex mutex;
    std::vector<std::thread> workers;
    const sockaddr_in target = SocketAddress(to, port);
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            SendWorker worker(parts.at(t), perStation, frame, target, timeoutMs);
            const RawSendResult r = worker.run();
            const std::lock_guard lock(mutex);
            total.ok += r.ok;
            total.failed += r.failed;
            total.endNs = std::max(total.endNs, r.endNs);
        });
    }
    for (std::thread& w : workers)
        w.join();
    return total;
}

RawAckServer::RawAckServer(const QHostAddress& address, quint16 port, Handler onFrame)
    : onFrame_(std::move(onFrame)) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const sockaddr_in a = SocketAddress(address, port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 1024) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    thread_ = std::thread([this] { run(); });
}

RawAckServer::~RawAckServer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
}

void RawAckServer::run() {
    struct Conn {
        QByteArray buffer;
        quint32 peer = 0;
        qint64 deadlineNs = 0;
        bool answered = false;
    };
    QHash<int, Conn> conns;
    const int ep = epoll_create1(EPOLL_CLOEXEC);
    epoll_event lev{};
    lev.events = EPOLLIN;
    lev.data.fd = listenFd_;
    ::epoll_ctl(ep, EPOLL_CTL_ADD, listenFd_, &lev);
    auto drop = [&](int fd) {
        ::close(fd);
        conns.remove(fd);
    };
    epoll_event events[256];
    qint64 lastSweep = NowNs();
    while (!stop_) {
        const int n = epoll_wait(ep, events, 256, 100);
        for (int e = 0; e < n; ++e) {
            const int fd = events[e].data.fd;
            if (fd == listenFd_) {
                for (;;) {
                    sockaddr_in peer{};
                    socklen_t len = sizeof peer;
                    const int c = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len,
                                            SOCK_NONBLOCK | SOCK_CLOEXEC);
                    if (c < 0)
                        break;
                    const int one = 1;
                    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                    conns.insert(c, Conn{{}, ntohl(peer.sin_addr.s_addr), NowNs() + 5000000000LL, false});
                    epoll_event ev{};
                    ev.events = EPOLLIN;
                    ev.data.fd = c;
                    ::epoll_ctl(ep, EPOLL_CTL_ADD, c, &ev);
                }
                continue;
            }
            auto it = conns.find(fd);
            if (it == conns.end())
                continue;
            char buf[16384];
            const ssize_t r = ::recv(fd, buf, sizeof buf, 0);
            if (r == 0 || (r < 0 && errno != EAGAIN)) {
                drop(fd);
                continue;
            }
            if (r < 0 || it->answered)
                continue;
            it->buffer.append(buf, r);
            const FrameParse p = ParseFrame(it->buffer);
            if (p.state == FrameParse::Bad) {
                drop(fd);
            } else if (p.state == FrameParse::Complete) {
                it->answered = true;
                ::send(fd, Ack.constData(), size_t(Ack.size()), MSG_NOSIGNAL);
                onFrame_(p.name, p.text, it->peer);
            }
        }
        const qint64 now = NowNs();
        if (now - lastSweep > 500000000LL) {
            lastSweep = now;
            QList<int> late;
            for (auto it = conns.cbegin(); it != conns.cend(); ++it)
                if (now > it->deadlineNs)
                    late.append(it.key());
            for (int fd : late)
                drop(fd);
        }
    }
    for (auto it = conns.cbegin(); it != conns.cend(); ++it)
        ::close(it.key());
    ::close(ep);
}

} // namespace bench
