#include "app/ToolkitGallery.h"

#include "platform/foundation/Paths.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITableView.h"
#include "ui/Alerts.h"
#include "ui/CustomBadge.h"
#include "ui/DisplayCell.h"
#include "ui/Palette.h"
#include "ui/QZRefreshTableView.h"
#include "ui/QZTabView.h"
#include "ui/QuoteCells.h"
#include "ui/QuotesPageControl.h"
#include "ui/SVProgressHUD.h"
#include "ui/SVSegmentedControl.h"
#include "ui/UIGlossyButton.h"
#include "ui/VTAButtonFactory.h"
#include "ui/VTAMarqueeView.h"
#include "ui/VTAParamView.h"
#include "ui/VTAPopupTextView.h"
#include "ui/VTASheetPicker.h"
#include "ui/VTAStockKeyboard.h"
#include "ui/VTATableView.h"
#include "ui/VTATextField.h"
#include "ui/VTAView.h"
#include "ui/YMCountdownAlert.h"

#include <algorithm>
#include <filesystem>

#include <functional>
#include <map>

namespace {
using Builder = std::function<void(UIView& content, UIViewController& page)>;

void gridPage(UIView& v, UIViewController&) {
    auto grid = std::make_shared<VTATableView>(v.bounds());
    auto w = UIColor::whiteColor();
    grid->appendTopTitles({"证券名称", "委托价格", "委托数量", "成交数量", "状态"}, {w, w, w, w, w});
    grid->setSupportsMutiSelect(true);
    for (int i = 0; i < 15; ++i) {
        auto c = colorWithIndex(i % 3 == 0 ? 15 : i % 3 == 1 ? 16 : 17);
        grid->appendRowItems(
            {"证券" + std::to_string(600000 + i), "10.2" + std::to_string(i % 10), "1000", "0", "未成交"},
            {c, c, c, c, c});
        auto b = std::make_shared<VTARadioButton>();
        b->setEnable(i % 4 != 3);
        grid->appendMutiButton(b);
    }
    auto bar = std::make_shared<VTAPageCtr>(CGRectMake(0, 0, 320, 44));
    bar->setStatusIsEnd(false, false, 2);
    grid->setMyTablePageCtrl(bar);
    grid->loadData();
    v.addSubview(grid);
}

void controlsPage(UIView& v, UIViewController&) {
    v.setBackgroundColor(UIColor::blackColor());
    auto seg = std::make_shared<SVSegmentedControl>(std::vector<std::string>{"分时", "日K", "周K", "月K"});
    seg->setCenter(CGPointMake(160, 30));
    v.addSubview(seg);
    auto pages = std::make_shared<QuotesPageControl>(CGRectMake(0, 60, 320, 20));
    pages->setCurrentPage(1);
    v.addSubview(pages);
    auto colors = std::vector<std::shared_ptr<UIColor>>{colorWithIndex(41), colorWithIndex(16), colorWithIndex(45)};
    const char* titles[] = {"买入", "卖出", "撤单"};
    for (int i = 0; i < 3; ++i) {
        auto g = std::make_shared<UIGlossyButton>(CGRectMake(10 + 102 * i, 100, 96, 40));
        g->setTitle(titles[i]);
        g->setActionSheetButtonWithColor(colors[static_cast<size_t>(i)]);
        v.addSubview(g);
    }
    auto badge = CustomBadge::customBadgeWithString("12");
    badge->setCenter(CGPointMake(60, 180));
    v.addSubview(badge);
    auto badge2 = CustomBadge::customBadgeWithString("新消息 128");
    badge2->setCenter(CGPointMake(200, 180));
    v.addSubview(badge2);
    auto field = std::make_shared<VTATextField>(CGRectMake(20, 220, 200, 32), 8, "委托金额", 4);
    field->setUnit("元");
    field->unitLabel()->setTextColor(UIColor::whiteColor());
    v.addSubview(field);
    auto bar = std::make_shared<VTAPageCtr>(CGRectMake(0, 0, 320, 44));
    bar->setStatusIsEnd(false, true, 1);
    bar->showFromBottomInView(&v);
}

class CellsSource : public UITableViewDataSource, public UITableViewDelegate, public MYExpandTableViewDelegate {
public:
    int expanded = -1;
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 6; }
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        return p.row == expanded ? MYExpandTableViewCell::kExpandedHeight : MYExpandTableViewCell::kNormalHeight;
    }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        if (p.row == 5) {
            auto c = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "HQ");
            c->setStockName("深证成指", nullptr, nullptr);
            c->setStockCode("399001", nullptr, nullptr);
            c->setPrice("9876.54", nullptr, colorWithIndex(16));
            c->setZD("-12.30", nullptr, colorWithIndex(16));
            c->setZDF("-0.12%", nullptr, false);
            return c;
        }
        auto c = std::make_shared<MYExpandTableViewCell>(UITableViewCellStyle::Default,
                                                         p.row == expanded ? "Expand" : "Normal", true);
        int type = p.row % 3;
        auto color = colorWithIndex(15 + type);
        c->setName(type == 0 ? "平安银行" : type == 1 ? "万科A" : "招商银行");
        c->setSymbol(type == 0 ? "000001" : type == 1 ? "000002" : "600036");
        c->setLastTrade("12.34", color);
        c->setChange(type == 0 ? "+0.56" : type == 1 ? "-0.21" : "0.00", color);
        c->setChangePercent(type == 0 ? "+4.76%" : type == 1 ? "-1.67%" : "0.00%", type);
        c->setRedDotHidden(p.row != 0);
        return c;
    }
    void tableViewDidSwipeCellAtIndexPath(UITableView& t, const NSIndexPath& p) override {
        expanded = expanded == p.row ? -1 : p.row;
        t.reloadData();
    }
};

void cellsPage(UIView& v, UIViewController&) {
    static CellsSource source;
    source.expanded = 1;
    auto table = std::make_shared<UITableView>(v.bounds());
    table->setBackgroundColor(UIColor::blackColor());
    table->setDelegate(&source);
    table->setDataSource(&source);
    v.addSubview(table);
}

class FormSource : public UITableViewDataSource {
public:
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 2; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& p) override {
        auto c = std::make_shared<DisplayCell>();
        c->nameLabel()->setText(p.row == 0 ? "资金帐号:" : "交易密码:");
        auto f = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), 16, p.row == 0 ? "请输入帐号" : "请输入密码",
                                                p.row == 0 ? 4 : 1);
        f->setSecureTextEntry(p.row == 1);
        c->setView(f);
        return c;
    }
};

void formPage(UIView& v, UIViewController&) {
    static FormSource source;
    auto table = std::make_shared<UITableView>(v.bounds(), UITableViewStyle::Grouped);
    table->setRowHeight(44);
    table->setDataSource(&source);
    v.addSubview(table);
    auto date = std::make_shared<VTADateView>(CGRectMake(0, 0, 320, 200), "选择日期区间");
    date->showFromBottomInView(&v);
}

void popupsPage(UIView& v, UIViewController&) {
    v.setBackgroundColor(UIColor::whiteColor());
    auto add = [&v](const std::string& title, double y, std::function<void()> f) {
        auto b = std::make_shared<UIGlossyButton>(CGRectMake(40, y, 240, 40));
        b->setTitle(title);
        b->setTintColor(colorWithIndex(45));
        b->useWhiteLabel(true);
        b->addTarget(
            &v, [f](UIControl&) { f(); }, UIControlEventTouchUpInside);
        v.addSubview(b);
    };
    add("提示框", 20, [] { showAlert("非法代码！"); });
    add("进度框", 70, [] {
        SVProgressHUD::showWithStatus("正在加载...", SVProgressHUDMaskType::Black, true);
        SVProgressHUD::dismissWithSuccess("完成", 2);
    });
    add("倒计时", 120, [] {
        auto a = std::make_shared<YMCountdownAlert>("手机令牌申请中...", "手机令牌申请成功", 5, nullptr);
        a->show();
    });
    auto picker = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    picker->setBackgroundColor(UIColor::lightGrayColor());
    auto tab = QZTabView::initWithPickerView(picker);
    v.addSubview(tab);
    add("选择器", 170, [t = tab.get()] { t->open() ? t->slideDown() : t->slideUp(); });
}

void keyboardPage(UIView& v, UIViewController&) {
    v.setBackgroundColor(colorWithIndex(13));
    auto field = std::make_shared<UITextField>(CGRectMake(10, 10, 300, 32));
    field->setBorderStyle(UITextBorderStyle::RoundedRect);
    field->setPlaceholder("代码/拼音首字母");
    v.addSubview(field);
    auto echo = std::make_shared<UILabel>(CGRectMake(10, 50, 300, 24));
    echo->setText("输入: ");
    echo->setBackgroundColor(UIColor::clearColor());
    v.addSubview(echo);
    auto kb = VTAStockKeyboard::attachToTextField(field);
    kb->setMaxLength(6);
    kb->onTextChanged = [l = echo.get()](const std::string& t) { l->setText("输入: " + t); };
    kb->onConfirm = [l = echo.get()](const std::string& t) { l->setText("确定: " + t); };
    field->becomeFirstResponder();
}

class TouchEcho : public VTAViewDelegate {
public:
    UILabel* label = nullptr;
    void viewDoAction(VTAView&, VTATouchAction a, CGPoint p) override {
        static const char* const names[] = {"单击", "双击",     "右划",     "左划",     "下划",
                                            "上划", "横向捏合", "横向张开", "纵向捏合", "纵向张开"};
        int i = static_cast<int>(a);
        if (label && i >= 0 && i < 10)
            label->setText(std::string(names[i]) + " (" + std::to_string(static_cast<int>(p.x)) + ", " +
                           std::to_string(static_cast<int>(p.y)) + ")");
    }
};

void touchPage(UIView& v, UIViewController&) {
    static TouchEcho echo;
    auto surface = std::make_shared<VTAView>(v.bounds());
    surface->setBackgroundColor(UIColor::blackColor());
    auto label = std::make_shared<UILabel>(CGRectMake(10, 10, 300, 30));
    label->setText("点击、划动或两指捏合");
    label->setTextColor(colorWithIndex(5));
    label->setBackgroundColor(UIColor::clearColor());
    label->setUserInteractionEnabled(false);
    surface->addSubview(label);
    echo.label = label.get();
    surface->setDelegate(&echo);
    v.addSubview(surface);
}

void buttonsPage(UIView& v, UIViewController&) {
    v.setBackgroundColor(UIColor::blackColor());
    auto status = std::make_shared<UILabel>(CGRectMake(10, 330, 300, 24));
    status->setTextColor(UIColor::whiteColor());
    status->setBackgroundColor(UIColor::clearColor());
    auto say = [l = status.get()](UIButton& b) { l->setText("按下: " + b.currentTitle()); };
    v.addSubview(VTAButtonFactory::roundedButton("查询", CGRectMake(10, 10, 140, 37), say));
    v.addSubview(VTAButtonFactory::glossyButton("买入", colorWithIndex(41), CGRectMake(170, 10, 140, 37), say));
    v.addSubview(VTAButtonFactory::imageButton("QuotesArrow.png", CGRectMake(10, 60, 140, 44), say, ""));
    auto holder = std::make_shared<UILabel>(CGRectMake(14, 60, 120, 44));
    holder->setText("A123456789");
    holder->setTextColor(UIColor::colorWithWhite(0.314, 1));
    holder->setBackgroundColor(UIColor::whiteColor());
    v.insertSubview(holder, 0);
    auto strategy = VTAButtonFactory::imageButton("select.png", CGRectMake(170, 67, 90, 30), say, "自定义");
    strategy->setTitleColor(UIColor::blackColor());
    strategy->setFont(UIFont::systemFontOfSize(13));
    v.addSubview(strategy);
    v.addSubview(VTAButtonFactory::imageButton("PortfolioBtn.png", CGRectMake(245, 110, 68, 25), say, "+自选"));
    v.addSubview(VTAButtonFactory::checkButton(CGRectMake(10, 110, 40, 40), true, nullptr));
    v.addSubview(VTAButtonFactory::checkButton(CGRectMake(60, 110, 40, 40), false, nullptr));
    v.addSubview(VTAButtonFactory::imageButton("GTPTransferAll_Normal.png", CGRectMake(24, 170, 272, 40), say,
                                               "一键转帐", "GTPTransferAll_Highlighted.png"));
    auto hq = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "HQ");
    hq->setFrame(CGRectMake(0, 230, 320, 44));
    hq->setStockName("平安银行", nullptr, nullptr);
    hq->setStockCode("000001", nullptr, nullptr);
    hq->setPrice("12.34", nullptr, colorWithIndex(15));
    hq->setZD("+0.56", nullptr, colorWithIndex(15));
    hq->setZDF("+4.76%", nullptr, true);
    v.addSubview(hq);
    auto hq2 = std::make_shared<HQTableCell>(UITableViewCellStyle::Default, "HQ");
    hq2->setFrame(CGRectMake(0, 276, 320, 44));
    hq2->setStockName("万科A", nullptr, nullptr);
    hq2->setStockCode("000002", nullptr, nullptr);
    hq2->setPrice("8.21", nullptr, colorWithIndex(16));
    hq2->setZD("-0.14", nullptr, colorWithIndex(16));
    hq2->setZDF("-1.68%", nullptr, false);
    v.addSubview(hq2);
    v.addSubview(status);
}

void marqueePage(UIView& v, UIViewController&) {
    v.setBackgroundColor(UIColor::blackColor());
    auto m = std::make_shared<VTAMarqueeView>(CGRectMake(0, 10, 320, 24));
    m->setBackgroundColor(UIColor::colorWithWhite(0.15, 1));
    m->setTextColor(colorWithIndex(5));
    m->setText("上证指数 3012.34 +0.52%    深证成指 9876.54 -0.12%    创业板指 1890.12 +1.01%");
    v.addSubview(m);
    auto still = std::make_shared<VTAMarqueeView>(CGRectMake(0, 44, 320, 24));
    still->setText("公告：今日休市安排请见资讯");
    v.addSubview(still);
    auto show =
        VTAButtonFactory::glossyButton("免责声明", colorWithIndex(45), CGRectMake(40, 100, 240, 40), [](UIButton&) {
            auto p =
                std::make_shared<VTAPopupTextView>("免责声明",
                                                   "本软件所提供的行情、资讯及分析数据仅供参考，不构成任何投资建议。"
                                                   "投资者据此操作，风险自担。股市有风险，入市需谨慎。");
            p->showInView();
        });
    v.addSubview(show);
}

class PickerSource : public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return 4; }
    std::string pickerViewTitleForRow(UIPickerView&, int row, int) override {
        static const char* const t[] = {"A123456789 上海A股", "0123456789 深圳A股", "F123456789 上海基金",
                                        "9123456789 深圳B股"};
        return t[row];
    }
};

void pickersPage(UIView& v, UIViewController& page) {
    static PickerSource source;
    v.setBackgroundColor(colorWithIndex(13));
    auto picker = std::make_shared<UIPickerView>(CGRectMake(0, 0, 320, 216));
    picker->setDataSource(&source);
    picker->setDelegate(&source);
    picker->setShowsSelectionIndicator(true);
    auto tab = QZTabView::initWithPickerView(picker);
    v.addSubview(tab);
    auto date = std::make_shared<UIDatePicker>(CGRectMake(0, 0, 320, 216));
    date->setDatePickerMode(UIDatePickerMode::Date);
    auto dateTab = QZTabView::initWithDatePicker(date);
    v.addSubview(dateTab);
    v.addSubview(VTAButtonFactory::glossyButton("股东帐号", colorWithIndex(45), CGRectMake(20, 20, 130, 40),
                                                [t = tab.get(), d = dateTab.get()](UIButton&) {
                                                    if (d->open()) d->slideDown();
                                                    t->open() ? t->slideDown() : t->slideUp();
                                                }));
    v.addSubview(VTAButtonFactory::glossyButton("日期", colorWithIndex(45), CGRectMake(170, 20, 130, 40),
                                                [t = tab.get(), d = dateTab.get()](UIButton&) {
                                                    if (t->open()) t->slideDown();
                                                    d->open() ? d->slideDown() : d->slideUp();
                                                }));
    v.addSubview(
        VTAButtonFactory::glossyButton("报价方式", colorWithIndex(45), CGRectMake(20, 70, 280, 40), [&v](UIButton&) {
            auto p = std::make_shared<UIPickerView>(CGRectMake(0, 0, 320, 216));
            p->setDataSource(&source);
            p->setDelegate(&source);
            auto sheet = std::make_shared<VTASheetPicker>("报价方式", p, nullptr, "取消", "确定");
            sheet->showInView(&v);
        }));
    tab->slideUp();
    (void)page;
}

// Every image of the bundle at its own size, on grey, with its name.
void imagesPage(UIView& v, UIViewController&) {
    auto scroll = std::make_shared<UIScrollView>(v.bounds());
    scroll->setBackgroundColor(UIColor::colorWithWhite(0.55, 1));
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(bundleDirectory(), ec)) {
        std::string n = e.path().filename().string();
        if (n.size() > 7 && n.compare(n.size() - 7, 7, "@2x.png") == 0)
            names.push_back(n.substr(0, n.size() - 7) + ".png");
    }
    std::sort(names.begin(), names.end());
    double x = 4, y = 4, rowH = 0;
    for (const auto& n : names) {
        auto img = UIImage::imageNamed(n);
        if (!img) continue;
        CGSize s = img->size();
        double w = std::max(s.width, 60.0);
        if (x + w > 316) {
            x = 4;
            y += rowH + 14;
            rowH = 0;
        }
        auto iv = std::make_shared<UIImageView>(img);
        iv->setFrame(CGRectMake(x, y, s.width, s.height));
        scroll->addSubview(iv);
        auto l = std::make_shared<UILabel>(CGRectMake(x, y + s.height, w, 12));
        l->setText(n.substr(0, n.size() - 4));
        l->setFont(UIFont::systemFontOfSize(8));
        l->setBackgroundColor(UIColor::clearColor());
        scroll->addSubview(l);
        x += w + 6;
        rowH = std::max(rowH, s.height);
    }
    scroll->setContentSize(CGSizeMake(320, y + rowH + 20));
    v.addSubview(scroll);
}

const std::vector<std::pair<std::string, Builder>>& pages() {
    static const std::vector<std::pair<std::string, Builder>> p = {
        {"表格 VTATableView", gridPage}, {"控件 Controls", controlsPage},    {"行情行 Quote cells", cellsPage},
        {"表单 Form cells", formPage},   {"弹出框 Pop-ups", popupsPage},     {"个股键盘 Stock keyboard", keyboardPage},
        {"触摸 VTAView", touchPage},     {"按钮 Buttons", buttonsPage},      {"跑马灯 Marquee", marqueePage},
        {"选择器 Pickers", pickersPage}, {"图片 Bundle images", imagesPage},
    };
    return p;
}

class PageController : public UIViewController {
public:
    explicit PageController(Builder b) : builder_(std::move(b)) {}
    // Built when first shown: only then has the view its final size under the
    // navigation bar (bars placed along the bottom need it).
    void viewWillAppear(bool) override {
        if (built_) return;
        built_ = true;
        builder_(*view(), *this);
    }

private:
    Builder builder_;
    bool built_ = false;
};

class GalleryController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    GalleryController() { setTitle("控件库"); }
    ~GalleryController() override {
        if (table_) {
            table_->setDataSource(nullptr);
            table_->setDelegate(nullptr);
        }
    }
    void viewDidLoad() override {
        table_ = std::make_shared<UITableView>(view()->bounds());
        table_->setDataSource(this);
        table_->setDelegate(this);
        view()->addSubview(table_);
    }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(pages().size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& p) override {
        auto c = t.dequeueReusableCellWithIdentifier("Gallery");
        if (!c) c = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Gallery");
        c->textLabel()->setText(pages()[static_cast<size_t>(p.row)].first);
        c->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        return c;
    }
    void tableViewDidSelectRowAtIndexPath(UITableView& t, const NSIndexPath& p) override {
        t.deselectRowAtIndexPath(p, true);
        if (auto page = makeToolkitGalleryPage(pages()[static_cast<size_t>(p.row)].first))
            if (auto* nav = navigationController()) nav->pushViewController(page, true);
    }

private:
    std::shared_ptr<UITableView> table_;
};
}  // namespace

std::vector<std::string> toolkitGalleryNames() {
    std::vector<std::string> out;
    for (auto& p : pages()) out.push_back(p.first);
    return out;
}

std::shared_ptr<UIViewController> makeToolkitGalleryPage(const std::string& name) {
    for (auto& p : pages()) {
        if (p.first == name) {
            auto vc = std::make_shared<PageController>(p.second);
            vc->setTitle(name);
            return vc;
        }
    }
    return nullptr;
}

std::shared_ptr<UIViewController> makeToolkitGallery() { return std::make_shared<GalleryController>(); }
