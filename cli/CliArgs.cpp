#include "CliArgs.h"

CliArgs::CliArgs(const std::vector<std::string> &args, std::set<std::string> flags, std::set<std::string> options)
{
    bool onlyPositional = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            m_positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "help") {
            m_help = true;
        } else if (flags.count(name)) {
            if (inlineValue) {
                m_error = "option --" + name + " takes no value";
                return;
            }
            m_flags.insert(name);
        } else if (options.count(name)) {
            if (inlineValue) {
                m_values[name] = *inlineValue;
            } else if (i + 1 < args.size()) {
                m_values[name] = args[++i];
            } else {
                m_error = "option --" + name + " needs a value";
                return;
            }
        } else {
            m_error = "unknown option --" + name;
            return;
        }
    }
}

bool CliArgs::has(const std::string &name) const
{
    return m_flags.count(name) > 0 || m_values.count(name) > 0;
}

std::optional<std::string> CliArgs::value(const std::string &name) const
{
    const auto it = m_values.find(name);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::string CliArgs::value(const std::string &name, const std::string &fallback) const
{
    return value(name).value_or(fallback);
}
