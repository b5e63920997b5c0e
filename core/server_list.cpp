#include "core/server_list.h"

namespace tessoral {

void ServerList::Replace(int position, ServerEntry texts) {
    ServerEntry& entry = entries_[Index(position)];
    texts.status = entry.status;
    entry = std::move(texts);
}

}  // namespace tessoral
