// The program-wide state. It belongs to the GUI thread for the whole run.
#pragma once

#include <string>

#include "core/server_list.h"
#include "ui/web_addresses.h"

namespace tessoral::ui {

// What the server dialog needs of the main window after a change.
class ServerListHost {
public:
    virtual ~ServerListHost() = default;
    virtual void RefreshServerListView() = 0;
    virtual void StartProbePass() = 0;
};

struct ProgramState {
    std::string data_folder;  // with a trailing backslash
    std::string data_file;    // fixed at start-up, used unchanged by every save
    std::string plain_data;   // deciphered at start-up, parsed when the main window is made
    std::string startup_password;
    ServerList servers;
    bool signed_in = false;
    int edit_position = 0;    // 0 adds a server, n edits server n
    ServerListHost* main_window = nullptr;  // while the main window exists
    WebAddresses addresses;
};

}  // namespace tessoral::ui
