#include "updates/UpdateController.h"

UpdateController::UpdateController(std::unique_ptr<Updater> updater, QObject *parent)
    : QObject(parent)
    , m_updater(std::move(updater))
{
    connect(m_updater.get(), &Updater::canCheckForUpdatesChanged, this, &UpdateController::canCheckForUpdatesChanged);
    m_updater->startUpdater();
}

UpdateController::~UpdateController() = default;

void UpdateController::checkForUpdates(QObject *)
{
    m_updater->checkForUpdates();
}

bool UpdateController::automaticallyChecksForUpdates() const
{
    return m_updater->automaticallyChecksForUpdates();
}

void UpdateController::setAutomaticallyChecksForUpdates(bool enabled)
{
    m_updater->setAutomaticallyChecksForUpdates(enabled);
}

bool UpdateController::canCheckForUpdates() const
{
    return m_updater->canCheckForUpdates();
}
