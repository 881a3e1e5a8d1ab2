#pragma once
// The pattern every fund form follows (fund subscription and purchase,
// redemption, and the later forms of conversion, dividend method, wealth
// plans, the quoted repo and fixed investment). A form derives from FundForm
// and fills in its rows, its queries and its order; the base runs the rest:
//
// Layout. One grouped table over the content view, rows of 44 points; a form
// row (formRow) hosts one value label (valueLabel) or input field
// (inputField), 150 x 30 points, under its title. The form serves
// formRowCount / formCell and hears formRowTapped (the row is deselected).
// Toolbar: "首页", the stock finder, "确定" (onCommandOK).
//
// Requests. Each kind has a tag of its own. The form binds its queries with
// bindRequest and sends them with sendQuery, which sends nothing while an
// order is outstanding: what a form asks by itself (on appearing, on a full
// code field) is never an order, and no order leaves without the customer's
// "确定". The order goes under the form's order tag, request type 4; its
// reply is told apart from a late query reply by that tag.
//
// The order. onCommandOK (nothing while an order is outstanding) shows the
// first check the form fails (orderRefusal) in an alert; when all pass, the
// confirmation sheet titled orderSummary ("取消" / "确定", tag
// kConfirmSheetTag). Its "确定" turns the order state on and sends
// orderRequest, built afresh from the fields (nullopt: nothing is sent, the
// form said why, the order state ends). A form whose order carries the risk
// check puts riskCheckValue() in it.
//
// The order's reply ends the order state, then:
//   success       orderSucceeded: by default the alert of successText, tag
//                 kSuccessAlertTag, whose "确定" closes the form;
//   risk warning  (forms made with takesRiskWarning) the re-ask of
//                 trade/RiskReask.h, "确定" first; the order state stays on
//                 while it is up; "确定" (riskAccepted) sends the order again
//                 with the risk check waived, "取消" leaves the form as filled;
//   an error      orderRefused: by default the alert of its text;
//   nothing readable (no record set): the customer is told to look the order
//                 up among the day's orders (kUnknownOutcomeText).
// A network or service failure of the order ends the order state and shows
// its description. Leaving the screen cancels the form's requests; an order
// still in flight then ends its state, and the customer is told to check the
// day's orders (RequestBinding).
//
// Keyboard: the field named with scrollsForKeyboard scrolls the table to
// (0, kKeyboardScroll) when its keyboard shows, back when it hides. The
// fields named with watchFields have the form as their field delegate while
// it is on screen.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "trade/RiskReask.h"
#include "ui/VTATextField.h"

class UILabel;

class FundForm : public VTAViewControllers,
                 public UITableViewDataSource,
                 public UITableViewDelegate,
                 public VTATextFieldDelegate,
                 public UIActionSheetDelegate {
public:
    static constexpr int kSuccessAlertTag = 1001;
    static constexpr int kConfirmSheetTag = 100;
    static constexpr double kRowHeight = 44;
    static constexpr double kKeyboardScroll = 120;
    static constexpr const char* kUnknownOutcomeText = "返回结果异常，请进入当日委托查询";

    ~FundForm() override;

    // The order state: on from the sheet's "确定" to the order's reply.
    bool isOrdering() const { return ordering_; }
    // The customer accepted a risk warning; the next order waives the check.
    bool riskConsent() const { return reask_.consent(); }
    UITableView* formTable();
    UIActionSheet* confirmationSheet() const { return sheet_.get(); }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void onCommandOK() override;

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return formRowCount(); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return kRowHeight; }
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    bool myTextFieldWillShowKeyboard(VTATextField& field) override;
    void myTextFieldDidHideKeyboard(VTATextField& field) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    FundForm(int orderTag, bool takesRiskWarning);

    // ---- the form ----
    // Makes the fields and labels (once, when the view is built).
    virtual void buildForm() = 0;
    virtual int formRowCount() const = 0;
    virtual std::shared_ptr<UITableViewCell> formCell(int row) = 0;
    virtual void formRowTapped(int row) {}
    // A value label: 150 x 30, default font, right-aligned, clear.
    static std::shared_ptr<UILabel> valueLabel(std::shared_ptr<UIColor> color = nullptr);
    // An input field: 150 x 30, default font; keyboard as the platform numbers
    // it. One with a unit (an amount, a number of shares) tells the customer
    // its limit when it fills up.
    static std::shared_ptr<VTATextField> inputField(int maxLength, const std::string& placeholder, int keyboardType,
                                                    const std::string& unit = "");
    // A form row: the title at the left, the view at the right.
    static std::shared_ptr<UITableViewCell> formRow(const std::string& title, std::shared_ptr<UIView> view,
                                                    bool disclosure = false);
    // A row that opens a list (the funds open for the form's operation):
    // its title in blue, with a disclosure indicator.
    std::shared_ptr<UITableViewCell> listRow(const std::string& title);
    void scrollsForKeyboard(VTATextField* field) { keyboardField_ = field; }
    void watchFields(const std::vector<VTATextField*>& fields);

    // ---- queries ----
    // Sends a query of a bound tag, unless an order is outstanding.
    bool sendQuery(int tag, const RequestBuilder& request, int type = 4);

    // ---- the order ----
    virtual std::string orderRefusal() = 0;
    virtual std::string orderSummary() const = 0;
    virtual std::optional<RequestBuilder> orderRequest() = 0;
    virtual std::string successText() const = 0;
    // The value of the risk check for the order being built ("0" once the
    // customer accepted the warning, which this uses up; else "1").
    std::string riskCheckValue() { return reask_.takeCheckValue(); }
    // Shows the confirmation sheet (onCommandOK does, once the checks pass).
    void showConfirmation(const std::string& summary);
    // Turns the order state on and sends the order; false when nothing went.
    bool sendOrder();
    virtual void orderSucceeded(const RequestReply& reply);
    virtual void orderRefused(const std::string& text);
    virtual void riskAccepted() { sendOrder(); }
    // The success alert: the text as its title, "确定", kSuccessAlertTag.
    void showSuccess(const std::string& text);

    void requestDidFail(const RequestFailure& failure) override;

private:
    void orderReplied(const RequestReply& reply);
    void setDelegateOf(UIAlertView& alert);

    int orderTag_;
    bool takesRiskWarning_;
    bool ordering_ = false;
    RiskReask reask_{RiskReask::Buttons::ConfirmFirst};
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UIActionSheet> sheet_;
    VTATextField* keyboardField_ = nullptr;
    // Weak: the fields belong to the screen built on the form, and are gone
    // before the form's own destructor runs.
    std::vector<std::weak_ptr<VTATextField>> watched_;
    void setWatchedDelegate(VTATextFieldDelegate* delegate);
};
