#pragma once
// Links inside the toolkit between the responder chain and the input area
// (keyboard or a responder's input view). Not for screens.
class UIResponder;

// Called after the first responder changed (either may be null).
void inputAreaFirstResponderChanged(UIResponder* previous, UIResponder* current);
// Called when a responder that is first goes away without resigning.
void inputAreaResponderDestroyed(UIResponder* responder);
// Drops the input area's state (keyboard shown, its views) for a fresh application.
void inputAreaReset();
// Drops the alerts and action sheets on screen for a fresh application.
void modalPopupsReset();
