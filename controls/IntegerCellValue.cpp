#include "controls/IntegerCellValue.h"

#include <string>

#include "parse/DecimalText.h"

namespace qx {

std::int32_t IntegerCellValue(std::string_view text) {
    std::string withoutCommas;
    withoutCommas.reserve(text.size());
    for (char c : text) {
        if (c != ',') {
            withoutCommas.push_back(c);
        }
    }
    return DecimalToInt(withoutCommas);
}

}  // namespace qx
