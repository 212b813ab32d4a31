// format: to be written.
#include "format.h"
