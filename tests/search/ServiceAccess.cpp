#include "ServiceAccess.h"

#include "net/ConvertUtf8Reply.h"
#include "net/HttpFetchJob.h"
#include "search/SearchRequest.h"

namespace qx::test {
namespace {

constexpr DWORD kTimeLimitMs = 10000;

bool Get(const std::string& pathAndQuery, std::string& body) {
    HttpFetchJobPtr job = HttpFetchJob::Create(qxtest::LocalWebUrl(pathAndQuery), &body);
    return job && WaitForFetch(*job, FetchTextWorker, kTimeLimitMs) == kFetchOk;
}

}  // namespace

std::string FetchAreaReply() {
    std::string reply;
    const std::string path =
        std::string("/vws/1.4/rest?developerId=") + kDeveloperId + "&operation=GetAreaClass&version=2007-02-28";
    if (!Get(path, reply)) {
        return {};
    }
    ConvertUtf8Reply(reply);
    return reply;
}

std::string FetchAreaReplyWithBareMiddleClass(const std::string& middleCode) {
    std::string answer;
    if (!Get("/_control/areas?path=/vws/&bare=" + middleCode, answer) ||
        answer.find("\"armed\"") == std::string::npos) {
        return {};
    }
    return FetchAreaReply();
}

bool ArmServiceFault(const std::string& pathPrefix, const std::string& kind, const std::string& parameters) {
    std::string answer;
    return Get("/_control/fault?path=" + pathPrefix + "&kind=" + kind + parameters + "&count=1", answer) &&
           answer.find("\"armed\"") != std::string::npos;
}

void ClearServiceFaults() {
    std::string answer;
    Get("/_control/clear", answer);
}

std::vector<std::string> LoggedSearchTargets() {
    std::vector<std::string> targets;
    for (const std::string& line : qxtest::LoggedRequests("operation=VacantHotelSearch")) {
        if (line.find("\"control\": false") != std::string::npos) {
            targets.push_back(qxtest::LoggedField(line, "target"));
        }
    }
    return targets;
}

}  // namespace qx::test
