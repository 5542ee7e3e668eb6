#include "parse/AreaCatalogue.h"

#include "parse/AsciiCase.h"
#include "parse/FixedText.h"
#include "parse/TagScanner.h"

#include <string_view>

namespace qx {
namespace {

// The element names of one level of the hierarchy.
struct Level {
    const char* element;
    const char* codeElement;
    const char* nameElement;
    bool keepsElementText;  // the next level is read from it
};

constexpr Level kMiddle = {"middleClass", "middleClassCode", "middleClassName", true};
constexpr Level kSmall = {"smallClass", "smallClassCode", "smallClassName", true};
constexpr Level kDetail = {"detailClass", "detailClassCode", "detailClassName", false};

// Rebuilds list from the level's elements inside parentText, in reply order.
// The name is searched only after the code, with the same cursor, so a class
// whose code is missing gets an empty name too.
void ListLevel(std::string_view parentText, const Level& level, std::vector<AreaClass>& list,
               const AreaClassSink& sink) {
    list.clear();
    std::int32_t cursor = 0;
    for (;;) {
        const std::string_view element = TagScanner::FindElement(parentText, level.element, cursor);
        if (cursor == -1) {
            break;
        }
        AreaClass& entry = list.emplace_back();
        entry.index = static_cast<std::int32_t>(list.size() - 1);
        std::int32_t fieldCursor = 0;
        CopyField(entry.code, TagScanner::FindElement(element, level.codeElement, fieldCursor));
        CopyField(entry.name, TagScanner::FindElement(element, level.nameElement, fieldCursor));
        if (level.keepsElementText) {
            entry.elementText.assign(element);
        }
        if (sink) {
            sink(entry);
        }
    }
}

}  // namespace

const AreaClass* FindClass(const std::vector<AreaClass>& list, std::int32_t index) {
    for (const AreaClass& entry : list) {
        if (entry.index == index) {
            return &entry;
        }
    }
    return nullptr;
}

void AreaCatalogue::SetReplyText(std::string text) {
    replyText_ = std::move(text);
}

bool AreaCatalogue::ListMiddleClasses(const AreaClassSink& sink) {
    middleClasses.clear();
    std::int32_t cursor = 0;
    const std::string_view largeClass = TagScanner::FindElement(replyText_, "largeClass", cursor);
    if (cursor == -1) {
        return false;
    }
    cursor = 0;
    const std::string_view largeCode = TagScanner::FindElement(largeClass, "largeClassCode", cursor);
    if (cursor == -1 || !EqualsIgnoringAsciiCase(largeCode, "japan")) {
        return false;
    }
    ListLevel(largeClass, kMiddle, middleClasses, sink);
    return true;
}

bool AreaCatalogue::ListSmallClasses(std::int32_t middleIndex, const AreaClassSink& sink) {
    const AreaClass* middle = FindClass(middleClasses, middleIndex);
    if (middle == nullptr) {
        return false;
    }
    // The detail classes belonged to a small class of the earlier list; kept,
    // they could be sent with a middle class they are no part of.
    detailClasses.clear();
    ListLevel(middle->elementText, kSmall, smallClasses, sink);
    return true;
}

bool AreaCatalogue::ListDetailClasses(std::int32_t smallIndex, const AreaClassSink& sink) {
    const AreaClass* smallClass = FindClass(smallClasses, smallIndex);
    if (smallClass == nullptr) {
        return false;
    }
    detailClasses.clear();
    if (smallClass->elementText.find("<detailClass>") == std::string::npos) {
        return false;
    }
    ListLevel(smallClass->elementText, kDetail, detailClasses, sink);
    return true;
}

}  // namespace qx
