// The trade queries' list replies under arbitrary bytes: set 0 of a reply
// becomes a grid whose column titles are the fields' descriptors, through
// the paged trade query list and the lists built on it (today's orders to
// cancel, the new issues with their fixed titles, the history, the margin
// lists). The menu link's keys name the cursor, the sign and the fields left
// out, taken from the input as well.
//
// The first byte chooses the list and whether the reply is the bytes as they
// stand or a set of the columns the lists read (and names the input makes
// up), each with a descriptor, of a type and with values the input picks.
// Checks: the grid has a row per record shown and a title per column shown.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/VTAMenu.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeQueryContract.h"
#include "fuzz/FuzzDocuments.h"
#include "fuzz/FuzzRecordSets.h"
#include "margin/MarginQueryList.h"
#include "shell/RequestBinding.h"
#include "trade/VTATradeCancelViewController.h"
#include "trade/VTAXGTableViewController.h"
#include "ui/VTATableView.h"

namespace {

namespace Col = TradeQueryContract::Col;

// A list whose reply handler the target calls as the request road would.
template <class List>
struct Driven : List {
    using List::listReplyArrived;
};

template <class List>
void drive(const std::string& link, const RecordSets& sets, int tag) {
    auto list = std::make_shared<Driven<List>>();
    auto menu = std::make_shared<VTAMenu>();
    menu->setLink(link);
    list->setViewMenu(menu);
    list->view();  // the link read, the toolbar made
    list->listReplyArrived(RequestReply{tag, sets});
    // The grid's rows are the records the list kept.
    if (list->tableData() && list->myTableView() &&
        list->myTableView()->rowCount() != list->tableData()->rowsAffected())
        std::abort();
    list->stockFromTableData();
    list->loadTable();  // shown again (a refresh with the same page)
}

const std::vector<std::string> kColumns = {
    Col::kCursor, Col::kStockCode, Col::kStockName,   Col::kMarketName, Col::kMarket,   Col::kSecuId,        Col::kCost,
    Col::kIncome, Col::kDirection, Col::kOrderNumber, Col::kOrderPrice, Col::kOrderQty, Col::kPlanScheduled, "status"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzDocuments();  // the lists read their settings
    FuzzInput in{data, size};
    const uint8_t mode = in.byte();
    // The link's keys: a cursor, a sign field and the fields left out.
    std::string link = "tradequery?tc_mfuncno=500&tc_sfuncno=13";
    if (mode & 0x10) link += "&position=" + ((mode & 0x20) ? std::string(Col::kCursor) : in.text(8));
    if (mode & 0x40) link += "&sign=" + ((mode & 0x80) ? std::string(Col::kIncome) : in.text(8));
    link += "&unlist=" + in.text(16);

    std::vector<uint8_t> reply;
    if (mode & 1) {
        reply = in.rest();
    } else {
        std::vector<std::string> columns;
        for (const auto& column : kColumns)
            if (in.byte() & 1) columns.push_back(column);
        for (int extra = in.byte() % 4; extra > 0; --extra) columns.push_back(in.text(8));
        TCRSWriter writer;
        addFuzzSet(writer, in, columns, 24);
        reply = writer.bytes();
    }
    auto parsed = VTATCRS::buildMuTableTCRSWithData(reply);
    const RecordSets sets = parsed ? *parsed : RecordSets{};
    const int tag = (mode & 8) ? VTATradeQueryViewController::kPlanListTag : VTATradeQueryViewController::kListTag;
    switch ((mode >> 1) % 4) {
        case 0:
            drive<VTATradeQueryViewController>(link, sets, tag);
            break;
        case 1:
            drive<VTAXGTableViewController>(link, sets, tag);
            break;
        case 2:
            drive<VTATradeCancelViewController>(link, sets, tag);
            break;
        default:
            drive<MarginQueryList>(link, sets, tag);
            break;
    }
    return 0;
}
