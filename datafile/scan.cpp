#include "datafile/scan.h"
// Implementation follows.
