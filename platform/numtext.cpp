#include "platform/numtext.h"
// Implementation follows.
