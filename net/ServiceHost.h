// A remote service's address as the build names it: "name[:port]", after
// "http://" or "https://" (plain http when no scheme is written).
//
// The build reads each of its host settings with ReadServiceHost at compile
// time, so a program is never built on a host the reader refuses; the
// configure step gives the same verdict earlier, with a message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qx {

enum class UrlScheme { Http, Https };

// A host setting split into its scheme and its "name[:port]".
struct ServiceHostForm {
    UrlScheme scheme = UrlScheme::Http;
    std::string_view authority;
};

namespace service_host_detail {

// Written out rather than std::string_view::find, which not every standard
// library can evaluate at compile time.
constexpr std::size_t Find(std::string_view text, std::string_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        if (text.substr(at, part.size()) == part) {
            return at;
        }
    }
    return std::string_view::npos;
}

constexpr bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Letters, digits and hyphens, neither first nor last.
constexpr bool IsLabel(std::string_view label) {
    if (label.empty() || label.front() == '-' || label.back() == '-') {
        return false;
    }
    for (char c : label) {
        if (!IsLetterOrDigit(c) && c != '-') {
            return false;
        }
    }
    return true;
}

// Labels separated by single dots.
constexpr bool IsName(std::string_view name) {
    for (;;) {
        const std::size_t dot = Find(name, ".");
        if (!IsLabel(name.substr(0, dot))) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return true;
        }
        name.remove_prefix(dot + 1);
    }
}

// One to five digits naming 1 to 65535.
constexpr bool IsPort(std::string_view port) {
    if (port.empty() || port.size() > 5) {
        return false;
    }
    long value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

}  // namespace service_host_detail

// "[http://|https://]name[:port]", the scheme in lowercase. Anything else (another
// scheme, a path, query or fragment, a user name, an empty name or port,
// blanks) is refused with nullopt.
constexpr std::optional<ServiceHostForm> ReadServiceHost(std::string_view text) {
    ServiceHostForm form;
    const std::size_t separator = service_host_detail::Find(text, "://");
    if (separator != std::string_view::npos) {
        const std::string_view scheme = text.substr(0, separator);
        if (scheme == "https") {
            form.scheme = UrlScheme::Https;
        } else if (scheme != "http") {
            return std::nullopt;
        }
        text.remove_prefix(separator + 3);
    }
    const std::size_t colon = service_host_detail::Find(text, ":");
    if (!service_host_detail::IsName(text.substr(0, colon))) {
        return std::nullopt;
    }
    if (colon != std::string_view::npos && !service_host_detail::IsPort(text.substr(colon + 1))) {
        return std::nullopt;
    }
    form.authority = text;
    return form;
}

// One service's address, held for the whole run.
struct ServiceHost {
    UrlScheme scheme = UrlScheme::Http;
    std::string authority;  // "name[:port]"
};

// "http://" or "https://" followed by the authority: how every URL on the host begins.
std::string Origin(const ServiceHost& host);

}  // namespace qx
