#pragma once
// Asks Windows to start the program again after an installer's Restart
// Manager has closed it to replace its files.

namespace kestrel {

// Registers this instance for a restart after an update; does nothing where
// the system lacks the function.
void RegisterRestartAfterUpdate();

}  // namespace kestrel
