/* The catalogue records of the Ostrak32 interface. In the source tree they
 * are common/records.h, shared with the program; installed, that file takes
 * this name beside ostrak32.h. */
#include "../common/records.h"
