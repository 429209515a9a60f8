#include "services/ApiError.h"

#include <algorithm>

double ApiError::secondsToWait() const
{
    return double(std::max<qint64>(1, m_code));
}

QString ApiError::description() const
{
    switch (m_kind) {
    case Kind::Http:
        return QStringLiteral("HTTP status %1").arg(m_code);
    case Kind::MissingToken:
        return QStringLiteral("no token");
    case Kind::InvalidResponse:
        return QStringLiteral("not an HTTP response");
    case Kind::Transport:
        return QStringLiteral("network error %1: %2").arg(m_code).arg(m_detail);
    case Kind::Decode:
        return QStringLiteral("unexpected answer: ") + m_detail;
    case Kind::Refused:
        return QStringLiteral("refused: an address outside the API, an id the service never issues, or an unfit token");
    case Kind::TooLarge:
        return QStringLiteral("answer too large");
    case Kind::RateLimited:
        return QStringLiteral("rate limited for %1 s").arg(m_code);
    }
    return {};
}
