#pragma once
// korvelctl's exit statuses, for scripts that tell the outcomes apart.

enum ExitStatus : int {
    kExitOk = 0,
    kExitRefused = 1,   // the module answered a non-zero status; diff: the files differ
    kExitUsage = 2,     // the command line (or a value on it) is not acceptable
    kExitFile = 3,      // a .cfg file could not be read, written or taken whole
    kExitDevice = 4,    // the port did not open, or the link or the protocol failed
    kExitMismatch = 5,  // restore read back something other than what it wrote
};
