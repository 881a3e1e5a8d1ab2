#include "sim/SimRegistry.h"

#include "core/TCRSWriter.h"

void SimRegistry::add(int main, int sub, SimHandler handler) { handlers_[{main, sub}] = std::move(handler); }

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
    w.beginSet().addField("result", TCRSFieldType::Integer, 4).addField("message", TCRSFieldType::VarText);
    if (code) {
        w.addField("code", TCRSFieldType::VarText);
        w.addRecord({result, message, *code});
    } else {
        w.addRecord({result, message});
    }
    return w.bytes();
}
