#include "phrasekit/src/phrasekit.h"
