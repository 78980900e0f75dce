#pragma once

#include <QRect>

#include <string>
#include <vector>

namespace quillory {

// What the window remembers of its own layout between the settings and the frame: the left
// column's width, the recent list's height, and stored outer bounds still waiting for the frame
// to be known (checked by the tick, which gives up after a couple of seconds).
struct LayoutMemory {
    QRect pendingBounds;
    int pendingBoundsTicks = 0;
    int panel2Width = 185;
    int recentHeight = 55;
};

// What is said once per run however often it happens again: a failed write of the shown page
// (until one succeeds), of Recent, the minimise notice, and notices shown in a box (no tray).
struct SaidOnce {
    bool pageWriteFailed = false;
    bool recentWriteFailed = false;
    bool minimiseNotice = false;
    std::vector<std::u16string> notices;
};

} // namespace quillory
