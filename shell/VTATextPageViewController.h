#pragma once
// A screen that shows a text that may be longer than the screen (about,
// disclaimer): a heading and the body, scrolling.
#include <memory>
#include <string>

#include "shell/VTAViewControllers.h"

class UILabel;
class UIScrollView;

class VTATextPageViewController : public VTAViewControllers {
public:
    VTATextPageViewController(std::string heading, std::string body);

    const std::string& heading() const { return heading_; }
    const std::string& body() const { return body_; }
    UILabel* bodyLabel() {
        view();
        return bodyLabel_.get();
    }

    void viewWillDidLoad() override;
    // A text page has no actions: no toolbar, the text fills the content view.
    // A subclass with actions (the disclaimer asking for agreement) fills it instead.
    void createToolbarItems() override { hideToolBar(); }
    void viewDidLoad() override;

private:
    std::string heading_, body_;
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<UILabel> headingLabel_, bodyLabel_;
};
