#pragma once

// The calculation checks run at every start: the worked examples of valve and
// regulator selection, recomputed and compared with their known results. Each
// failed comparison is recorded and shown at once; a correct build shows nothing.

namespace algotest {

void runSelfTests();

} // namespace algotest
