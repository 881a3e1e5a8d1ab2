#include "margin/MarginStockLists.h"

#include "margin/VTARZRQBuyBackTradeViewController.h"
#include "margin/VTARZRQMQHKTradeViewController.h"
#include "margin/VTARZRQXQHQTradeViewController.h"

std::shared_ptr<VTAViewControllers> VTARZRQMQHKSelectedViewController::formFor(VTATCRS&) {
    return VTARZRQMQHKTradeViewController::init();
}

std::shared_ptr<VTAViewControllers> VTARZRQBuyBackQueryViewController::formFor(VTATCRS&) {
    return VTARZRQBuyBackTradeViewController::init();
}

std::shared_ptr<VTAViewControllers> VTARZRQXQHQQueryViewController::formFor(VTATCRS&) {
    return VTARZRQXQHQTradeViewController::init();
}
