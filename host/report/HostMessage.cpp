// trackhost's messages.
#include "host/report/HostMessage.h"

#include <ostream>

std::ostream& hostMessage(std::ostream& err) {
    return err << hostMessagePrefix;
}

std::string shownText(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}
