#include "ui/VTAAnimation.h"

CATransition VTAAnimation::getAnimationWithDirect(CATransitionSubtype direct, double duration) {
    CATransition t;
    t.type = CATransitionType::Push;
    t.subtype = direct;
    t.duration = duration;
    t.timingFunction = CAMediaTimingFunction::EaseInEaseOut;
    return t;
}

CATransition VTAAnimation::getAnimationWithDirect(const std::string& direct, double duration) {
    CATransitionSubtype s = CATransitionSubtype::None;
    if (direct == "fromLeft")
        s = CATransitionSubtype::FromLeft;
    else if (direct == "fromRight")
        s = CATransitionSubtype::FromRight;
    else if (direct == "fromTop")
        s = CATransitionSubtype::FromTop;
    else if (direct == "fromBottom")
        s = CATransitionSubtype::FromBottom;
    return getAnimationWithDirect(s, duration);
}
