#pragma once

namespace orx {
// Registers the program's pictures. The resource data sits in a static library,
// so its registration must be called explicitly by every program that shows them.
void initResources();
} // namespace orx
