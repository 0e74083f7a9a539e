// POSIX implementation of the platform layer's serial-port list, from the kernel's
// terminals.
#include "platform.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace platform {

std::vector<SerialPort> serialPorts() {
    // A terminal the kernel names under /sys/class/tty is a port of a device when it
    // has a device link (the console's virtual terminals have none).
    std::vector<SerialPort> ports;
    DIR* folder = opendir("/sys/class/tty");
    if (folder == nullptr) {
        return ports; // GCOVR_EXCL_LINE: only a system without sysfs mounted
    }
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        struct stat status;
        const std::string folderName = "/sys/class/tty/" + name;
        if (name[0] == '.' || stat((folderName + "/device/driver").c_str(), &status) != 0) {
            continue;
        }
        // The 8250 driver names every port it might have; a type of 0 is one it found
        // no chip for.
        std::FILE* typeFile = std::fopen((folderName + "/type").c_str(), "r");
        int type = -1;
        if (typeFile != nullptr) {
            if (std::fscanf(typeFile, "%d", &type) != 1) {
                type = -1; // GCOVR_EXCL_LINE: the kernel's type file always holds a number
            }
            std::fclose(typeFile);
        }
        if (type != 0) {
            ports.push_back({"/dev/" + name, {}});
        }
    }
    closedir(folder);
    // GCOVR_EXCL_START: the comparison runs only on a machine with two ports or more,
    // which a machine the suite runs on need not have.
    std::sort(ports.begin(), ports.end(),
              [](const SerialPort& a, const SerialPort& b) { return a.name < b.name; });
    // GCOVR_EXCL_STOP
    return ports;
}

} // namespace platform
