// The reachability probes: TCP connects to every server of a pass, all in
// flight at once, carried by one thread with non-blocking sockets (and a
// few threads for name look-ups), so that a pass over thousands of servers
// needs neither thousands of threads nor a wait of one probe for another.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/probe.h"

namespace tessoral::win32 {

// Looks a host name up: its first IPv4 address (network byte order), or
// nothing. Only names get here; an address text is used as it stands.
using NameLookup = std::function<std::optional<uint32_t>(const std::string& name)>;

// gethostbyname's first address.
std::optional<uint32_t> LookUpName(const std::string& name);

// The address a host text stands for without a look-up, if any.
std::optional<uint32_t> AddressLiteral(const std::string& host);

class ProbeService {
public:
    struct Options {
        NameLookup look_up = LookUpName;
        size_t max_in_flight = 1024;  // sockets open at once
        size_t look_up_threads = 8;  // names beyond that wait for a free one
    };

    // Results are announced to `window` with kMsgProbeResult, one message
    // for however many results are waiting.
    ProbeService(HWND window, Options options);
    ProbeService(const ProbeService&) = delete;
    ProbeService& operator=(const ProbeService&) = delete;

    void Start(std::vector<ProbeTarget> targets);
    std::vector<ProbeResult> TakeResults();

    // The object is never destroyed while its threads run: the program
    // makes one and keeps it to the end of the process.

private:
    struct Pending {
        ProbeTarget target;
        uint32_t address = 0;
    };

    void ConnectLoop();
    void ResolveLoop();
    void Publish(std::vector<ProbeResult>& done);

    HWND window_;
    Options options_;
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable names_;
    std::deque<Pending> ready_;          // addresses known, waiting for a socket
    std::deque<ProbeTarget> unresolved_;  // names waiting for a look-up
    std::vector<ProbeResult> results_;
    bool threads_started_ = false;
};

}  // namespace tessoral::win32
