// The plug-in's verdict on a section's option lines. Empty until the plug-in's
// option readers can report without a device; trackhost --check then lists their
// reports here beside its own warnings.
#include "PluginOptionCheck.h"

std::vector<CheckFinding> checkPluginOptions(const DeviceSection&) {
    return {};
}
