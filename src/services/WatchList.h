#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

// The things a module watches, one `Watch` each (with a `name` and a `watcher`), in the order the
// user chose them, all started while the module runs.
template<typename Watch> class WatchList final {
public:
    using Watches = std::vector<std::unique_ptr<Watch>>;

    // Rebuilds the list in the order of `wanted`: a watch whose name (compared without case) is
    // still wanted is kept with all it holds, the others go with the polls they have in flight, and
    // `make(name)` makes the missing ones, started at once while the list runs.
    template<typename Make> void follow(const QStringList &wanted, Make make)
    {
        Watches next;
        std::vector<Watch *> made;
        for (const QString &name : wanted) {
            auto kept = std::find_if(m_watches.begin(), m_watches.end(),
                [&](const auto &watch) { return watch && watch->name.compare(name, Qt::CaseInsensitive) == 0; });
            if (kept != m_watches.end()) {
                next.push_back(std::move(*kept));
                continue;
            }
            next.push_back(make(name));
            made.push_back(next.back().get());
        }
        m_watches = std::move(next);
        if (!m_running)
            return;
        for (Watch *watch : made)
            watch->watcher.start();
    }

    void start()
    {
        m_running = true;
        for (const auto &watch : m_watches)
            watch->watcher.start();
    }
    void stop()
    {
        m_running = false;
        for (const auto &watch : m_watches)
            watch->watcher.stop();
    }
    bool isRunning() const { return m_running; }

    // The watch named `name` exactly, as a button made earlier names it; none once it is gone.
    Watch *find(const QString &name) const
    {
        const auto found = std::find_if(
            m_watches.cbegin(), m_watches.cend(), [&](const auto &watch) { return watch->name == name; });
        return found == m_watches.cend() ? nullptr : found->get();
    }

    typename Watches::const_iterator begin() const { return m_watches.cbegin(); }
    typename Watches::const_iterator end() const { return m_watches.cend(); }
    qsizetype size() const { return qsizetype(m_watches.size()); }
    bool empty() const { return m_watches.empty(); }

private:
    Watches m_watches;
    bool m_running = false;
};
