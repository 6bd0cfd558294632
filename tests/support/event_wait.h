#pragma once
// Waiting in a window test: the event loop turns until a condition holds.

#include <QElapsedTimer>
#include <QTest>

namespace veltrane::testing {

// Runs the event loop until `done` holds, for at most `ms` milliseconds.
template <class Condition>
bool waitUntil(Condition done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

}  // namespace veltrane::testing
