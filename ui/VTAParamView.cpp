#include "ui/VTAParamView.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"

namespace {
std::shared_ptr<UIButton> barButton(const std::string& title) {
    auto b = std::make_shared<UIButton>(UIButtonType::Custom);
    b->setTitle(title);
    b->setTitleColor(UIColor::whiteColor());
    b->setFont(UIFont::boldSystemFontOfSize(15));
    b->setBackgroundColor(UIColor::colorWithRed(0.25, 0.32, 0.45, 1));
    b->setCornerRadius(5);
    return b;
}
constexpr double kTitleBarHeight = 44;
constexpr double kFootBarHeight = 44;
}  // namespace

VTAParamView::VTAParamView(const CGRect& frame, const std::string& title) : UIView(frame) {
    setBackgroundColor(UIColor::groupTableViewBackgroundColor());
    titleBar_ = std::make_shared<UIView>();
    titleBar_->setBackgroundColor(UIColor::colorWithRed(0.137, 0.176, 0.255, 1));
    title_ = std::make_shared<UILabel>();
    title_->setText(title);
    title_->setTextColor(UIColor::whiteColor());
    title_->setBackgroundColor(UIColor::clearColor());
    title_->setFont(UIFont::boldSystemFontOfSize(17));
    title_->setTextAlignment(UITextAlignment::Center);
    cancel_ = barButton("取消");
    ok_ = barButton("确定");
    cancel_->addTarget(
        this, [this](UIControl&) { onCancel(); }, UIControlEventTouchUpInside);
    ok_->addTarget(
        this, [this](UIControl&) { onOK(); }, UIControlEventTouchUpInside);
    titleBar_->addSubview(title_);
    titleBar_->addSubview(cancel_);
    titleBar_->addSubview(ok_);
    table_ = std::make_shared<UITableView>(CGRectZero, UITableViewStyle::Grouped);
    addSubview(table_);
    addSubview(titleBar_);
    layoutSubviews();
}

void VTAParamView::layoutSubviews() {
    CGRect b = bounds();
    titleBar_->setFrame(CGRectMake(0, 0, b.size.width, kTitleBarHeight));
    title_->setFrame(CGRectMake(70, 0, std::max(0.0, b.size.width - 140), kTitleBarHeight));
    cancel_->setFrame(CGRectMake(6, 7, 56, 30));
    ok_->setFrame(CGRectMake(b.size.width - 62, 7, 56, 30));
    double foot = footBar_ ? kFootBarHeight : 0;
    table_->setFrame(
        CGRectMake(0, kTitleBarHeight, b.size.width, std::max(0.0, b.size.height - kTitleBarHeight - foot)));
    if (footBar_) footBar_->setFrame(CGRectMake(0, b.size.height - foot, b.size.width, foot));
}

void VTAParamView::setFootBarItems(const std::vector<std::shared_ptr<UIBarButtonItem>>& items) {
    std::vector<std::shared_ptr<UIBarButtonItem>> kept;
    for (auto& i : items)
        if (i) kept.push_back(i);
    if (kept.empty()) {
        if (footBar_) footBar_->removeFromSuperview();
        footBar_.reset();
    } else {
        if (!footBar_) {
            footBar_ = std::make_shared<UIToolbar>(CGRectMake(0, 0, bounds().size.width, kFootBarHeight));
            footBar_->setBarStyle(UIBarStyle::Black);
            footBar_->setTintColor(UIColor::colorWithRed(0.137, 0.176, 0.255, 1));
            addSubview(footBar_);
        }
        footBar_->setItems(std::move(kept));
    }
    layoutSubviews();
}

void VTAParamView::setFootBarItems(const std::vector<std::shared_ptr<UIView>>& views) {
    std::vector<std::shared_ptr<UIBarButtonItem>> items;
    for (auto& v : views) {
        if (!v) continue;
        if (v->frame().size.width <= 0 || v->frame().size.height <= 0) v->setFrame(CGRectMake(0, 0, 80, 30));
        items.push_back(std::make_shared<UIBarButtonItem>(v));
    }
    setFootBarItems(items);
}

void VTAParamView::showFromBottomInView(UIView* view) {
    if (!view) return;
    CGRect vb = view->bounds();
    CGRect f = frame();
    if (superview() != view) {
        removeFromSuperview();
        setFrame(CGRectMake(f.origin.x, CGRectGetMaxY(vb), f.size.width, f.size.height));
        view->addSubview(shared());
    }
    view->bringSubviewToFront(this);
    shown_ = true;
    CGRect to = CGRectMake(f.origin.x, CGRectGetMaxY(vb) - f.size.height, f.size.width, f.size.height);
    UIView::animateWithDuration(0.25, [this, to] { setFrame(to); });
}

void VTAParamView::hide(bool animated) {
    UIView* parent = superview();
    shown_ = false;
    if (!parent) return;
    if (!animated) {
        removeFromSuperview();
        return;
    }
    CGRect f = frame();
    f.origin.y = CGRectGetMaxY(parent->bounds());
    auto self = shared();
    UIView::animateWithDuration(
        0.25, [this, f] { setFrame(f); },
        [self](bool) {
            if (!static_cast<VTAParamView*>(self.get())->shown_) self->removeFromSuperview();
        });
}

void VTAParamView::onOK() {
    auto keep = shared();
    hide(true);
    if (delegate_) delegate_->paramViewOnCommandOK(*this);
}

void VTAParamView::onCancel() {
    auto keep = shared();
    hide(true);
    if (delegate_) delegate_->paramViewOnCommandCancel(*this);
}

// ---------------------------------------------------------------- VTADateView

VTADateView::VTADateView(const CGRect& frame, const std::string& title) : VTAParamView(frame, title) {
    double now = Clock::now();
    start_ = now - 604800;
    end_ = now;
    myTableView()->setDataSource(this);
}

VTADateView::~VTADateView() { myTableView()->setDataSource(nullptr); }

void VTADateView::setRange(double start, double end) {
    start_ = start;
    end_ = end;
    myTableView()->reloadData();
}

std::string VTADateView::getDate() const {
    NSDateFormatter f;
    f.setDateFormat("yyyyMMdd");
    return "strdate=" + f.stringFromDate(NSDate::dateWithTimeIntervalSince1970(start_)) +
           "&enddate=" + f.stringFromDate(NSDate::dateWithTimeIntervalSince1970(end_));
}

std::shared_ptr<UITableViewCell> VTADateView::tableViewCellForRowAtIndexPath(UITableView&, const NSIndexPath& path) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "DateRow");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    bool first = path.row == 0;
    NSDateFormatter f;
    f.setDateFormat("yyyy-MM-dd");
    cell->textLabel()->setText(first ? "起始日期" : "结束日期");
    auto value = std::make_shared<UILabel>(CGRectMake(110, 7, 110, 30));
    value->setText(f.stringFromDate(NSDate::dateWithTimeIntervalSince1970(first ? start_ : end_)));
    value->setBackgroundColor(UIColor::clearColor());
    value->setTextAlignment(UITextAlignment::Center);
    cell->contentView()->addSubview(value);
    auto step = [this, first](double days) {
        if (first)
            start_ = std::min(start_ + days * 86400, end_);
        else  // a query range never ends after today
            end_ = std::max(std::min(end_ + days * 86400, std::max(Clock::now(), end_)), start_);
        myTableView()->reloadData();
    };
    auto minus = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(225, 7, 36, 30));
    minus->setTitle("-");
    minus->addTarget(
        this, [step](UIControl&) { step(-1); }, UIControlEventTouchUpInside);
    auto plus = std::make_shared<UIButton>(UIButtonType::RoundedRect, CGRectMake(266, 7, 36, 30));
    plus->setTitle("+");
    plus->addTarget(
        this, [step](UIControl&) { step(1); }, UIControlEventTouchUpInside);
    cell->contentView()->addSubview(minus);
    cell->contentView()->addSubview(plus);
    return cell;
}
