#include "trade/TradeBranches.h"

#include "core/VTATCRS.h"
#include "core/contracts/BranchContract.h"
#include "core/storage/DaoFactory.h"

RequestBuilder branchListRequest() { return RequestBuilder(BranchContract::kBranchList); }

std::optional<BranchList> branchesFromReply(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set || set->rowsAffected() < 2) return std::nullopt;
    BranchList list;
    for (int i = 0; i < set->rowsAffected(); ++i) {
        set->moveToIndex(i);
        list.push_back(std::make_shared<QZUsedSalesDepartment>(
            set->toStringWithFieldName(BranchContract::Col::kCode).value_or(""),
            set->toStringWithFieldName(BranchContract::Col::kName).value_or("")));
    }
    set->moveToIndex(0);
    return list;
}

std::string branchName(const BranchList& list, const std::string& code) {
    for (const auto& b : list)
        if (b && b->code() == code) return b->name();
    return "";
}

bool TradeFormBranch::readStoredBranches() {
    auto dao = DaoFactory::sharedInstance().salesDepartmentDao();
    used_ = dao ? dao->listSalesDepartment() : BranchList();
    if (used_.empty()) {
        listOK_ = false;
        return true;
    }
    if (auto d = dao->defaultSalesDepartment()) {
        code_ = d->code();
        name_ = d->name();
        listOK_ = true;
    }
    return false;
}

void TradeFormBranch::takeServerList(const BranchList& list) {
    all_ = list;  // a list asked for again replaces the first, never doubles it
    listOK_ = true;
    if (!all_.empty()) {
        code_ = all_.front()->code();
        name_ = all_.front()->name();
    }
}

void TradeFormBranch::choose(const std::string& code, const std::string& name) {
    code_ = code;
    name_ = name;
    listOK_ = true;
}
