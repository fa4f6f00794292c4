#include "ground/testmode.h"

namespace {
bool testMode = false;
}

void setTestMode(bool on)
{
    testMode = on;
}

bool inTestMode()
{
    return testMode;
}
