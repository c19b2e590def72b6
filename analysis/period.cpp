#include "analysis/period.h"
// Implementation follows.
