#include "tenderkit/src/segmenter.h"
