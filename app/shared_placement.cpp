#include "app/shared_placement.h"

PlacementBlock* SharedPlacement;
int WindowIsMinMax;
