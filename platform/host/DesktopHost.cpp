#include "platform/host/DesktopHost.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/CGContext.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"

#include <SDL2/SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr double kScreenWidth = 320, kScreenHeight = 480;
// What a window manager adds above the window (its title bar), in pixels.
constexpr int kTitleBarAllowance = 40;
// Redraws at least this often (the status bar's clock, spinners).
constexpr double kIdleRedrawSeconds = 0.5;
// The longest sleep between turns of the loop: a task posted by a thread the
// loop does not count as background work waits at most this long.
constexpr double kMaxWaitSeconds = 0.25;
// While work on other threads will post back (network replies), the loop
// looks for its tasks this often.
constexpr double kBackgroundPollSeconds = 0.01;
}  // namespace

struct DesktopHost::Impl {
    Options options;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    cairo_surface_t* surface = nullptr;
    bool quit = false;
    bool sdlStarted = false;
    unsigned long long drawnGeneration = ~0ull;
    double lastDraw = 0;
    bool fingerDown = false;
    bool pinching = false;

    ~Impl() {
        if (surface) cairo_surface_destroy(surface);
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (sdlStarted) SDL_Quit();
    }

    // How long to wait for the next window event: until the next timer is due,
    // the next idle redraw, or a short poll while other threads will post back;
    // no wait when tasks are waiting already.
    int waitMilliseconds(const RunLoop& loop, double now) const {
        if (loop.pendingTaskCount() > 0 || UIView::displayGeneration() != drawnGeneration) return 0;
        double wait = std::min(kMaxWaitSeconds, lastDraw + kIdleRedrawSeconds - now);
        if (auto next = loop.nextTimerFireDate()) wait = std::min(wait, *next - Clock::now());
        if (loop.backgroundWorkCount() > 0) wait = std::min(wait, kBackgroundPollSeconds);
        return static_cast<int>(std::ceil(std::max(0.0, wait) * 1000));
    }

    int pixelWidth() const { return static_cast<int>(kScreenWidth * options.scale); }
    int pixelHeight() const { return static_cast<int>(kScreenHeight * options.scale); }

    // Window pixels to screen points (the window may have been resized).
    CGPoint toPoints(int x, int y) const {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        double sx = w > 0 ? kScreenWidth / w : 1, sy = h > 0 ? kScreenHeight / h : 1;
        return CGPointMake(std::clamp(x * sx, 0.0, kScreenWidth - 0.5), std::clamp(y * sy, 0.0, kScreenHeight - 0.5));
    }

    static CGPoint mirrored(CGPoint p) { return CGPointMake(kScreenWidth - p.x, kScreenHeight - p.y); }

    void draw() {
        UIWindow* key = UIApplication::sharedApplication().keyWindow();
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        if (key) {
            key->layoutIfNeeded();
            cairo_scale(cr, options.scale, options.scale);
            CGContext ctx(cr);
            UIGraphicsPushContext(&ctx);
            key->renderScreen(ctx);
            UIGraphicsPopContext();
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        SDL_UpdateTexture(texture, nullptr, cairo_image_surface_get_data(surface),
                          cairo_image_surface_get_stride(surface));
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
        drawnGeneration = UIView::displayGeneration();
        lastDraw = Clock::systemNow();
    }

    void handle(const SDL_Event& e) {
        auto& app = UIApplication::sharedApplication();
        switch (e.type) {
            case SDL_QUIT:
                app.terminate();
                quit = true;
                break;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_MINIMIZED:
                        app.enterBackground();
                        break;
                    case SDL_WINDOWEVENT_RESTORED:
                        app.enterForeground();
                        app.becomeActive();
                        drawnGeneration = ~0ull;
                        break;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        if (app.applicationState() == UIApplicationState::Active) app.resignActive();
                        break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        if (app.applicationState() == UIApplicationState::Inactive) app.becomeActive();
                        break;
                    case SDL_WINDOWEVENT_EXPOSED:
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        drawnGeneration = ~0ull;
                        break;
                    default:
                        break;
                }
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.button != SDL_BUTTON_LEFT || fingerDown) break;
                {
                    CGPoint p = toPoints(e.button.x, e.button.y);
                    pinching = (SDL_GetModState() & (KMOD_CTRL | KMOD_ALT)) != 0;
                    fingerDown = true;
                    if (pinching)
                        app.touchesBeganAt({p, mirrored(p)});
                    else
                        app.touchesBeganAt({p});
                }
                break;
            case SDL_MOUSEMOTION:
                if (fingerDown) {
                    CGPoint p = toPoints(e.motion.x, e.motion.y);
                    if (pinching)
                        app.touchesMovedTo({p, mirrored(p)});
                    else
                        app.touchesMovedTo({p});
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button == SDL_BUTTON_LEFT && fingerDown) {
                    CGPoint p = toPoints(e.button.x, e.button.y);
                    if (pinching)
                        app.touchesEndedAt({p, mirrored(p)});
                    else
                        app.touchesEndedAt({p});
                    fingerDown = pinching = false;
                }
                break;
            case SDL_TEXTINPUT:
                UIKeyboard::typeText(e.text.text);
                break;
            case SDL_KEYDOWN:
                switch (e.key.keysym.sym) {
                    case SDLK_BACKSPACE:
                        UIKeyboard::pressDelete();
                        break;
                    case SDLK_RETURN:
                    case SDLK_KP_ENTER:
                        UIKeyboard::pressReturn();
                        break;
                    default:
                        break;
                }
                break;
            default:
                break;
        }
    }
};

DesktopHost::DesktopHost() : DesktopHost(Options{}) {}

DesktopHost::DesktopHost(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    double& scale = impl_->options.scale;
    if (!std::isfinite(scale) || scale < 0) scale = 0;
    if (scale != 0) scale = std::clamp(scale, kMinScale, kMaxScale);
}

double DesktopHost::fittingScale(int usableWidth, int usableHeight) {
    double fit = std::min(usableWidth / kScreenWidth, (usableHeight - kTitleBarAllowance) / kScreenHeight);
    if (!(fit > 0)) return kPreferredScale;  // nothing known about the display
    return std::clamp(std::floor(fit * 4) / 4, kMinScale, kPreferredScale);
}

double DesktopHost::scale() const { return impl_->options.scale; }

DesktopHost::~DesktopHost() = default;

bool DesktopHost::displayAvailable() {
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wl && *wl);
}

bool DesktopHost::open(std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + ": " + SDL_GetError();
        return false;
    };
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return fail("SDL_Init");
    impl_->sdlStarted = true;
    Impl& d = *impl_;
    if (d.options.scale == 0) {
        SDL_Rect usable{};
        d.options.scale =
            SDL_GetDisplayUsableBounds(0, &usable) == 0 ? fittingScale(usable.w, usable.h) : kPreferredScale;
    }
    d.window = SDL_CreateWindow(d.options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, d.pixelWidth(),
                                d.pixelHeight(), SDL_WINDOW_SHOWN);
    if (!d.window) return fail("SDL_CreateWindow");
    d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (!d.renderer) return fail("SDL_CreateRenderer");
    // Cairo's ARGB32 is native-endian 32-bit ARGB, which is SDL's ARGB8888.
    d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, d.pixelWidth(),
                                  d.pixelHeight());
    if (!d.texture) return fail("SDL_CreateTexture");
    d.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, d.pixelWidth(), d.pixelHeight());
    if (cairo_surface_status(d.surface) != CAIRO_STATUS_SUCCESS) {
        if (error) *error = "cannot make the drawing surface";
        return false;
    }
    SDL_StartTextInput();
    return true;
}

void DesktopHost::quit() { impl_->quit = true; }

int DesktopHost::run() {
    Impl& d = *impl_;
    if (!d.window) return 1;
    RunLoop& loop = RunLoop::main();
    while (!d.quit) {
        loop.runOnce();
        if (d.quit) break;
        double now = Clock::systemNow();
        if (UIView::displayGeneration() != d.drawnGeneration || now - d.lastDraw >= kIdleRedrawSeconds) d.draw();
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, d.waitMilliseconds(loop, now))) {
            d.handle(e);
            while (!d.quit && SDL_PollEvent(&e)) d.handle(e);
        }
    }
    return 0;
}
