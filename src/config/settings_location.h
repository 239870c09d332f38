// What saving needs of the choice of the configuration file.
#pragma once

namespace zantor {

// Makes the host's settings file the file in use (creating its folder) when
// the host named one and it is not already in use; false otherwise.
bool UseHostFileInstead();

}  // namespace zantor
