#include "sim/SimRegistry.h"

#include <stdexcept>

#include "core/TCRSWriter.h"
#include "core/contracts/ResultContract.h"

void SimRegistry::add(FunctionId function, SimHandler handler) {
    std::string name = std::to_string(function.main) + "/" +
                       (function.sub == kAnySub ? std::string("any") : std::to_string(function.sub));
    if (!handler) throw std::logic_error("simulator function " + name + " registered without a handler");
    if (!handlers_.try_emplace({function.main, function.sub}, std::move(handler)).second)
        throw std::logic_error("simulator function " + name + " registered twice");
}

void SimRegistry::addVariant(FunctionId function, SimRequestTest takes, SimHandler handler) {
    if (!takes || !handler)
        throw std::logic_error("simulator variant of " + std::to_string(function.main) + "/" +
                               std::to_string(function.sub) + " registered without a test or a handler");
    variants_[{function.main, function.sub}].push_back({std::move(takes), std::move(handler)});
}

void SimRegistry::addDaySettler(SimNightStep step, SimDaySettler settler) {
    const std::string name = "the night's step " + std::to_string(int(step));
    if (!settler) throw std::logic_error(name + " registered without a settler");
    if (!daySettlers_.try_emplace(step, std::move(settler)).second) throw std::logic_error(name + " registered twice");
}

const SimHandler* SimRegistry::find(int main, int sub, const SimRequest& request) const {
    if (auto it = variants_.find({main, sub}); it != variants_.end())
        for (const auto& v : it->second)
            if (v.takes(request)) return &v.handler;
    return find(main, sub);
}

std::vector<FunctionId> SimRegistry::functions() const {
    std::vector<FunctionId> all;
    for (const auto& [id, handler] : handlers_) all.push_back({id.first, id.second});
    return all;
}

const SimHandler* SimRegistry::find(int main, int sub) const {
    auto it = handlers_.find({main, sub});
    if (it == handlers_.end()) it = handlers_.find({main, -1});
    return it == handlers_.end() ? nullptr : &it->second;
}

std::vector<uint8_t> simErrorSet(int code, const std::string& text) {
    return TCRSWriter().errorSet(code, text).bytes();
}

std::vector<uint8_t> simErrorSet(const SimRefusal& refusal) { return simErrorSet(refusal.code, refusal.text); }

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
