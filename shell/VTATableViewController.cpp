#include "shell/VTATableViewController.h"

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "platform/graphics/UIColor.h"
#include "ui/Alerts.h"

VTATableViewController::VTATableViewController() {
    bindRequest(kContentTag, [this](const RequestReply& reply) { showReply(reply); });
}

VTATableViewController::~VTATableViewController() {
    if (myTableView_) myTableView_->setDelegate(nullptr);
    if (pageCtrl_) pageCtrl_->setDelegate(nullptr);
}

void VTATableViewController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto refresh = std::make_shared<UIBarButtonItem>("刷新", UIBarButtonItemStyle::Bordered, this,
                                                     [this](UIBarButtonItem&) { onCommandRefresh(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), refresh});
}

std::string VTATableViewController::tableViewContentRequestText() const {
    auto menu = viewMenu();
    if (!menu) return "";
    auto text = RequestBuilder::fromLinkQuery(menu->link());
    if (text.text().empty()) return "";
    text.appendFields(VTAParamter::shareParamter().getStringForKey("tradeUserInfo").value_or(""));
    return text.text();
}

void VTATableViewController::requestTableViewContent() {
    std::string text = tableViewContentRequestText();
    if (text.empty()) return;
    sendRequest(kContentTag, text, 5);
}

void VTATableViewController::showReply(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) {
        showAlert(kUnreadableText);
        return;
    }
    tableData_ = set;
    rebuildGrid();
}

void VTATableViewController::rebuildGrid() {
    UIView* content = contentView();
    if (myTableView_) {
        myTableView_->setDelegate(nullptr);
        myTableView_->removeFromSuperview();
    }
    CGRect b = content->bounds();
    myTableView_ = std::make_shared<VTATableView>(CGRectMake(0, 0, b.size.width, b.size.height));
    myTableView_->setDelegate(this);
    if (tableData_) {
        VTATCRS& set = *tableData_;
        const int fields = set.fieldCount();
        std::vector<std::string> titles;
        VTATableView::Colors titleColors;
        for (int i = 0; i < fields; ++i) {
            titles.push_back(set.getFieldDescAtIndex(i));
            titleColors.push_back(UIColor::whiteColor());
        }
        myTableView_->appendTopTitles(titles, titleColors);
        for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
            std::vector<std::string> items;
            VTATableView::Colors colors;
            for (int i = 0; i < fields; ++i) {
                items.push_back(cellText(set, i));
                colors.push_back(UIColor::redColor());
            }
            myTableView_->appendRowItems(items, colors);
        }
        set.fetchFirst();
    }
    content->insertSubview(myTableView_, 0);
    myTableView_->loadData();
}

std::string VTATableViewController::cellText(VTATCRS& set, int field) const {
    return set.toStringAtIndex(field).value_or("");
}

void VTATableViewController::showPageCtrl(bool show) {
    UIView* content = contentView();
    needPageCtrl = show;
    if (!show) {
        if (pageCtrl_) {
            pageCtrl_->hideWithAnimation(true);
            pageCtrl_->setDelegate(nullptr);
            pageCtrl_.reset();
        }
        return;
    }
    if (pageCtrl_) return;
    CGRect b = content->bounds();
    pageCtrl_ =
        std::make_shared<VTAPageCtr>(CGRectMake(0, b.size.height - kPageCtrlHeight, b.size.width, kPageCtrlHeight));
    pageCtrl_->setDelegate(this);
    pageCtrl_->showFromBottomInView(content);
    updatePageCtrl();
}

void VTATableViewController::updatePageCtrl() {
    if (!pageCtrl_) return;
    if (curPage < 0) curPage = 0;
    pageCtrl_->setStatusIsEnd(isEOF, isBOF, curPage + 1);
}
