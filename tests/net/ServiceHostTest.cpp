#include "net/ServiceHost.h"

#include "ServiceHostForms.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

struct Form {
    std::string text;
    std::string verdict;  // "http <authority>", "https <authority>" or "refused <why>"
};

std::vector<Form> Forms() {
    std::vector<Form> forms;
    std::string_view table = kServiceHostForms;
    for (std::size_t end; (end = table.find('\n')) != std::string_view::npos; table.remove_prefix(end + 1)) {
        const std::string_view line = table.substr(0, end);
        const std::size_t arrow = line.find(" => ");
        if (arrow != std::string_view::npos) {
            forms.push_back({std::string(line.substr(0, arrow)), std::string(line.substr(arrow + 4))});
        }
    }
    return forms;
}

std::string Verdict(std::string_view text) {
    const std::optional<qx::ServiceHostForm> form = qx::ReadServiceHost(text);
    if (!form) {
        return "refused";
    }
    return (form->scheme == qx::UrlScheme::Https ? "https " : "http ") + std::string(form->authority);
}

TEST(ReadServiceHost, FollowsTheTableOfForms) {
    const std::vector<Form> forms = Forms();
    ASSERT_GT(forms.size(), 40u);
    for (const Form& form : forms) {
        const bool refused = form.verdict.compare(0, 8, "refused ") == 0;
        EXPECT_EQ(Verdict(form.text), refused ? "refused" : form.verdict) << '"' << form.text << '"';
    }
}

TEST(Origin, WritesTheSchemeBeforeTheAuthority) {
    EXPECT_EQ(qx::Origin({qx::UrlScheme::Http, "127.0.0.1:48230"}), "http://127.0.0.1:48230");
    EXPECT_EQ(qx::Origin({qx::UrlScheme::Https, "svc.example"}), "https://svc.example");
}

}  // namespace
