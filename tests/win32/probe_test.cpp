// The probe engine against real sockets on loopback. Nothing here goes
// beyond 127.0.0.1.
#include "platform/win32/probe_service.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>

#include "platform/win32/messages.h"

namespace tessoral::win32 {
namespace {

class Listener {
public:
    Listener() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&at), sizeof at);
        ::listen(socket_, SOMAXCONN);
        int length = sizeof at;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&at), &length);
        port_ = ::ntohs(at.sin_port);
    }
    ~Listener() { Close(); }
    void Close() {
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    uint16_t port() const { return port_; }
    SOCKET socket() const { return socket_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
    uint16_t port_ = 0;
};

// A port on loopback that nobody listens on.
uint16_t ClosedPort() {
    Listener gone;
    const uint16_t port = gone.port();
    gone.Close();
    return port;
}

class ProbeServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { ::DestroyWindow(window_); }

    // Waits, as the GUI thread would, until `count` results are in.
    std::vector<ProbeResult> Collect(ProbeService& service, size_t count) {
        std::vector<ProbeResult> all;
        const DWORD start = ::GetTickCount();
        while (all.size() < count && ::GetTickCount() - start < 60000) {
            MSG msg;
            if (::PeekMessageW(&msg, window_, kMsgProbeResult, kMsgProbeResult, PM_REMOVE)) {
                ++announcements;
                std::vector<ProbeResult> some = service.TakeResults();
                all.insert(all.end(), some.begin(), some.end());
            } else {
                ::Sleep(5);
            }
        }
        return all;
    }

    HWND window_ = nullptr;
    size_t announcements = 0;
};

std::map<int, ServerStatus> ByPosition(const std::vector<ProbeResult>& results) {
    std::map<int, ServerStatus> map;
    for (const ProbeResult& r : results) map[r.position] = r.status;
    return map;
}

TEST_F(ProbeServiceTest, OnlineOnlyWhereSomebodyListens) {
    Listener listener;
    const uint16_t closed = ClosedPort();
    std::vector<std::string> looked_up;
    ProbeService::Options options;
    options.look_up = [&](const std::string& name) -> std::optional<uint32_t> {
        looked_up.push_back(name);  // asks no DNS
        if (name == "loopback.test") return ::htonl(INADDR_LOOPBACK);
        return std::nullopt;
    };
    ProbeService service(window_, options);
    service.Start({
        {1, "127.0.0.1", std::to_string(listener.port())},
        {2, "127.0.0.1", std::to_string(closed)},
        {3, "", std::to_string(listener.port())},
        {4, "no-such-host.test", std::to_string(listener.port())},
        {5, "loopback.test", std::to_string(listener.port()) + "abc"},
    });
    const std::map<int, ServerStatus> results = ByPosition(Collect(service, 5));
    EXPECT_EQ(results, (std::map<int, ServerStatus>{{1, ServerStatus::Online},
                                                    {2, ServerStatus::Offline},
                                                    {3, ServerStatus::Offline},
                                                    {4, ServerStatus::Offline},
                                                    {5, ServerStatus::Online}}));
    // Address texts and the empty host are never looked up.
    std::sort(looked_up.begin(), looked_up.end());
    EXPECT_EQ(looked_up, (std::vector<std::string>{"loopback.test", "no-such-host.test"}));

    // The server saw connections that were closed at once, with nothing sent.
    u_long non_blocking = 1;
    ::ioctlsocket(listener.socket(), FIONBIO, &non_blocking);
    int accepted = 0;
    for (SOCKET s; (s = ::accept(listener.socket(), nullptr, nullptr)) != INVALID_SOCKET;) {
        char byte;
        u_long blocking = 0;
        ::ioctlsocket(s, FIONBIO, &blocking);
        EXPECT_EQ(::recv(s, &byte, 1, 0), 0) << "closed without data";
        ::closesocket(s);
        ++accepted;
    }
    EXPECT_EQ(accepted, 2);
}

TEST_F(ProbeServiceTest, ThousandsOfServersEachGetOneResult) {
    Listener listener;
    const uint16_t closed = ClosedPort();
    ProbeService::Options options;
    options.max_in_flight = 64;  // far fewer sockets than servers
    ProbeService service(window_, options);
    constexpr int kServers = 3000;
    std::vector<ProbeTarget> targets;
    for (int i = 1; i <= kServers; ++i) {
        targets.push_back({i, "127.0.0.1", std::to_string(i % 2 ? listener.port() : closed)});
    }
    service.Start(std::move(targets));
    std::vector<ProbeResult> results;
    // Accept while probing, so the listener's backlog never fills.
    const DWORD start = ::GetTickCount();
    u_long non_blocking = 1;
    ::ioctlsocket(listener.socket(), FIONBIO, &non_blocking);
    while (results.size() < kServers && ::GetTickCount() - start < 120000) {
        for (SOCKET s; (s = ::accept(listener.socket(), nullptr, nullptr)) != INVALID_SOCKET;) {
            ::closesocket(s);
        }
        std::vector<ProbeResult> some = Collect(service, 1);
        results.insert(results.end(), some.begin(), some.end());
    }
    ASSERT_EQ(results.size(), static_cast<size_t>(kServers));
    std::set<int> seen;
    for (const ProbeResult& r : results) {
        EXPECT_TRUE(seen.insert(r.position).second) << "twice: " << r.position;
        EXPECT_EQ(r.status, r.position % 2 ? ServerStatus::Online : ServerStatus::Offline)
            << r.position;
    }
    EXPECT_LT(announcements, static_cast<size_t>(kServers)) << "results come in batches";
}

}  // namespace
}  // namespace tessoral::win32
