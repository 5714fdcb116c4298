#pragma once

namespace platform {

// Raises the number of files this process may hold open to the most the system allows it
// (the soft limit to the hard one), so that many tools can run side by side. Called once at
// start; programs started later inherit the raised limit.
void raiseOpenFileLimit();

// How many files this process may hold open now.
long openFileLimit();

} // namespace platform
