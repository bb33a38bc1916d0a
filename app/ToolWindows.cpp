#include "ToolWindows.h"

void ToolWindowRegistry::Register(const std::string &name, ToolWindowEntry entry)
{
    entries_[name] = std::move(entry);
    if (changed)
        changed();
}

void ToolWindowRegistry::Unregister(const std::string &name)
{
    if (entries_.erase(name) && changed)
        changed();
}

const ToolWindowEntry *ToolWindowRegistry::Find(const std::string &name) const
{
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
}

void ToolWindowRegistry::Clear()
{
    entries_.clear();
    if (changed)
        changed();
}

ToolWindowRegistry &ToolWindows()
{
    static ToolWindowRegistry registry;
    return registry;
}
