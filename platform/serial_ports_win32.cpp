// Win32 implementation of the platform layer's serial-port list, from the device-setup
// calls and the system's serial-port map. A file apart from platform_win32.cpp, so that
// the plug-in, which needs none of it, does not import the setup library.
#include "platform.h"
#include "utf16_win32.h"

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cwchar>

namespace platform {

namespace {

// The ports of the device-setup class Ports (COM and LPT) with Device Manager's
// names: "USB Serial Port (COM7)".
void setupPorts(std::vector<SerialPort>& ports) {
    const HDEVINFO devices =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        wchar_t name[256] = {};
        wchar_t friendly[256] = {};
        const HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        DWORD size = sizeof name - sizeof(wchar_t);
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(name), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (!named || std::wcsncmp(name, L"COM", 3) != 0) {
            continue;
        }
        SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly),
                                          sizeof friendly - sizeof(wchar_t), nullptr);
        ports.push_back({narrow(name), narrow(friendly)});
    }
    SetupDiDestroyDeviceInfoList(devices);
}

// The system's serial-port map, HARDWARE\DEVICEMAP\SERIALCOMM: every COM port a
// driver has announced, Device Manager's or not.
void mappedPorts(std::vector<SerialPort>& ports) {
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t value[256] = {};
        wchar_t data[256] = {};
        DWORD valueLength = 255;
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(map, i, value, &valueLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS ||
            (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)) {
            break;
        }
        const std::string name = narrow(data);
        const bool listed =
            std::any_of(ports.begin(), ports.end(),
                        [&name](const SerialPort& port) { return port.name == name; });
        if (result == ERROR_SUCCESS && type == REG_SZ && !listed) {
            ports.push_back({name, {}});
        }
    }
    RegCloseKey(map);
}

} // namespace

std::vector<SerialPort> serialPorts() {
    std::vector<SerialPort> ports;
    setupPorts(ports);
    mappedPorts(ports);
    return ports;
}

} // namespace platform
