// STUB: replaced by the clipping routine.
#include "raster/rasterkit.h"
