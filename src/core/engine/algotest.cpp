#include "algotest.h"

namespace algotest {

void runSelfTests()
{
}

} // namespace algotest
