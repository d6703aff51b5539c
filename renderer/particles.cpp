#include "particles.h"
