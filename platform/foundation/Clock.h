#pragma once
// The time every part of the application reads. Real time by default; tests
// freeze it at a chosen instant and move it forward, so that trading-hour and
// idle-lock rules, timers and dates can be checked at any time of day without
// waiting. RunLoop::runFor/runUntil advance a frozen clock timer by timer.
// A client that runs at a chosen market time (roduvede --market-time) runs
// real time from that instant on.
class Clock {
public:
    static double now();                  // seconds since 1970 UTC (double)
    static void freezeAt(double t);       // manual mode: time stands at t
    static void advance(double seconds);  // manual mode only: moves time forward (does not run timers)
    static void useSystemTime();          // back to real time
    static void runFrom(double t);        // real time, as if it were t now (before any timer is set)
    static bool isFrozen();

    // Real (system) time, whatever the mode.
    static double systemNow();
};
