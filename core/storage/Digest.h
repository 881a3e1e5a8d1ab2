#pragma once
// One news summary of a news list. Every field starts empty.
#include <string>

struct DigestTitleSize {
    float width = 0;
    float height = 0;
};

class Digest {
public:
    const std::string& digestId() const { return digestId_; }
    void setDigestId(std::string v) { digestId_ = std::move(v); }
    const std::string& title() const { return title_; }
    void setTitle(std::string v) { title_ = std::move(v); }
    const std::string& createTime() const { return createTime_; }
    void setCreateTime(std::string v) { createTime_ = std::move(v); }
    const std::string& newsTypeId() const { return newsTypeId_; }
    void setNewsTypeId(std::string v) { newsTypeId_ = std::move(v); }
    const std::string& source() const { return source_; }
    void setSource(std::string v) { source_ = std::move(v); }
    const std::string& expandProperty() const { return expandProperty_; }
    void setExpandProperty(std::string v) { expandProperty_ = std::move(v); }
    // Address of the article's content.
    const std::string& contentUrl() const { return contentUrl_; }
    void setContentUrl(std::string v) { contentUrl_ = std::move(v); }
    // Measured size of the title text, kept by the list that lays it out.
    DigestTitleSize titleSize() const { return titleSize_; }
    void setTitleSize(DigestTitleSize v) { titleSize_ = v; }
    float titleHeight() const { return titleHeight_; }
    void setTitleHeight(float v) { titleHeight_ = v; }

private:
    std::string digestId_, title_, createTime_, newsTypeId_, source_, expandProperty_, contentUrl_;
    DigestTitleSize titleSize_;
    float titleHeight_ = 0;
};
