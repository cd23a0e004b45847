#include "convert/start_up.h"

#include "basis/start_up.h"

void startUp() { basisStartUp(); }

void shutDown() {}
