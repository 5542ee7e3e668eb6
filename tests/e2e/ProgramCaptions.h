// The captions by which the drivers find the program's windows.
#pragma once

#include <string>

namespace qx::test {

inline const std::string kSearchCaption = "検索条件設定";
inline const std::string kMainCaption = "QX Frontend";
// A plan window's caption is the hotel's name followed by this.
inline const std::string kPlanCaptionEnd = " - 宿泊プラン情報";
inline const std::string kLandmarkCaption = "エリア指定";
inline const std::string kProgressCaption = "通信中";

}  // namespace qx::test
