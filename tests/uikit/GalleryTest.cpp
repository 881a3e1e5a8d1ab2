// Whole screens as the host shows them, saved as screenshots for a look.
#include "UIKitTestSupport.h"

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIPickerView.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"

namespace {
class ListScreen : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    ListScreen() { setTitle("自选股"); }
    ~ListScreen() override {
        if (table) {
            table->setDataSource(nullptr);
            table->setDelegate(nullptr);
        }
    }
    void loadView() override {
        table = std::make_shared<UITableView>(CGRectMake(0, 0, 320, 416), UITableViewStyle::Plain);
        setView(table);
    }
    void viewDidLoad() override {
        table->setDataSource(this);
        table->setDelegate(this);
        navigationItem()->setRightBarButtonItem(editButtonItem());
    }
    int numberOfSectionsInTableView(UITableView&) override { return 2; }
    int tableViewNumberOfRowsInSection(UITableView&, int s) override { return s == 0 ? 3 : 8; }
    std::string tableViewTitleForHeaderInSection(UITableView&, int s) override { return s == 0 ? "指数" : "股票"; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& t, const NSIndexPath& ip) override {
        auto cell = t.dequeueReusableCellWithIdentifier("c");
        if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "c");
        static const char* names[] = {"上证指数", "深证成指", "恒生指数", "浦发银行", "万科A",    "招商银行",
                                      "中国石化", "贵州茅台", "平安银行", "工商银行", "腾讯控股", "格力电器"};
        cell->textLabel()->setText(names[(ip.section * 3 + ip.row) % 12]);
        cell->detailTextLabel()->setText(ip.row % 2 ? "-1.25%" : "+2.30%");
        cell->detailTextLabel()->setTextColor(ip.row % 2 ? UIColor::colorWithRed(0, 0.6, 0, 1) : UIColor::redColor());
        cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    void setEditing(bool e, bool animated) override {
        UIViewController::setEditing(e, animated);
        table->setEditing(e, animated);
    }
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    bool tableViewCanMoveRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    std::shared_ptr<UITableView> table;
};

class FormScreen : public UIViewController, public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    FormScreen() { setTitle("买入"); }
    ~FormScreen() override {
        if (picker) {
            picker->setDataSource(nullptr);
            picker->setDelegate(nullptr);
        }
    }
    void viewDidLoad() override {
        view()->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
        field = std::make_shared<UITextField>(CGRectMake(20, 20, 280, 31));
        field->setBorderStyle(UITextBorderStyle::RoundedRect);
        field->setPlaceholder("必填");
        field->setKeyboardType(UIKeyboardType::NumberPad);
        field->setFont(UIFont::systemFontOfSize(17));
        field->setClearButtonMode(UITextFieldViewMode::WhileEditing);
        view()->addSubview(field);
        auto seg = std::make_shared<UISegmentedControl>(std::vector<std::string>{"1/5", "1/4", "1/3", "1/2", "全部"});
        seg->setFrame(CGRectMake(20, 64, 280, 30));
        seg->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
        seg->setSelectedSegmentIndex(1);
        view()->addSubview(seg);
        auto sw = std::make_shared<UISwitch>(CGRectMake(206, 104, 0, 0));
        sw->setOn(true);
        view()->addSubview(sw);
        picker = std::make_shared<UIPickerView>(CGRectMake(0, 0, 320, 216));
        picker->setShowsSelectionIndicator(true);
        picker->setDataSource(this);
        picker->setDelegate(this);
        priceType = std::make_shared<UITextField>(CGRectMake(20, 104, 170, 31));
        priceType->setBorderStyle(UITextBorderStyle::RoundedRect);
        priceType->setText("限价委托");
        priceType->setFont(UIFont::systemFontOfSize(17));
        priceType->setInputView(picker);
        view()->addSubview(priceType);
    }
    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return 4; }
    std::string pickerViewTitleForRow(UIPickerView&, int row, int) override {
        static const char* t[] = {"限价委托", "对方最优价格", "本方最优价格", "即时成交剩余撤销"};
        return t[row];
    }
    std::shared_ptr<UITextField> field, priceType;
    std::shared_ptr<UIPickerView> picker;
};
}  // namespace

TEST_F(UIKitTest, GalleryOfScreens) {
    auto list = std::make_shared<ListScreen>();
    auto nav = UINavigationController::initWithRootViewController(list);
    window->setRootViewController(nav);
    auto shot = [&](const char* name) {
        auto img = saveScreenshot(name);
        ASSERT_TRUE(img);
        EXPECT_EQ(img->pixelWidth(), 640);
        EXPECT_EQ(img->pixelHeight(), 960);
    };
    shot("list");
    // Mid-drag: the list follows the finger and shows its indicator.
    app().touchesBeganAt({CGPointMake(160, 400)});
    for (int i = 1; i <= 5; ++i) {
        run(0.05);
        app().touchesMovedTo({CGPointMake(160, 400 - 30.0 * i)});
    }
    shot("list-dragging");
    app().touchesEndedAt({CGPointMake(160, 250)});
    run(3);
    list->table->setContentOffset(CGPointZero);
    tap(*nav->navigationBar()->rightButtonView());
    EXPECT_TRUE(list->isEditing());
    EXPECT_TRUE(list->table->isEditing());
    window->layoutIfNeeded();
    EXPECT_EQ(nav->navigationBar()->rightButtonView()->accessibilityText(), "完成");
    shot("list-editing");
    tap(*nav->navigationBar()->rightButtonView());
    EXPECT_FALSE(list->table->isEditing());

    auto form = std::make_shared<FormScreen>();
    nav->pushViewController(form, true);
    run(0.5);
    tap(*form->field);
    UIKeyboard::typeText("600036");
    EXPECT_EQ(form->field->text(), "600036");
    shot("form-numberpad");
    tap(*form->priceType);
    EXPECT_EQ(form->picker->superview(), window.get());
    shot("form-picker");
    window->endEditing(true);

    auto alert = std::make_shared<UIAlertView>("委托确认", "股票代码：600036\n委托价格：12.50\n委托数量：100", nullptr,
                                               std::string("取消"), std::vector<std::string>{"确定"});
    alert->show();
    shot("alert");
    alert->tapButtonAtIndex(0);
    auto sheet = std::make_shared<UIActionSheet>("请选择操作\n600036 招商银行", nullptr, std::string("取消"),
                                                 std::string("删除自选"), std::vector<std::string>{"买入", "卖出"});
    sheet->showInView(form->view().get());
    shot("sheet");
    sheet->tapButtonAtIndex(3);

    auto dp = std::make_shared<UIDatePicker>();
    dp->setDatePickerMode(UIDatePickerMode::Date);
    dp->setDate(*localDate(2012, 5, 8));
    dp->setFrame(CGRectMake(0, 264, 320, 216));
    window->addSubview(dp);
    shot("datepicker");
}
