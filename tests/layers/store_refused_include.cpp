// Compiled as the store is compiled: a header of a layer above is out of its sight.
#include "viewing/browsing.h"
