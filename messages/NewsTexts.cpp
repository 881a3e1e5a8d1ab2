#include "messages/NewsTexts.h"

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/NewsContract.h"
#include "core/storage/Digest.h"

std::string newsLinkRequest(const VTAMenu* menu, const VTAMessage* message) {
    if (!menu) return "";
    VTAStringDictionary pairs = parseQuery(menu->link());
    if (!pairs.getValueForKey("tc_mfuncno")) return "";
    std::string text = toParamtersWithSepretor(pairs, "&");
    if (message && message->type() == 0) {
        std::string data = message->dataText().value_or("");
        if (!data.empty()) text += "&" + data;
    }
    return text;
}

namespace {
std::string articleRequest(RequestBuilder request, const Digest& digest) {
    request.add(NewsContract::Key::kNewsId, digest.digestId());
    if (utf8Length(digest.newsTypeId()) >= 2) request.add(NewsContract::Key::kCategoryId, digest.newsTypeId());
    return request.text();
}
}  // namespace

std::string newsArticleRequest(const std::string& link, const Digest& digest) {
    auto main = queryValue(link, "tc_mfuncno");
    auto sub = queryValue(link, NewsContract::Key::kArticleSub);
    if (!main || !sub || main->empty() || sub->empty()) return "";
    return articleRequest(RequestBuilder::fromText("tc_mfuncno=" + *main + "&tc_sfuncno=" + *sub), digest);
}

std::string newsArticleRequest(FunctionId article, const Digest& digest) {
    return articleRequest(RequestBuilder(article), digest);
}

Digest digestFromRecord(const VTATCRS& set) {
    using namespace NewsContract;
    auto text = [&](const char* name) { return set.toStringWithFieldName(name).value_or(""); };
    Digest d;
    d.setDigestId(text(Col::kNewsId));
    d.setTitle(text(Col::kTitle));
    d.setCreateTime(text(Col::kTime));
    d.setNewsTypeId(text(Col::kCategoryId));
    d.setSource(text(Col::kSource));
    d.setExpandProperty(text(Col::kExtra));
    return d;
}

std::string newsArticleText(VTATCRS& set) {
    if (set.isEOF()) return "";
    std::string text;
    if (set.fieldCount() < 2) {
        text = set.toStringAtIndex(0).value_or("");
    } else {
        text = set.toStringWithFieldName(NewsContract::Col::kContent).value_or("");
        if (text.empty()) text = set.toStringAtIndex(1).value_or("");
    }
    for (set.fetchNext(); !set.isEOF(); set.fetchNext()) text += "\n\n" + set.toStringAtIndex(0).value_or("");
    return text;
}

std::string newsTimeLine(const std::string& source, const std::string& time) {
    return utf8Length(source) >= 2 ? source + "    " + time : time;
}

void recordNewsRead(const std::string& newsId) {
    if (newsId.empty()) return;
    auto& settings = VTAUserDefoult::standerDefoult();
    Value::Array ids{Value(newsId)};
    if (auto old = settings.getArrayForKey(kNewsReadIdsKey))
        for (const auto& v : *old) {
            if (ids.size() >= kNewsReadIdsCap) break;
            if (v.isString() && v.string() != newsId) ids.push_back(v);
        }
    settings.setArray(ids, kNewsReadIdsKey);
}

std::unordered_set<std::string> newsReadIds() {
    std::unordered_set<std::string> ids;
    if (auto list = VTAUserDefoult::standerDefoult().getArrayForKey(kNewsReadIdsKey))
        for (const auto& v : *list)
            if (v.isString()) ids.insert(v.string());
    return ids;
}
