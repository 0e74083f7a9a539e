#include "birdsim.h"
