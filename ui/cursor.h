#pragma once

namespace ui {

// Shows the hourglass as the screen cursor for the object's lifetime, also
// over controls that set their own cursor; the default cursor comes back when
// the last one ends, however the scope is left. Scopes may nest.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

    // True while any HourglassCursor lives.
    static bool Active();
};

}  // namespace ui
