#include "UIKitTestSupport.h"

#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIViewController.h"

namespace {
std::vector<std::string> gLog;

class Screen : public UIViewController {
public:
    explicit Screen(std::string name) : name_(std::move(name)) { setTitle(name_); }
    void viewDidLoad() override { gLog.push_back(name_ + ".load"); }
    void viewWillAppear(bool) override { gLog.push_back(name_ + ".willAppear"); }
    void viewDidAppear(bool) override { gLog.push_back(name_ + ".didAppear"); }
    void viewWillDisappear(bool) override { gLog.push_back(name_ + ".willDisappear"); }
    void viewDidDisappear(bool) override { gLog.push_back(name_ + ".didDisappear"); }
    std::string name_;
};

std::shared_ptr<Screen> screen(const std::string& n) { return std::make_shared<Screen>(n); }
using Log = std::vector<std::string>;
}  // namespace

class NavigationTest : public UIKitTest {
protected:
    void SetUp() override {
        UIKitTest::SetUp();
        gLog.clear();
        root = screen("A");
        nav = UINavigationController::initWithRootViewController(root);
        window->setRootViewController(nav);
    }
    std::shared_ptr<Screen> root;
    std::shared_ptr<UINavigationController> nav;
};

TEST_F(NavigationTest, RootAppearsWhenTheWindowShowsIt) {
    EXPECT_EQ(gLog, (Log{"A.load", "A.willAppear", "A.didAppear"}));
    EXPECT_EQ(nav->view()->frame(), CGRectMake(0, 20, 320, 460));
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 44, 320, 416)) << "sized to the area under the bar";
    EXPECT_EQ(root->navigationController(), nav.get());
}

TEST_F(NavigationTest, PushAndPopCallTheHooksInOrderAfterTheTransition) {
    gLog.clear();
    auto b = screen("B");
    nav->pushViewController(b, true);
    EXPECT_EQ(gLog, (Log{"A.willDisappear", "B.load", "B.willAppear"}));
    run(0.5);
    EXPECT_EQ(gLog, (Log{"A.willDisappear", "B.load", "B.willAppear", "A.didDisappear", "B.didAppear"}));
    EXPECT_EQ(nav->topViewController(), b.get());
    EXPECT_EQ(b->view()->superview(), nav->view().get());
    EXPECT_EQ(root->view()->superview(), nullptr);
    EXPECT_EQ(nav->navigationBar()->backButtonTitle(), "A");

    gLog.clear();
    auto popped = nav->popViewControllerAnimated(false);
    EXPECT_EQ(popped, b);
    EXPECT_EQ(gLog, (Log{"B.willDisappear", "A.willAppear", "B.didDisappear", "A.didAppear"}));
    EXPECT_EQ(b->navigationController(), nullptr);
    EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr) << "never past the root";
}

TEST_F(NavigationTest, BackButtonPopsAndIsTitledByThePreviousScreen) {
    auto b = screen("B");
    root->navigationItem()->setBackBarButtonItem(
        std::make_shared<UIBarButtonItem>("返回", UIBarButtonItemStyle::Bordered));
    nav->pushViewController(b, false);
    window->layoutIfNeeded();
    UIView* back = nav->navigationBar()->backButtonView();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->accessibilityText(), "返回");
    tap(*back);
    run(0.5);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
}

TEST_F(NavigationTest, ALongBackTitleGivesWayToTheTitle) {
    // A back title that would squeeze the title shows as "返回"; the title gets its room.
    root->setTitle("信息快线-收件箱");
    auto detail = screen("信息快线");
    detail->navigationItem()->setRightBarButtonItem(
        std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::Trash, nullptr, nullptr));
    nav->pushViewController(detail, false);
    window->layoutIfNeeded();
    UINavigationBar& bar = *nav->navigationBar();
    EXPECT_EQ(bar.backButtonTitle(), "信息快线-收件箱");
    EXPECT_EQ(bar.shownBackButtonTitle(), "返回");
    ASSERT_NE(bar.backButtonView(), nullptr);
    EXPECT_EQ(bar.backButtonView()->accessibilityText(), "返回");
    auto* title = dynamic_cast<UILabel*>(bar.titleViewShown());
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->displayedFontSize(), 20) << "the title keeps its full size";
    EXPECT_GE(title->frame().origin.x, CGRectGetMaxX(bar.backButtonView()->frame()));
    tap(*bar.backButtonView());
    run(0.5);
    EXPECT_EQ(nav->viewControllers().size(), 1u) << "the shortened button still goes back";

    // A title that fits beside the back title leaves it whole.
    root->setTitle("交易登录");
    auto branches = screen("选择营业部");
    nav->pushViewController(branches, false);
    window->layoutIfNeeded();
    EXPECT_EQ(bar.shownBackButtonTitle(), "交易登录");
}

TEST_F(NavigationTest, ReplacingTheTopScreenAndPoppingToOne) {
    auto b = screen("B"), c = screen("C"), d = screen("D");
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    gLog.clear();
    // Replace C by D below it, the way a screen replaces itself.
    auto vcs = nav->viewControllers();
    vcs.back() = d;
    nav->setViewControllers(vcs, true);
    run(0.5);
    EXPECT_EQ(gLog, (Log{"C.willDisappear", "D.load", "D.willAppear", "C.didDisappear", "D.didAppear"}));
    EXPECT_EQ(c->parentViewController(), nullptr);
    gLog.clear();
    auto popped = nav->popToViewController(root.get(), false);
    EXPECT_EQ(popped.size(), 2u);
    EXPECT_EQ(gLog, (Log{"D.willDisappear", "A.willAppear", "D.didDisappear", "A.didAppear"}));
    EXPECT_TRUE(nav->popToViewController(b.get(), false).empty()) << "not on the stack";
}

TEST_F(NavigationTest, ASecondPushCompletesTheFirstTransition) {
    auto b = screen("B"), c = screen("C");
    gLog.clear();
    nav->pushViewController(b, true);
    nav->pushViewController(c, true);
    run(1);
    EXPECT_EQ(gLog, (Log{"A.willDisappear", "B.load", "B.willAppear", "A.didDisappear", "B.didAppear",
                         "B.willDisappear", "C.load", "C.willAppear", "B.didDisappear", "C.didAppear"}));
}

TEST_F(NavigationTest, ModalPresentationCoversAndDismissalRestores) {
    auto m = screen("M");
    auto modalNav = UINavigationController::initWithRootViewController(m);
    modalNav->setModalTransitionStyle(UIModalTransitionStyle::FlipHorizontal);
    gLog.clear();
    root->presentModalViewController(modalNav, true);
    run(1);
    EXPECT_EQ(gLog, (Log{"A.willDisappear", "M.load", "M.willAppear", "A.didDisappear", "M.didAppear"}));
    EXPECT_EQ(nav->modalViewController(), modalNav.get());
    EXPECT_EQ(modalNav->view()->superview(), window.get());
    EXPECT_EQ(nav->view()->superview(), nullptr);
    gLog.clear();
    m->dismissModalViewControllerAnimated(true);
    run(1);
    EXPECT_EQ(gLog, (Log{"M.willDisappear", "A.willAppear", "M.didDisappear", "A.didAppear"}));
    EXPECT_EQ(nav->view()->superview(), window.get());
    EXPECT_EQ(modalNav->view()->superview(), nullptr);
}

TEST_F(NavigationTest, HiddenBarsGiveTheScreenTheirSpace) {
    nav->setNavigationBarHidden(true);
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 0, 320, 460));
    nav->setNavigationBarHidden(false);
    nav->setToolbarHidden(false);
    EXPECT_EQ(root->view()->frame(), CGRectMake(0, 44, 320, 372));
    root->setToolbarItems({std::make_shared<UIBarButtonItem>("刷新", UIBarButtonItemStyle::Bordered)});
    EXPECT_EQ(nav->toolbar()->items().size(), 1u);
    // A title set later shows on the bar.
    root->setTitle("行情");
    window->layoutIfNeeded();
    EXPECT_EQ(nav->navigationBar()->titleViewShown()->accessibilityText(), "行情");
}
