#pragma once

#include "core/CancelHandle.h"
#include "core/ListSuggestions.h"
#include "services/ApiResult.h"

#include <functional>

class ApiCredentials;

// The names of what the token's account worked on last (repositories pushed to, projects active
// in), offered beside the field of a watched list. Asked while a pane shows them and a token is
// held: when the pane shows, and again for each new token; never on a timer. A failed answer
// leaves none.
class RecentNames : public ListSuggestions {
    Q_OBJECT
public:
    static constexpr int count = 10;
    using Done = std::function<void(const ApiResult<QStringList> &)>;
    // Asks the service for `count` names, newest first.
    using Ask = std::function<CancelHandle(int count, Done done)>;

    // `credentials` and what `asker` uses must outlive the suggestions.
    RecentNames(const ApiCredentials &credentials, Ask asker, QObject *parent = nullptr);
    ~RecentNames() override { m_request.cancel(); }

    QStringList names() const override { return m_names; }
    void setShown(bool shown) override;

private:
    void ask();
    void take(QStringList names);

    const ApiCredentials &m_credentials;
    const Ask m_ask;
    bool m_shown = false;
    quint64 m_askedFor = 0; // the token generation the names are about
    QStringList m_names;
    CancelHandle m_request;
};
