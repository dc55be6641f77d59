// May include motion.
#include "motion/A.h"
