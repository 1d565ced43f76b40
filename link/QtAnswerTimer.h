#pragma once

#include <QTimer>

#include "link/AnswerTimer.h"

namespace qv {

// The answer timer over a QTimer on the event loop: the window's waitTimer in the tool.
class QtAnswerTimer final : public AnswerTimer {
public:
    explicit QtAnswerTimer(QTimer& timer);

    void start() override;
    void stop() override;
    void setTickHandler(std::function<void()> tick) override;

private:
    QTimer& timer_;
    std::function<void()> tick_;
};

}  // namespace qv
