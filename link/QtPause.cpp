#include "link/QtPause.h"

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

namespace qv {

void QtPause::sleep(int milliseconds) {
    if (milliseconds < kEventsFromMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qv
