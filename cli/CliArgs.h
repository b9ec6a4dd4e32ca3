#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A small parser for "--flag", "--option VALUE", "--option=VALUE" and
// positional arguments. Unknown options and missing values are errors that the
// command reports as a usage error (exit 2, one line).
class CliArgs {
public:
    // `flags` take no value, `options` take one.
    CliArgs(const std::vector<std::string> &args, std::set<std::string> flags, std::set<std::string> options);

    bool ok() const { return m_error.empty(); }
    const std::string &error() const { return m_error; }

    bool has(const std::string &name) const;
    std::optional<std::string> value(const std::string &name) const;
    std::string value(const std::string &name, const std::string &fallback) const;
    const std::vector<std::string> &positional() const { return m_positional; }
    bool wantsHelp() const { return m_help; }

private:
    std::set<std::string> m_flags;
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
    std::string m_error;
    bool m_help = false;
};
