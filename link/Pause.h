#pragma once

namespace qv {

// A blocking pause; nothing the user does is handled during it. A pause of kEventsFromMs or
// longer runs the event loop meanwhile, so answers, timer ticks and a lost port can come in
// it; a shorter one only sleeps.
class Pause {
public:
    static constexpr int kEventsFromMs = 100;

    virtual ~Pause() = default;
    virtual void sleep(int milliseconds) = 0;
};

}  // namespace qv
