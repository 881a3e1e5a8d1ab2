#include "platform/host/ViewQueries.h"

#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIView.h"
#include "platform/uikit/UIWindow.h"

#include <cstdio>

namespace {
void collect(UIView* view, CGRect clip, std::vector<VisibleView>& out) {
    if (view->isHidden() || view->alpha() < 0.01) return;
    CGRect onScreen = view->convertRectToView(view->bounds(), nullptr);
    CGRect shown = CGRectIntersection(onScreen, clip);
    bool visible = !CGRectIsEmpty(shown);
    if (visible) out.push_back({view, shown, view->accessibilityText()});
    if (view->clipsToBounds()) {
        if (!visible) return;
        clip = shown;
    }
    for (auto& sub : view->subviews()) collect(sub.get(), clip, out);
}

std::vector<UIWindow*> shownWindows() {
    std::vector<UIWindow*> out;
    auto& app = UIApplication::sharedApplication();
    for (auto& w : app.windows())
        if (w && !w->isHidden()) out.push_back(w.get());
    // The key window goes last (frontmost) unless it is already listed.
    if (UIWindow* key = app.keyWindow()) {
        bool listed = false;
        for (auto* w : out) listed = listed || w == key;
        if (!listed && !key->isHidden()) out.push_back(key);
    }
    return out;
}

void describe(const UIView* view, int depth, std::string& out) {
    CGRect f = view->frame();
    char buf[200];
    std::snprintf(buf, sizeof buf, "%s (%g %g; %g %g)", view->className().c_str(), f.origin.x, f.origin.y, f.size.width,
                  f.size.height);
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += buf;
    if (view->tag()) out += " tag=" + std::to_string(view->tag());
    if (view->isHidden()) out += " hidden";
    std::string text = view->accessibilityText();
    if (!text.empty()) {
        // Long texts (web pages) are cut to keep one line per view readable.
        if (text.size() > 160) {
            size_t cut = 160;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
            text = text.substr(0, cut) + "…";
        }
        for (auto& c : text)
            if (c == '\n') c = ' ';
        out += " \"" + text + "\"";
    }
    out += "\n";
    if (view->isHidden()) return;  // what a hidden view holds is not on screen
    for (auto& sub : view->subviews()) describe(sub.get(), depth + 1, out);
}
}  // namespace

std::vector<VisibleView> visibleViews() {
    std::vector<VisibleView> out;
    CGRect screen = UIScreen::mainScreen().bounds();
    for (UIWindow* w : shownWindows()) {
        w->layoutIfNeeded();
        collect(w, screen, out);
    }
    return out;
}

const VisibleView* findVisibleText(const std::vector<VisibleView>& views, const std::string& text) {
    const VisibleView* containing = nullptr;
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        if (it->text == text) return &*it;
        if (!containing && !text.empty() && it->text.find(text) != std::string::npos) containing = &*it;
    }
    return containing;
}

std::vector<std::string> visibleTexts() {
    std::vector<std::string> out;
    for (auto& v : visibleViews())
        if (!v.text.empty()) out.push_back(v.text);
    return out;
}

std::string viewTreeText() {
    std::string out;
    auto windows = shownWindows();
    for (UIWindow* w : windows) {
        w->layoutIfNeeded();
        describe(w, 0, out);
    }
    return out;
}
