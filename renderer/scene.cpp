#include "scene.h"
