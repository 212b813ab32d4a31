// eval: to be written.
#include "eval.h"
