// trackhost's messages.
#include "host/report/HostMessage.h"

#include <ostream>

std::ostream& hostMessage(std::ostream& err) {
    return err << hostMessagePrefix;
}
