#pragma once

#include <QString>

#include <optional>
#include <vector>

// Where the jumps of the Source menu came from: Alt+Left goes back to the
// place a jump left, Alt+Right forward again, as a browser's history does.
// A new jump drops the places ahead. Bounded: the oldest places go first.
class NavigationHistory {
public:
    struct Place {
        QString path;
        int line = 0;
        int column = 0;
        bool operator==(const Place&) const = default;
    };

    static constexpr std::size_t kMaxPlaces = 100;

    // A jump leaves `from`.
    void jumped(const Place& from)
    {
        m_forward.clear();
        if (!m_back.empty() && m_back.back() == from)
            return;
        m_back.push_back(from);
        if (m_back.size() > kMaxPlaces)
            m_back.erase(m_back.begin());
    }
    // Where Alt+Left goes from `current` (which Alt+Right comes back to).
    std::optional<Place> back(const Place& current)
    {
        return step(m_back, m_forward, current);
    }
    std::optional<Place> forward(const Place& current)
    {
        return step(m_forward, m_back, current);
    }
    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }

private:
    static std::optional<Place> step(std::vector<Place>& from, std::vector<Place>& to,
                                     const Place& current)
    {
        if (from.empty())
            return std::nullopt;
        Place place = from.back();
        from.pop_back();
        to.push_back(current);
        return place;
    }

    std::vector<Place> m_back;
    std::vector<Place> m_forward;
};
