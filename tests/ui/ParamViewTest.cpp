#include "UITestSupport.h"

#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UITableView.h"
#include "ui/VTAParamView.h"

namespace {
struct PanelRecorder : VTAParamViewDelegate {
    std::vector<std::pair<std::string, VTAParamView*>> calls;
    bool inViewAtCall = false;
    void paramViewOnCommandOK(VTAParamView& v) override {
        calls.emplace_back("ok", &v);
        inViewAtCall = v.superview() != nullptr;
    }
    void paramViewOnCommandCancel(VTAParamView& v) override { calls.emplace_back("cancel", &v); }
};

// The buttons a cell of the date view shows, by title.
std::vector<UIButton*> buttonsTitled(UIView& root, const std::string& title) {
    std::vector<UIButton*> out;
    for (auto& v : root.subviews()) {
        if (auto* b = dynamic_cast<UIButton*>(v.get()); b && b->currentTitle() == title) out.push_back(b);
        for (auto* b : buttonsTitled(*v, title)) out.push_back(b);
    }
    return out;
}
}  // namespace

class ParamViewTest : public WidgetTest {
protected:
    void press(UIView* v) {
        ASSERT_NE(v, nullptr);
        tap(*v);
        run(0.5);
    }
};

TEST_F(ParamViewTest, PanelSlidesUpAndItsButtonsHideItThenTellTheDelegate) {
    PanelRecorder rec;
    auto panel = std::make_shared<VTAParamView>(CGRectMake(0, 0, 320, 300), "选择排序参数");
    panel->setDelegate(&rec);
    panel->showFromBottomInView(window.get());
    EXPECT_EQ(panel->superview(), window.get());
    run(0.3);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(panel->frame()), 480) << "slid up to the bottom of the view";
    EXPECT_EQ(panel->titleLabel()->text(), "选择排序参数");
    EXPECT_EQ(panel->cancelButton()->currentTitle(), "取消");
    EXPECT_EQ(panel->okButton()->currentTitle(), "确定");
    EXPECT_LT(CGRectGetMaxX(panel->cancelButton()->frame()), panel->okButton()->frame().origin.x);

    tap(*panel->okButton());
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0], std::make_pair(std::string("ok"), panel.get()));
    EXPECT_FALSE(panel->isShown());
    run(0.3);
    EXPECT_EQ(panel->superview(), nullptr) << "gone once the slide down ended";

    panel->showFromBottomInView(window.get());
    run(0.5);
    tap(*panel->cancelButton());
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[1].first, "cancel");
    run(0.3);
    EXPECT_EQ(panel->superview(), nullptr);

    // A panel shown again before its slide down ended stays.
    panel->showFromBottomInView(window.get());
    run(0.5);
    panel->hide(true);
    run(0.1);
    panel->showFromBottomInView(window.get());
    run(0.5);
    EXPECT_EQ(panel->superview(), window.get());
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(panel->frame()), 480);

    // Without a delegate the buttons only hide the panel.
    panel->setDelegate(nullptr);
    press(panel->okButton());
    EXPECT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(panel->superview(), nullptr);
}

TEST_F(ParamViewTest, FooterToolbarSpreadsItsItemsAndRunsTheirActions) {
    auto panel = std::make_shared<VTAParamView>(CGRectMake(0, 0, 320, 400), "编辑自选基金");
    std::vector<std::string> pressed;
    auto item = [&](const std::string& t) {
        return std::make_shared<UIBarButtonItem>(t, UIBarButtonItemStyle::Bordered, this,
                                                 [&pressed, t](UIBarButtonItem&) { pressed.push_back(t); });
    };
    auto add = item("添加"), ok = item("确定"), cancel = item("取消");
    panel->setFootBarItems(std::vector<std::shared_ptr<UIBarButtonItem>>{add, UIBarButtonItem::flexibleSpace(), ok,
                                                                         UIBarButtonItem::flexibleSpace(), cancel});
    // The editor of the own funds keeps only its footer buttons.
    panel->okButton()->removeFromSuperview();
    panel->cancelButton()->removeFromSuperview();
    panel->showFromBottomInView(window.get());
    run(0.5);
    window->layoutIfNeeded();
    UIToolbar* bar = panel->footBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(bar->frame()), 400) << "along the bottom of the panel";
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(panel->myTableView()->frame()), bar->frame().origin.y)
        << "the table ends where the bar begins";
    UIView* a = bar->viewForItem(add.get());
    UIView* o = bar->viewForItem(ok.get());
    UIView* c = bar->viewForItem(cancel.get());
    ASSERT_TRUE(a && o && c);
    EXPECT_LT(a->frame().origin.x, 40);
    EXPECT_GT(CGRectGetMaxX(c->frame()), 280);
    EXPECT_NEAR(CGRectGetMidX(o->frame()), 160, 25) << "flexible spaces put the middle item in the middle";
    EXPECT_EQ(panel->okButton()->superview(), nullptr) << "removed title-bar buttons stay removed";
    saveScreenshot(*panel, "paramview-footer");
    press(a);
    press(o);
    press(c);
    EXPECT_EQ(pressed, (std::vector<std::string>{"添加", "确定", "取消"}));

    panel->setFootBarItems(std::vector<std::shared_ptr<UIBarButtonItem>>{});
    EXPECT_EQ(panel->footBar(), nullptr);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(panel->myTableView()->frame()), 400) << "no bar: the table reaches the bottom";
}

TEST_F(ParamViewTest, DateViewStartsWithTheLastSevenDaysAndStepsByADay) {
    // The frozen clock stands at 2023-11-14 17:13 in New York, the zone of the tests.
    PanelRecorder rec;
    auto view = std::make_shared<VTADateView>(CGRectMake(0, 0, 320, 200), "选择日期区间");
    view->setDelegate(&rec);
    EXPECT_EQ(view->getDate(), "strdate=20231107&enddate=20231114");
    view->showFromBottomInView(window.get());
    run(0.5);
    window->layoutIfNeeded();
    auto startCell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    auto endCell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0));
    ASSERT_TRUE(startCell && endCell);
    EXPECT_EQ(startCell->textLabel()->text(), "起始日期");
    EXPECT_EQ(endCell->textLabel()->text(), "结束日期");
    saveScreenshot(*view, "dateview");

    auto startMinus = buttonsTitled(*startCell, "-");
    ASSERT_EQ(startMinus.size(), 1u);
    press(startMinus[0]);
    EXPECT_EQ(view->getDate(), "strdate=20231106&enddate=20231114");

    // The start never passes the end, the end never passes today.
    for (int i = 0; i < 10; ++i) {
        auto cell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
        press(buttonsTitled(*cell, "+").at(0));
    }
    EXPECT_EQ(view->getDate(), "strdate=20231114&enddate=20231114");
    auto cell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0));
    press(buttonsTitled(*cell, "+").at(0));
    EXPECT_EQ(view->getDate(), "strdate=20231114&enddate=20231114");
    cell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0));
    press(buttonsTitled(*cell, "-").at(0));
    EXPECT_EQ(view->getDate(), "strdate=20231114&enddate=20231114") << "the end never before the start";

    // A range set in code shows in the rows.
    view->setRange(Clock::now() - 30 * 86400, Clock::now() - 86400);
    EXPECT_EQ(view->getDate(), "strdate=20231015&enddate=20231113");
    window->layoutIfNeeded();
    cell = view->myTableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
    bool shows = false;
    for (auto& v : cell->contentView()->subviews())
        if (auto* l = dynamic_cast<UILabel*>(v.get()); l && l->text() == "2023-10-15") shows = true;
    EXPECT_TRUE(shows);

    tap(*view->okButton());
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0].second, view.get()) << "its 确定 reports the date view itself";
    view->setDelegate(nullptr);
}
