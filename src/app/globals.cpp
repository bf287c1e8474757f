#include "app/globals.h"

std::atomic<BFilePanel*> filepanel{nullptr};
