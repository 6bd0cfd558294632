#pragma once
// Waiting in a window test: the event loop turns until a condition holds.

#include <QElapsedTimer>
#include <QTest>

namespace veltrane::testing {

// Runs the event loop until `done` holds, for at most `ms` milliseconds. The answer is the last
// look's: a condition on a moving count that held once is not asked again.
template <class Condition>
bool waitUntil(Condition done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    bool met = done();
    while (!met && clock.elapsed() < ms) {
        QTest::qWait(10);
        met = done();
    }
    return met;
}

}  // namespace veltrane::testing
