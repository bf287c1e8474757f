// A kit header that reaches up into the application: the layering check
// must refuse it.
#include "app/tavrel.h"
