#include "tenderkit/src/trade_terms.h"
