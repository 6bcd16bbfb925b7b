#include "equilibrium/CellEquilibrium.h"

CellAmountTable FeedAmounts;
CellAmountTable CellAmounts;
