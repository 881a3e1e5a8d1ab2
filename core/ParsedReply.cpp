#include "core/ParsedReply.h"

ParsedReply::ParsedReply(const std::vector<uint8_t>& bytes) : sets_(VTATCRS::buildMuTableTCRSWithData(bytes)) {}

ParsedReply::ParsedReply(VTATCRS::TCRSArray sets) : sets_(std::move(sets)) {}

bool ParsedReply::isError() const { return sets_ && !sets_->empty() && (*sets_)[0] && (*sets_)[0]->isError(); }

std::string ParsedReply::errorText() const { return isError() ? (*sets_)[0]->getError() : std::string(); }

int64_t ParsedReply::errorCode() const { return isError() ? (*sets_)[0]->errorCode() : 0; }

const VTATCRS::TCRSArray& ParsedReply::sets() const {
    static const VTATCRS::TCRSArray none;
    return sets_ ? *sets_ : none;
}

VTATCRS* ParsedReply::firstRecord() const {
    if (!ok() || sets_->empty() || !(*sets_)[0]) return nullptr;
    VTATCRS* set = (*sets_)[0].get();
    set->fetchFirst();
    return set->isEOF() ? nullptr : set;
}
