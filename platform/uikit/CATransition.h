#pragma once
// A layer transition (push, fade, move-in, reveal, from a side) added to a
// view under a key. The picture changes at once; the transition's did-stop
// runs after its duration on the main loop's timers, like the view animations.
#include <functional>
#include <string>

enum class CATransitionType { Fade, Push, MoveIn, Reveal, PageCurl, PageUnCurl, Flip };
enum class CATransitionSubtype { None, FromRight, FromLeft, FromTop, FromBottom };
enum class CAMediaTimingFunction { Linear, EaseIn, EaseOut, EaseInEaseOut, Default };

struct CATransition {
    CATransitionType type = CATransitionType::Fade;
    CATransitionSubtype subtype = CATransitionSubtype::None;
    double duration = 0.25;
    CAMediaTimingFunction timingFunction = CAMediaTimingFunction::Default;
    // animationDidStop:finished: of the transition's delegate.
    std::function<void(bool finished)> didStop;
};
