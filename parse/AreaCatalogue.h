// The area hierarchy of the web service (GetAreaClass reply), read one level at
// a time into lists of AreaClass entries in reply order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qx {

struct AreaClass {
    std::int32_t index = 0;  // position in its list and in the combo box showing it
    char name[256] = {};     // cut on a character boundary when longer
    char code[256] = {};
    // The whole content of the class's element, however long: a middle class
    // with many small classes is far larger than any fixed field.
    std::string elementText;
};

// Called with each entry as it is appended, so a dialog can add the name to its
// combo box without the catalogue knowing about windows. The sink must not call
// the catalogue's list operations: the entry lives in the list being rebuilt.
using AreaClassSink = std::function<void(const AreaClass&)>;

// The first entry of list whose index equals index, or nullptr.
const AreaClass* FindClass(const std::vector<AreaClass>& list, std::int32_t index);

class AreaCatalogue {
public:
    void SetReplyText(std::string text);
    const std::string& ReplyText() const { return replyText_; }

    bool ListMiddleClasses(const AreaClassSink& sink = nullptr);
    // Also empties detailClasses when the middle class is found.
    bool ListSmallClasses(std::int32_t middleIndex, const AreaClassSink& sink = nullptr);
    // True when the small class has detail classes.
    bool ListDetailClasses(std::int32_t smallIndex, const AreaClassSink& sink = nullptr);

    std::vector<AreaClass> middleClasses;
    std::vector<AreaClass> smallClasses;
    std::vector<AreaClass> detailClasses;

private:
    std::string replyText_;
};

}  // namespace qx
