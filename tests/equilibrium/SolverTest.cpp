#include "equilibrium/EqCalcUnit.h"
