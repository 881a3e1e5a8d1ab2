#pragma once
// The fund finder, the way into the fund information lists, in one of two
// modes fixed by its link:
// - browse ("of_jjcx"): the categories the link's own request names (fund
//   companies, types, statuses or names, by its "tc_sfuncno" 21 to 24; 24
//   when it has none), asked on every appearance (request type 3, kListTag),
//   one row per record titled by its field 1; a row opens the fund query hub
//   on the funds of that category (100/26 with "tacode", "style", "status" or
//   "ofname"); rows of other sub-functions from 1 to 100 open nothing, a
//   reply of a sub-function outside 1 to 100 is not shown, nor its error;
// - by name ("of_jjmc"): a search bar ("说明：请输入基金名称进行模糊查询")
//   with the keyboard at once; the name typed opens the hub, titled
//   "按基金名称查询", on the funds whose names hold it.
// A name travels as its UTF-16LE bytes in lower-case hex, a category's name
// too: no name can change the shape of the hub's link. A category code that
// would (it holds "&", "=" or "?") gives its row no link.
#include <memory>
#include <vector>

#include "platform/uikit/UISearchBar.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class VTAMenu;

class VTAJJFinderViewController : public VTAViewControllers,
                                  public UITableViewDataSource,
                                  public UITableViewDelegate,
                                  public UISearchBarDelegate {
public:
    static constexpr int kListTag = 1606;
    static constexpr double kSearchBarHeight = 80;
    static constexpr const char* kSearchTitle = "按基金名称查询";

    VTAJJFinderViewController();
    ~VTAJJFinderViewController() override;

    bool isFindByName() const { return findByName_; }
    void setIsFindByName(bool byName) { findByName_ = byName; }

    const std::vector<std::shared_ptr<VTAMenu>>& listArray() const { return listArray_; }
    UITableView* myTableView();
    UISearchBar* mySearchBar();

    // The categories the link names (browse mode).
    void requestFundSearch();
    // The hub's link for a category row (or a name), "" when it gets none.
    static std::string fundListLink(int subFunction, const std::string& code, const std::string& name);

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(listArray_.size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void searchBarSearchButtonClicked(UISearchBar& bar) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    int linkSubFunction() const;
    bool listsSubFunction() const;
    void categoriesReplied(const RequestReply& reply);

    bool findByName_ = false;
    std::vector<std::shared_ptr<VTAMenu>> listArray_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UISearchBar> searchBar_;
};
