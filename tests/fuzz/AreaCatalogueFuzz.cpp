// Input: a GetAreaClass reply. Lists the middle classes, the small classes of
// every middle class and the detail classes of every small class.
#include "parse/AreaCatalogue.h"

#include "FuzzChecks.h"

#include <cstdint>
#include <string>
#include <vector>

using qx::AreaCatalogue;
using qx::AreaClass;
using qx::fuzz::Check;
using qx::fuzz::CheckTerminated;

namespace {

// Every entry appended once, in order, with consecutive indexes and its
// fields terminated within their widths.
void CheckList(const std::vector<AreaClass>& list, std::size_t sinkCalls) {
    Check(sinkCalls == list.size(), "the sink sees every appended entry once");
    for (std::size_t i = 0; i < list.size(); ++i) {
        Check(list[i].index == static_cast<std::int32_t>(i), "indexes are consecutive from 0");
        CheckTerminated(list[i].name, "name");
        CheckTerminated(list[i].code, "code");
        Check(qx::FindClass(list, list[i].index) == &list[i], "FindClass finds the entry");
    }
    Check(qx::FindClass(list, -1) == nullptr, "index -1 finds nothing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AreaCatalogue catalogue;
    catalogue.SetReplyText(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t calls = 0;
    const auto count = [&calls](const AreaClass&) { ++calls; };

    const bool listed = catalogue.ListMiddleClasses(count);
    Check(listed || catalogue.middleClasses.empty(), "a failed listing leaves no middle classes");
    CheckList(catalogue.middleClasses, calls);
    for (std::size_t m = 0; m < catalogue.middleClasses.size(); ++m) {
        calls = 0;
        Check(catalogue.ListSmallClasses(static_cast<std::int32_t>(m), count), "a listed middle class is found");
        CheckList(catalogue.smallClasses, calls);
        for (std::size_t s = 0; s < catalogue.smallClasses.size(); ++s) {
            calls = 0;
            const bool hasDetails = catalogue.ListDetailClasses(static_cast<std::int32_t>(s), count);
            Check(hasDetails || catalogue.detailClasses.empty(), "no detail classes without the tag");
            CheckList(catalogue.detailClasses, calls);
        }
    }
    const std::size_t smalls = catalogue.smallClasses.size();
    Check(!catalogue.ListSmallClasses(-1) && catalogue.smallClasses.size() == smalls,
          "an unknown middle index changes nothing");
    return 0;
}
