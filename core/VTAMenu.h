#pragma once
// One menu item: a title, a link ("command?key=value&..."), an icon file name
// ("" for none), a visibility flag, its place among its siblings, its id in the
// menu tree and its parent's id (-1 the root). A screen-made item uses ids -1.
// `params` is a text handed to the screen the item opens.
#include <string>

class VTAMenu {
public:
    VTAMenu() = default;

    const std::string& link() const { return link_; }
    void setLink(const std::string& v) { link_ = v; }
    const std::string& title() const { return title_; }
    void setTitle(const std::string& v) { title_ = v; }
    const std::string& icon() const { return icon_; }
    void setIcon(const std::string& v) { icon_ = v; }
    const std::string& params() const { return params_; }
    void setParams(const std::string& v) { params_ = v; }
    int m_id() const { return id_; }
    void setM_id(int v) { id_ = v; }
    int m_pid() const { return pid_; }
    void setM_pid(int v) { pid_ = v; }
    bool showOrNot() const { return show_; }
    void setShowOrNot(bool v) { show_ = v; }
    int order() const { return order_; }
    void setOrder(int v) { order_ = v; }

private:
    std::string link_;
    std::string title_;
    std::string icon_;
    std::string params_;
    int id_ = -1;
    int pid_ = -1;
    bool show_ = true;
    int order_ = 0;
};
