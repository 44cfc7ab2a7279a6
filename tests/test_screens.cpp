// placeholder
#include "fixture.h"
TEST_F(Headless, Placeholder) {}
