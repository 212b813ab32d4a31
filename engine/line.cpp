// line: to be written.
#include "line.h"
