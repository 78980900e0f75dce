#pragma once

#include <functional>

namespace quillory::bench {

// The benchmarks of windows share one main: an offscreen QApplication around the run. Windows a
// benchmark keeps between runs must be gone before the application object: register their
// release here.
void atShutdown(std::function<void()> release);

} // namespace quillory::bench
