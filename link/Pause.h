#pragma once

namespace qv {

// A blocking pause; nothing the user does is handled during it.
class Pause {
public:
    virtual ~Pause() = default;
    virtual void sleep(int milliseconds) = 0;
};

}  // namespace qv
