#include "platform/host/HeadlessHost.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/TextHelpers.h"
#include "platform/graphics/UIImage.h"
#include "platform/host/ViewQueries.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {
UIApplication& app() { return UIApplication::sharedApplication(); }

CGPoint centerOnScreen(const UIView& v) {
    CGRect b = v.bounds();
    return v.convertPointToView(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), nullptr);
}

UIKeyInput* textResponder() { return dynamic_cast<UIKeyInput*>(UIResponder::currentFirstResponder()); }
}  // namespace

std::shared_ptr<UIWindow> HeadlessHost::makeKeyWindow() {
    auto w = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    w->setBackgroundColor(UIColor::whiteColor());
    w->makeKeyAndVisible();
    return w;
}

UIWindow* HeadlessHost::window() const { return app().keyWindow(); }

void HeadlessHost::tap(double x, double y) { app().tapAt(CGPointMake(x, y)); }

void HeadlessHost::doubleTap(double x, double y) { app().doubleTapAt(CGPointMake(x, y)); }

void HeadlessHost::drag(double x1, double y1, double x2, double y2, int steps) {
    steps = std::clamp(steps, 1, 1000);
    app().dragFrom(CGPointMake(x1, y1), CGPointMake(x2, y2), 0.03 * steps, steps);
}

void HeadlessHost::pinch(double cx, double cy, double from, double to, int steps) {
    pinchAlong(cx, cy, 1, 0, from, to, steps);
}

void HeadlessHost::verticalPinch(double cx, double cy, double from, double to, int steps) {
    pinchAlong(cx, cy, 0, 1, from, to, steps);
}

void HeadlessHost::pinchAlong(double cx, double cy, double dx, double dy, double from, double to, int steps) {
    steps = std::clamp(steps, 1, 1000);
    from = std::max(from, 2.0) / 2;
    to = std::max(to, 2.0) / 2;
    app().pinch(CGPointMake(cx - dx * from, cy - dy * from), CGPointMake(cx + dx * from, cy + dy * from),
                CGPointMake(cx - dx * to, cy - dy * to), CGPointMake(cx + dx * to, cy + dy * to), 0.03 * steps, steps);
}

bool HeadlessHost::tapText(const std::string& text) {
    auto views = visibleViews();
    const VisibleView* v = findVisibleText(views, text);
    if (!v) return false;
    tap(CGRectGetMidX(v->screenRect), CGRectGetMidY(v->screenRect));
    return true;
}

bool HeadlessHost::type(const std::string& text) {
    if (!textResponder()) return false;
    UIKeyboard::typeText(text);
    RunLoop::main().runOnce();
    return true;
}

bool HeadlessHost::key(const std::string& name) {
    std::string n = lowercasedText(name);
    if (n == "return" || n == "enter") {
        if (!textResponder()) return false;
        UIKeyboard::pressReturn();
        RunLoop::main().runOnce();
        return true;
    }
    if (n == "backspace" || n == "delete") {
        if (!textResponder()) return false;
        UIKeyboard::pressDelete();
        RunLoop::main().runOnce();
        return true;
    }
    if (!UIKeyboard::isShown()) return false;
    UIView* keyView = UIKeyboard::keyboard().keyWithTitle(name);
    if (!keyView || !keyView->window()) return false;
    app().tapAt(centerOnScreen(*keyView));
    return true;
}

bool HeadlessHost::pressAlertButton(const std::string& title) {
    auto alerts = UIAlertView::visibleAlerts();
    for (auto it = alerts.rbegin(); it != alerts.rend(); ++it) {
        auto& alert = *it;
        for (int i = 0; i < alert->numberOfButtons(); ++i) {
            if (alert->buttonTitleAtIndex(i) != title) continue;
            UIButton* b = alert->buttonViewAtIndex(i);
            if (b && b->window())
                app().tapAt(centerOnScreen(*b));
            else
                alert->tapButtonAtIndex(i);
            RunLoop::main().runOnce();
            return true;
        }
    }
    auto sheets = UIActionSheet::visibleSheets();
    for (auto it = sheets.rbegin(); it != sheets.rend(); ++it) {
        auto& sheet = *it;
        for (int i = 0; i < sheet->numberOfButtons(); ++i) {
            if (sheet->buttonTitleAtIndex(i) != title) continue;
            UIButton* b = sheet->buttonViewAtIndex(i);
            if (b && b->window())
                app().tapAt(centerOnScreen(*b));
            else
                sheet->tapButtonAtIndex(i);
            RunLoop::main().runOnce();
            return true;
        }
    }
    return false;
}

void HeadlessHost::runFor(double seconds) {
    if (seconds > 0)
        RunLoop::main().runFor(seconds);
    else
        RunLoop::main().runOnce();
}

bool HeadlessHost::waitForText(const std::string& text, double timeout) {
    if (isTextVisible(text)) return true;
    return RunLoop::main().runUntil([&] { return isTextVisible(text); }, std::max(timeout, 0.0),
                                    std::max(realTimeLimit_, 0.0));
}

bool HeadlessHost::isTextVisible(const std::string& text) const { return findText(text) != nullptr; }

UIView* HeadlessHost::findText(const std::string& text) const {
    auto views = visibleViews();
    const VisibleView* v = findVisibleText(views, text);
    return v ? v->view : nullptr;
}

std::vector<std::string> HeadlessHost::visibleTexts() const { return ::visibleTexts(); }

std::string HeadlessHost::viewTreeText() const { return ::viewTreeText(); }

std::shared_ptr<UIImage> HeadlessHost::render(double scale) const {
    UIWindow* w = window();
    return w ? w->renderScreenToImage(scale) : nullptr;
}

bool HeadlessHost::screenshot(const std::string& path, std::string* error) const {
    auto image = render(2);
    if (!image) {
        if (error) *error = "no window to capture";
        return false;
    }
    if (!image->writePNG(path)) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

void HeadlessHost::background() {
    app().enterBackground();
    RunLoop::main().runOnce();
}

void HeadlessHost::foreground() {
    app().enterForeground();
    RunLoop::main().runOnce();
}

void HeadlessHost::terminate() {
    app().terminate();
    RunLoop::main().runOnce();
}
