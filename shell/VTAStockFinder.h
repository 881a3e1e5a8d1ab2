#pragma once
// The stock search panel of the older screens ("个股"): a code field, the
// matches of the typed code or pinyin initials (31000/10), the stocks picked
// before and the built-in ranking links. It lives on the application window
// while shown (the window keeps it; the opener keeps no reference): it slides
// up from below the screen in 0.35 s, and when closed it slides down, leaves
// the window and calls the opener's myViewWillHidden.
//
// Picking a stock puts it first in the history and opens its quote page
// (VTAUIFactory's stock page entry), or while there is none the older chart
// screen of the link "fschart?code=<code>.<market>" (nothing when neither exists).
// Picking a ranking link opens its screen through the dispatcher.
//
// Search: "tc_mfuncno=31000&tc_sfuncno=10&key=<typed>&count=20", request type
// 3, tag kSearchTag. Only letters and digits can be typed; a key holding "&"
// or "=" (pasted) is refused with an alert and nothing is sent. A new key
// cancels the search in flight.
//
// History file Documents/"quorelStocks.plish": a keyed archive whose root is an
// Array (newest first, at most kMaxHistory) of Dict with "code" (text), "name"
// (text), "pycode" (text), "market" (integer), "type" (integer). Entries
// without a code are skipped when read; an unreadable file gives no history.
// It is written by saveHistory() (the application delegate calls it when the
// application resigns active, enters the background or terminates).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"
#include "shell/RequestBinding.h"

class VTAStockKeyboard;
class UIButton;
class VTAStock;
class VTAViewControllers;

class VTAStockFinder : public UIView,
                       public RequestBinding,
                       public UITextFieldDelegate,
                       public UITableViewDataSource,
                       public UITableViewDelegate {
public:
    static constexpr int kSearchTag = 3101;
    static constexpr int kResultCount = 20;
    static constexpr size_t kMaxHistory = 20;
    static constexpr const char* kHistoryFile = "quorelStocks.plish";
    static constexpr double kSlideSeconds = 0.35;
    static constexpr const char* kShapeChangingKeyText = "代码不能包含&或=";

    explicit VTAStockFinder(const CGRect& frame);
    ~VTAStockFinder() override;
    std::string className() const override { return "VTAStockFinder"; }

    // Makes a panel of the application frame (top 0), puts it on the key
    // window below the screen and slides it up; the opener (may be null) is
    // told when it closes.
    static std::shared_ptr<VTAStockFinder> showFinder(const std::shared_ptr<VTAViewControllers>& opener);
    void setOpener(std::weak_ptr<VTAViewControllers> opener) { opener_ = std::move(opener); }
    void slideUp();
    // End of the slide up: the code field takes the keyboard.
    void endShown();
    // Slides down, leaves the window and tells the opener.
    void hide();

    UITextField* searchField() const { return field_.get(); }
    UITableView* listView() const { return table_.get(); }
    UIButton* closeButton() const { return close_.get(); }
    // Sends the search for the key (nothing for an empty key or one with
    // other characters than letters and digits; the list shows the history then).
    void searchWithKey(const std::string& key);
    const std::vector<std::shared_ptr<VTAStock>>& results() const { return results_; }
    bool showsResults() const { return showingResults_; }
    // What a tap on a row does.
    void pickResult(int index);
    void pickHistory(int index);
    void pickRanking(int index);

    // ---- history ----
    static const std::vector<std::shared_ptr<VTAStock>>& history();
    static void addToHistory(const std::shared_ptr<VTAStock>& stock);
    static bool saveHistory();
    static void reloadHistory();  // from the file of the current Documents folder
    static void clearHistory();   // memory only

    // "fschart?code=<code>.<market>": the older chart screen of a stock.
    static std::string chartLinkOfStock(const VTAStock& stock);
    // The built-in ranking links: title and link.
    static const std::vector<std::pair<std::string, std::string>>& rankingLinks();

    // ---- UITextFieldDelegate ----
    bool textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                const std::string& replacement) override;
    bool textFieldShouldReturn(UITextField& field) override;
    // ---- the list ----
    int numberOfSectionsInTableView(UITableView& table) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    void layoutSubviews() override;

private:
    void textChanged();
    void showResults(const RequestReply& reply);
    void openStock(const std::shared_ptr<VTAStock>& stock);

    std::weak_ptr<VTAViewControllers> opener_;
    std::shared_ptr<UITextField> field_;
    std::shared_ptr<VTAStockKeyboard> keyboard_;
    std::shared_ptr<UIButton> close_;
    std::shared_ptr<UITableView> table_;
    std::vector<std::shared_ptr<VTAStock>> results_;
    bool showingResults_ = false;
    bool hiding_ = false;
};
