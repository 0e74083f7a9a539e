// The transform options' rows of the plug-in's option catalogue: transmitter and
// sensor transforms, calibration library, tracker order and CAVE coordinates.
#pragma once

#include "support/OptionCatalogue.h"

OptionList<OptionRow> transformOptionRows();
