#include "platform/uikit/UIResponder.h"

#include "platform/uikit/InputHooks.h"

namespace {
UIResponder* gFirstResponder = nullptr;
}

UIResponder::~UIResponder() {
    if (gFirstResponder == this) {
        gFirstResponder = nullptr;
        inputAreaResponderDestroyed(this);
    }
}

bool UIResponder::becomeFirstResponder() {
    if (gFirstResponder == this) return true;
    if (!canBecomeFirstResponder()) return false;
    UIResponder* previous = gFirstResponder;
    if (previous) {
        if (!previous->canResignFirstResponder()) return false;
        gFirstResponder = nullptr;
        previous->didResignFirstResponder();
    }
    gFirstResponder = this;
    didBecomeFirstResponder();
    inputAreaFirstResponderChanged(previous, this);
    return true;
}

bool UIResponder::resignFirstResponder() {
    if (gFirstResponder != this) return true;
    if (!canResignFirstResponder()) return false;
    gFirstResponder = nullptr;
    didResignFirstResponder();
    inputAreaFirstResponderChanged(this, nullptr);
    return true;
}

bool UIResponder::isFirstResponder() const { return gFirstResponder == this; }

UIResponder* UIResponder::currentFirstResponder() { return gFirstResponder; }

void UIResponder::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    if (auto* next = nextResponder()) next->touchesBegan(touches, event);
}

void UIResponder::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    if (auto* next = nextResponder()) next->touchesMoved(touches, event);
}

void UIResponder::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    if (auto* next = nextResponder()) next->touchesEnded(touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
    if (auto* next = nextResponder()) next->touchesCancelled(touches, event);
}
