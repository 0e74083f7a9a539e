// The device's own options' rows of the plug-in's option catalogue: serial port,
// orientation reset, reconnection and fixed position.
#pragma once

#include "support/OptionCatalogue.h"

OptionList<OptionRow> deviceOptionRows();
