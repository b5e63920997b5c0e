// The probes and the server list at 10,000 servers, under Wine:
//
//   probe_bench pass [MAX_SOCKETS [SECONDS]]
//                                    a pass over 10,000 loopback targets through
//                                    ProbeService: time, threads, memory, messages;
//                                    it waits at most SECONDS (30) for the answers
//   probe_bench list                 the main window's list view: a refresh and
//                                    the application of 10,000 results
//
//   scripts/bench            (runs all of them)
//
// Every connect goes to 127.0.0.1; names are never looked up.

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/desktop.h"
#include "platform/win32/messages.h"
#include "platform/win32/probe_service.h"
#include "ui/layouts.h"
#include "ui/main_window.h"
#include "ui/program_state.h"

namespace {

using Clock = std::chrono::steady_clock;
using tessoral::ProbeResult;
using tessoral::ProbeTarget;
using tessoral::ServerStatus;

constexpr int kServers = 10000;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

int ThreadCount() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters;
}

// ---- loopback listeners ---------------------------------------------------

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    at.sin_port = ::htons(port);
    return at;
}

uint16_t PortOf(SOCKET s) {
    sockaddr_in at{};
    int length = sizeof at;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length);
    return ::ntohs(at.sin_port);
}

SOCKET ListenOnLoopback(int backlog) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in at = Loopback(0);
    if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 ||
        ::listen(s, backlog) != 0) {
        std::fprintf(stderr, "cannot listen on loopback\n");
        std::exit(1);
    }
    return s;
}

// Accepts and closes at once, on a thread of its own, so its backlog never fills.
class AcceptingListener {
public:
    AcceptingListener() : socket_(ListenOnLoopback(SOMAXCONN)), port_(PortOf(socket_)) {
        thread_ = std::thread([this] {
            for (;;) {
                SOCKET s = ::accept(socket_, nullptr, nullptr);
                if (s == INVALID_SOCKET) {
                    if (stop_) return;
                    continue;
                }
                ::closesocket(s);
                ++accepted_;
            }
        });
    }
    ~AcceptingListener() {
        stop_ = true;
        ::closesocket(socket_);
        thread_.join();
    }
    uint16_t Port() const { return port_; }
    int Accepted() const { return accepted_; }

private:
    SOCKET socket_;
    uint16_t port_;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

// A backlog of one, filled by a connection of our own and never accepted:
// the kernel drops later SYNs, so connects to it hang until the system gives up.
class HangingListener {
public:
    HangingListener() : socket_(ListenOnLoopback(0)), port_(PortOf(socket_)) {
        filler_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in to = Loopback(port_);
        ::connect(filler_, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    ~HangingListener() {
        ::closesocket(filler_);
        ::closesocket(socket_);
    }
    uint16_t Port() const { return port_; }

private:
    SOCKET socket_;
    uint16_t port_;
    SOCKET filler_ = INVALID_SOCKET;
};

uint16_t ClosedPort() {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in at = Loopback(0);
    ::bind(s, reinterpret_cast<const sockaddr*>(&at), sizeof at);
    const uint16_t port = PortOf(s);
    ::closesocket(s);
    return port;
}

// ---- a probe pass -----------------------------------------------------------

enum class Kind { Listening, Closed, Hanging };

Kind KindOf(int position) { return static_cast<Kind>(position % 3); }

int RunPass(size_t max_in_flight, int limit_seconds) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    AcceptingListener listening;
    HangingListener hanging;
    const uint16_t closed = ClosedPort();

    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    tessoral::win32::ProbeService::Options options;
    options.max_in_flight = max_in_flight;
    options.look_up = [](const std::string&) { return std::optional<uint32_t>(); };
    // Kept to the end of the process, as the program keeps its own.
    auto* service = new tessoral::win32::ProbeService(window, options);

    std::vector<ProbeTarget> targets;
    int answering = 0;
    for (int p = 1; p <= kServers; ++p) {
        const Kind kind = KindOf(p);
        const uint16_t port = kind == Kind::Listening ? listening.Port()
                              : kind == Kind::Closed  ? closed
                                                      : hanging.Port();
        targets.push_back(ProbeTarget{p, "127.0.0.1", std::to_string(port)});
        if (kind != Kind::Hanging) ++answering;
    }

    const int threads_before = ThreadCount();
    const PROCESS_MEMORY_COUNTERS_EX memory_before = Memory();
    int threads_peak = threads_before;

    const Clock::time_point start = Clock::now();
    service->Start(std::move(targets));
    const Clock::duration start_took = Clock::now() - start;

    std::vector<ServerStatus> status(kServers + 1, ServerStatus::Unknown);
    int answered = 0;
    int hanging_answered = 0;
    size_t announcements = 0;
    size_t largest_batch = 0;
    double slowest_take_ms = 0;
    Clock::duration all_answered{};
    const auto limit = std::chrono::seconds(limit_seconds);
    while (Clock::now() - start < limit) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
        MSG msg;
        while (::PeekMessageW(&msg, window, tessoral::win32::kMsgProbeResult,
                              tessoral::win32::kMsgProbeResult, PM_REMOVE)) {
            ++announcements;
            const Clock::time_point took = Clock::now();
            const std::vector<ProbeResult> results = service->TakeResults();
            slowest_take_ms = std::max(slowest_take_ms, Ms(Clock::now() - took));
            largest_batch = std::max(largest_batch, results.size());
            for (const ProbeResult& r : results) {
                if (status[static_cast<size_t>(r.position)] == ServerStatus::Unknown) {
                    if (KindOf(r.position) == Kind::Hanging) {
                        ++hanging_answered;
                    } else {
                        ++answered;
                    }
                }
                status[static_cast<size_t>(r.position)] = r.status;
            }
        }
        threads_peak = std::max(threads_peak, ThreadCount());
        if (answered == answering) {
            all_answered = Clock::now() - start;
            break;
        }
    }
    const PROCESS_MEMORY_COUNTERS_EX memory_after = Memory();

    int wrong = 0;
    for (int p = 1; p <= kServers; ++p) {
        const ServerStatus s = status[static_cast<size_t>(p)];
        if (s == ServerStatus::Unknown) continue;
        if ((KindOf(p) == Kind::Listening && s != ServerStatus::Online) ||
            (KindOf(p) != Kind::Listening && s != ServerStatus::Offline)) {
            ++wrong;
        }
    }

    std::printf("  at most %zu sockets at once\n", max_in_flight);
    std::printf("    Start returned after            %8.2f ms\n", Ms(start_took));
    if (answered == answering) {
        std::printf("    all %d answering targets done  %8.0f ms\n", answering, Ms(all_answered));
    } else {
        std::printf("    after %lld s only %d of %d answering targets had a result\n",
                    static_cast<long long>(limit.count()), answered, answering);
    }
    std::printf("    wrong results                   %8d   (the listener accepted %d)\n", wrong,
                listening.Accepted());
    std::printf("    hanging targets with a result   %8d of %d\n", hanging_answered,
                kServers - answering);
    std::printf("    announcement messages           %8zu   (largest batch %zu, slowest take %.2f ms)\n",
                announcements, largest_batch, slowest_take_ms);
    std::printf("    threads                         %8d before, at most %d during the pass\n",
                threads_before, threads_peak);
    std::printf("    peak working set                %8.1f MB (%.1f MB before)\n",
                Mb(memory_after.PeakWorkingSetSize), Mb(memory_before.WorkingSetSize));
    std::printf("    private bytes                   %8.1f MB peak (%.1f MB before)\n",
                Mb(memory_after.PeakPagefileUsage), Mb(memory_before.PagefileUsage));
    std::fflush(stdout);
    // The hanging connects are still in flight: end without waiting for them.
    ::ExitProcess(0);
}

// ---- the main window's list view -------------------------------------------------

int list_paints = 0;
WNDPROC list_procedure = nullptr;

// Counts the list's paints. Replaced by hand, not with SetWindowSubclass:
// Wine's subclass chain costs a server call per message, which would swamp
// the figures it is meant to explain.
LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) ++list_paints;
    return ::CallWindowProcW(list_procedure, hwnd, message, wparam, lparam);
}

// The mean time of one sent message that the window answers at once.
double MicrosPerMessage(HWND window) {
    constexpr int kMessages = 10000;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kMessages; ++i) ::SendMessageW(window, WM_NULL, 0, 0);
    return Ms(Clock::now() - start) * 1000.0 / kMessages;
}

// Hands `targets` to the probes and applies what comes back as the main
// window does: one posted message, one OnProbeResults for the whole batch.
// The targets have no host, so no probe leaves the process.
double ApplyResults(tessoral::win32::Win32Desktop& desktop, HWND main,
                    std::vector<ProbeTarget> targets) {
    desktop.StartProbes(std::move(targets));
    MSG msg;
    while (!::PeekMessageW(&msg, main, tessoral::win32::kMsgProbeResult,
                           tessoral::win32::kMsgProbeResult, PM_REMOVE)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
    }
    const Clock::time_point start = Clock::now();
    ::DispatchMessageW(&msg);
    return Ms(Clock::now() - start);
}

int RunList() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);

    static tessoral::ui::ProgramState state;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tessoral-bench\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    char narrow[MAX_PATH * 2] = {};
    ::WideCharToMultiByte(936, 0, folder.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    state.data_folder = narrow;
    state.data_file = state.data_folder + "ms.ini";  // never saved: the window is not closed

    tessoral::win32::Win32Desktop desktop(state);
    auto logic = std::make_unique<tessoral::ui::MainWindow>(state, desktop);
    tessoral::ui::MainWindow& main_window = *logic;
    desktop.LoadWindow(tessoral::ui::WindowId::Main, false, std::move(logic));
    tessoral::win32::Win32Window* window = desktop.Find(tessoral::ui::WindowId::Main);
    if (!window) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    HWND main = window->Handle();
    HWND list = window->ControlHandle(tessoral::ui::main_window::kServerList);
    list_procedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
    desktop.PumpPending();

    // Loopback host texts: nothing here is ever probed, but a slip would
    // stay on this machine.
    state.servers.Reserve(kServers);
    for (int i = 0; i < kServers; ++i) {
        state.servers.Append(tessoral::ServerEntry{
            "127.0." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256), "3389",
            "Administrator", "pw", "server " + std::to_string(i), {}});
    }

    double first_refresh = 0;
    double best_refresh = 1e300;
    double best_repaint = 1e300;
    int paints_per_refresh = 0;
    for (int run = 0; run < 5; ++run) {
        list_paints = 0;
        const Clock::time_point start = Clock::now();
        main_window.RefreshServerListView();
        const double took = Ms(Clock::now() - start);
        const Clock::time_point painting = Clock::now();
        ::RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
        desktop.PumpPending();
        best_repaint = std::min(best_repaint, Ms(Clock::now() - painting));
        paints_per_refresh = std::max(paints_per_refresh, list_paints);
        if (run == 0) first_refresh = took;
        best_refresh = std::min(best_refresh, took);
    }
    const int rows = ListView_GetItemCount(list);

    std::vector<ProbeTarget> all;
    for (int p = 1; p <= kServers; ++p) all.push_back(ProbeTarget{p, "", "3389"});
    list_paints = 0;
    const double one_batch = ApplyResults(desktop, main, all);
    ::RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
    desktop.PumpPending();
    const int batch_paints = list_paints;

    int shown = 0;
    for (int r = 0; r < rows; ++r) {
        wchar_t text[16] = {};
        ListView_GetItemText(list, r, 3, text, 16);
        const UINT image = ListView_GetItemState(list, r, LVIS_STATEIMAGEMASK);
        if (std::wstring(text) == L"\u79bb\u7ebf" && image == INDEXTOSTATEIMAGEMASK(2)) ++shown;
    }

    // As results trickle in: batches of 100, each its own message.
    double small_total = 0;
    double small_slowest = 0;
    for (int b = 0; b < kServers / 100; ++b) {
        std::vector<ProbeTarget> some(all.begin() + b * 100, all.begin() + (b + 1) * 100);
        const double took = ApplyResults(desktop, main, std::move(some));
        small_total += took;
        small_slowest = std::max(small_slowest, took);
    }

    std::printf("  %d rows\n", rows);
    std::printf("    RefreshServerListView           %8.1f ms first, %.1f ms best of 5\n",
                first_refresh, best_refresh);
    std::printf("    repaint after a refresh         %8.1f ms best; list paints per refresh: %d\n",
                best_repaint, paints_per_refresh);
    std::printf("    10,000 results in one batch     %8.1f ms (list paints: %d)\n", one_batch,
                batch_paints);
    std::printf("    100 batches of 100 results      %8.1f ms in all, slowest batch %.1f ms\n",
                small_total, small_slowest);
    std::printf("    rows showing offline in red     %8d of %d\n", shown, rows);
    // Every row added or changed notifies the list's parent, the group box.
    std::printf("    one message to the list         %8.1f us; to its parent, the group box, %.1f us\n",
                MicrosPerMessage(list), MicrosPerMessage(::GetParent(list)));
    std::fflush(stdout);
    ::ExitProcess(0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "pass") {
        const size_t sockets = argc > 2 ? std::strtoul(argv[2], nullptr, 10)
                                        : tessoral::win32::ProbeService::Options{}.max_in_flight;
        const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
        return RunPass(sockets, seconds);
    }
    if (mode == "list") return RunList();
    std::fprintf(stderr, "usage: probe_bench pass [MAX_SOCKETS [SECONDS]] | probe_bench list\n");
    return 2;
}
