#include "net/LinkRoute.h"

namespace qx {

LinkRoute ChooseLinkRoute(std::size_t urlLength, bool underWine) {
    if (underWine && urlLength > kLongestUrlForWineShell) {
        return LinkRoute::HttpProgram;
    }
    return LinkRoute::Shell;
}

}  // namespace qx
