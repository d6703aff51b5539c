// Placeholder until the decoder lands.
#include "dib.h"
std::unique_ptr<RgbImage> LoadDibImage(const char*) { return nullptr; }
