// trackhost's exit statuses, one for each kind of failure (docs/trackhost.md lists them).
#pragma once

enum ExitCode : int {
    exitSuccess = 0,
    exitUsage = 2,         // bad command line, or the output file cannot be written
    exitConfiguration = 3, // the configuration file is missing or malformed
    exitDevice = 4,        // plug-in not loadable; init, configure, start or stop failed
    exitOutput = 5,        // the records or the recording could not be written (also a full disk)
    exitNoRecord = 6,      // a device never delivered a record: every recvData failed
    exitView = 7,          // the viewer could not serve (address in use, bad address)
    exitAlignment = 8,     // --align found no rotations: poses unfit or not held still in time
    exitSystem = 9,        // out of memory, or the system refused a resource (a mutex)
};
