// mathlayer: to be written.
#include "mathlayer.h"
