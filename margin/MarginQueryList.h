#pragma once
// What the margin lists add to the paged trade query list
// (VTATradeQueryViewController): the request of the link's pairs, "count"
// and the paging cursor that the credit queries continue in their own way,
// and, for the lists whose row opens a form (sell-to-repay, buy-to-return,
// securities repayment, collateral transfer), the toolbar "首页", the stock
// finder and "确定", whose selected row's stock ("stkcode", "stkname") goes
// to the form in a message of type 1 ("没有相关信息" without one).
#include <memory>
#include <string>

#include "trade/VTATradeQueryViewController.h"

class VTAViewControllers;

class MarginQueryList : public VTATradeQueryViewController {
public:
    // The link's pairs, "count" the page size and, after the first page, the
    // cursor under the link's position key.
    RequestBuilder linkPairsRequest() const;
};

class MarginStockList : public MarginQueryList {
public:
    // type: the request type the list asks with (4, or 5 as the base list).
    explicit MarginStockList(int requestType) : requestType_(requestType) {}
    void createToolbarItems() override;
    void onCommandOK() override;

protected:
    int tradeInfoRequestType() const override { return requestType_; }
    // The form of the selected row (its record current), titled by the list.
    virtual std::shared_ptr<VTAViewControllers> formFor(VTATCRS& record) = 0;
    virtual std::string formTitle() const = 0;

private:
    int requestType_;
};
