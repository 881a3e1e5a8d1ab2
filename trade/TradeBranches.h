#pragma once
// The brokerage's branches as the trade screens use them: the branch list
// request (501/17), its reply (2 records or more, else "营业部请求错误!"), and
// the branch of a trade form (the login, the token application), which comes
// from the local table of recently used branches (its default branch) or,
// while none is stored, from the server's list.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "core/storage/QZUsedSalesDepartment.h"
#include "shell/RequestBinding.h"

using BranchList = std::vector<std::shared_ptr<QZUsedSalesDepartment>>;

inline constexpr const char* kBranchListRefusedText = "营业部请求错误!";

// "tc_mfuncno=501&tc_sfuncno=17".
RequestBuilder branchListRequest();
// Every branch of the reply's set 0 ("org_code", "org_name"); nullopt when
// it has fewer than 2 records (the caller shows kBranchListRefusedText).
std::optional<BranchList> branchesFromReply(const RequestReply& reply);
// The name of the branch with the code in the list ("" when none).
std::string branchName(const BranchList& list, const std::string& code);

class TradeFormBranch {
public:
    // Reads the recently used branches (newest first). With a default branch
    // it becomes the form's branch and the list is available. With no branch
    // stored at all the list is not available (the form asks the server);
    // with stored branches but no default nothing changes. Answers whether
    // the form should ask the server for the list.
    bool readStoredBranches();
    // The server's list arrived: it is the list of all branches, its first
    // entry becomes the branch, and the list is available.
    void takeServerList(const BranchList& list);
    // A branch chosen on the form (a saved account's).
    void choose(const std::string& code, const std::string& name);

    // Whether a branch is known (the form's YYB_LIST_OK).
    bool isListOK() const { return listOK_; }
    const std::string& code() const { return code_; }
    const std::string& name() const { return name_; }
    const BranchList& used() const { return used_; }
    const BranchList& all() const { return all_; }

private:
    bool listOK_ = false;
    std::string code_, name_;
    BranchList used_, all_;
};
