#pragma once

#include <functional>
#include <optional>
#include <unordered_map>

namespace fw {

// Something that can handle command ids: a view, a document, a frame, the
// main frame or the application. Handlers are registered as data, the way a
// message map lists them; the router asks each target of its chain in turn.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // True when this target has a handler for the id.
    bool handlesCommand(int id) const;
    // Whether the handled command is currently available (true unless an
    // update rule says otherwise).
    bool commandEnabled(int id) const;
    // The check mark of a handled command, when it has one.
    std::optional<bool> commandChecked(int id) const;
    // Runs the handler; returns false when this target has none.
    bool runCommand(int id);

protected:
    void onCommand(int id, std::function<void()> handler);
    void onUpdateEnabled(int id, std::function<bool()> enabled);
    void onUpdateChecked(int id, std::function<bool()> checked);

private:
    struct Entry {
        std::function<void()> run;
        std::function<bool()> enabled;
        std::function<bool()> checked;
    };
    std::unordered_map<int, Entry> m_entries;
};

} // namespace fw
