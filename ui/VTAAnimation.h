#pragma once
// The push transition the older screens add to a view when its content
// changes: view->addAnimation(VTAAnimation::getAnimationWithDirect(...), key).
// The view keeps the transition itself, so nothing outlives the view.
#include "platform/uikit/CATransition.h"

#include <string>

class VTAAnimation {
public:
    // A push transition from the given side ("fromLeft", "fromRight",
    // "fromTop", "fromBottom"; any other text pushes without a side) with
    // ease-in-ease-out timing, lasting `duration` seconds.
    static CATransition getAnimationWithDirect(const std::string& direct, double duration);
    static CATransition getAnimationWithDirect(CATransitionSubtype direct, double duration);
};
