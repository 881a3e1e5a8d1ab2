#pragma once
// The credit query lists, whose rows only show (the base list's toolbar):
//   VTARZRQXYSXSelectViewController  credit limits ("rzrq_xysxcx") and
//   VTARZRQXYZCSelectViewController  credit assets ("rzrq_xyzccx"): the
//       link's pairs, "count", the cursor, the session text, then the fund
//       account;
//   VTARZRQDBPZQSelectViewController  the collateral or eligible securities
//       of one stock code, opened by the code entry with its menu item: the
//       link's pairs, "count", the cursor, the session text, then "stkcode".
// All ask with request type 4; nothing goes without a menu item.
#include <string>

#include "margin/MarginQueryList.h"

class MarginCreditQuery : public MarginQueryList {
public:
    void requestTradeInfo() override;

protected:
    // What follows the session text: the login's fund account.
    virtual void addTail(RequestBuilder& request) const;
};

class VTARZRQXYSXSelectViewController : public MarginCreditQuery {};

class VTARZRQXYZCSelectViewController : public MarginCreditQuery {};

class VTARZRQDBPZQSelectViewController : public MarginCreditQuery {
public:
    explicit VTARZRQDBPZQSelectViewController(std::string code) : code_(std::move(code)) {}
    static std::shared_ptr<VTARZRQDBPZQSelectViewController> initWithStockCode(const std::string& code) {
        return std::make_shared<VTARZRQDBPZQSelectViewController>(code);
    }
    const std::string& stockCode() const { return code_; }

protected:
    void addTail(RequestBuilder& request) const override;

private:
    std::string code_;
};
