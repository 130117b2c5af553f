#include "tenderkit/src/item_normalizer.h"
