#include "frame_timer.h"
