#include "quotes/PortfolioItem.h"

#include "core/VTATCRS.h"
#include "core/contracts/QuoteContract.h"

PortfolioItem PortfolioItem::fromQuoteRecord(const VTATCRS& set) {
    using namespace QuoteContract;
    PortfolioItem item(set.toStringWithFieldName(Col::kName).value_or(""),
                       set.toStringWithFieldName(Col::kCode).value_or(""));
    item.marketId = static_cast<int>(set.toIntWithFieldName(Col::kMarket));
    item.stockType = static_cast<int>(set.toIntWithFieldName(Col::kClass));
    item.nZrsp = set.toVTAFloatWithFieldName(Col::kPrevClose);
    item.nZjcj = set.toVTAFloatWithFieldName(Col::kLast);
    item.nZhd = set.toVTAFloatWithFieldName(Col::kChange);
    item.nZdf = set.toVTAFloatWithFieldName(Col::kChangePercent);
    return item;
}
