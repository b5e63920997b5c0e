// Where the program keeps its files.
#pragma once

#include <optional>
#include <string>

namespace tessoral {

// The application-data folder as the shell reports it, with "Tessoral\"
// appended; without one, the relative "Tessoral\".
std::string DataFolderFrom(const std::optional<std::string>& app_data);

}  // namespace tessoral
