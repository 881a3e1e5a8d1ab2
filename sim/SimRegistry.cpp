#include "sim/SimRegistry.h"

#include "core/TCRSWriter.h"
#include "core/contracts/ResultContract.h"

void SimRegistry::add(FunctionId function, SimHandler handler) {
    handlers_[{function.main, function.sub}] = std::move(handler);
}

const SimHandler* SimRegistry::find(int main, int sub) const {
    auto it = handlers_.find({main, sub});
    if (it == handlers_.end()) it = handlers_.find({main, -1});
    return it == handlers_.end() ? nullptr : &it->second;
}

std::vector<uint8_t> simErrorSet(int code, const std::string& text) {
    return TCRSWriter().errorSet(code, text).bytes();
}

std::vector<uint8_t> simResultSet(int result, const std::string& message, const std::string* code) {
    TCRSWriter w;
    w.beginSet()
        .addField(ResultContract::Col::kResult, TCRSFieldType::Integer, 4)
        .addField(ResultContract::Col::kMessage, TCRSFieldType::VarText);
    if (code) {
        w.addField(ResultContract::Col::kCode, TCRSFieldType::VarText);
        w.addRecord({result, message, *code});
    } else {
        w.addRecord({result, message});
    }
    return w.bytes();
}
