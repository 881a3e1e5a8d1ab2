// A gallery of the platform's controls: a navigation stack with a table, an
// alert, an action sheet, a picker, a text field with the number pad, a drawing
// view with Chinese text, a web page, and the UI toolkit's own gallery
// (ui/ToolkitGallery.h: the client's widgets on sample data). It runs in a desktop window, or
// headless with a script (--headless --script FILE) or saving a screenshot of
// each page (--shots DIR).
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/host/DesktopHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ScriptDriver.h"
#include "platform/services/MessageComposeViewController.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITableViewCell.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWebView.h"
#include "platform/uikit/UIWindow.h"
#include "app/ToolkitGallery.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {
struct Quote {
    const char* name;
    const char* code;
    const char* price;
    const char* change;
};
const std::vector<Quote> kQuotes = {
    {"平安银行", "000001", "12.34", "+1.23%"}, {"万科A", "000002", "8.76", "-0.45%"},
    {"浦发银行", "600000", "7.02", "+0.14%"},  {"贵州茅台", "600519", "1688.00", "+2.05%"},
    {"中国平安", "601318", "45.60", "-1.10%"}, {"腾讯控股", "00700", "368.40", "+0.82%"},
    {"招商银行", "600036", "33.15", "+0.30%"}, {"五粮液", "000858", "142.30", "-0.72%"},
};

// ---------------------------------------------------------------- pages

class StockTablePage : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    StockTablePage() { setTitle("自选股"); }
    void loadView() override {
        table_ = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
        table_->setRowHeight(50);
        table_->setDataSource(this);
        table_->setDelegate(this);
        setView(table_);
    }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(kQuotes.size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        auto cell = t.dequeueReusableCellWithIdentifier("quote");
        if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Subtitle, "quote");
        const Quote& q = kQuotes[static_cast<size_t>(ip.row) % kQuotes.size()];
        cell->textLabel()->setText(q.name);
        cell->detailTextLabel()->setText(std::string(q.code) + "   " + q.price + "   " + q.change);
        cell->detailTextLabel()->setTextColor(q.change[0] == '-' ? UIColor::colorWithRed(0, 0.6, 0, 1)
                                                                 : UIColor::redColor());
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    void tableViewDidSelectRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        t.deselectRowAtIndexPath(ip, true);
    }

private:
    std::shared_ptr<UITableView> table_;
};

class PickerPage : public UIViewController, public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    PickerPage() { setTitle("选择器"); }
    void loadView() override {
        auto root = std::make_shared<UIView>(CGRectMake(0, 0, 320, 416));
        root->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
        label_ = std::make_shared<UILabel>(CGRectMake(20, 30, 280, 30));
        label_->setTextAlignment(UITextAlignment::Center);
        label_->setFont(UIFont::boldSystemFontOfSize(18));
        label_->setBackgroundColor(UIColor::clearColor());
        root->addSubview(label_);
        picker_ = std::make_shared<UIPickerView>(CGRectMake(0, 200, 320, 216));
        picker_->setShowsSelectionIndicator(true);
        picker_->setDataSource(this);
        picker_->setDelegate(this);
        root->addSubview(picker_);
        setView(root);
        picker_->selectRow(1, 0, false);
        update(1);
    }
    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return static_cast<int>(markets().size()); }
    std::string pickerViewTitleForRow(UIPickerView&, int row, int) override {
        return markets()[static_cast<size_t>(row)];
    }
    void pickerViewDidSelectRow(UIPickerView&, int row, int) override { update(row); }

private:
    static const std::vector<std::string>& markets() {
        static const std::vector<std::string> m = {"深圳A股", "上海A股", "深圳B股", "上海B股", "香港主板", "创业板"};
        return m;
    }
    void update(int row) { label_->setText("市场: " + markets()[static_cast<size_t>(row)]); }
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<UIPickerView> picker_;
};

class NumberPadPage : public UIViewController {
public:
    NumberPadPage() { setTitle("数字键盘"); }
    void loadView() override {
        auto root = std::make_shared<UIView>(CGRectMake(0, 0, 320, 416));
        root->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
        auto caption = std::make_shared<UILabel>(CGRectMake(20, 20, 90, 31));
        caption->setText("委托数量");
        caption->setBackgroundColor(UIColor::clearColor());
        root->addSubview(caption);
        field_ = std::make_shared<UITextField>(CGRectMake(110, 20, 190, 31));
        field_->setBorderStyle(UITextBorderStyle::RoundedRect);
        field_->setPlaceholder("请输入数量");
        field_->setKeyboardType(UIKeyboardType::NumberPad);
        root->addSubview(field_);
        setView(root);
    }
    void viewDidAppear(bool) override { field_->becomeFirstResponder(); }
    void viewWillDisappear(bool) override { field_->resignFirstResponder(); }

private:
    std::shared_ptr<UITextField> field_;
};

// An intraday chart drawn by hand: grid, dashed average line, filled price line, Chinese labels.
class ChartView : public UIView {
public:
    using UIView::UIView;
    std::string className() const override { return "ChartView"; }
    std::string accessibilityText() const override { return "上证指数 3089.26 +1.25%"; }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        ctx->setFillColor(0.05, 0.05, 0.12, 1);
        ctx->fillRect(b);
        CGRect plot = CGRectMake(40, 50, b.size.width - 50, 220);
        ctx->setStrokeColor(0.35, 0.1, 0.1, 1);
        ctx->setLineWidth(1);
        for (int i = 0; i <= 4; ++i) {
            double y = plot.origin.y + plot.size.height * i / 4;
            ctx->strokeLineSegments({CGPointMake(plot.origin.x, y), CGPointMake(CGRectGetMaxX(plot), y)});
        }
        // Price path: a seeded walk.
        std::vector<CGPoint> pts;
        double v = 0.5;
        for (int i = 0; i <= 120; ++i) {
            v += std::sin(i * 0.37) * 0.03 + std::cos(i * 0.11) * 0.02;
            v = std::clamp(v, 0.05, 0.95);
            pts.push_back(
                CGPointMake(plot.origin.x + plot.size.width * i / 120, plot.origin.y + plot.size.height * (1 - v)));
        }
        ctx->saveGState();
        ctx->beginPath();
        ctx->moveToPoint(pts.front().x, CGRectGetMaxY(plot));
        for (auto& p : pts) ctx->addLineToPoint(p.x, p.y);
        ctx->addLineToPoint(pts.back().x, CGRectGetMaxY(plot));
        ctx->closePath();
        ctx->clip();
        ctx->drawLinearGradient({UIColor::colorWithRed(1, 0.3, 0.3, 0.6), UIColor::colorWithRed(1, 0.3, 0.3, 0.05)}, {},
                                CGPointMake(0, plot.origin.y), CGPointMake(0, CGRectGetMaxY(plot)));
        ctx->restoreGState();
        ctx->setStrokeColor(1, 1, 1, 1);
        ctx->setLineWidth(1.5);
        ctx->beginPath();
        ctx->moveToPoint(pts.front().x, pts.front().y);
        for (auto& p : pts) ctx->addLineToPoint(p.x, p.y);
        ctx->strokePath();
        ctx->saveGState();
        ctx->setStrokeColor(1, 0.85, 0, 1);
        ctx->setLineDash(0, {4, 3});
        double avg = plot.origin.y + plot.size.height * 0.45;
        ctx->strokeLineSegments({CGPointMake(plot.origin.x, avg), CGPointMake(CGRectGetMaxX(plot), avg)});
        ctx->restoreGState();

        ctx->setFillColor(1, 1, 1, 1);
        drawStringAtPoint("上证指数", CGPointMake(10, 12), *UIFont::boldSystemFontOfSize(18));
        ctx->setFillColor(1, 0.25, 0.25, 1);
        drawStringAtPoint("3089.26  +38.12  +1.25%", CGPointMake(100, 14), *UIFont::systemFontOfSize(16));
        ctx->setFillColor(0.7, 0.7, 0.7, 1);
        const char* scale[] = {"3120", "3100", "3080", "3060", "3040"};
        for (int i = 0; i <= 4; ++i)
            drawStringAtPoint(scale[i], CGPointMake(4, plot.origin.y + plot.size.height * i / 4 - 7),
                              *UIFont::systemFontOfSize(11));
        drawString("09:30", CGRectMake(plot.origin.x, CGRectGetMaxY(plot) + 4, 60, 14), *UIFont::systemFontOfSize(11));
        drawString("11:30/13:00", CGRectMake(CGRectGetMidX(plot) - 40, CGRectGetMaxY(plot) + 4, 80, 14),
                   *UIFont::systemFontOfSize(11), UILineBreakMode::Clip, UITextAlignment::Center);
        drawString("15:00", CGRectMake(CGRectGetMaxX(plot) - 60, CGRectGetMaxY(plot) + 4, 60, 14),
                   *UIFont::systemFontOfSize(11), UILineBreakMode::Clip, UITextAlignment::Right);
        ctx->setFillColor(0.85, 0.85, 0.85, 1);
        drawString("成交量 2856亿  换手率 0.82%  上涨 1523家 下跌 812家（含停牌个股的统计在内）",
                   CGRectMake(10, 310, b.size.width - 20, 60), *UIFont::systemFontOfSize(14),
                   UILineBreakMode::WordWrap);
    }
};

class DrawingPage : public UIViewController {
public:
    DrawingPage() { setTitle("绘图"); }
    void loadView() override { setView(std::make_shared<ChartView>(CGRectMake(0, 0, 320, 416))); }
};

class WebPage : public UIViewController, public UIWebViewDelegate {
public:
    WebPage() { setTitle("网页"); }
    void loadView() override {
        web_ = std::make_shared<UIWebView>(CGRectMake(0, 0, 320, 416));
        web_->setDelegate(this);
        setView(web_);
        web_->loadHTMLString(
            "<html><body><center><font size=5><b>系统公告</b></font><br/>"
            "<font color=gray size=2>营业部 2024-03-08 09:15</font></center><hr/>"
            "<p>尊敬的客户：<br/>本公司将于<b>本周六</b>进行系统升级，升级期间<font color=red>暂停交易服务</font>。"
            "请提前做好安排。</p><ul><li>行情查询不受影响</li><li>委托请于周一开盘后提交</li></ul>"
            "<p><a href='@qzopt=user_upgrade?'>关联资金帐号</a> | <a href='http://example.invalid/'>更多说明</a></p>"
            "</body></html>");
    }
    ~WebPage() override {
        if (web_) web_->setDelegate(nullptr);
    }
    bool webViewShouldStartLoadWithRequest(UIWebView&, const NSURLRequest& r, UIWebViewNavigationType t) override {
        if (t == UIWebViewNavigationType::LinkClicked && r.URL().rfind("@qzopt=", 0) == 0) {
            auto alert = std::make_shared<UIAlertView>("链接命令", r.URL(), nullptr, std::string("确定"),
                                                       std::vector<std::string>{});
            alert->show();
            return false;
        }
        return true;
    }

private:
    std::shared_ptr<UIWebView> web_;
};

// ---------------------------------------------------------------- the list

class GalleryList : public UIViewController,
                    public UITableViewDataSource,
                    public UITableViewDelegate,
                    public UIAlertViewDelegate,
                    public UIActionSheetDelegate,
                    public MFMessageComposeViewControllerDelegate {
public:
    GalleryList() { setTitle("控件样例"); }
    static const std::vector<std::string>& items() {
        static const std::vector<std::string> i = {"表格", "提示框", "操作表", "选择器",  "数字键盘",
                                                   "绘图", "网页",   "短信",   "界面组件"};
        return i;
    }
    void loadView() override {
        auto table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 416), UITableViewStyle::Grouped);
        table->setDataSource(this);
        table->setDelegate(this);
        table_ = table;
        setView(table);
    }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(items().size()); }
    std::string tableViewTitleForHeaderInSection(UITableView&, int) override { return "平台控件"; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        auto cell = t.dequeueReusableCellWithIdentifier("item");
        if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "item");
        cell->textLabel()->setText(items()[static_cast<size_t>(ip.row)]);
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    void tableViewDidSelectRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        t.deselectRowAtIndexPath(ip, true);
        open(items()[static_cast<size_t>(ip.row)]);
    }
    void open(const std::string& item) {
        auto* nav = navigationController();
        if (item == "表格")
            nav->pushViewController(std::make_shared<StockTablePage>(), true);
        else if (item == "选择器")
            nav->pushViewController(std::make_shared<PickerPage>(), true);
        else if (item == "数字键盘")
            nav->pushViewController(std::make_shared<NumberPadPage>(), true);
        else if (item == "绘图")
            nav->pushViewController(std::make_shared<DrawingPage>(), true);
        else if (item == "网页")
            nav->pushViewController(std::make_shared<WebPage>(), true);
        else if (item == "界面组件")
            nav->pushViewController(makeToolkitGallery(), true);
        else if (item == "提示框") {
            auto alert = std::make_shared<UIAlertView>("委托确认", "买入 平安银行(000001)\n价格 12.34  数量 1000股",
                                                       this, std::string("取消"), std::vector<std::string>{"确定"});
            alert->show();
        } else if (item == "操作表") {
            auto sheet = std::make_shared<UIActionSheet>("请选择操作\n(自选股)", this, std::string("取消"),
                                                         std::string("删除自选股"),
                                                         std::vector<std::string>{"置顶", "设置提醒"});
            sheet->showInView(view().get());
        } else if (item == "短信") {
            auto sms = std::make_shared<MFMessageComposeViewController>();
            sms->setRecipients({"10658888"});
            sms->setBody("DB A 7f3c9e21");
            sms->setMessageComposeDelegate(this);
            nav->presentModalViewController(sms, true);
        }
    }
    void alertViewClickedButtonAtIndex(UIAlertView&, int index) override {
        std::fprintf(stderr, "alert button %d\n", index);
    }
    void actionSheetClickedButtonAtIndex(UIActionSheet&, int index) override {
        std::fprintf(stderr, "action sheet button %d\n", index);
    }
    void messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& c,
                                                         MessageComposeResult r) override {
        std::fprintf(stderr, "sms result %d\n", static_cast<int>(r));
        c.dismissModalViewControllerAnimated(true);
    }

private:
    std::shared_ptr<UITableView> table_;
};

struct Gallery {
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<GalleryList> list;
    std::shared_ptr<UINavigationController> nav;
};

Gallery makeGallery() {
    Gallery g;
    g.window = HeadlessHost::makeKeyWindow();
    g.list = std::make_shared<GalleryList>();
    g.nav = UINavigationController::initWithRootViewController(g.list);
    g.window->setRootViewController(g.nav);
    RemoteNotificationService::shared().install(UIApplication::sharedApplication());
    UIApplication::sharedApplication().launch();
    return g;
}

int saveShots(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    Gallery g = makeGallery();
    HeadlessHost host;
    host.setRealTimeLimit(0);
    int failures = 0;
    auto shot = [&](const std::string& name) {
        host.runFor(1);
        std::string error;
        std::string path = (std::filesystem::path(dir) / (name + ".png")).string();
        if (!host.screenshot(path, &error)) {
            std::cerr << error << "\n";
            ++failures;
        } else {
            std::cout << path << "\n";
        }
    };
    auto visit = [&](const std::string& item, const std::string& name, bool push) {
        if (!host.tapText(item)) {
            std::cerr << "no gallery item " << item << "\n";
            ++failures;
            return;
        }
        shot(name);
        if (push) {
            g.nav->popToRootViewControllerAnimated(false);
            host.runFor(1);
        }
    };
    shot("01-list");
    visit("表格", "02-table", true);
    visit("提示框", "03-alert", false);
    host.pressAlertButton("确定");
    visit("操作表", "04-action-sheet", false);
    host.pressAlertButton("取消");
    visit("选择器", "05-picker", true);
    visit("数字键盘", "06-number-pad", false);
    host.type("1000");
    shot("06-number-pad-typed");
    g.nav->popToRootViewControllerAnimated(false);
    host.runFor(1);
    visit("绘图", "07-drawing", true);
    visit("网页", "08-web", true);
    visit("短信", "09-sms", false);
    g.nav->dismissModalViewControllerAnimated(false);
    host.runFor(1);
    visit("界面组件", "10-toolkit", false);
    // Each page of the toolkit's gallery, opened from its list as a tap does.
    auto names = toolkitGalleryNames();
    for (size_t i = 0; i < names.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "10-toolkit-%02zu", i + 1);
        if (!host.tapText(names[i])) {
            // Rows below the fold: open the page directly.
            auto page = makeToolkitGalleryPage(names[i]);
            if (!page) {
                std::cerr << "no toolkit page " << names[i] << "\n";
                ++failures;
                continue;
            }
            g.nav->pushViewController(page, false);
        }
        shot(name);
        while (g.nav->viewControllers().size() > 2) g.nav->popViewControllerAnimated(false);
        host.runFor(1);
    }
    UIApplication::sharedApplication().terminate();
    return failures ? 1 : 0;
}

int runScript(const std::string& path) {
    Gallery g = makeGallery();
    HeadlessHost host;
    ScriptDriver driver(host, std::cout);
    auto error = driver.runFile(path);
    UIApplication::sharedApplication().terminate();
    if (error) {
        std::cerr << path << ": " << error->describe() << "\n";
        return 1;
    }
    return 0;
}

int runDesktop(double scale) {
    DesktopHost::Options options;
    options.scale = scale;
    options.title = "roduvede gallery";
    DesktopHost desktop(options);
    std::string error;
    if (!desktop.open(&error)) {
        std::cerr << "cannot open the window: " << error << "\n";
        return 1;
    }
    Gallery g = makeGallery();
    return desktop.run();
}

void usage() {
    std::cerr << "usage: roduvede_gallery [--scale N]            desktop window\n"
                 "       roduvede_gallery --headless --script FILE\n"
                 "       roduvede_gallery --shots DIR\n";
}
}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool headless = false;
    std::string script, shots;
    double scale = 0;  // fits the display
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                usage();
                std::exit(2);
            }
            return args[++i];
        };
        if (a == "--headless")
            headless = true;
        else if (a == "--script")
            script = value();
        else if (a == "--shots")
            shots = value();
        else if (a == "--scale")
            scale = std::atof(value().c_str());
        else {
            usage();
            return 2;
        }
    }
    if (!shots.empty() || headless) {
        // Headless runs in virtual time from now: animations and waits cost no real time.
        Clock::freezeAt(Clock::systemNow());
        if (!shots.empty()) return saveShots(shots);
        if (script.empty()) {
            usage();
            return 2;
        }
        return runScript(script);
    }
    if (!DesktopHost::displayAvailable()) {
        std::cerr << "no display: use --headless --script FILE or --shots DIR\n";
        return 2;
    }
    return runDesktop(scale);
}
