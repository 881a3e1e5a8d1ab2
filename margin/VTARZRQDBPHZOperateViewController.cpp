#include "margin/VTARZRQDBPHZOperateViewController.h"

#include "core/contracts/MarginContract.h"
#include "margin/MarginRepayRules.h"
#include "platform/uikit/UILabel.h"

namespace {

int creditFlagOf(const std::string& direction) {
    return direction == MarginContract::Value::kIntoCredit ? MarginContract::CreditFlag::kCollateralIn
                                                           : MarginContract::CreditFlag::kCollateralOut;
}

}  // namespace

VTARZRQDBPHZOperateViewController::VTARZRQDBPHZOperateViewController(std::string directionTitle,
                                                                     std::string directionValue,
                                                                     std::string mayUseCount, std::string market)
    : MarginRepayForm(kSell, creditFlagOf(directionValue),
                      {{Row::Stockholder, "股东代码"},
                       {Row::Direction, "划转方向"},
                       {Row::Code, "证券代码"},
                       {Row::Name, "证券名称"},
                       {Row::Maximum, "最大可划"},
                       {Row::Quantity, "划转数量"}}),
      dirTitle_(std::move(directionTitle)),
      dirValue_(std::move(directionValue)),
      mayUse_(std::move(mayUseCount)),
      market_(std::move(market)) {}

void VTARZRQDBPHZOperateViewController::viewWillDidLoad() {
    MarginRepayForm::viewWillDidLoad();
    directionLabel()->setText(dirTitle_);
    maxQtyLabel()->setText(mayUse_);
    // The account of the row's market (none: the order is refused).
    filterStockholderByMarket(market_);
}

std::string VTARZRQDBPHZOperateViewController::confirmationText(const OrderTicket& t) const {
    return marginSheetText(
        {{"证券名称", stockNameText()}, {"证券代码", t.code}, {"划转方向", dirTitle_}, {"划转数量", t.quantity}});
}
