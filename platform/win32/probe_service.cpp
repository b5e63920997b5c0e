#include "platform/win32/probe_service.h"

#include <winsock2.h>

#include <cstring>
#include <thread>
#include <utility>

#include "platform/win32/messages.h"

namespace tessoral::win32 {

namespace {

// How long one wait for socket events lasts before new targets are taken on.
constexpr int kPollMilliseconds = 50;

bool InitWinsock() {
    static const bool ready = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

}  // namespace

std::optional<uint32_t> AddressLiteral(const std::string& host) {
    const unsigned long address = ::inet_addr(host.c_str());
    // inet_addr's "no address" is also the address of this one text.
    if (address != INADDR_NONE || host == "255.255.255.255") return address;
    return std::nullopt;
}

std::optional<uint32_t> LookUpName(const std::string& name) {
    const hostent* found = ::gethostbyname(name.c_str());
    if (!found || found->h_addrtype != AF_INET || !found->h_addr_list || !found->h_addr_list[0]) {
        return std::nullopt;
    }
    uint32_t address;
    std::memcpy(&address, found->h_addr_list[0], sizeof address);
    return address;
}

ProbeService::ProbeService(HWND window, Options options)
    : window_(window), options_(std::move(options)) {}

void ProbeService::Start(std::vector<ProbeTarget> targets) {
    InitWinsock();
    std::vector<ProbeResult> failed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!threads_started_) {
            // Detached: they live as long as the process, like this object.
            std::thread([this] { ConnectLoop(); }).detach();
            for (size_t i = 0; i < options_.look_up_threads; ++i) {
                std::thread([this] { ResolveLoop(); }).detach();
            }
            threads_started_ = true;
        }
        for (ProbeTarget& target : targets) {
            if (target.host.empty()) {
                // An empty host fails at once, without any traffic.
                failed.push_back({target.position, ServerStatus::Offline});
            } else if (const std::optional<uint32_t> address = AddressLiteral(target.host)) {
                ready_.push_back(Pending{std::move(target), *address});
            } else {
                unresolved_.push_back(std::move(target));
            }
        }
    }
    work_.notify_one();
    names_.notify_all();
    if (!failed.empty()) Publish(failed);
}

std::vector<ProbeResult> ProbeService::TakeResults() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(results_, {});
}

void ProbeService::Publish(std::vector<ProbeResult>& done) {
    if (done.empty()) return;
    bool announce;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        announce = results_.empty();
        results_.insert(results_.end(), done.begin(), done.end());
    }
    done.clear();
    // One message stands for all waiting results, so the queue never
    // overflows however many servers there are. A window that is gone
    // makes the post fail, and the results are simply not shown.
    if (announce) ::PostMessageW(window_, kMsgProbeResult, 0, 0);
}

void ProbeService::ResolveLoop() {
    for (;;) {
        ProbeTarget target;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            names_.wait(lock, [&] { return !unresolved_.empty(); });
            target = std::move(unresolved_.front());
            unresolved_.pop_front();
        }
        const std::optional<uint32_t> address = options_.look_up(target.host);
        if (!address) {
            std::vector<ProbeResult> failed{{target.position, ServerStatus::Offline}};
            Publish(failed);
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ready_.push_back(Pending{std::move(target), *address});
        }
        work_.notify_one();
    }
}

void ProbeService::ConnectLoop() {
    struct InFlight {
        SOCKET socket;
        int position;
    };
    std::vector<InFlight> in_flight;
    std::vector<WSAPOLLFD> polls;
    std::vector<ProbeResult> done;
    for (;;) {
        // Take on new targets while there is room for their sockets.
        std::vector<Pending> starting;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (in_flight.empty()) work_.wait(lock, [&] { return !ready_.empty(); });
            while (!ready_.empty() && in_flight.size() + starting.size() < options_.max_in_flight) {
                starting.push_back(std::move(ready_.front()));
                ready_.pop_front();
            }
        }
        for (size_t i = 0; i < starting.size(); ++i) {
            Pending& p = starting[i];
            SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
            if (s == INVALID_SOCKET) {
                const int error = ::WSAGetLastError();
                if ((error == WSAEMFILE || error == WSAENOBUFS) && !in_flight.empty()) {
                    // Out of sockets for now: try these again once some close.
                    std::lock_guard<std::mutex> lock(mutex_);
                    for (size_t j = starting.size(); j-- > i;) ready_.push_front(std::move(starting[j]));
                    break;
                }
                done.push_back({p.target.position, ServerStatus::Offline});
                continue;
            }
            u_long non_blocking = 1;
            ::ioctlsocket(s, FIONBIO, &non_blocking);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = ::htons(ProbePortNumber(p.target.port));
            to.sin_addr.s_addr = p.address;
            if (::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
                ::closesocket(s);
                done.push_back({p.target.position, ServerStatus::Online});
            } else if (::WSAGetLastError() == WSAEWOULDBLOCK) {
                in_flight.push_back({s, p.target.position});
            } else {
                ::closesocket(s);
                done.push_back({p.target.position, ServerStatus::Offline});
            }
        }
        Publish(done);
        if (in_flight.empty()) continue;

        polls.resize(in_flight.size());
        for (size_t i = 0; i < in_flight.size(); ++i) {
            polls[i] = WSAPOLLFD{in_flight[i].socket, POLLWRNORM, 0};
        }
        if (::WSAPoll(polls.data(), static_cast<ULONG>(polls.size()), kPollMilliseconds) <= 0) {
            continue;
        }
        size_t kept = 0;
        for (size_t i = 0; i < in_flight.size(); ++i) {
            const SHORT events = polls[i].revents;
            if (events == 0) {
                in_flight[kept++] = in_flight[i];
                continue;
            }
            int error = 0;
            int length = sizeof error;
            ::getsockopt(in_flight[i].socket, SOL_SOCKET, SO_ERROR,
                         reinterpret_cast<char*>(&error), &length);
            // A peer that accepted and already hung up still counts: the
            // connection was made.
            const bool connected = (events & POLLWRNORM) && !(events & POLLERR) && error == 0;
            // Closed at once: nothing is sent or received.
            ::closesocket(in_flight[i].socket);
            done.push_back({in_flight[i].position,
                            connected ? ServerStatus::Online : ServerStatus::Offline});
        }
        in_flight.resize(kept);
        Publish(done);
    }
}

}  // namespace tessoral::win32
