#pragma once

#include "link/Pause.h"

namespace qv {

// Short pauses sleep; long ones run the event loop without user input, so the window
// keeps painting but takes no clicks or keys.
class QtPause final : public Pause {
public:
    void sleep(int milliseconds) override;
};

}  // namespace qv
