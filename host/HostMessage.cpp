// trackhost's messages.
#include "host/HostMessage.h"

#include <ostream>

std::ostream& hostMessage(std::ostream& err) {
    return err << hostMessagePrefix;
}
