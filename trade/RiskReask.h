#pragma once
// The risk re-ask of an order, shared by the stock order screens and the
// fund forms: the brokerage answers an order of a product above what the
// customer may take with a warning (an error whose text holds "88001")
// instead of taking it. The warning is not an error to show: an alert puts
// it before the customer; accepting it lets the same order go again, once,
// with the risk check waived ("chkriskflag" 0), and that consent is used up
// by that one order.
//
// The two families differ only in the order of the alert's buttons; which
// button was pressed is read from its title ("确定" accepts).
//
//   if (RiskReask::isWarning(text)) { reask_.ask(*this, text); return; }
//   ...
//   void alertViewClickedButtonAtIndex(UIAlertView& a, int i) {
//       if (reask_.isReask(a)) { if (reask_.answer(a, i)) resend(); }
//   }
//   request.add("chkriskflag", reask_.takeCheckValue());
#include <memory>
#include <string>

class UIAlertView;
class VTAViewControllers;

class RiskReask {
public:
    enum class Buttons {
        CancelFirst,   // "取消" (0), "确定" (1): the stock order screens
        ConfirmFirst,  // "确定" (0), "取消" (1): the fund forms
    };
    static constexpr int kAlertTag = 1002;
    static constexpr const char* kAcceptTitle = "确定";

    explicit RiskReask(Buttons buttons) : buttons_(buttons) {}

    // Whether an order's error text is the warning ("88001" anywhere in it).
    static bool isWarning(const std::string& errorText);

    // Shows the warning (the whole text as the title, no message) with the
    // screen as the alert's delegate; tagged kAlertTag.
    std::shared_ptr<UIAlertView> ask(VTAViewControllers& screen, const std::string& warning);
    bool isReask(const UIAlertView& alert) const;
    // The customer's answer: true when the warning was accepted (the consent
    // is then given), false otherwise (any consent is withdrawn).
    bool answer(const UIAlertView& alert, int buttonIndex);

    bool consent() const { return consent_; }
    void withdraw() { consent_ = false; }
    // The risk-check value of the next order: "0" with the consent (which
    // this uses up), "1" without.
    std::string takeCheckValue();

private:
    Buttons buttons_;
    bool consent_ = false;
};
