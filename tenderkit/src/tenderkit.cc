#include "tenderkit/src/tenderkit.h"
