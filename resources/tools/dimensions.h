#pragma once

#include "style.h"

namespace pictures {

// The dimension drawing of a device series: its side view with the dimension
// lines of its table, L (construction length), Н (height) and, where the series
// has it, Н1. The large drawing is for a document window, the small one for the
// narrow column of a printed report.
void drawDimensionDrawing(Canvas& c, const char* stem, bool small);

} // namespace pictures
