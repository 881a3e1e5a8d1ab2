#include "trade/TradeRequestList.h"

#include "core/RequestBuilder.h"

void TradeRequestList::viewWillAppear(bool animated) {
    VTATableViewController::viewWillAppear(animated);
    requestTableViewContent();
}

void TradeRequestList::requestTableViewContent() {
    sendRequest(kContentTag, RequestBuilder::trade(subFunction_), requestType_);
}
